// The per-user store kept in the registry: HKEY_CURRENT_USER\Software\Trafimo\<section>, one
// REG_SZ value per key.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/user_store.h"

namespace trafimo::platform {

inline constexpr std::string_view kUserStoreArea = "Software\\Trafimo";

class RegistryUserStore : public UserStore {
 public:
  explicit RegistryUserStore(Registry& registry) : registry_(registry) {}

  // The stored text, or `defaultValue` when the section, the key or a text value is missing.
  std::string Read(std::string_view section, std::string_view key,
                   std::string_view defaultValue) override;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override;
  // Deletes Software\Trafimo with every section below it.
  bool EraseAll() override;
  // The keys below Software\Trafimo.
  std::vector<std::string> Sections() override;
  // The REG_SZ and REG_EXPAND_SZ values of the section's key, in one pass over it.
  std::vector<StoredValue> ReadSection(std::string_view section) override;

 private:
  static std::string SectionKey(std::string_view section);

  Registry& registry_;
};

}  // namespace trafimo::platform
