#include "accounting/traffic_totals.h"

#include <limits>
#include <stdexcept>

namespace trafimo {

namespace {

using Limits = std::numeric_limits<std::int64_t>;

std::int64_t CheckedAdd(std::int64_t a, std::int64_t b) {
  if ((b > 0 && a > Limits::max() - b) || (b < 0 && a < Limits::min() - b))
    throw std::overflow_error("byte amount out of range");
  return a + b;
}

std::int64_t CheckedSubtract(std::int64_t a, std::int64_t b) {
  if ((b < 0 && a > Limits::max() + b) || (b > 0 && a < Limits::min() + b))
    throw std::overflow_error("byte amount out of range");
  return a - b;
}

}  // namespace

TrafficTotals AddTotals(const TrafficTotals& a, const TrafficTotals& b) {
  return {CheckedAdd(a.In, b.In), CheckedAdd(a.Out, b.Out), CheckedAdd(a.Total, b.Total)};
}

TrafficTotals SubtractTotals(const TrafficTotals& a, const TrafficTotals& b) {
  return {CheckedSubtract(a.In, b.In), CheckedSubtract(a.Out, b.Out),
          CheckedSubtract(a.Total, b.Total)};
}

void ComputeTotal(TrafficTotals& t) {
  t.Total = CheckedAdd(t.In, t.Out);
}

}  // namespace trafimo
