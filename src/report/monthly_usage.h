// The monthly totals report: which years have records, the twelve rows of one year and the
// report's own byte formatting. Reads the month records the accounting writes; writes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

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

// What the monthly totals window shows, driven by the window's events.
class MonthlyUsageReport {
 public:
  MonthlyUsageReport(platform::UserStore& store, platform::Locale& locale, platform::Clock& clock)
      : store_(store), locale_(locale), clock_(clock) {}

  // The opening steps: the year list, the month names, "MB", the last year selected and filled.
  void Open();
  // A year picked in the list; fills the rows.
  void SelectYear(std::size_t index);
  // A unit option clicked; fills the rows.
  void SelectUnit(Unit unit);

  const std::vector<std::string>& years() const { return years_; }
  std::size_t selectedYear() const { return selectedYear_; }
  Unit unit() const { return unit_; }
  const std::array<std::string, 12>& monthNames() const { return monthNames_; }
  const YearRows& rows() const { return rows_; }

 private:
  void Refill();

  platform::UserStore& store_;
  platform::Locale& locale_;
  platform::Clock& clock_;
  std::vector<std::string> years_;
  std::size_t selectedYear_ = 0;
  Unit unit_ = Unit::MB;
  std::array<std::string, 12> monthNames_;
  YearRows rows_;
};

}  // namespace trafimo::report
