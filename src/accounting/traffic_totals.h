// Received, sent and total bytes, as signed 64-bit whole bytes.
#pragma once

#include <cstdint>

namespace trafimo {

struct TrafficTotals {
  std::int64_t In = 0;     // bytes received
  std::int64_t Out = 0;    // bytes sent
  std::int64_t Total = 0;  // In + Out, recomputed by ComputeTotal or carried by the arithmetic
  bool operator==(const TrafficTotals&) const = default;
};

// Field by field, Total included (the result's Total is not recomputed). A result outside the
// 64-bit range throws std::overflow_error instead of wrapping; so does ComputeTotal.
TrafficTotals AddTotals(const TrafficTotals& a, const TrafficTotals& b);
TrafficTotals SubtractTotals(const TrafficTotals& a, const TrafficTotals& b);
void ComputeTotal(TrafficTotals& t);

}  // namespace trafimo
