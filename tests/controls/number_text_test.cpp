// The numeric box's number texts: what a text reads as and which texts are numbers. How the box
// writes them is shown in neb_test.cpp.
#include "controls/number_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace trafimo::controls {
namespace {

TEST(NumberText, ReadsTheLeadingNumberAndTellsWhetherTheWholeTextIsOne) {
  // text, the number it reads as, whether the whole text is a number
  const std::tuple<const char*, double, bool> cases[] = {
      {"", 0, false},       {"-", 0, false},          {".5", 0.5, true},
      {"-0012", -12, true}, {"12.5abc", 12.5, false}, {"1.2.3", 1.2, false}};
  for (const auto& [text, number, numeric] : cases) {
    EXPECT_DOUBLE_EQ(ReadNumber(text), number) << '"' << text << '"';
    EXPECT_EQ(IsNumeric(text), numeric) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace trafimo::controls
