// The raw interface-table call (GetIfTable): result code and bytes, nothing interpreted.
#pragma once

#include <cstdint>

namespace trafimo::platform {

inline constexpr std::uint32_t kNoError = 0;
inline constexpr std::uint32_t kErrorNotSupported = 50;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;

class IfTableSource {
 public:
  virtual ~IfTableSource() = default;
  // Fills `buffer` (which may be null) with a MIB_IFTABLE of at most `*size` bytes; `*size`
  // receives the size needed when the buffer is too small.
  virtual std::uint32_t GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool order) = 0;
};

}  // namespace trafimo::platform
