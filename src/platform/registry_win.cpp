#include <string>

#include "platform/platform_win.h"

namespace trafimo::win {

namespace {

std::string Z(std::string_view text) {
  return std::string(text);
}

}  // namespace

HKEY Win32Registry::ToHkey(platform::RegKeyHandle key) {
  // HKEY_CLASSES_ROOT .. HKEY_CURRENT_USER_LOCAL_SETTINGS are 32-bit values sign-extended.
  if (key >= 0x80000000u && key <= 0x800000FFu)
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(key))));
  return reinterpret_cast<HKEY>(key);
}

long Win32Registry::OpenKey(platform::RegKeyHandle root, std::string_view subKey,
                            std::uint32_t access, platform::RegKeyHandle& key) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExA(ToHkey(root), Z(subKey).c_str(), 0, access, &opened);
  key = result == ERROR_SUCCESS ? reinterpret_cast<platform::RegKeyHandle>(opened) : 0;
  return result;
}

long Win32Registry::CreateKey(platform::RegKeyHandle root, std::string_view subKey,
                              std::uint32_t access, platform::RegKeyHandle& key) {
  HKEY created = nullptr;
  const LONG result = RegCreateKeyExA(ToHkey(root), Z(subKey).c_str(), 0, nullptr, 0, access,
                                      nullptr, &created, nullptr);
  key = result == ERROR_SUCCESS ? reinterpret_cast<platform::RegKeyHandle>(created) : 0;
  return result;
}

long Win32Registry::QueryValue(platform::RegKeyHandle key, std::string_view valueName,
                               std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
  DWORD storedType = 0;
  DWORD dataSize = size != nullptr ? *size : 0;
  const LONG result = RegQueryValueExA(ToHkey(key), Z(valueName).c_str(), nullptr,
                                       type != nullptr ? &storedType : nullptr, data,
                                       size != nullptr ? &dataSize : nullptr);
  if (type != nullptr) *type = storedType;
  if (size != nullptr) *size = dataSize;
  return result;
}

long Win32Registry::EnumKey(platform::RegKeyHandle key, std::uint32_t index, std::string& name) {
  char buffer[256] = {};  // a key name has 255 characters at the most
  DWORD size = sizeof buffer;
  const LONG result =
      RegEnumKeyExA(ToHkey(key), index, buffer, &size, nullptr, nullptr, nullptr, nullptr);
  name.assign(buffer, result == ERROR_SUCCESS ? size : 0);
  return result;
}

long Win32Registry::EnumValue(platform::RegKeyHandle key, std::uint32_t index, std::string& name,
                              std::uint32_t& type, std::vector<std::uint8_t>& data) {
  // A value name has 16383 characters at the most; in UTF-8 each may take up to three bytes.
  constexpr std::size_t kLongestName = 16383 * 3 + 1;
  std::string nameBuffer(256, '\0');
  if (data.size() < 256) data.resize(256);
  for (;;) {
    DWORD nameSize = static_cast<DWORD>(nameBuffer.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD storedType = 0;
    const LONG result = RegEnumValueA(ToHkey(key), index, nameBuffer.data(), &nameSize, nullptr,
                                      &storedType, data.data(), &dataSize);
    // The data or the name did not fit: again with room for it (the value may have grown).
    if (result == ERROR_MORE_DATA && dataSize > data.size()) {
      data.resize(dataSize);
    } else if (result == ERROR_MORE_DATA && nameBuffer.size() < kLongestName) {
      nameBuffer.resize(kLongestName);
    } else if (result != ERROR_SUCCESS) {
      return result;
    } else {
      name.assign(nameBuffer.data(), nameSize);
      type = storedType;
      data.resize(dataSize);
      return result;
    }
  }
}

long Win32Registry::SetValue(platform::RegKeyHandle key, std::string_view valueName,
                             std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExA(ToHkey(key), Z(valueName).c_str(), 0, type, data, size);
}

long Win32Registry::DeleteValue(platform::RegKeyHandle key, std::string_view valueName) {
  return RegDeleteValueA(ToHkey(key), Z(valueName).c_str());
}

long Win32Registry::DeleteKey(platform::RegKeyHandle root, std::string_view subKey) {
  return RegDeleteKeyA(ToHkey(root), Z(subKey).c_str());
}

long Win32Registry::DeleteTree(platform::RegKeyHandle root, std::string_view subKey) {
  return RegDeleteTreeA(ToHkey(root), Z(subKey).c_str());
}

long Win32Registry::CloseKey(platform::RegKeyHandle key) {
  return RegCloseKey(ToHkey(key));
}

}  // namespace trafimo::win
