// The monthly totals report: which years have records, the twelve rows of one year and the
// report's own byte formatting. Reads the month records the accounting writes; writes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "accounting/day_records.h"
#include "platform/platform.h"
#include "startup/globals.h"

namespace trafimo::report {

// The first year the report looks for records in; it looks up to the present year.
inline constexpr int kFirstReportYear = 2007;

// A stored byte amount as a currency number: whole ten-thousandths of a byte.
struct Currency {
  std::int64_t tenThousandths = 0;
  static Currency FromBytes(double bytes);  // rounded to four places, kept within the range
  double Bytes() const { return static_cast<double>(tenThousandths) / 10000.0; }
  Currency operator+(Currency other) const;  // kept within the range
  bool operator==(const Currency&) const = default;
};

// The unit chosen with the option buttons: optType 0 and 1.
enum class Unit { MB = 0, GB = 1 };

// The value of the leading number of `text` (blanks skipped, optional sign, digits, "." as the
// decimal point, optional exponent); 0 when the text does not start with a number.
double LeadingNumber(std::string_view text);

// The section of month `month` of `year`: the first of that month as "yyyyMMM", upper case.
std::string MonthKeyOf(platform::Locale& locale, int year, int month);

// The years, ascending, from kFirstReportYear through the present year that have an "IN"
// record in at least one month; the present year alone when none has.
std::vector<std::string> BuildYearList(platform::UserStore& store, platform::Locale& locale,
                                       platform::Clock& clock);

// "###########0 MB" or "###########0.00 GB" with the user's decimal separator, no grouping.
std::string FormatBytes(platform::Locale& locale, Currency value, Unit unit);

// The texts of one month's row; "-" where the record has no value.
struct MonthRow {
  std::string upload;
  std::string download;
  std::string total;
  bool operator==(const MonthRow&) const = default;
};
using YearRows = std::array<MonthRow, 12>;

// The rows of January (index 0) to December of `year`.
YearRows UpdateTotal(platform::UserStore& store, platform::Locale& locale, int year, Unit unit);

// The user's full month names, January first.
std::array<std::string, 12> MonthNames(platform::Locale& locale);

// The 16-bit whole number a year entry's text stands for (0 when it holds none).
int YearOfText(std::string_view text);

// How a day's date is shown: "Mon 7 Dec" in an English locale.
inline constexpr std::string_view kDayPicture = "ddd d MMM";

// One day of a billing month; "-" for the amounts of a day that has no record.
struct DayRow {
  platform::LocalTime date;
  std::string dateText, upload, download, total;
  double bar = 0;  // the day's total as a share of the month's largest day, 0 to 1
  bool today = false;
  bool operator==(const DayRow&) const = default;
};

// The days of the billing month that begins on `start`, up to the date of `now`: each day's
// record, today's from `today` where it holds more.
std::vector<DayRow> BillingMonthDays(platform::UserStore& store, platform::Locale& locale,
                                     const platform::LocalTime& start,
                                     const platform::LocalTime& now, const TodayTotals& today,
                                     Unit unit);

// What the window shows: the twelve months of a year, or the days of one billing month.
enum class View { Year, Days };

// What the monthly totals window shows, driven by the window's events.
class MonthlyUsageReport {
 public:
  // `today` gives the live Today counter with its day stamp.
  MonthlyUsageReport(platform::UserStore& store, platform::Locale& locale, platform::Clock& clock,
                     const Settings& settings, std::function<TodayTotals()> today)
      : store_(store),
        locale_(locale),
        clock_(clock),
        settings_(settings),
        today_(std::move(today)) {}

  // The opening steps: the year list, the month names, "MB", the year of the present billing
  // month selected and filled (the last year when it has no record) and that month's row
  // selected.
  void Open();
  // A year picked in the list; fills the rows.
  void SelectYear(std::size_t index);
  // A unit option clicked; fills the rows of the view shown.
  void SelectUnit(Unit unit);
  // A month's row selected, January 0.
  void SelectMonth(std::size_t month);
  // The days of the selected month's billing month; Back returns to its year.
  void OpenDays();
  void Back();
  // The usage file of every record, today's from the live Today.
  std::string UsageFile();

  const std::vector<std::string>& years() const { return years_; }
  std::size_t selectedYear() const { return selectedYear_; }
  std::size_t selectedMonth() const { return selectedMonth_; }
  Unit unit() const { return unit_; }
  View view() const { return view_; }
  const std::array<std::string, 12>& monthNames() const { return monthNames_; }
  const YearRows& rows() const { return rows_; }
  const std::vector<DayRow>& days() const { return days_; }
  // The month whose days are shown, as its row names it, and its year ("December 2026").
  std::string DaysTitle() const;

 private:
  int Year() const;
  void Refill();

  platform::UserStore& store_;
  platform::Locale& locale_;
  platform::Clock& clock_;
  const Settings& settings_;
  std::function<TodayTotals()> today_;
  std::vector<std::string> years_;
  std::size_t selectedYear_ = 0;
  std::size_t selectedMonth_ = 0;
  Unit unit_ = Unit::MB;
  View view_ = View::Year;
  std::array<std::string, 12> monthNames_;
  YearRows rows_;
  std::vector<DayRow> days_;
};

}  // namespace trafimo::report
