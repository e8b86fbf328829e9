// The counted interfaces' last readings, one per interface, and what one new reading of them
// all adds: every byte that crossed them since, once, through counter resets, late readings and
// interfaces that come and go.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace trafimo {

// One counted interface at one reading.
struct CounterReading {
  std::uint64_t identity = 0;  // the same interface has the same identity at every reading
  std::uint64_t in = 0;
  std::uint64_t out = 0;
  bool wrapsAt32Bits = false;              // counters of 32 bits, which wrap at 2^32
  std::uint64_t receiveBitsPerSecond = 0;  // the reported link speeds; 0 when none is reported
  std::uint64_t transmitBitsPerSecond = 0;
};

enum class CounterEvent {
  Appeared,     // a new interface: its reading is its baseline
  Reset,        // a counter went down: the interface restarted its counters
  Implausible,  // more than the interface could carry since its last reading: dropped
  Gone,         // a counted interface is no longer read
};

// What one reading added.
struct CounterStep {
  std::uint64_t in = 0;
  std::uint64_t out = 0;
  struct Event {
    std::uint64_t identity;
    CounterEvent event;
  };
  std::vector<Event> events;

  bool Has(CounterEvent event) const;
};

// Bytes an interface is believed to carry a second in each direction, at least: 100 Gbit/s.
inline constexpr std::uint64_t kPlausibleBitsPerSecond = 100'000'000'000;

class InterfaceCounters {
 public:
  // Takes the readings of every counted interface at `monotonicMs` (a clock that never goes
  // back). Each interface's bytes since its last reading are summed: growth, or after a reset
  // the new reading; an implausible change is dropped and that interface alone starts again
  // from its reading. An interface read twice counts once.
  CounterStep Take(std::span<const CounterReading> readings, std::uint64_t monotonicMs);

  // The number of interfaces with a last reading.
  std::size_t Count() const { return last_.size(); }

 private:
  struct Last {
    std::uint64_t identity;
    std::uint64_t in;
    std::uint64_t out;
    std::uint64_t atMs;
    bool wrapsAt32Bits;
    bool read;  // read by the present reading
  };
  std::vector<Last> last_;
};

}  // namespace trafimo
