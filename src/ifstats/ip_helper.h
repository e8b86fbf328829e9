// The interface table, read on demand into a fresh collection of interface records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/if_table.h"
#include "platform/messages.h"
#include "platform/process.h"

namespace trafimo {

// One interface as read at one moment. The octet counters are the table's unsigned 32-bit
// counters seen bit for bit as signed: 3,000,000,000 reads as -1,294,967,296.
class CInterface {
 public:
  std::int32_t OctetsSent = 0;
  std::int32_t OctetsReceived = 0;
  std::string InterfaceDescription;
  std::int32_t InterfaceType = 0;
  std::uint32_t InterfaceIndex = 0;  // dwIndex, which GetIfTable2 calls InterfaceIndex
};

inline constexpr std::int32_t kSoftwareLoopbackType = 24;

// The records of one read, in table order, addressed by position from 1.
class CInterfaces {
 public:
  // Appends the record, taking it over.
  CInterface& Add(CInterface&& objInterface);
  // Position 1..Count; anything else throws std::out_of_range.
  const CInterface& Item(int vntIndexKey) const;
  int Count() const { return static_cast<int>(list_.size()); }
  void Remove(int vntIndexKey);

  auto begin() const { return list_.begin(); }
  auto end() const { return list_.end(); }

 private:
  std::vector<CInterface> list_;
};

// Layout of MIB_IFTABLE / MIB_IFROW, identical in 32- and 64-bit builds.
namespace iftable {
inline constexpr std::size_t kRowCountSize = 4;
inline constexpr std::size_t kRowSize = 860;
inline constexpr std::size_t kDescrMax = 256;
inline constexpr std::size_t kOffsetIndex = 512;
inline constexpr std::size_t kOffsetType = 516;
inline constexpr std::size_t kOffsetInOctets = 552;
inline constexpr std::size_t kOffsetOutOctets = 576;
inline constexpr std::size_t kOffsetDescrLen = 600;
inline constexpr std::size_t kOffsetDescr = 604;
}  // namespace iftable

// Whether a first run counts the row: with GetIfTable2's kinds, a row that is an adapter of its
// own (no filter module, a hardware interface, no loopback, tunnel or WAN Miniport), so that each
// byte is counted once; without them, every row but the loopback.
bool CountedAtFirstRun(const CInterface& row,
                       const std::optional<std::vector<platform::InterfaceKind>>& kinds);

// Builds the records from a MIB_IFTABLE buffer. Never reads past `table`: a row count larger
// than the buffer holds yields the rows that fit, a description length above 256 is taken as 256.
CInterfaces ParseIfTable(std::span<const std::uint8_t> table);

// The message shown before the program ends on a system without the interface table.
inline constexpr const char* kNotSupportedMessage =
    "This software is not supported in this operating system";

class CIpHelper {
 public:
  CIpHelper(platform::IfTableSource& source, platform::Messages& messages,
            platform::Process& process)
      : source_(source), messages_(messages), process_(process) {}

  // A new read of the table. "Not supported" shows its message and ends the process; a size
  // query that reports no size throws std::runtime_error; a failing second call gives an empty
  // collection.
  CInterfaces Interfaces();

 private:
  platform::IfTableSource& source_;
  platform::Messages& messages_;
  platform::Process& process_;
};

}  // namespace trafimo
