#include "tray/tray_state.h"

#include <gtest/gtest.h>

#include <string>

namespace trafimo {
namespace {

// Only a whole number from 0 to 5 is a level; anything else is opaque. The tip field holds the
// text, a NUL and blanks, a long text cut to fit.
TEST(StoredChoices, UnusableLevelsAreOpaqueAndTheTipFieldIsCutToFit) {
  const std::pair<std::string, int> levels[] = {
      {"5", 5}, {" 3 ", 3}, {"6", 0}, {"99999999999999999999", 0}, {"-1", 0}, {"2.5", 0}};
  for (const auto& [stored, level] : levels)
    EXPECT_EQ(ParseTransLevel(stored), level) << stored;
  char field[64];
  WriteTipField(field, std::string(80, 'y'));
  EXPECT_EQ(std::string(field, 64), std::string(63, 'y') + '\0');
}

}  // namespace
}  // namespace trafimo
