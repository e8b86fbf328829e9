#include "platform/user_store_registry.h"

#include <algorithm>
#include <vector>

namespace trafimo::platform {

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
      (type != kRegSz && type != kRegExpandSz))
    return std::string(defaultValue);
  std::vector<std::uint8_t> data(size);
  if (size > 0 &&
      registry_.QueryValue(handle.get(), key, nullptr, data.data(), &size) != kErrorSuccess)
    return std::string(defaultValue);
  const auto* text = reinterpret_cast<const char*>(data.data());
  const std::size_t limit = std::min<std::size_t>(size, data.size());
  return std::string(text, std::find(text, text + limit, '\0'));
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

}  // namespace trafimo::platform
