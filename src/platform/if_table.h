// The raw interface-table calls: GetIfTable's result code and bytes, and GetIfTable2's rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trafimo::platform {

inline constexpr std::uint32_t kNoError = 0;
inline constexpr std::uint32_t kErrorNotSupported = 50;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorProcNotFound = 127;

// A link speed of NDIS_LINK_SPEED_UNKNOWN: the driver does not know it.
inline constexpr std::uint64_t kLinkSpeedUnknown = ~std::uint64_t{0};

// One row of GetIfTable2 (Vista and later), as much of it as the program uses.
struct IfRow2 {
  std::uint32_t index = 0;  // InterfaceIndex: the dwIndex of the same row in GetIfTable
  std::uint64_t luid = 0;   // InterfaceLuid: the interface's identity, whatever its place
  std::uint32_t type = 0;
  bool filterInterface = false;    // an NDIS filter module repeating its adapter's counters
  bool hardwareInterface = false;  // an adapter of its own, not a virtual one
  std::string description;         // Description, in the program's code page
  std::string physicalAddress;     // PhysicalAddress, its bytes
  std::uint64_t inOctets = 0;
  std::uint64_t outOctets = 0;
  std::uint64_t receiveLinkSpeed = 0;  // bits a second; 0 or kLinkSpeedUnknown when not known
  std::uint64_t transmitLinkSpeed = 0;
};

class IfTableSource {
 public:
  virtual ~IfTableSource() = default;
  // Fills `buffer` (which may be null) with a MIB_IFTABLE of at most `*size` bytes; `*size`
  // receives the size needed when the buffer is too small.
  virtual std::uint32_t GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool order) = 0;
  // Replaces `rows` with GetIfTable2's rows: kNoError, kErrorProcNotFound on a system without
  // GetIfTable2, or the code of its failure.
  virtual std::uint32_t GetIfTable2(std::vector<IfRow2>& rows) = 0;
};

}  // namespace trafimo::platform
