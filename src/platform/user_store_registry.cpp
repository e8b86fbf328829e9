#include "platform/user_store_registry.h"

#include <algorithm>
#include <vector>

namespace trafimo::platform {

namespace {

bool IsText(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz;
}

// Stored text up to its first NUL, if it has one.
std::string TextOf(const std::vector<std::uint8_t>& data, std::size_t size) {
  const auto* text = reinterpret_cast<const char*>(data.data());
  const std::size_t limit = std::min(size, data.size());
  return std::string(text, std::find(text, text + limit, '\0'));
}

}  // namespace

std::string RegistryUserStore::SectionKey(std::string_view section) {
  std::string path(kUserStoreArea);
  path += '\\';
  path += section;
  return path;
}

std::string RegistryUserStore::Read(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) {
  ScopedRegKey handle(registry_);
  if (registry_.OpenKey(kHkeyCurrentUser, SectionKey(section), kKeyQueryValue, handle.Receive()) !=
      kErrorSuccess)
    return std::string(defaultValue);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (registry_.QueryValue(handle.get(), key, &type, nullptr, &size) != kErrorSuccess ||
      !IsText(type))
    return std::string(defaultValue);
  std::vector<std::uint8_t> data(size);
  if (size > 0 &&
      registry_.QueryValue(handle.get(), key, nullptr, data.data(), &size) != kErrorSuccess)
    return std::string(defaultValue);
  return TextOf(data, size);
}

bool RegistryUserStore::Write(std::string_view section, std::string_view key,
                              std::string_view value) {
  ScopedRegKey handle(registry_);
  if (registry_.CreateKey(kHkeyCurrentUser, SectionKey(section), kKeyAllAccess, handle.Receive()) !=
      kErrorSuccess)
    return false;
  const std::string text(value);
  const long written = registry_.SetValue(handle.get(), key, kRegSz,
                                          reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                          static_cast<std::uint32_t>(text.size() + 1));
  return written == kErrorSuccess && handle.Close() == kErrorSuccess;
}

bool RegistryUserStore::EraseAll() {
  const long result = registry_.DeleteTree(kHkeyCurrentUser, kUserStoreArea);
  return result == kErrorSuccess || result == kErrorFileNotFound;
}

std::vector<std::string> RegistryUserStore::Sections() {
  std::vector<std::string> sections;
  ScopedRegKey area(registry_);
  if (registry_.OpenKey(kHkeyCurrentUser, kUserStoreArea, kKeyRead, area.Receive()) !=
      kErrorSuccess)
    return sections;
  std::string name;
  for (std::uint32_t index = 0; registry_.EnumKey(area.get(), index, name) == kErrorSuccess;
       ++index)
    sections.push_back(name);
  return sections;
}

std::vector<StoredValue> RegistryUserStore::ReadSection(std::string_view section) {
  std::vector<StoredValue> values;
  ScopedRegKey handle(registry_);
  if (registry_.OpenKey(kHkeyCurrentUser, SectionKey(section), kKeyQueryValue, handle.Receive()) !=
      kErrorSuccess)
    return values;
  std::string name;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  for (std::uint32_t index = 0;
       registry_.EnumValue(handle.get(), index, name, type, data) == kErrorSuccess; ++index) {
    if (IsText(type)) values.emplace_back(name, TextOf(data, data.size()));
  }
  return values;
}

}  // namespace trafimo::platform
