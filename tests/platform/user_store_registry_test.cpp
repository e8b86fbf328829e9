#include "platform/user_store_registry.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo::platform {
namespace {

// Values are plain strings per section; anything else reads as the default, and is left out of a
// section read whole. Erasing all data removes the program's whole area and nothing beside it.
TEST(RegistryUserStore, KeepsPlainStringsPerSectionAndErasesOnlyItsArea) {
  testing::FakeRegistry registry;
  RegistryUserStore store(registry);
  EXPECT_TRUE(store.Write("Settings", "ShowMode", "1"));
  EXPECT_EQ(store.Read("Settings", "ShowMode", "0"), "1");
  registry.Put(kHkeyCurrentUser, "Software\\Trafimo\\Today", "IN", kRegDword, {1, 0, 0, 0});
  EXPECT_EQ(store.Read("Today", "IN", "0"), "0");
  registry.PutText(kHkeyCurrentUser, "Software\\Trafimo\\Days", "2026-12-07", "5,6", kRegSz);
  registry.PutText(kHkeyCurrentUser, "Software\\Trafimo\\Days\\Below", "x", "y");
  EXPECT_EQ(store.ReadSection("Days"), (std::vector<StoredValue>{{"2026-12-07", "5,6"}}));
  EXPECT_EQ(store.ReadSection("Today"), std::vector<StoredValue>{});
  EXPECT_EQ(store.Sections(), (std::vector<std::string>{"Days", "Settings", "Today"}));
  registry.PutText(kHkeyCurrentUser, "Software\\TrafimoOther", "Kept", "x");
  EXPECT_TRUE(store.EraseAll());
  EXPECT_FALSE(registry.KeyExists(kHkeyCurrentUser, "Software\\Trafimo"));
  EXPECT_EQ(registry.GetText(kHkeyCurrentUser, "Software\\TrafimoOther", "Kept"), "x");
}

}  // namespace
}  // namespace trafimo::platform
