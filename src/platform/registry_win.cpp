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
