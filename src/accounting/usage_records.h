// How the usage records are named in the per-user store; the tick writes them and the monthly
// totals report reads them by the same rule.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "accounting/traffic_totals.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/user_store.h"

namespace trafimo {

// The sections and keys of the records.
namespace records {
inline constexpr std::string_view kDateToday = "DateToday";  // section and key of the day stamp
inline constexpr std::string_view kToday = "Today";
inline constexpr std::string_view kIn = "IN";
inline constexpr std::string_view kOut = "OUT";
inline constexpr std::string_view kDayStampPicture = "yyyyMMMdd";  // 2006Jan05
}  // namespace records

// The section of the month record whose billing month starts on `date`: the date with the
// picture "yyyyMMM" in the user's locale, upper case (2006JAN).
std::string MonthSectionName(platform::Locale& locale, const platform::LocalTime& date);

// The first of the month a section of a month record names, read back as the locale wrote it;
// nothing for a section that is no month record ("Today", "Settings").
std::optional<platform::LocalTime> MonthOfSection(platform::Locale& locale,
                                                  std::string_view section);

// The first day of the billing month `date` falls in when billing months start on `startDay`
// (1 to 28): that day of this calendar month, or of the one before when `date` comes earlier.
platform::LocalTime BillingMonthStart(const platform::LocalTime& date, int startDay);

// A stored byte amount: a whole number from 0 to 2^62; nothing for other text.
std::optional<std::int64_t> ReadStoredAmount(std::string_view text);
// The same, 0 where it cannot be read, as the accounting reads it.
std::int64_t StoredByteAmount(std::string_view text);
// The received and sent amounts of a record's section ("IN", "OUT"), and their total.
TrafficTotals ReadStoredTotals(platform::UserStore& store, std::string_view section);

}  // namespace trafimo
