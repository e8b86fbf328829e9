// Registry access as the Advapi32 calls give it: open, create, query, set, delete, close,
// with the platform's result codes. The portable core reaches the registry only through this.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trafimo::platform {

// A key handle: a root key's predefined value or a handle returned by OpenKey / CreateKey.
using RegKeyHandle = std::uintptr_t;

inline constexpr RegKeyHandle kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKeyHandle kHkeyLocalMachine = 0x80000002u;

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeyRead = 0x20019;  // query values, enumerate subkeys, notify
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyAllAccessBrowserSwitch = 0x3F;  // the mask the IE switches use
inline constexpr std::uint32_t kMaximumAllowed = 0x02000000;       // what RegOpenKeyA asks for

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyExA.
  virtual long OpenKey(RegKeyHandle root, std::string_view subKey, std::uint32_t access,
                       RegKeyHandle& key) = 0;
  // RegCreateKeyExA (no class, no options, default security): opens the key, creating it and
  // any missing parents.
  virtual long CreateKey(RegKeyHandle root, std::string_view subKey, std::uint32_t access,
                         RegKeyHandle& key) = 0;
  // RegQueryValueExA. `data` may be null to ask for the size; `type` may be null.
  virtual long QueryValue(RegKeyHandle key, std::string_view valueName, std::uint32_t* type,
                          std::uint8_t* data, std::uint32_t* size) = 0;
  // RegSetValueExA.
  virtual long SetValue(RegKeyHandle key, std::string_view valueName, std::uint32_t type,
                        const std::uint8_t* data, std::uint32_t size) = 0;
  // RegEnumKeyExA: the name of the subkey at `index`; kErrorNoMoreItems after the last.
  virtual long EnumKey(RegKeyHandle key, std::uint32_t index, std::string& name) = 0;
  // RegEnumValueA: the name, type and whole data of the value at `index`, however long;
  // kErrorNoMoreItems after the last.
  virtual long EnumValue(RegKeyHandle key, std::uint32_t index, std::string& name,
                         std::uint32_t& type, std::vector<std::uint8_t>& data) = 0;
  // RegDeleteValueA.
  virtual long DeleteValue(RegKeyHandle key, std::string_view valueName) = 0;
  // RegDeleteKeyA: deletes one key that has no subkeys.
  virtual long DeleteKey(RegKeyHandle root, std::string_view subKey) = 0;
  // RegDeleteTreeA + RegDeleteKeyA: deletes a key with everything below it.
  virtual long DeleteTree(RegKeyHandle root, std::string_view subKey) = 0;
  // RegCloseKey.
  virtual long CloseKey(RegKeyHandle key) = 0;
};

// Closes the key it holds when it goes out of scope.
class ScopedRegKey {
 public:
  explicit ScopedRegKey(Registry& registry) : registry_(&registry) {}
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;
  ScopedRegKey(ScopedRegKey&& other) noexcept
      : registry_(other.registry_), key_(std::exchange(other.key_, 0)) {}
  ScopedRegKey& operator=(ScopedRegKey&& other) noexcept {
    if (this != &other) {
      Reset();
      registry_ = other.registry_;
      key_ = std::exchange(other.key_, 0);
    }
    return *this;
  }
  ~ScopedRegKey() { Reset(); }

  RegKeyHandle& Receive() {
    Reset();
    return key_;
  }
  RegKeyHandle get() const { return key_; }
  bool valid() const { return key_ != 0; }
  // Closes now and reports the platform's result (0 when nothing was open).
  long Close() {
    const long result = key_ != 0 ? registry_->CloseKey(key_) : kErrorSuccess;
    key_ = 0;
    return result;
  }

 private:
  void Reset() { Close(); }

  Registry* registry_;
  RegKeyHandle key_ = 0;
};

}  // namespace trafimo::platform
