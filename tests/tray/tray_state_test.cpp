#include "tray/tray_state.h"

#include <gtest/gtest.h>

#include <string>

namespace trafimo {
namespace {

// Only a whole number from 0 to 5 is a level; anything else is opaque.
TEST(StoredChoices, UnusableLevelsAreOpaque) {
  const std::pair<std::string, int> levels[] = {
      {"5", 5}, {" 3 ", 3}, {"6", 0}, {"99999999999999999999", 0}, {"-1", 0}, {"2.5", 0}};
  for (const auto& [stored, level] : levels)
    EXPECT_EQ(ParseTransLevel(stored), level) << stored;
}

// The tip field holds the text, a NUL and blanks; a long text is cut to fit, never inside a
// UTF-8 character (a locale's no-break space "\xC2\xA0", a narrow one "\xE2\x80\xAF").
TEST(TipField, IsCutToFitBetweenCharacters) {
  const std::string y60(60, 'y');
  const std::pair<std::string, std::size_t> cases[] = {{std::string(80, 'y'), 63},
                                                       {y60 + "yy\xC2\xA0", 62},
                                                       {y60 + "y\xC2\xA0", 63},
                                                       {y60 + "\xE2\x80\xAF", 63},
                                                       {y60 + "y\xE2\x80\xAF", 61},
                                                       {y60 + "yy\xE2\x80\xAFy", 62},
                                                       {"Current - 1\xC2\xA0"
                                                        "234 KB",
                                                        19}};
  for (const auto& [text, kept] : cases) {
    char field[64];
    WriteTipField(field, text);
    EXPECT_EQ(std::string(field, 64), text.substr(0, kept) + '\0' + std::string(63 - kept, ' '))
        << text;
  }
}

}  // namespace
}  // namespace trafimo
