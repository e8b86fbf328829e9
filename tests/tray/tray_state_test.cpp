#include "tray/tray_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trafimo {
namespace {

TEST(StoredChoices, UnusableValuesFallBackToWhatTheMenuCanShow) {
  // Only a whole number from 0 to 5 is a level; anything else is opaque.
  const std::vector<std::pair<std::string, int>> levels = {
      {"0", 0},  {"5", 5},   {" 3 ", 3}, {"6", 0}, {"256", 0}, {"99999999999999999999", 0},
      {"-1", 0}, {"2.5", 0}, {"4x", 0},  {"", 0}};
  for (const auto& [stored, level] : levels)
    EXPECT_EQ(ParseTransLevel(stored), level) << stored;
  // "True"/"False" in any case or a number; anything else is shown.
  const std::vector<std::pair<std::string, bool>> visible = {
      {"true", true}, {" FALSE ", false}, {"0", false}, {"-1", true}, {"no", true}, {"", true}};
  for (const auto& [stored, shown] : visible)
    EXPECT_EQ(ParseVisibleFlag(stored), shown) << stored;
  for (const float unit : {1.0f, 2.0f, 0.0f, 3.0f, 1.5f})
    EXPECT_EQ(UsableShowMode(unit), unit == 1.0f ? 1.0f : 2.0f) << unit;
}

TEST(TipField, TextThenNulThenBlanksAndLongTextCut) {
  char field[64];
  WriteTipField(field, std::string(80, 'y'));
  EXPECT_EQ(std::string(field, 64), std::string(63, 'y') + '\0');
  WriteTipField(field, "Current - 1.25 MB");
  EXPECT_EQ(std::string(field, 64), std::string("Current - 1.25 MB\0", 18) + std::string(46, ' '));
}

}  // namespace
}  // namespace trafimo
