#include "report/monthly_usage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "accounting/usage_records.h"
#include "platform/number_format.h"
#include "report/usage_export.h"

namespace trafimo::report {

namespace {

constexpr std::string_view kNoValue = "NA";
constexpr std::string_view kInKey = "IN";
constexpr std::string_view kOutKey = "OUT";
constexpr double kBytesPerMB = 1048576.0;
constexpr double kBytesPerGB = 1073741824.0;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::int64_t ClampToInt64(double scaled) {
  // 2^63 is exactly representable; anything at or beyond it is out of range.
  constexpr double kLimit = 9223372036854775808.0;
  if (std::isnan(scaled)) return 0;
  if (scaled >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (scaled <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(scaled);
}

// A double as plain decimal text ("1.75", "0.001"), never with an exponent.
std::string PlainNumber(double value) {
  char buffer[512];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (result.ec != std::errc{}) return "0";
  return std::string(buffer, result.ptr);
}

}  // namespace

Currency Currency::FromBytes(double bytes) {
  // Rounded to the nearest ten-thousandth, halves to even, as a currency conversion does.
  return Currency{ClampToInt64(std::nearbyint(bytes * 10000.0))};
}

Currency Currency::operator+(Currency other) const {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  if (other.tenThousandths > 0 && tenThousandths > kMax - other.tenThousandths)
    return Currency{kMax};
  if (other.tenThousandths < 0 && tenThousandths < kMin - other.tenThousandths)
    return Currency{kMin};
  return Currency{tenThousandths + other.tenThousandths};
}

double LeadingNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() &&
         (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r'))
    ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  std::string number;
  while (at < text.size() && IsDigit(text[at]))
    number += text[at++];
  if (at < text.size() && text[at] == '.') {
    number += text[at++];
    while (at < text.size() && IsDigit(text[at]))
      number += text[at++];
  }
  if (number.empty() || number == ".") return 0.0;
  // An exponent counts only when digits follow it.
  if (at < text.size() &&
      (text[at] == 'e' || text[at] == 'E' || text[at] == 'd' || text[at] == 'D')) {
    std::size_t end = at + 1;
    std::string exponent = "e";
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) exponent += text[end++];
    const std::size_t digits = end;
    while (end < text.size() && IsDigit(text[end]))
      exponent += text[end++];
    if (end > digits) number += exponent;
  }
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    value = number.find("e-") != std::string::npos ? 0.0 : std::numeric_limits<double>::max();
  } else if (result.ec != std::errc{}) {
    return 0.0;
  }
  return negative ? -value : value;
}

std::string MonthKeyOf(platform::Locale& locale, int year, int month) {
  return MonthSectionName(locale, platform::LocalTime{year, month, 1});
}

std::vector<std::string> BuildYearList(platform::UserStore& store, platform::Locale& locale,
                                       platform::Clock& clock) {
  std::vector<std::string> years;
  const int presentYear = clock.Now().year;
  for (int year = kFirstReportYear; year <= presentYear; ++year) {
    for (int month = 1; month <= 12; ++month) {
      if (store.Read(MonthKeyOf(locale, year, month), kInKey, kNoValue) != kNoValue) {
        years.push_back(std::to_string(year));
        break;  // the year is listed once; its other months cannot change that
      }
    }
  }
  if (years.empty()) years.push_back(std::to_string(presentYear));
  return years;
}

std::string FormatBytes(platform::Locale& locale, Currency value, Unit unit) {
  switch (unit) {
    case Unit::MB:
      return platform::FormatUserNumber(locale, PlainNumber(value.Bytes() / kBytesPerMB), 0,
                                        false) +
             " MB";
    case Unit::GB:
      return platform::FormatUserNumber(locale, PlainNumber(value.Bytes() / kBytesPerGB), 2,
                                        false) +
             " GB";
  }
  return {};
}

YearRows UpdateTotal(platform::UserStore& store, platform::Locale& locale, int year, Unit unit) {
  YearRows rows;
  for (int month = 1; month <= 12; ++month) {
    // "-" stands where the record has no value.
    MonthRow& row = rows[static_cast<std::size_t>(month - 1)];
    row = MonthRow{std::string(1, '-'), std::string(1, '-'), std::string(1, '-')};
    const std::string section = MonthKeyOf(locale, year, month);

    Currency upload;
    const std::string out = store.Read(section, kOutKey, kNoValue);
    if (out != kNoValue) {
      upload = Currency::FromBytes(LeadingNumber(out));
      row.upload = FormatBytes(locale, upload, unit);
    }

    const std::string in = store.Read(section, kInKey, kNoValue);
    if (in != kNoValue) {
      const Currency download = Currency::FromBytes(LeadingNumber(in));
      row.download = FormatBytes(locale, download, unit);
      row.total = FormatBytes(locale, upload + download, unit);
    }
  }
  return rows;
}

std::array<std::string, 12> MonthNames(platform::Locale& locale) {
  std::array<std::string, 12> names;
  for (int month = 1; month <= 12; ++month)
    names[static_cast<std::size_t>(month - 1)] = locale.FullMonthName(month);
  return names;
}

int YearOfText(std::string_view text) {
  const double value = std::round(LeadingNumber(text));
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max())
    return 0;
  return static_cast<int>(value);
}

std::vector<DayRow> BillingMonthDays(platform::UserStore& store, platform::Locale& locale,
                                     const platform::LocalTime& start,
                                     const platform::LocalTime& now, const TodayTotals& today,
                                     Unit unit) {
  const platform::LocalTime first{start.year, start.month, start.day};
  const platform::LocalTime next =
      first.month == 12 ? platform::LocalTime{first.year + 1, 1, first.day}
                        : platform::LocalTime{first.year, first.month + 1, first.day};
  const platform::LocalTime present{now.year, now.month, now.day};
  const platform::LocalTime last = std::min(AddDays(next, -1), present);
  const DayTotals records = ReadDayRecords(store, locale, today, first, last);
  std::int64_t largest = 0;
  for (const auto& [date, totals] : records)
    largest = std::max(largest, totals.Total);

  std::vector<DayRow> rows;
  for (platform::LocalTime date = first; date <= last; date = AddDays(date, 1)) {
    DayRow& row = rows.emplace_back(
        DayRow{date, locale.FormatDate(date, kDayPicture), "-", "-", "-", 0, date == present});
    const auto record = records.find(date);
    if (record == records.end()) continue;
    const TrafficTotals& totals = record->second;
    const auto text = [&](std::int64_t bytes) {
      return FormatBytes(locale, Currency::FromBytes(static_cast<double>(bytes)), unit);
    };
    row.upload = text(totals.Out);
    row.download = text(totals.In);
    row.total = text(totals.Total);
    row.bar = largest > 0 ? static_cast<double>(totals.Total) / static_cast<double>(largest) : 0;
  }
  return rows;
}

void MonthlyUsageReport::Open() {
  years_ = BuildYearList(store_, locale_, clock_);
  monthNames_ = MonthNames(locale_);
  unit_ = Unit::MB;
  view_ = View::Year;
  const platform::LocalTime billing = BillingMonthStart(clock_.Now(), settings_.MonthStartDay);
  selectedMonth_ = static_cast<std::size_t>(billing.month - 1);
  const auto year = std::find(years_.begin(), years_.end(), std::to_string(billing.year));
  SelectYear(year != years_.end() ? static_cast<std::size_t>(year - years_.begin())
                                  : years_.size() - 1);
}

void MonthlyUsageReport::SelectYear(std::size_t index) {
  if (index >= years_.size()) return;
  selectedYear_ = index;
  Refill();
}

void MonthlyUsageReport::SelectUnit(Unit unit) {
  unit_ = unit;
  Refill();
}

void MonthlyUsageReport::SelectMonth(std::size_t month) {
  if (month < 12) selectedMonth_ = month;
}

void MonthlyUsageReport::OpenDays() {
  view_ = View::Days;
  Refill();
}

void MonthlyUsageReport::Back() {
  view_ = View::Year;
  Refill();
}

std::string MonthlyUsageReport::UsageFile() {
  return UsageFileText(UsageRecords(store_, locale_, settings_.MonthStartDay, today_()));
}

std::string MonthlyUsageReport::DaysTitle() const {
  return monthNames_[selectedMonth_] + ' ' + std::to_string(Year());
}

int MonthlyUsageReport::Year() const {
  return years_.empty() ? 0 : YearOfText(years_[selectedYear_]);
}

void MonthlyUsageReport::Refill() {
  if (view_ == View::Days) {
    const platform::LocalTime start{Year(), static_cast<int>(selectedMonth_) + 1,
                                    settings_.MonthStartDay};
    days_ = BillingMonthDays(store_, locale_, start, clock_.Now(), today_(), unit_);
  } else {
    rows_ = UpdateTotal(store_, locale_, Year(), unit_);
  }
}

}  // namespace trafimo::report
