#include "registry/mod_reg.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

using platform::kHkeyLocalMachine;
using testing::FakeRegistry;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kKey = "Software\\Test\\";

Bytes Of(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

TEST(ReadRegValue, ReadsNoFurtherThanTheValueAndReportsTheStoredType) {
  const std::tuple<std::uint32_t, Bytes, std::uint32_t, std::string> cases[] = {
      {2, Of({"2:0:0\0", 6}), 2, "2:0:0"},
      {2, Of("7:59:59"), 2, "7:59:59"},  // no NUL
      {2, {}, 2, ""},
      {2, Of({"ab\0cd\0", 6}), 2, "ab"},
      {4, {0xFF, 0xFF, 0xFF, 0xFF}, 4, "-1"},
      {2, Of({"1\0", 2}), 3, ""},       // other type asked
      {2, Of({"12345\0", 6}), 4, ""}};  // too long for a DWORD
  for (const auto& [storedType, stored, asked, expected] : cases) {
    FakeRegistry registry;
    registry.Put(kHkeyLocalMachine, kKey, "Value", storedType, stored);
    std::uint32_t type = asked;
    EXPECT_EQ(modReg::ReadRegValue(registry, kHkeyLocalMachine, kKey, "Value", type), expected);
    EXPECT_EQ(type, storedType) << expected;
    EXPECT_EQ(registry.openHandles(), 0);
  }
}

TEST(ReadRegValue, MissingOrRefusedKeysAndValuesAreEmptyAndLeaveTheTypeAsked) {
  FakeRegistry registry;
  std::uint32_t type = 2;
  EXPECT_EQ(modReg::ReadRegValue(registry, kHkeyLocalMachine, kKey, "Value", type), "");
  registry.PutText(kHkeyLocalMachine, kKey, "Other", "x");
  EXPECT_EQ(modReg::ReadRegValue(registry, kHkeyLocalMachine, kKey, "Value", type), "");
  registry.deniedKeys.insert("HKLM\\Software\\Test");
  EXPECT_EQ(modReg::ReadRegValue(registry, kHkeyLocalMachine, kKey, "Other", type), "");
  EXPECT_EQ(type, 2u);
  EXPECT_EQ(registry.openHandles(), 0);
}

TEST(WriteAndDeleteRegValue, WriteTextWithItsNulAsType2AndNumbersAsType4AndReportResults) {
  FakeRegistry registry;
  EXPECT_TRUE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Text", 2, "2:0:0"));
  EXPECT_TRUE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Number", 4, "-2"));
  EXPECT_FALSE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Binary", 3, "1"));
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Text")->data, Of({"2:0:0\0", 6}));
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Number")->type, 4u);
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Number")->data, (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Binary"), nullptr);
  registry.failSetValues = 1;
  EXPECT_FALSE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Failed", 2, "x"));
  registry.readOnlyRoots.insert(kHkeyLocalMachine);
  EXPECT_FALSE(modReg::WriteRegValue(registry, kHkeyLocalMachine, "Software\\New", "T", 2, "x"));
  registry.readOnlyRoots.clear();
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkeyLocalMachine, "Software\\None", "V"), 2);
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkeyLocalMachine, kKey, "Text"), 0);
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkeyLocalMachine, kKey, "Text"), 2);  // gone
  registry.readOnlyRoots.insert(kHkeyLocalMachine);
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkeyLocalMachine, kKey, "Number"), 5);
  EXPECT_EQ(registry.openHandles(), 0);
}

}  // namespace
}  // namespace trafimo
