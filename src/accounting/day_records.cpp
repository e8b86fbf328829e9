#include "accounting/day_records.h"

#include <chrono>
#include <cstdio>

#include "accounting/byte_amount.h"
#include "accounting/usage_records.h"

namespace trafimo {

namespace {

std::chrono::year_month_day CalendarDay(const platform::LocalTime& date) {
  return std::chrono::year{date.year} / date.month / date.day;
}

platform::LocalTime DateOf(const std::chrono::year_month_day& day) {
  return {static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
          static_cast<int>(static_cast<unsigned>(day.day()))};
}

// The day's totals become `totals` unless what it holds is as much.
void TakeLarger(DayTotals& days, const platform::LocalTime& date, const TrafficTotals& totals) {
  const auto [day, added] = days.try_emplace(date, totals);
  if (!added && day->second.Total < totals.Total) day->second = totals;
}

void AddToday(DayTotals& days, platform::Locale& locale, const TodayTotals& today,
              const platform::LocalTime& first, const platform::LocalTime& last) {
  const std::optional<platform::LocalTime> date = DateOfDayStamp(locale, today.stamp);
  if (date && first <= *date && *date <= last) TakeLarger(days, *date, today.totals);
}

}  // namespace

std::string IsoDate(const platform::LocalTime& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

std::optional<platform::LocalTime> DateOfIsoName(std::string_view name) {
  if (name.size() != 10 || name[4] != '-' || name[7] != '-') return std::nullopt;
  const std::optional<std::int64_t> year = ParseByteAmount(name.substr(0, 4));
  const std::optional<std::int64_t> month = ParseByteAmount(name.substr(5, 2));
  const std::optional<std::int64_t> day = ParseByteAmount(name.substr(8, 2));
  if (!year || !month || !day || name[0] == '-' || name[5] == '-' || name[8] == '-')
    return std::nullopt;
  const platform::LocalTime date{static_cast<int>(*year), static_cast<int>(*month),
                                 static_cast<int>(*day)};
  if (!CalendarDay(date).ok()) return std::nullopt;
  return date;
}

platform::LocalTime AddDays(const platform::LocalTime& date, int days) {
  return DateOf(std::chrono::sys_days{CalendarDay(date)} + std::chrono::days{days});
}

std::optional<platform::LocalTime> DateOfDayStamp(platform::Locale& locale,
                                                  std::string_view stamp) {
  // Four digits of the year, the month's abbreviated name, two digits of the day.
  if (stamp.size() < 7) return std::nullopt;
  const std::optional<std::int64_t> year = ParseByteAmount(stamp.substr(0, 4));
  const std::optional<std::int64_t> day = ParseByteAmount(stamp.substr(stamp.size() - 2));
  if (!year || !day || *year < 1 || *day < 1) return std::nullopt;
  for (int month = 1; month <= 12; ++month) {
    const platform::LocalTime date{static_cast<int>(*year), month, static_cast<int>(*day)};
    if (CalendarDay(date).ok() && locale.FormatDate(date, records::kDayStampPicture) == stamp)
      return date;
  }
  return std::nullopt;
}

std::string DayRecordText(const TrafficTotals& totals) {
  return ByteAmountText(totals.In) + ',' + ByteAmountText(totals.Out);
}

std::optional<TrafficTotals> ParseDayRecord(std::string_view text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const std::optional<std::int64_t> in = ReadStoredAmount(text.substr(0, comma));
  const std::optional<std::int64_t> out = ReadStoredAmount(text.substr(comma + 1));
  if (!in || !out) return std::nullopt;
  return TrafficTotals{*in, *out, *in + *out};
}

bool KeepDayRecord(platform::UserStore& store, platform::Locale& locale, std::string_view stamp,
                   const TrafficTotals& totals) {
  const std::optional<platform::LocalTime> date = DateOfDayStamp(locale, stamp);
  if (!date) return true;
  const std::string name = IsoDate(*date);
  const std::optional<TrafficTotals> kept =
      ParseDayRecord(store.Read(kDayRecordsSection, name, ""));
  if (kept && kept->Total >= totals.In + totals.Out) return true;
  return store.Write(kDayRecordsSection, name, DayRecordText(totals));
}

TodayTotals StoredToday(platform::UserStore& store) {
  return {store.Read(records::kDateToday, records::kDateToday, ""),
          ReadStoredTotals(store, records::kToday)};
}

DayTotals ReadDayRecords(platform::UserStore& store, platform::Locale& locale,
                         const TodayTotals& today, const platform::LocalTime& first,
                         const platform::LocalTime& last) {
  DayTotals days;
  const platform::LocalTime from{first.year, first.month, first.day};
  const platform::LocalTime to{last.year, last.month, last.day};
  for (platform::LocalTime date = from; date <= to; date = AddDays(date, 1)) {
    if (const auto record = ParseDayRecord(store.Read(kDayRecordsSection, IsoDate(date), "")))
      days.emplace(date, *record);
  }
  AddToday(days, locale, today, from, to);
  return days;
}

DayTotals ReadAllDayRecords(platform::UserStore& store, platform::Locale& locale,
                            const TodayTotals& today) {
  DayTotals days;
  for (const auto& [name, text] : store.ReadSection(kDayRecordsSection)) {
    const std::optional<platform::LocalTime> date = DateOfIsoName(name);
    const std::optional<TrafficTotals> record = ParseDayRecord(text);
    if (date && record) TakeLarger(days, *date, *record);
  }
  AddToday(days, locale, today, platform::LocalTime{1, 1, 1}, platform::LocalTime{9999, 12, 31});
  return days;
}

}  // namespace trafimo
