// The data plan: This Month against a monthly allowance, the pace to the end of the billing
// month, what is left a day, the warnings, and the speed of the last tick, with their texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/locale.h"

namespace trafimo {

inline constexpr std::uint64_t kBytesPerGb = std::uint64_t{1} << 30;
// The largest allowance the settings dialog takes: 999999.99 GB.
inline constexpr std::uint64_t kLargestAllowance = 99'999'999 * (kBytesPerGb / 4) / 25;
inline constexpr int kDefaultWarnAt = 80;
inline constexpr int kFullWarning = 100;  // the WARNED percent of the allowance's own warning

// From the start day at 00:00:00 to the next start day, as the month key names it.
struct BillingMonth {
  platform::LocalTime start;
  platform::LocalTime next;
};
BillingMonth BillingMonthOf(const platform::LocalTime& date, int monthStartDay);

// Whole seconds from `from` to `to` (negative when `to` is earlier).
std::int64_t SecondsBetween(const platform::LocalTime& from, const platform::LocalTime& to);

// Where This Month stands against the allowance at a moment.
struct PlanStanding {
  std::uint64_t used = 0;
  std::uint64_t allowance = 0;
  int percent = 0;  // of the allowance used, rounded down
  // The warning whose level is reached: 0 none, the warn-at percent, or kFullWarning.
  int level = 0;
  // The billing month's total at the present pace; none in its first day or before it began.
  std::optional<std::uint64_t> pace;
  std::uint64_t left = 0;  // bytes left of the allowance
  int daysLeft = 0;        // today and the days after it before the next start day
  BillingMonth month;
};
PlanStanding StandingOf(std::int64_t thisMonth, std::uint64_t allowance, int warnAt,
                        const platform::LocalTime& now, int monthStartDay);

// What the notification area is told when This Month reaches a level that was not warned of in
// this billing month; `warned` follows the highest level reached (also down, when the allowance
// was raised), and `store` says whether it changed and is to be stored.
struct WarningStep {
  int notify = 0;  // the level to tell of, or 0
  bool store = false;
};
WarningStep NextWarning(const PlanStanding& standing, int& warned);

// "48 KB/s": bytes a second in B/s and KB/s as whole numbers, MB/s and GB/s with two decimals.
std::string SpeedText(platform::Locale& locale, std::uint64_t bytesPerSecond);
// "In 1.25 MB/s, Out 48 KB/s".
std::string SpeedLine(platform::Locale& locale, std::uint64_t in, std::uint64_t out);
// "Month 40.02 of 50.00 GB (80 %), 61.3 GB at this pace" (without the pace in the month's first
// day).
std::string MonthLine(platform::Locale& locale, const PlanStanding& standing);
// "6.99 GB left: 1.00 GB a day for 7 days", or when nothing is left "Nothing left until
// 15 January."
std::string BudgetLine(platform::Locale& locale, const PlanStanding& standing);
// The notification of a level.
std::string WarningText(platform::Locale& locale, const PlanStanding& standing, int level);

}  // namespace trafimo
