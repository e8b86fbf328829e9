#include "platform/user_store_registry.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo::platform {
namespace {

TEST(RegistryUserStore, KeepsPlainStringsPerSectionAndGivesTheDefaultForAnythingElse) {
  testing::FakeRegistry registry;
  RegistryUserStore store(registry);
  EXPECT_TRUE(store.Write("Settings", "ShowMode", "1"));
  EXPECT_EQ(registry.Get(kHkeyCurrentUser, "Software\\Trafimo\\Settings", "ShowMode")->data,
            (std::vector<std::uint8_t>{'1', 0}));
  EXPECT_EQ(registry.Get(kHkeyCurrentUser, "Software\\Trafimo\\Settings", "ShowMode")->type,
            kRegSz);
  EXPECT_EQ(store.Read("Settings", "ShowMode", "0"), "1");
  EXPECT_EQ(store.Read("Settings", "Other", "0"), "0");
  EXPECT_EQ(store.Read("Today", "IN", "0"), "0");
  registry.Put(kHkeyCurrentUser, "Software\\Trafimo\\Today", "IN", kRegDword, {1, 0, 0, 0});
  EXPECT_EQ(store.Read("Today", "IN", "0"), "0");
  registry.Put(kHkeyCurrentUser, "Software\\Trafimo\\Today", "IN", kRegSz, {'4', '2'});
  EXPECT_EQ(store.Read("Today", "IN", "0"), "42");  // no terminating NUL stored
  registry.failSetValues = 1;
  EXPECT_FALSE(store.Write("Today", "IN", "1"));
  EXPECT_EQ(registry.openHandles(), 0);
}

TEST(RegistryUserStore, EraseAllRemovesTheWholeAreaOnly) {
  testing::FakeRegistry registry;
  RegistryUserStore store(registry);
  registry.PutText(kHkeyCurrentUser, "Software\\TrafimoOther", "Kept", "x");
  store.Write("2026DEC", "IN", "5");
  EXPECT_TRUE(store.EraseAll());
  EXPECT_FALSE(registry.KeyExists(kHkeyCurrentUser, "Software\\Trafimo"));
  EXPECT_EQ(registry.GetText(kHkeyCurrentUser, "Software\\TrafimoOther", "Kept"), "x");
  EXPECT_TRUE(store.EraseAll());  // nothing left to erase
  store.Write("Today", "IN", "1");
  registry.readOnlyRoots.insert(kHkeyCurrentUser);
  EXPECT_FALSE(store.EraseAll());
}

}  // namespace
}  // namespace trafimo::platform
