#include "registry/mod_reg.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

using platform::kHkeyLocalMachine;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kKey = "Software\\Test\\";

Bytes Of(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

// Stored values read no further than their data, with or without a NUL; another type reads empty.
TEST(ReadRegValue, ReadsNoFurtherThanTheValueAndReportsTheStoredType) {
  const std::tuple<std::uint32_t, Bytes, std::uint32_t, std::string> cases[] = {
      {2, Of({"2:0:0\0", 6}), 2, "2:0:0"},
      {2, Of("7:59:59"), 2, "7:59:59"},
      {4, {0xFF, 0xFF, 0xFF, 0xFF}, 4, "-1"},
      {2, Of({"12345\0", 6}), 4, ""}};
  for (const auto& [storedType, stored, asked, expected] : cases) {
    testing::FakeRegistry registry;
    registry.Put(kHkeyLocalMachine, kKey, "Value", storedType, stored);
    std::uint32_t type = asked;
    EXPECT_EQ(modReg::ReadRegValue(registry, kHkeyLocalMachine, kKey, "Value", type), expected);
    EXPECT_EQ(type, storedType) << expected;
  }
}

TEST(WriteRegValue, WritesTextWithItsNulAsType2AndNumbersAsType4) {
  testing::FakeRegistry registry;
  EXPECT_TRUE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Text", 2, "2:0:0"));
  EXPECT_TRUE(modReg::WriteRegValue(registry, kHkeyLocalMachine, kKey, "Number", 4, "-2"));
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Text")->data, Of({"2:0:0\0", 6}));
  EXPECT_EQ(registry.Get(kHkeyLocalMachine, kKey, "Number")->data, (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace trafimo
