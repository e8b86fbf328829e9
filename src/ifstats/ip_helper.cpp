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
  record.OctetsSent = AsSigned(ReadU32(row + iftable::kOffsetOutOctets));
  record.OctetsReceived = AsSigned(ReadU32(row + iftable::kOffsetInOctets));
  record.InterfaceType = AsSigned(ReadU32(row + iftable::kOffsetType));
  record.InterfaceIndex = ReadU32(row + iftable::kOffsetIndex);
  record.InterfaceDescription = DescriptionOf(row);
  return record;
}

}  // namespace

bool CountedAtFirstRun(const CInterface& row,
                       const std::optional<std::vector<platform::InterfaceKind>>& kinds) {
  if (!kinds) return row.InterfaceType != kSoftwareLoopbackType;
  constexpr std::uint32_t kLoopback = 24, kTunnel = 131, kPpp = 23;
  const auto kind = std::find_if(kinds->begin(), kinds->end(),
                                 [&](const auto& k) { return k.index == row.InterfaceIndex; });
  return kind != kinds->end() && !kind->filterInterface && kind->hardwareInterface &&
         kind->type != kLoopback && kind->type != kTunnel && kind->type != kPpp;
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
