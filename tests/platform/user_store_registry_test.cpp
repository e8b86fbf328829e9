#include "platform/user_store_registry.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo::platform {
namespace {

using testing::FakeRegistry;

TEST(RegistryUserStore, KeepsEachKeyAsAPlainStringUnderItsSection) {
  FakeRegistry registry;
  RegistryUserStore store(registry);
  EXPECT_TRUE(store.Write("Settings", "ShowMode", "1"));
  EXPECT_TRUE(store.Write("2026DEC", "IN", "123456789012"));
  EXPECT_TRUE(store.Write("screen", "visible", ""));

  const auto* value = registry.Get(kHkeyCurrentUser, "Software\\Trafimo\\Settings", "ShowMode");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->type, kRegSz);
  EXPECT_EQ(value->data, (std::vector<std::uint8_t>{'1', 0}));
  EXPECT_EQ(store.Read("2026DEC", "IN", "0"), "123456789012");
  EXPECT_EQ(store.Read("screen", "visible", "True"), "");
  EXPECT_EQ(registry.openHandles(), 0);
}

TEST(RegistryUserStore, MissingSectionsKeysAndNonTextValuesGiveTheDefault) {
  FakeRegistry registry;
  RegistryUserStore store(registry);
  EXPECT_EQ(store.Read("Today", "IN", "0"), "0");
  store.Write("Today", "OUT", "5");
  EXPECT_EQ(store.Read("Today", "IN", "0"), "0");
  registry.Put(kHkeyCurrentUser, "Software\\Trafimo\\Today", "IN", kRegDword, {1, 0, 0, 0});
  EXPECT_EQ(store.Read("Today", "IN", "0"), "0");
  registry.Put(kHkeyCurrentUser, "Software\\Trafimo\\Today", "IN", kRegSz, {'4', '2'});
  EXPECT_EQ(store.Read("Today", "IN", "0"), "42");  // no terminating NUL stored
  EXPECT_EQ(registry.openHandles(), 0);
}

TEST(RegistryUserStore, AFailingWriteIsReported) {
  FakeRegistry registry;
  RegistryUserStore store(registry);
  registry.failSetValues = 1;
  EXPECT_FALSE(store.Write("Today", "IN", "1"));
  EXPECT_EQ(store.Read("Today", "IN", "none"), "none");
  registry.readOnlyRoots.insert(kHkeyCurrentUser);
  EXPECT_FALSE(store.Write("Other", "IN", "1"));
}

TEST(RegistryUserStore, EraseAllRemovesTheWholeAreaOnly) {
  FakeRegistry registry;
  RegistryUserStore store(registry);
  registry.PutText(kHkeyCurrentUser, "Software\\TrafimoOther", "Kept", "x");
  store.Write("Settings", "ShowMode", "1");
  store.Write("2026DEC", "IN", "5");
  EXPECT_TRUE(store.EraseAll());
  EXPECT_FALSE(registry.KeyExists(kHkeyCurrentUser, "Software\\Trafimo"));
  EXPECT_EQ(store.Read("2026DEC", "IN", "0"), "0");
  EXPECT_EQ(registry.GetText(kHkeyCurrentUser, "Software\\TrafimoOther", "Kept"), "x");
  EXPECT_TRUE(store.EraseAll());  // nothing left to erase
  registry.PutText(kHkeyCurrentUser, "Software\\Trafimo\\Today", "IN", "1", kRegSz);
  registry.readOnlyRoots.insert(kHkeyCurrentUser);
  EXPECT_FALSE(store.EraseAll());
}

}  // namespace
}  // namespace trafimo::platform
