// The registry wrappers against the real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/platform_win.h"
#include "registry/mod_reg.h"

namespace trafimo {
namespace {

constexpr const char* kTestKey = "Software\\Trafimo Wine Test\\modReg\\";

class ModRegOnTheRealRegistry : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Trafimo Wine Test"); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Trafimo Wine Test"); }

  win::Win32Registry registry;
};

TEST_F(ModRegOnTheRealRegistry, TextIsWrittenAsExpandableStringAndReadBack) {
  ASSERT_TRUE(modReg::WriteRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Text", 2,
                                    "%TEMP%\\x,2:0:0"));
  char data[64] = {};
  DWORD type = 0;
  DWORD size = sizeof data;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kTestKey, "Text", RRF_RT_ANY | RRF_NOEXPAND, &type,
                         data, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(size, sizeof "%TEMP%\\x,2:0:0");  // the text and one NUL

  std::uint32_t readType = 2;
  EXPECT_EQ(modReg::ReadRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Text", readType),
            "%TEMP%\\x,2:0:0");
  EXPECT_EQ(readType, 2u);
}

TEST_F(ModRegOnTheRealRegistry, TextWithoutNulAndEmptyValuesReadWhole) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "NoNul", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
  RegSetValueExA(key, "Empty", 0, REG_EXPAND_SZ, nullptr, 0);
  RegCloseKey(key);
  std::uint32_t type = 2;
  EXPECT_EQ(modReg::ReadRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "NoNul", type),
            "abc");
  type = 2;
  EXPECT_EQ(modReg::ReadRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Empty", type),
            "");
  EXPECT_EQ(type, 2u);
}

TEST_F(ModRegOnTheRealRegistry, AMissingKeyReadsEmptyAndDeletesWithTwo) {
  std::uint32_t type = 2;
  EXPECT_EQ(modReg::ReadRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Text", type), "");
  EXPECT_EQ(modReg::DeleteRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Text"), 2);
}

TEST_F(ModRegOnTheRealRegistry, ADwordIsReadAsDecimalTextWithItsType) {
  ASSERT_TRUE(modReg::WriteRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Number", 4,
                                    "305419896"));
  DWORD number = 0;
  DWORD size = sizeof number;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kTestKey, "Number", RRF_RT_REG_DWORD, nullptr, &number,
                         &size),
            ERROR_SUCCESS);
  EXPECT_EQ(number, 0x12345678u);
  std::uint32_t type = 4;
  EXPECT_EQ(modReg::ReadRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Number", type),
            "305419896");
  EXPECT_EQ(type, 4u);
}

TEST_F(ModRegOnTheRealRegistry, DeletingAValueReportsSuccessThenNotFound) {
  ASSERT_TRUE(
      modReg::WriteRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Text", 2, "x"));
  EXPECT_EQ(modReg::DeleteRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Text"), 0);
  EXPECT_EQ(modReg::DeleteRegValue(registry, platform::kHkeyCurrentUser, kTestKey, "Text"), 2);
}

TEST_F(ModRegOnTheRealRegistry, TheMachineWideRootIsReachable) {
  // HKEY_LOCAL_MACHINE is a sign-extended predefined handle in a 64-bit program.
  std::uint32_t type = 2;
  EXPECT_FALSE(modReg::ReadRegValue(registry, platform::kHkeyLocalMachine,
                                    "Software\\Microsoft\\Windows NT\\CurrentVersion",
                                    "CurrentVersion", type)
                   .empty());
  EXPECT_EQ(type, static_cast<std::uint32_t>(REG_SZ));
}

}  // namespace
}  // namespace trafimo
