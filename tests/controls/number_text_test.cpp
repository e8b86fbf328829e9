// The numeric box's number texts: what a text reads as, which texts are numbers, how a number is
// written with a fixed count of decimals, and how a text splits into its parts.
#include "controls/number_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace trafimo::controls {
namespace {

TEST(NumberText, ReadsTheLeadingNumberAndTellsWhetherTheWholeTextIsOne) {
  // text, the number it reads as, whether the whole text is a number
  const std::tuple<const char*, double, bool> cases[] = {
      {"", 0, false},        {"-", 0, false},   {".", 0, false},      {".5", 0.5, true},
      {"-.5", -0.5, true},   {"5.", 5, true},   {"-0012", -12, true}, {"12.5abc", 12.5, false},
      {"1.2.3", 1.2, false}, {"--5", 0, false}, {" 1", 0, false},     {"1e5", 1, false},
      {"1-", 1, false}};
  for (const auto& [text, number, numeric] : cases) {
    EXPECT_DOUBLE_EQ(ReadNumber(text), number) << '"' << text << '"';
    EXPECT_EQ(IsNumeric(text), numeric) << '"' << text << '"';
  }
}

TEST(NumberText, FormatsWithExactlyTheDecimalsRoundingHalvesAwayAndNeverAMinusZero) {
  const std::tuple<double, int, const char*> numbers[] = {
      {9.995, 2, "10.00"}, {0.5, 0, "1"},      {-2.5, 0, "-3"}, {-0.001, 2, "0.00"},
      {5, 3, "5.000"},     {999.5, 0, "1000"}, {0.25, -1, "0"}, {12.5, 1, "12.5"}};
  for (const auto& [number, decimals, text] : numbers)
    EXPECT_EQ(FormatNumber(number, decimals), text) << number << " with " << decimals;
  // A text is formatted only when it is a number.
  const std::tuple<const char*, int, const char*> texts[] = {
      {"1.256", 2, "1.26"}, {"12.", 0, "12"}, {"-", 2, "-"}, {"--5", 2, "--5"}, {"x1", 0, "x1"}};
  for (const auto& [text, decimals, formatted] : texts)
    EXPECT_EQ(FormatText(text, decimals), formatted) << text;
  EXPECT_EQ(RepeatText("09", 3), "090909");
}

TEST(NumberText, SplitsIntoSignPointAndTheDigitsOnEitherSide) {
  struct Case {
    const char* text;
    int signCount, pointPosition;
    const char *integerPart, *decimalPart;
  };
  const Case cases[] = {{"-12.34", 1, 4, "12", "34"}, {"123", 0, 4, "123", ""},
                        {".5", 0, 1, "", "5"},        {"-", 1, 2, "", ""},
                        {"1.2.3", 0, 2, "1", "2.3"},  {"", 0, 1, "", ""}};
  for (const Case& c : cases) {
    const TextParts parts = SplitText(c.text);
    EXPECT_EQ(std::tie(parts.signCount, parts.pointPosition, parts.integerPart, parts.decimalPart),
              std::make_tuple(c.signCount, c.pointPosition, std::string(c.integerPart),
                              std::string(c.decimalPart)))
        << c.text;
  }
}

}  // namespace
}  // namespace trafimo::controls
