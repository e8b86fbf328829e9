#include "accounting/data_plan.h"

#include <chrono>
#include <limits>

#include "accounting/byte_amount.h"
#include "accounting/usage_records.h"
#include "platform/number_format.h"

namespace trafimo {

namespace {

using std::chrono::sys_days;

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

sys_days DayOf(const platform::LocalTime& date) {
  return sys_days{std::chrono::year{date.year} / date.month / date.day};
}

platform::LocalTime DateOf(sys_days day) {
  const std::chrono::year_month_day date{day};
  return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day()))};
}

std::string Gb(platform::Locale& locale, std::uint64_t bytes, int decimals) {
  const auto amount = static_cast<std::int64_t>(std::min<std::uint64_t>(bytes, kMax >> 1));
  return platform::FormatUserNumber(locale, ExactQuotientText(amount, 30), decimals, true);
}

// "15 January".
std::string DayAndMonth(platform::Locale& locale, const platform::LocalTime& date) {
  return std::to_string(date.day) + " " + locale.FullMonthName(date.month);
}

}  // namespace

BillingMonth BillingMonthOf(const platform::LocalTime& date, int monthStartDay) {
  const platform::LocalTime start = BillingMonthStart(date, monthStartDay);
  const std::chrono::year_month next =
      std::chrono::year{start.year} / start.month + std::chrono::months{1};
  return {start, DateOf(sys_days{next / monthStartDay})};
}

std::int64_t SecondsBetween(const platform::LocalTime& from, const platform::LocalTime& to) {
  const auto clock = [](const platform::LocalTime& t) {
    return t.hour * std::int64_t{3600} + t.minute * 60 + t.second;
  };
  return (DayOf(to) - DayOf(from)).count() * kSecondsPerDay + clock(to) - clock(from);
}

PlanStanding StandingOf(std::int64_t thisMonth, std::uint64_t allowance, int warnAt,
                        const platform::LocalTime& now, int monthStartDay) {
  PlanStanding s;
  s.used = thisMonth > 0 ? static_cast<std::uint64_t>(thisMonth) : 0;
  s.allowance = allowance;
  s.month = BillingMonthOf(now, monthStartDay);
  s.daysLeft = static_cast<int>((DayOf(s.month.next) - DayOf(now)).count());
  const std::int64_t elapsed = SecondsBetween(s.month.start, now);
  if (elapsed >= kSecondsPerDay) {
    const auto length = static_cast<long double>(SecondsBetween(s.month.start, s.month.next));
    const long double pace = static_cast<long double>(s.used) * length / elapsed;
    s.pace =
        pace < static_cast<long double>(kMax >> 1) ? static_cast<std::uint64_t>(pace) : kMax >> 1;
  }
  if (allowance == 0) return s;
  // used * 100 may not fit; the whole allowances and the rest apart do.
  const std::uint64_t percent = s.used / allowance * 100 + s.used % allowance * 100 / allowance;
  s.percent = static_cast<int>(std::min<std::uint64_t>(percent, 1'000'000'000));
  if (percent >= kFullWarning) {
    s.level = kFullWarning;
  } else if (warnAt > 0 && percent >= static_cast<std::uint64_t>(warnAt)) {
    s.level = warnAt;
  }
  s.left = s.used < allowance ? allowance - s.used : 0;
  return s;
}

WarningStep NextWarning(const PlanStanding& standing, int& warned) {
  if (standing.allowance == 0 || standing.level == warned) return {};
  const WarningStep step{standing.level > warned ? standing.level : 0, true};
  warned = standing.level;
  return step;
}

std::string SpeedText(platform::Locale& locale, std::uint64_t bytesPerSecond) {
  constexpr const char* kUnits[] = {" B/s", " KB/s", " MB/s", " GB/s"};
  int unit = 0;
  while (unit < 3 && bytesPerSecond >= (std::uint64_t{1} << (10 * (unit + 1))))
    ++unit;
  const auto amount = static_cast<std::int64_t>(std::min<std::uint64_t>(bytesPerSecond, kMax >> 1));
  return platform::FormatUserNumber(locale, ExactQuotientText(amount, 10 * unit), unit < 2 ? 0 : 2,
                                    true) +
         kUnits[unit];
}

std::string SpeedLine(platform::Locale& locale, std::uint64_t in, std::uint64_t out) {
  return "In " + SpeedText(locale, in) + ", Out " + SpeedText(locale, out);
}

std::string MonthLine(platform::Locale& locale, const PlanStanding& standing) {
  std::string line = "Month " + Gb(locale, standing.used, 2) + " of " +
                     Gb(locale, standing.allowance, 2) + " GB (" +
                     std::to_string(standing.percent) + " %)";
  if (standing.pace) line += ", " + Gb(locale, *standing.pace, 1) + " GB at this pace";
  return line;
}

std::string BudgetLine(platform::Locale& locale, const PlanStanding& standing) {
  if (standing.left == 0 || standing.daysLeft <= 0)
    return "Nothing left until " + DayAndMonth(locale, standing.month.next) + ".";
  const auto days = static_cast<std::uint64_t>(standing.daysLeft);
  return Gb(locale, standing.left, 2) + " GB left: " + Gb(locale, standing.left / days, 2) +
         " GB a day for " + std::to_string(days) + (days == 1 ? " day" : " days");
}

std::string WarningText(platform::Locale& locale, const PlanStanding& standing, int level) {
  const std::string allowance = Gb(locale, standing.allowance, 2) + " GB";
  const std::string used = Gb(locale, standing.used, 2) + " GB";
  if (level >= kFullWarning)
    return "You have used all of your " + allowance + " allowance for this month (" + used +
           "). It starts again on " + DayAndMonth(locale, standing.month.next) + ".";
  std::string text = "This month you have used " + used + " of your " + allowance + " allowance (" +
                     std::to_string(standing.percent) + " %).";
  if (standing.pace) {
    const platform::LocalTime lastDay = DateOf(DayOf(standing.month.next) - std::chrono::days{1});
    text += " At this pace you will use " + Gb(locale, *standing.pace, 1) + " GB by " +
            DayAndMonth(locale, lastDay) + ".";
  }
  return text;
}

}  // namespace trafimo
