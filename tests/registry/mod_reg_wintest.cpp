// The registry wrappers against the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/platform_win.h"
#include "registry/mod_reg.h"

namespace trafimo {
namespace {

TEST(ModRegOnTheRealRegistry, WritesAndReadsBackWithTheStoredTypes) {
  constexpr const char* kKey = "Software\\Trafimo Wine Test\\modReg\\";
  constexpr auto kHkcu = platform::kHkeyCurrentUser;
  win::Win32Registry registry;
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Trafimo Wine Test");
  const auto read = [&](const char* name, std::uint32_t asked, std::uint32_t stored) {
    std::string text = modReg::ReadRegValue(registry, kHkcu, kKey, name, asked);
    EXPECT_EQ(asked, stored) << name;
    return text;
  };
  EXPECT_EQ(read("Text", 2, 2), "");  // no key yet
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkcu, kKey, "Text"), 2);
  ASSERT_TRUE(modReg::WriteRegValue(registry, kHkcu, kKey, "Text", 2, "%TEMP%\\x,2:0:0"));
  ASSERT_TRUE(modReg::WriteRegValue(registry, kHkcu, kKey, "Number", 4, "305419896"));
  EXPECT_EQ(read("Text", 2, REG_EXPAND_SZ), "%TEMP%\\x,2:0:0");  // not expanded
  EXPECT_EQ(read("Number", 4, REG_DWORD), "305419896");
  // Text stored without a NUL, and an empty value, read whole.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  RegSetValueExA(key, "NoNul", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
  RegSetValueExA(key, "Empty", 0, REG_EXPAND_SZ, nullptr, 0);
  RegCloseKey(key);
  EXPECT_EQ(read("NoNul", 2, 2), "abc");
  EXPECT_EQ(read("Empty", 2, 2), "");
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkcu, kKey, "Text"), 0);
  EXPECT_EQ(read("Text", 2, 2), "");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Trafimo Wine Test");
  // HKEY_LOCAL_MACHINE is a sign-extended predefined handle in a 64-bit program.
  std::uint32_t type = 2;
  EXPECT_FALSE(modReg::ReadRegValue(registry, platform::kHkeyLocalMachine,
                                    "Software\\Microsoft\\Windows NT\\CurrentVersion",
                                    "CurrentVersion", type)
                   .empty());
}

}  // namespace
}  // namespace trafimo
