#include "tray/tray_state.h"

#include <gtest/gtest.h>

#include <string>

namespace trafimo {
namespace {

struct LevelCase {
  std::string stored;
  int expected;
};

class StoredTransLevel : public ::testing::TestWithParam<LevelCase> {};

TEST_P(StoredTransLevel, OnlyZeroToFiveAreKept) {
  EXPECT_EQ(ParseTransLevel(GetParam().stored), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredTransLevel,
                         ::testing::Values(LevelCase{"0", 0}, LevelCase{"1", 1}, LevelCase{"5", 5},
                                           LevelCase{" 3 ", 3}, LevelCase{"6", 0},
                                           LevelCase{"255", 0}, LevelCase{"256", 0},
                                           LevelCase{"99999999999999999999", 0}, LevelCase{"-1", 0},
                                           LevelCase{"2.5", 0}, LevelCase{"abc", 0},
                                           LevelCase{"4x", 0}, LevelCase{"", 0}));

struct FlagCase {
  std::string stored;
  bool expected;
};

class StoredVisibleFlag : public ::testing::TestWithParam<FlagCase> {};

TEST_P(StoredVisibleFlag, TrueFalseOrNumber) {
  EXPECT_EQ(ParseVisibleFlag(GetParam().stored), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredVisibleFlag,
                         ::testing::Values(FlagCase{"True", true}, FlagCase{"False", false},
                                           FlagCase{"FALSE", false}, FlagCase{"true", true},
                                           FlagCase{" False ", false}, FlagCase{"0", false},
                                           FlagCase{"-1", true}, FlagCase{"1", true},
                                           FlagCase{"no", true}, FlagCase{"", true}));

TEST(ShowMode, OnlyTheTwoOfferedUnitsStand) {
  EXPECT_EQ(UsableShowMode(1), 1);
  EXPECT_EQ(UsableShowMode(2), 2);
  for (const float other : {0.0f, 3.0f, 1.5f, -1.0f})
    EXPECT_EQ(UsableShowMode(other), 2) << other;
}

TEST(TipField, TextThenNulThenBlanks) {
  char field[64];
  std::fill(std::begin(field), std::end(field), 'x');
  WriteTipField(field, "Current - 1.25 MB");
  EXPECT_EQ(std::string(field, 17), "Current - 1.25 MB");
  EXPECT_EQ(field[17], '\0');
  EXPECT_EQ(std::string(field + 18, 46), std::string(46, ' '));

  WriteTipField(field, "Trafimo");  // a shorter text leaves nothing of the longer one
  EXPECT_STREQ(field, "Trafimo");
  EXPECT_EQ(std::string(field + 8, 56), std::string(56, ' '));

  WriteTipField(field, std::string(80, 'y'));
  EXPECT_EQ(std::string(field, 63), std::string(63, 'y'));
  EXPECT_EQ(field[63], '\0');
}

}  // namespace
}  // namespace trafimo
