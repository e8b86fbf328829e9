// The interface table, read on demand into a fresh collection of interface records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/if_table.h"
#include "platform/messages.h"
#include "platform/process.h"

namespace trafimo {

// One interface as read at one moment. OctetsSent and OctetsReceived are the low 32 bits of the
// counters seen bit for bit as signed: 3,000,000,000 reads as -1,294,967,296. The tick counts
// with the full counters, InOctets and OutOctets: 64 bits where the system has GetIfTable2, the
// table's 32-bit counters (which wrap at 2^32) where it has only GetIfTable.
class CInterface {
 public:
  std::int32_t OctetsSent = 0;
  std::int32_t OctetsReceived = 0;
  std::string InterfaceDescription;
  std::int32_t InterfaceType = 0;
  std::uint32_t InterfaceIndex = 0;  // dwIndex, which GetIfTable2 calls InterfaceIndex

  std::uint64_t InOctets = 0;
  std::uint64_t OutOctets = 0;
  // Read with GetIfTable2: 64-bit counters, and the LUID, kind, address and speeds below.
  bool FromIfTable2 = false;
  std::uint64_t InterfaceLuid = 0;
  bool FilterInterface = false;
  bool HardwareInterface = false;
  std::string PhysicalAddress;
  std::uint64_t ReceiveLinkSpeed = 0;  // bits a second, 0 when not reported
  std::uint64_t TransmitLinkSpeed = 0;

  // What tells the interface apart from one read to the next: its LUID, or where there is none
  // its index.
  std::uint64_t Identity() const { return FromIfTable2 ? InterfaceLuid : InterfaceIndex; }
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
// byte is counted once; without them, every row but the loopback. A row without a description
// is never counted: it cannot be told apart in the selection list.
bool CountedAtFirstRun(const CInterface& row);

// Whether `filter` is a filter module of `adapter`, repeating its counters: its description is
// the adapter's, "-", the filter's name and "-0000", and it has the adapter's physical address.
bool IsFilterOf(const CInterface& filter, const CInterface& adapter);

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

  // A new read of the table: GetIfTable2's rows, or GetIfTable's on a system without it. A
  // failing GetIfTable2 throws std::runtime_error. Of GetIfTable: "not supported" shows its
  // message and ends the process; a size query that reports no size throws
  // std::runtime_error; a failing second call gives an empty collection.
  CInterfaces Interfaces();

 private:
  platform::IfTableSource& source_;
  platform::Messages& messages_;
  platform::Process& process_;
  std::vector<platform::IfRow2> rows2_;  // kept, so that a read a second allocates no table
};

}  // namespace trafimo
