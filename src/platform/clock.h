// Local date and time to the second, and a monotonic clock for measuring time spans.
#pragma once

#include <compare>
#include <cstdint>

namespace trafimo::platform {

struct LocalTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  auto operator<=>(const LocalTime&) const = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // Milliseconds since an arbitrary start, never going back when the date or time is set, and
  // going on through sleep (GetTickCount64).
  virtual std::uint64_t MonotonicMs() = 0;
};

}  // namespace trafimo::platform
