#include "accounting/usage_records.h"

#include "accounting/byte_amount.h"

namespace trafimo {

namespace {

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::string MonthSectionName(platform::Locale& locale, const platform::LocalTime& date) {
  return locale.ToUpper(locale.FormatDate(date, "yyyyMMM"));
}

std::optional<platform::LocalTime> MonthOfSection(platform::Locale& locale,
                                                  std::string_view section) {
  if (section.size() < 5 || !IsDigits(section.substr(0, 4))) return std::nullopt;
  const int year = std::stoi(std::string(section.substr(0, 4)));
  for (int month = 1; month <= 12; ++month) {
    const platform::LocalTime first{year, month, 1};
    if (MonthSectionName(locale, first) == section) return first;
  }
  return std::nullopt;
}

platform::LocalTime BillingMonthStart(const platform::LocalTime& date, int startDay) {
  platform::LocalTime start{date.year, date.month, startDay};
  if (date.day < startDay && --start.month < 1) {
    start.month = 12;
    --start.year;
  }
  return start;
}

std::optional<std::int64_t> ReadStoredAmount(std::string_view text) {
  constexpr std::int64_t kLargest = std::int64_t{1} << 62;
  const std::optional<std::int64_t> amount = ParseByteAmount(text);
  if (!amount || *amount < 0 || *amount > kLargest) return std::nullopt;
  return amount;
}

std::int64_t StoredByteAmount(std::string_view text) {
  return ReadStoredAmount(text).value_or(0);
}

TrafficTotals ReadStoredTotals(platform::UserStore& store, std::string_view section) {
  const std::int64_t in = StoredByteAmount(store.Read(section, records::kIn, "0"));
  const std::int64_t out = StoredByteAmount(store.Read(section, records::kOut, "0"));
  return {in, out, in + out};  // two amounts of at most 2^62 cannot overflow
}

}  // namespace trafimo
