#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "accounting/traffic_totals.h"

namespace trafimo {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(TrafficTotals, ArithmeticWorksFieldByFieldWithoutRecomputingTotal) {
  const TrafficTotals a{100, 20, 1000};
  const TrafficTotals b{1, -2, 30};
  EXPECT_EQ(AddTotals(a, b), (TrafficTotals{101, 18, 1030}));
  EXPECT_EQ(SubtractTotals(a, b), (TrafficTotals{99, 22, 970}));
  TrafficTotals c{-7, 3000000000, 0};
  ComputeTotal(c);
  EXPECT_EQ(c, (TrafficTotals{-7, 3000000000, 2999999993}));
}

TEST(TrafficTotals, LeavingThe64BitRangeThrowsInsteadOfWrapping) {
  EXPECT_THROW(AddTotals({kMax, 0, 0}, {1, 0, 0}), std::overflow_error);
  EXPECT_THROW(AddTotals({0, kMin, 0}, {0, -1, 0}), std::overflow_error);
  EXPECT_THROW(AddTotals({0, 0, kMax}, {0, 0, 1}), std::overflow_error);
  EXPECT_THROW(SubtractTotals({kMin, 0, 0}, {1, 0, 0}), std::overflow_error);
  EXPECT_THROW(SubtractTotals({0, kMax, 0}, {0, -1, 0}), std::overflow_error);
  TrafficTotals big{kMax, 1, 0};
  EXPECT_THROW(ComputeTotal(big), std::overflow_error);
  EXPECT_EQ(AddTotals({kMax - 1, kMin + 1, 0}, {1, -1, 0}), (TrafficTotals{kMax, kMin, 0}));
  EXPECT_EQ(SubtractTotals({kMin + 1, kMax - 1, 0}, {1, -1, 0}), (TrafficTotals{kMin, kMax, 0}));
}

}  // namespace
}  // namespace trafimo
