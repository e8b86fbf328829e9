
#include <cstddef>

#include "ifstats/ip_helper.h"
#include "platform/platform_win.h"

#include <iphlpapi.h>

namespace trafimo::win {

// The portable reader parses the buffer with these offsets.
static_assert(sizeof(MIB_IFROW) == iftable::kRowSize);
static_assert(offsetof(MIB_IFTABLE, table) == iftable::kRowCountSize);
static_assert(offsetof(MIB_IFROW, dwType) == iftable::kOffsetType);
static_assert(offsetof(MIB_IFROW, dwInOctets) == iftable::kOffsetInOctets);
static_assert(offsetof(MIB_IFROW, dwOutOctets) == iftable::kOffsetOutOctets);
static_assert(offsetof(MIB_IFROW, dwDescrLen) == iftable::kOffsetDescrLen);
static_assert(offsetof(MIB_IFROW, bDescr) == iftable::kOffsetDescr);
static_assert(sizeof(MIB_IFROW::bDescr) == iftable::kDescrMax);

std::uint32_t Win32IfTable::GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool order) {
  ULONG bytes = *size;
  const DWORD result =
      ::GetIfTable(reinterpret_cast<PMIB_IFTABLE>(buffer), &bytes, order ? TRUE : FALSE);
  *size = bytes;
  return result;
}

}  // namespace trafimo::win
