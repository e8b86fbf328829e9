// The per-user store on the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/platform_win.h"

namespace trafimo {
namespace {

class UserStoreOnTheRealRegistry : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Trafimo"); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Trafimo"); }

  win::Win32Registry registry;
  platform::RegistryUserStore store{registry};
};

TEST_F(UserStoreOnTheRealRegistry, WritesPlainStringsPerSectionAndReadsThemBack) {
  ASSERT_TRUE(store.Write("Settings", "ShowMode", "2"));
  ASSERT_TRUE(store.Write("2026DEC", "OUT", "9876543210"));
  char data[32] = {};
  DWORD type = 0;
  DWORD size = sizeof data;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\Trafimo\\2026DEC", "OUT", RRF_RT_ANY, &type,
                         data, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(data, "9876543210");
  EXPECT_EQ(store.Read("Settings", "ShowMode", "1"), "2");
  EXPECT_EQ(store.Read("Settings", "Missing", "dflt"), "dflt");
  EXPECT_EQ(store.Read("NoSection", "IN", "0"), "0");
}

TEST_F(UserStoreOnTheRealRegistry, EraseAllDeletesTheAreaWithEverythingBelow) {
  ASSERT_TRUE(store.Write("Today", "IN", "1"));
  ASSERT_TRUE(store.Write("2026NOV", "IN", "2"));
  EXPECT_TRUE(store.EraseAll());
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Trafimo", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(store.EraseAll());  // an absent area
  EXPECT_EQ(store.Read("Today", "IN", "0"), "0");
}

}  // namespace
}  // namespace trafimo
