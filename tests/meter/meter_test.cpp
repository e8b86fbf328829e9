// The meter window's close time.
#include <gtest/gtest.h>

#include <tuple>

#include "meter/meter_state.h"

namespace trafimo::meter {
namespace {

TEST(CloseTime, AddSecondsCrossesDaysMonthsAndYears) {
  const std::tuple<platform::LocalTime, long long, platform::LocalTime> cases[] = {
      {{2024, 2, 28, 23, 59, 59}, 1, {2024, 2, 29, 0, 0, 0}},
      {{2026, 12, 31, 23, 59, 55}, 5, {2027, 1, 1, 0, 0, 0}},
      {{2026, 1, 1, 0, 0, 0}, -1, {2025, 12, 31, 23, 59, 59}},
      {{2100, 2, 28, 12, 0, 0}, 86400, {2100, 3, 1, 12, 0, 0}}};
  for (const auto& [from, seconds, to] : cases)
    EXPECT_EQ(AddSeconds(from, seconds), to);
}

}  // namespace
}  // namespace trafimo::meter
