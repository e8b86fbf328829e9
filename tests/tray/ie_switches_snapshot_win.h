// Keeps the Wine prefix's two browser switches as they were: clears them for a test and puts
// them back afterwards.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tray/browser_switches.h"

namespace trafimo::testing {

struct RawRegValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};

inline std::optional<RawRegValue> ReadRawValue(HKEY root, const std::string& subKey,
                                               const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::nullopt;
  RawRegValue value;
  DWORD size = 0;
  LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size);
  if (result == ERROR_SUCCESS) {
    value.data.resize(size);
    result = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
  }
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return std::nullopt;
  return value;
}

inline bool WriteRawValue(HKEY root, const std::string& subKey, const std::string& name, DWORD type,
                          const std::vector<BYTE>& data) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result =
      RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

inline bool RegKeyExists(HKEY root, const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline void DeleteIEImagesValue() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, std::string(kIEMainSubKey).c_str(), 0, KEY_SET_VALUE,
                    &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, std::string(kIEImagesValue).c_str());
    RegCloseKey(key);
  }
}

class IESwitchesSnapshot {
 public:
  // Notes both switches and clears them: no images value, no Flash key.
  IESwitchesSnapshot()
      : images_(ReadRawValue(HKEY_CURRENT_USER, kMain, kImages)),
        flashFlags_(ReadRawValue(HKEY_LOCAL_MACHINE, kFlash, kFlags)),
        flashExisted_(RegKeyExists(HKEY_LOCAL_MACHINE, kFlash)) {
    DeleteIEImagesValue();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFlash.c_str());
  }
  IESwitchesSnapshot(const IESwitchesSnapshot&) = delete;
  IESwitchesSnapshot& operator=(const IESwitchesSnapshot&) = delete;
  ~IESwitchesSnapshot() {
    DeleteIEImagesValue();
    if (images_) WriteRawValue(HKEY_CURRENT_USER, kMain, kImages, images_->type, images_->data);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFlash.c_str());
    if (flashExisted_) {
      HKEY key = nullptr;
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFlash.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr);
      if (key != nullptr) RegCloseKey(key);
      if (flashFlags_)
        WriteRawValue(HKEY_LOCAL_MACHINE, kFlash, kFlags, flashFlags_->type, flashFlags_->data);
    }
  }

  inline static const std::string kMain{kIEMainSubKey};
  inline static const std::string kImages{kIEImagesValue};
  inline static const std::string kFlash{kIEFlashSubKey};
  inline static const std::string kFlags{kIEFlashFlagsValue};

 private:
  std::optional<RawRegValue> images_;
  std::optional<RawRegValue> flashFlags_;
  bool flashExisted_;
};

}  // namespace trafimo::testing
