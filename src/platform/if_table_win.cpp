
#include <cstddef>

#include "ifstats/ip_helper.h"
#include "platform/handles_win.h"
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

namespace {

using GetIfTableFn = DWORD(WINAPI*)(PMIB_IFTABLE, PULONG, BOOL);
using GetIfTable2Fn = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
using FreeMibTableFn = VOID(WINAPI*)(PVOID);

}  // namespace

struct Win32IfTable::Library {
  UniqueLibrary module = LoadSystemLibrary("iphlpapi.dll");
  GetIfTableFn getIfTable = FindFunction<GetIfTableFn>(module.get(), "GetIfTable");
  GetIfTable2Fn getIfTable2 = FindFunction<GetIfTable2Fn>(module.get(), "GetIfTable2");
  FreeMibTableFn freeMibTable = FindFunction<FreeMibTableFn>(module.get(), "FreeMibTable");
};

Win32IfTable::Win32IfTable() = default;
Win32IfTable::~Win32IfTable() = default;

Win32IfTable::Library& Win32IfTable::Loaded() {
  if (!library_) library_ = std::make_unique<Library>();
  return *library_;
}

std::uint32_t Win32IfTable::GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool order) {
  const GetIfTableFn getIfTable = Loaded().getIfTable;
  if (getIfTable == nullptr) return platform::kErrorNotSupported;
  ULONG bytes = *size;
  const DWORD result =
      getIfTable(reinterpret_cast<PMIB_IFTABLE>(buffer), &bytes, order ? TRUE : FALSE);
  *size = bytes;
  return result;
}

std::uint32_t Win32IfTable::GetIfTable2(std::vector<platform::IfRow2>& rows) {
  const Library& library = Loaded();
  if (library.getIfTable2 == nullptr || library.freeMibTable == nullptr)
    return platform::kErrorProcNotFound;
  PMIB_IF_TABLE2 table = nullptr;
  const DWORD result = library.getIfTable2(&table);
  if (result != NO_ERROR) return result;
  if (table == nullptr) return ERROR_INVALID_DATA;
  rows.resize(table->NumEntries);
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IF_ROW2& row = table->Table[i];
    platform::IfRow2& out = rows[i];
    out.index = row.InterfaceIndex;
    out.luid = row.InterfaceLuid.Value;
    out.type = row.Type;
    out.filterInterface = row.InterfaceAndOperStatusFlags.FilterInterface != FALSE;
    out.hardwareInterface = row.InterfaceAndOperStatusFlags.HardwareInterface != FALSE;
    out.description = CodePageText(row.Description);
    const ULONG addressLength =
        row.PhysicalAddressLength <= sizeof row.PhysicalAddress ? row.PhysicalAddressLength : 0;
    out.physicalAddress.assign(reinterpret_cast<const char*>(row.PhysicalAddress), addressLength);
    out.inOctets = row.InOctets;
    out.outOctets = row.OutOctets;
    out.receiveLinkSpeed = row.ReceiveLinkSpeed;
    out.transmitLinkSpeed = row.TransmitLinkSpeed;
  }
  library.freeMibTable(table);
  return platform::kNoError;
}

}  // namespace trafimo::win
