#include "registry/mod_reg.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

using platform::kHkeyLocalMachine;
using testing::FakeRegistry;

constexpr const char* kKey = "Software\\Test\\";

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

struct ReadCase {
  const char* name;
  std::uint32_t storedType;
  std::vector<std::uint8_t> stored;
  std::uint32_t requestedType;
  std::string expected;
  friend void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }
};

class ReadRegValueCases : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadRegValueCases, ReadsNoFurtherThanTheValueAndReportsTheStoredType) {
  const ReadCase& c = GetParam();
  FakeRegistry registry;
  registry.Put(kHkeyLocalMachine, kKey, "Value", c.storedType, c.stored);
  std::uint32_t type = c.requestedType;
  EXPECT_EQ(modReg::ReadRegValue(registry, kHkeyLocalMachine, kKey, "Value", type), c.expected);
  EXPECT_EQ(type, c.storedType);
  EXPECT_EQ(registry.openHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, ReadRegValueCases,
    ::testing::Values(
        ReadCase{"TextWithNul", 2, Bytes(std::string_view("2:0:0\0", 6)), 2, "2:0:0"},
        ReadCase{"TextWithoutNul", 2, Bytes("7:59:59"), 2, "7:59:59"},
        ReadCase{"EmptyValue", 2, {}, 2, ""}, ReadCase{"OnlyTheNul", 2, {0}, 2, ""},
        ReadCase{"StopsAtTheFirstNul", 2, Bytes(std::string_view("ab\0cd\0", 6)), 2, "ab"},
        ReadCase{"PlainStringAsText", 1, Bytes(std::string_view("x\0", 2)), 2, "x"},
        ReadCase{"Dword", 4, {0x39, 0x30, 0, 0}, 4, "12345"},
        ReadCase{"DwordAllOnesIsSigned", 4, {0xFF, 0xFF, 0xFF, 0xFF}, 4, "-1"},
        ReadCase{"OtherRequestedType", 2, Bytes(std::string_view("1\0", 2)), 3, ""},
        ReadCase{"TextRequestedAsDwordIsTooLong", 2, Bytes(std::string_view("12345\0", 6)), 4, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadRegValue, MissingKeyOrValueIsEmptyTextAndLeavesTheTypeAsked) {
  FakeRegistry registry;
  std::uint32_t type = 2;
  EXPECT_EQ(modReg::ReadRegValue(registry, kHkeyLocalMachine, "Software\\None", "Value", type), "");
  EXPECT_EQ(type, 2u);
  registry.PutText(kHkeyLocalMachine, kKey, "Other", "x");
  EXPECT_EQ(modReg::ReadRegValue(registry, kHkeyLocalMachine, kKey, "Value", type), "");
  registry.deniedKeys.insert("HKLM\\Software\\Test");
  EXPECT_EQ(modReg::ReadRegValue(registry, kHkeyLocalMachine, kKey, "Other", type), "");
  EXPECT_EQ(registry.openHandles(), 0);
}

TEST(WriteRegValue, WritesTextWithItsNulAsType2AndNumbersAsType4) {
  FakeRegistry registry;
  EXPECT_TRUE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Text", 2, "2:0:0"));
  EXPECT_TRUE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Empty", 2, ""));
  EXPECT_TRUE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Number", 4, "-2"));
  EXPECT_FALSE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Binary", 3, "1"));

  const auto* text = registry.Get(kHkeyLocalMachine, kKey, "Text");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->type, 2u);
  EXPECT_EQ(text->data, Bytes(std::string_view("2:0:0\0", 6)));
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Empty")->data, std::vector<std::uint8_t>{0});
  const auto* number = registry.Get(kHkeyLocalMachine, kKey, "Number");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->type, 4u);
  EXPECT_EQ(number->data, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Binary"), nullptr);
  EXPECT_EQ(registry.openHandles(), 0);
}

TEST(WriteRegValue, RefusedCreateOrWriteIsReported) {
  FakeRegistry registry;
  registry.readOnlyRoots.insert(kHkeyLocalMachine);
  EXPECT_FALSE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Text", 2, "x"));
  registry.readOnlyRoots.clear();
  registry.failSetValues = 1;
  EXPECT_FALSE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Text", 2, "x"));
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Text"), nullptr);
  EXPECT_EQ(registry.openHandles(), 0);
}

TEST(DeleteRegValue, ReportsThePlatformsResult) {
  FakeRegistry registry;
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkeyLocalMachine, kKey, "Value"), 2);  // no key
  registry.PutText(kHkeyLocalMachine, kKey, "Value", "x");
  registry.PutText(kHkeyLocalMachine, kKey, "Kept", "y");
  registry.readOnlyRoots.insert(kHkeyLocalMachine);
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkeyLocalMachine, kKey, "Value"), 5);
  registry.readOnlyRoots.clear();
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkeyLocalMachine, kKey, "Value"), 0);
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Value"), nullptr);
  EXPECT_EQ(registry.GetText(kHkeyLocalMachine, kKey, "Kept"), "y");
  EXPECT_EQ(modReg::DeleteRegValue(registry, kHkeyLocalMachine, kKey, "Value"), 2);  // gone
  EXPECT_EQ(registry.openHandles(), 0);
}

}  // namespace
}  // namespace trafimo
