#include "report/usage_export.h"

#include <algorithm>

#include "accounting/byte_amount.h"
#include "accounting/usage_records.h"
#include "startup/globals.h"

namespace trafimo::report {

std::vector<UsageRecord> UsageRecords(platform::UserStore& store, platform::Locale& locale,
                                      int monthStartDay, const TodayTotals& today) {
  std::vector<UsageRecord> rows;
  for (const auto& [date, totals] : ReadAllDayRecords(store, locale, today))
    rows.push_back({false, date, totals});
  for (const std::string& section : store.Sections()) {
    std::optional<platform::LocalTime> start = MonthOfSection(locale, section);
    if (!start) continue;
    start->day = monthStartDay;
    rows.push_back({true, *start, ReadStoredTotals(store, section)});
  }
  std::sort(rows.begin(), rows.end(), [](const UsageRecord& a, const UsageRecord& b) {
    return a.start != b.start ? a.start < b.start : a.month > b.month;
  });
  return rows;
}

std::string UsageFileText(const std::vector<UsageRecord>& records) {
  std::string text = "period,start,received_bytes,sent_bytes,total_bytes\r\n";
  for (const UsageRecord& record : records) {
    text += record.month ? "month," : "day,";
    text += IsoDate(record.start) + ',' + ByteAmountText(record.totals.In) + ',' +
            ByteAmountText(record.totals.Out) + ',' + ByteAmountText(record.totals.Total) + "\r\n";
  }
  return text;
}

std::string ExportFailedMessage(std::string_view path) {
  return "Velquor Trafimo could not write " + std::string(path) +
         ". Choose another name or folder, or close the program that has the file open.";
}

int ExportStoredUsage(platform::Platform& platform, std::string_view path) {
  const std::string text = UsageFileText(UsageRecords(platform.userStore, platform.locale,
                                                      StoredMonthStartDay(platform.registry),
                                                      StoredToday(platform.userStore)));
  return !path.empty() && platform.files.WriteWholeFile(path, text) ? 0 : 1;
}

}  // namespace trafimo::report
