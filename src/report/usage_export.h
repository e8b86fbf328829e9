// The usage file a person takes away: every day record and every month record as CSV, written
// from the monthly totals window and by `trafimo.exe /export FILE`.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "accounting/day_records.h"
#include "platform/platform.h"

namespace trafimo::report {

inline constexpr std::string_view kUsageFileName = "velquor-trafimo-usage.csv";

// One row of the file: a day or a billing month, the date it began and its totals.
struct UsageRecord {
  bool month = false;
  platform::LocalTime start;
  TrafficTotals totals;
  bool operator==(const UsageRecord&) const = default;
};

// Every day record (Today's totals under its day, where they are more than its record) and every
// month record (beginning on `monthStartDay` of its month), oldest first, a month before its
// days.
std::vector<UsageRecord> UsageRecords(platform::UserStore& store, platform::Locale& locale,
                                      int monthStartDay, const TodayTotals& today);

// The file's text: UTF-8, the header "period,start,received_bytes,sent_bytes,total_bytes", then
// a row per record ("day" or "month", the ISO date, whole bytes), lines ending in CR LF.
std::string UsageFileText(const std::vector<UsageRecord>& records);

// What the monthly totals window says when the file it was asked for could not be written.
std::string ExportFailedMessage(std::string_view path);

// `trafimo.exe /export FILE`: the file from the stored records, Today's included, with no window
// and no message box. The exit code: 0 when written, 1 when not.
int ExportStoredUsage(platform::Platform& platform, std::string_view path);

}  // namespace trafimo::report
