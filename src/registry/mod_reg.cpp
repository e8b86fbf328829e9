#include "registry/mod_reg.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace trafimo::modReg {

namespace {

using platform::ScopedRegKey;

// The stored bytes of a text value, up to its terminating NUL or to the end of its data.
std::string TextOf(const std::vector<std::uint8_t>& data, std::uint32_t size) {
  const auto* text = reinterpret_cast<const char*>(data.data());
  std::size_t length = 0;
  while (length < size && text[length] != '\0')
    ++length;
  return std::string(text, length);
}

// The low 32 bits of a number given as decimal text; text that is not a number gives 0.
std::uint32_t DwordOf(std::string_view text) {
  long long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc{} || end != text.data() + text.size()) return 0;
  return static_cast<std::uint32_t>(number);
}

}  // namespace

std::string ReadRegValue(platform::Registry& registry, platform::RegKeyHandle hKey,
                         std::string_view SubKey, std::string_view ValueName,
                         std::uint32_t& ValueType) {
  const std::uint32_t requested = ValueType;
  ScopedRegKey key(registry);
  if (registry.OpenKey(hKey, SubKey, platform::kKeyQueryValue, key.Receive()) !=
      platform::kErrorSuccess)
    return {};

  std::uint32_t storedType = 0;
  std::uint32_t size = 0;
  if (registry.QueryValue(key.get(), ValueName, &storedType, nullptr, &size) !=
      platform::kErrorSuccess)
    return {};
  ValueType = storedType;

  if (requested == platform::kRegExpandSz) {
    if (size == 0) return {};
    std::vector<std::uint8_t> data(size);
    if (registry.QueryValue(key.get(), ValueName, nullptr, data.data(), &size) !=
        platform::kErrorSuccess)
      return {};
    return TextOf(data, std::min<std::uint32_t>(size, static_cast<std::uint32_t>(data.size())));
  }
  if (requested == platform::kRegDword) {
    std::uint8_t bytes[4] = {};
    std::uint32_t dataSize = sizeof bytes;
    if (registry.QueryValue(key.get(), ValueName, nullptr, bytes, &dataSize) !=
        platform::kErrorSuccess)
      return {};
    std::int32_t number = 0;
    std::memcpy(&number, bytes, sizeof number);
    return std::to_string(number);
  }
  return {};
}

bool WriteRegValue(platform::Registry& registry, platform::RegKeyHandle hKey,
                   std::string_view SubKey, std::string_view ValueName, std::uint32_t ValueType,
                   std::string_view Value) {
  ScopedRegKey key(registry);
  if (registry.CreateKey(hKey, SubKey, platform::kMaximumAllowed, key.Receive()) !=
      platform::kErrorSuccess)
    return false;

  long written = platform::kErrorInvalidParameter;  // other types write nothing
  if (ValueType == platform::kRegExpandSz) {
    std::string text(Value);
    written = registry.SetValue(key.get(), ValueName, platform::kRegExpandSz,
                                reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                static_cast<std::uint32_t>(text.size() + 1));
  } else if (ValueType == platform::kRegDword) {
    const std::uint32_t number = DwordOf(Value);
    std::uint8_t bytes[4];
    std::memcpy(bytes, &number, sizeof bytes);
    written = registry.SetValue(key.get(), ValueName, platform::kRegDword, bytes, sizeof bytes);
  }
  const long closed = key.Close();
  return written == platform::kErrorSuccess && closed == platform::kErrorSuccess;
}

long DeleteRegValue(platform::Registry& registry, platform::RegKeyHandle hKey,
                    std::string_view SubKey, std::string_view ValueName) {
  ScopedRegKey key(registry);
  if (registry.OpenKey(hKey, SubKey, platform::kMaximumAllowed, key.Receive()) !=
      platform::kErrorSuccess)
    return platform::kErrorFileNotFound;
  const long result = registry.DeleteValue(key.get(), ValueName);
  key.Close();
  return result;
}

}  // namespace trafimo::modReg
