// The raw interface-table call (GetIfTable): result code and bytes, nothing interpreted.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace trafimo::platform {

inline constexpr std::uint32_t kNoError = 0;
inline constexpr std::uint32_t kErrorNotSupported = 50;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;

// What GetIfTable2 (Vista and later) tells of an interface beside GetIfTable's row: whether it
// is an adapter of its own or a filter module repeating its adapter's counters.
struct InterfaceKind {
  std::uint32_t index = 0;  // MIB_IF_ROW2 InterfaceIndex, MIB_IFROW dwIndex of the same row
  std::uint32_t type = 0;
  bool filterInterface = false;
  bool hardwareInterface = false;
};

class IfTableSource {
 public:
  virtual ~IfTableSource() = default;
  // Fills `buffer` (which may be null) with a MIB_IFTABLE of at most `*size` bytes; `*size`
  // receives the size needed when the buffer is too small.
  virtual std::uint32_t GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool order) = 0;
  // GetIfTable2's rows; nothing on a system without it or when it fails.
  virtual std::optional<std::vector<InterfaceKind>> InterfaceKinds() = 0;
};

}  // namespace trafimo::platform
