// The day records: each finished day's Today totals, kept at the day change under the calendar
// date in ISO form, one value a day in a section of their own ("Days"/"2026-12-07" =
// "received,sent").
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "accounting/traffic_totals.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/user_store.h"

namespace trafimo {

inline constexpr std::string_view kDayRecordsSection = "Days";

// Dates are LocalTimes at midnight.
using DayTotals = std::map<platform::LocalTime, TrafficTotals>;

// "2026-12-07", whatever the user's locale.
std::string IsoDate(const platform::LocalTime& date);
// The date an ISO name stands for; nothing for other text or a day the calendar lacks.
std::optional<platform::LocalTime> DateOfIsoName(std::string_view name);
// The date `days` days after `date` (before it when negative).
platform::LocalTime AddDays(const platform::LocalTime& date, int days);
// The date a day stamp names, read back as the locale wrote it ("2026Dec07", its abbreviated
// month names); nothing when no date of the locale writes that stamp.
std::optional<platform::LocalTime> DateOfDayStamp(platform::Locale& locale, std::string_view stamp);

// A day record's text, "received,sent" in whole bytes; and back, nothing for other text.
std::string DayRecordText(const TrafficTotals& totals);
std::optional<TrafficTotals> ParseDayRecord(std::string_view text);

// Keeps `totals` as the record of the day `stamp` names, unless that day's record holds as much
// already: a day is never overwritten by a smaller one. A stamp that cannot be read keeps
// nothing. False only when the record could not be written.
bool KeepDayRecord(platform::UserStore& store, platform::Locale& locale, std::string_view stamp,
                   const TrafficTotals& totals);

// The Today counter and the day stamp it belongs to.
struct TodayTotals {
  std::string stamp;
  TrafficTotals totals;
};
// As the store holds them ("DateToday" and "Today").
TodayTotals StoredToday(platform::UserStore& store);

// The day records from `first` to `last`, read day by day; Today's totals count for the day of
// its stamp where they are more than that day's record.
DayTotals ReadDayRecords(platform::UserStore& store, platform::Locale& locale,
                         const TodayTotals& today, const platform::LocalTime& first,
                         const platform::LocalTime& last);
// Every day record, read in one pass over the section, with Today's as above.
DayTotals ReadAllDayRecords(platform::UserStore& store, platform::Locale& locale,
                            const TodayTotals& today);

}  // namespace trafimo
