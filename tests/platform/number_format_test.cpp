#include "platform/number_format.h"

#include <gtest/gtest.h>

#include <tuple>

namespace trafimo::platform {
namespace {

TEST(NumberFormat, TheLocalesGroupingTextBecomesThePlatformsGroupingNumber) {
  const std::pair<const char*, unsigned> cases[] = {{"3;0", 3},   {"3;2;0", 32}, {"3", 30},
                                                    {"3;2", 320}, {"0;0", 0},    {"", 3}};
  for (const auto& [text, number] : cases)
    EXPECT_EQ(GroupingNumber(text), number) << text;
}

TEST(NumberFormat, PlainNumbersRoundHalvesAwayFromZeroToExactlyTheDecimals) {
  const std::tuple<const char*, int, const char*> cases[] = {
      {"5.099998474121", 2, "5.10"}, {"-0.005", 2, "-0.01"}, {"-0.004", 2, "0.00"},
      {"999.996", 2, "1000.00"},     {"x", 2, "0.00"},       {"1.2.3", 1, "0.0"}};
  for (const auto& [plain, decimals, rounded] : cases)
    EXPECT_EQ(RoundedPlainNumber(plain, decimals), rounded) << plain;
}

}  // namespace
}  // namespace trafimo::platform
