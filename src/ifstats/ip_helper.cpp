#include "ifstats/ip_helper.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace trafimo {

CInterface& CInterfaces::Add(CInterface&& objInterface) {
  list_.push_back(std::move(objInterface));
  return list_.back();
}

const CInterface& CInterfaces::Item(int vntIndexKey) const {
  if (vntIndexKey < 1 || vntIndexKey > Count()) throw std::out_of_range("interface position");
  return list_[static_cast<std::size_t>(vntIndexKey - 1)];
}

void CInterfaces::Remove(int vntIndexKey) {
  if (vntIndexKey < 1 || vntIndexKey > Count()) throw std::out_of_range("interface position");
  list_.erase(list_.begin() + (vntIndexKey - 1));
}

namespace {

std::uint32_t ReadU32(const std::uint8_t* at) {
  std::uint32_t value = 0;
  std::memcpy(&value, at, sizeof value);  // the table is little-endian, as is every Windows host
  return value;
}

std::int32_t AsSigned(std::uint32_t counter) {
  std::int32_t value = 0;
  std::memcpy(&value, &counter, sizeof value);
  return value;
}

std::string DescriptionOf(const std::uint8_t* row) {
  const std::size_t length =
      std::min<std::size_t>(ReadU32(row + iftable::kOffsetDescrLen), iftable::kDescrMax);
  std::string text(reinterpret_cast<const char*>(row + iftable::kOffsetDescr), length);
  std::erase(text, '\0');  // the length usually counts a trailing NUL
  return text;
}

CInterface InterfaceFromRow(const std::uint8_t* row) {
  CInterface record;
  const std::uint32_t out = ReadU32(row + iftable::kOffsetOutOctets);
  const std::uint32_t in = ReadU32(row + iftable::kOffsetInOctets);
  record.OctetsSent = AsSigned(out);
  record.OctetsReceived = AsSigned(in);
  record.OutOctets = out;
  record.InOctets = in;
  record.InterfaceType = AsSigned(ReadU32(row + iftable::kOffsetType));
  record.InterfaceIndex = ReadU32(row + iftable::kOffsetIndex);
  record.InterfaceDescription = DescriptionOf(row);
  return record;
}

CInterface InterfaceFromRow2(platform::IfRow2&& row) {
  CInterface record;
  record.OctetsSent = AsSigned(static_cast<std::uint32_t>(row.outOctets));
  record.OctetsReceived = AsSigned(static_cast<std::uint32_t>(row.inOctets));
  record.InterfaceDescription = std::move(row.description);
  std::erase(record.InterfaceDescription, '\0');
  record.InterfaceType = AsSigned(row.type);
  record.InterfaceIndex = row.index;
  record.InOctets = row.inOctets;
  record.OutOctets = row.outOctets;
  record.FromIfTable2 = true;
  record.InterfaceLuid = row.luid;
  record.FilterInterface = row.filterInterface;
  record.HardwareInterface = row.hardwareInterface;
  record.PhysicalAddress = std::move(row.physicalAddress);
  const auto known = [](std::uint64_t speed) {
    return speed == platform::kLinkSpeedUnknown ? 0 : speed;
  };
  record.ReceiveLinkSpeed = known(row.receiveLinkSpeed);
  record.TransmitLinkSpeed = known(row.transmitLinkSpeed);
  return record;
}

}  // namespace

bool CountedAtFirstRun(const CInterface& row) {
  if (row.InterfaceDescription.empty()) return false;
  if (!row.FromIfTable2) return row.InterfaceType != kSoftwareLoopbackType;
  constexpr std::int32_t kTunnel = 131, kPpp = 23;
  return !row.FilterInterface && row.HardwareInterface &&
         row.InterfaceType != kSoftwareLoopbackType && row.InterfaceType != kTunnel &&
         row.InterfaceType != kPpp;
}

bool IsFilterOf(const CInterface& filter, const CInterface& adapter) {
  const std::string& name = filter.InterfaceDescription;
  const std::string& adapterName = adapter.InterfaceDescription;
  return filter.FilterInterface && !adapter.FilterInterface &&
         filter.PhysicalAddress == adapter.PhysicalAddress && name.size() > adapterName.size() &&
         name.compare(0, adapterName.size(), adapterName) == 0 && name[adapterName.size()] == '-';
}

CInterfaces ParseIfTable(std::span<const std::uint8_t> table) {
  CInterfaces interfaces;
  if (table.size() < iftable::kRowCountSize) return interfaces;
  const std::size_t rowsThatFit = (table.size() - iftable::kRowCountSize) / iftable::kRowSize;
  const std::size_t rows = std::min<std::size_t>(ReadU32(table.data()), rowsThatFit);
  for (std::size_t i = 0; i < rows; ++i) {
    interfaces.Add(InterfaceFromRow(table.data() + iftable::kRowCountSize + i * iftable::kRowSize));
  }
  return interfaces;
}

CInterfaces CIpHelper::Interfaces() {
  const std::uint32_t result = source_.GetIfTable2(rows2_);
  if (result == platform::kNoError) {
    CInterfaces interfaces;
    for (platform::IfRow2& row : rows2_)
      interfaces.Add(InterfaceFromRow2(std::move(row)));
    return interfaces;
  }
  if (result != platform::kErrorProcNotFound)
    throw std::runtime_error("the interface table could not be read");

  std::uint32_t size = 0;
  const std::uint32_t query = source_.GetIfTable(nullptr, &size, false);
  if (query == platform::kErrorNotSupported) {
    messages_.Show(platform::kNoOwner, kNotSupportedMessage, platform::kApplicationTitle,
                   platform::kMbOk);
    process_.EndNow();
  }
  if (size == 0) throw std::runtime_error("the interface table reported no size");

  std::vector<std::uint8_t> buffer(size);
  if (source_.GetIfTable(buffer.data(), &size, false) != platform::kNoError) return {};
  return ParseIfTable(std::span(buffer).first(std::min<std::size_t>(size, buffer.size())));
}

}  // namespace trafimo
