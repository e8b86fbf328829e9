#include "accounting/interface_counters.h"

#include <algorithm>
#include <limits>

namespace trafimo {

namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

// A driver may update its counters a little after the moment it is read: the time since the last
// reading is taken as a second longer.
constexpr std::uint64_t kCounterLagMs = 1000;

// Beyond this no change is believed, whatever speed a link reports (a stored total must stay
// far inside the signed 64-bit range).
constexpr std::uint64_t kLargestChange = std::uint64_t{1} << 62;

// The bytes a link of `bitsPerSecond` (at least kPlausibleBitsPerSecond) carries in `ms`.
std::uint64_t Capacity(std::uint64_t bitsPerSecond, std::uint64_t ms) {
  const std::uint64_t bytesPerSecond = std::max(bitsPerSecond, kPlausibleBitsPerSecond) / 8;
  const std::uint64_t span = ms + kCounterLagMs;
  if (bytesPerSecond > kMax / span) return kLargestChange;
  return std::min(bytesPerSecond * span / 1000, kLargestChange);
}

// The growth of one counter; false when it went down (a reset). A 32-bit counter grows modulo
// 2^32, so one that wrapped still grew; a change of 2^31 or more is a decrease.
bool Growth(std::uint64_t last, std::uint64_t now, bool wrapsAt32Bits, std::uint64_t& growth) {
  if (wrapsAt32Bits) {
    growth = (now - last) & 0xFFFFFFFFu;
    return growth < (std::uint64_t{1} << 31);
  }
  growth = now - last;
  return now >= last;
}

}  // namespace

bool CounterStep::Has(CounterEvent event) const {
  return std::any_of(events.begin(), events.end(),
                     [event](const Event& e) { return e.event == event; });
}

CounterStep InterfaceCounters::Take(std::span<const CounterReading> readings,
                                    std::uint64_t monotonicMs) {
  CounterStep step;
  for (Last& last : last_)
    last.read = false;
  for (const CounterReading& reading : readings) {
    const auto last = std::find_if(last_.begin(), last_.end(),
                                   [&](const Last& l) { return l.identity == reading.identity; });
    if (last == last_.end()) {
      last_.push_back(
          {reading.identity, reading.in, reading.out, monotonicMs, reading.wrapsAt32Bits, true});
      step.events.push_back({reading.identity, CounterEvent::Appeared});
      continue;
    }
    if (last->read) continue;  // the same interface twice in one reading
    last->read = true;

    std::uint64_t in = 0, out = 0;
    const bool sameKind = last->wrapsAt32Bits == reading.wrapsAt32Bits;
    const bool grew = sameKind && Growth(last->in, reading.in, reading.wrapsAt32Bits, in) &&
                      Growth(last->out, reading.out, reading.wrapsAt32Bits, out);
    if (!grew) {
      // Restarted counters: what they hold now crossed since the last reading.
      in = reading.in, out = reading.out;
      step.events.push_back({reading.identity, CounterEvent::Reset});
    }
    // The monotonic clock never goes back; a clock that did would leave no time at all.
    const std::uint64_t ms = monotonicMs >= last->atMs ? monotonicMs - last->atMs : 0;
    if (in > Capacity(reading.receiveBitsPerSecond, ms) ||
        out > Capacity(reading.transmitBitsPerSecond, ms)) {
      step.events.push_back({reading.identity, CounterEvent::Implausible});
      in = out = 0;
    }
    // Neither sum can overflow: each change is at most 2^62, and the sums are taken below 2^63.
    step.in = std::min(step.in + in, kLargestChange);
    step.out = std::min(step.out + out, kLargestChange);
    *last = {reading.identity, reading.in, reading.out, monotonicMs, reading.wrapsAt32Bits, true};
  }
  std::erase_if(last_, [&](const Last& last) {
    if (last.read) return false;
    step.events.push_back({last.identity, CounterEvent::Gone});
    return true;
  });
  return step;
}

}  // namespace trafimo
