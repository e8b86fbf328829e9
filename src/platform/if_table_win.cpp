
#include <cstddef>

#include "ifstats/ip_helper.h"
#include "platform/platform_win.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

namespace trafimo::win {

// The portable reader parses the buffer with these offsets.
static_assert(sizeof(MIB_IFROW) == iftable::kRowSize);
static_assert(offsetof(MIB_IFTABLE, table) == iftable::kRowCountSize);
static_assert(offsetof(MIB_IFROW, dwIndex) == iftable::kOffsetIndex);
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

std::optional<std::vector<platform::InterfaceKind>> Win32IfTable::InterfaceKinds() {
  using GetIfTable2Fn = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
  using FreeMibTableFn = VOID(WINAPI*)(PVOID);
  const HMODULE library = LoadLibraryA("iphlpapi.dll");
  if (library == nullptr) return std::nullopt;
  const auto getIfTable2 = reinterpret_cast<GetIfTable2Fn>(
      reinterpret_cast<void*>(GetProcAddress(library, "GetIfTable2")));
  const auto freeMibTable = reinterpret_cast<FreeMibTableFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "FreeMibTable")));
  std::optional<std::vector<platform::InterfaceKind>> kinds;
  PMIB_IF_TABLE2 table = nullptr;
  if (getIfTable2 != nullptr && freeMibTable != nullptr && getIfTable2(&table) == NO_ERROR &&
      table != nullptr) {
    kinds.emplace();
    for (ULONG i = 0; i < table->NumEntries; ++i) {
      const MIB_IF_ROW2& row = table->Table[i];
      kinds->push_back({row.InterfaceIndex, row.Type,
                        row.InterfaceAndOperStatusFlags.FilterInterface != FALSE,
                        row.InterfaceAndOperStatusFlags.HardwareInterface != FALSE});
    }
    freeMibTable(table);
  }
  FreeLibrary(library);
  return kinds;
}

}  // namespace trafimo::win
