// The monthly totals report: the years it lists and the rows of a year from the stored month
// records, in its byte texts.
#include "report/monthly_usage.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/fakes.h"

namespace trafimo::report {
namespace {

using trafimo::testing::FakePlatform;
using enum Unit;

// Years from 2007 to the present one (2026) with an "IN" record, ascending, each once.
TEST(Report, ListsTheYearsWithReceivedRecords) {
  FakePlatform fake;
  for (const char* section : {"2006NOV", "2024MAR", "2016JUL", "2024APR", "2027JAN"})
    fake.userStore.sections[section]["IN"] = "1";
  fake.userStore.sections["2025MAY"]["OUT"] = "1";
  EXPECT_EQ(BuildYearList(fake.userStore, fake.locale, fake.clock),
            (std::vector<std::string>{"2016", "2024"}));
}

// Upload is "OUT", download "IN", the total needs "IN"; "-" where a record is missing. The total
// adds the unrounded amounts; without the platform's formatting the amounts are still rounded.
TEST(Report, FillsUploadDownloadAndTotalOfAMonth) {
  const std::tuple<const char*, const char*, Unit, bool, MonthRow> cases[] = {
      {nullptr, "1835008", MB, false, {"-", "2 MB", "2 MB"}},
      {"1610612736", nullptr, MB, false, {"1536 MB", "-", "-"}},
      {"786432.5", "786432.5", MB, false, {"1 MB", "1 MB", "2 MB"}},
      {"-1610612736", "x", GB, false, {"-1.50 GB", "0.00 GB", "-1.50 GB"}},
      {"1", "1084479242", GB, true, {"0.00 GB", "1.01 GB", "1.01 GB"}},
      {"-1835008", nullptr, MB, true, {"-2 MB", "-", "-"}}};
  for (const auto& [out, in, unit, formatFails, expected] : cases) {
    FakePlatform fake;
    fake.locale.numberFormatFails = formatFails;
    if (out) fake.userStore.sections["2026MAR"]["OUT"] = out;
    if (in) fake.userStore.sections["2026MAR"]["IN"] = in;
    const YearRows rows = UpdateTotal(fake.userStore, fake.locale, 2026, unit);
    EXPECT_EQ(rows[2], expected) << (out ? out : "-") << " / " << (in ? in : "-");
  }
}

// The window opens on the present billing month (start day 10 on 6 December 2026: November's
// row). Its days run from the start day up to today: each day's record, a day without one shows
// none, today's comes from the live Today; the bars follow the month's largest day.
TEST(Report, OpensOnThePresentBillingMonthWhoseDaysRunUpToToday) {
  FakePlatform fake;
  Settings settings;
  settings.MonthStartDay = 10;
  for (const char* section : {"2025NOV", "2026NOV", "2026DEC"})
    fake.userStore.sections[section]["IN"] = "1";
  fake.userStore.sections["Days"] = {
      {"2026-11-09", "1,1"}, {"2026-11-12", "3145728,1048576"}, {"2026-11-20", "1048576,1048576"}};
  MonthlyUsageReport report(fake.userStore, fake.locale, fake.clock, settings, [] {
    return TodayTotals{"2026Dec06", {2097152, 0, 2097152}};
  });
  report.Open();
  EXPECT_EQ(report.years()[report.selectedYear()], "2026");
  EXPECT_EQ(report.selectedMonth(), 10u);
  report.OpenDays();
  EXPECT_EQ(report.DaysTitle(), "November 2026");
  const std::vector<DayRow>& days = report.days();
  ASSERT_EQ(days.size(), 27u);
  EXPECT_EQ(days[0], (DayRow{{2026, 11, 10}, "Tue 10 Nov", "-", "-", "-", 0, false}));
  EXPECT_EQ(days[2], (DayRow{{2026, 11, 12}, "Thu 12 Nov", "1 MB", "3 MB", "4 MB", 1, false}));
  EXPECT_EQ(days[10].bar, 0.5);
  EXPECT_EQ(days[26], (DayRow{{2026, 12, 6}, "Sun 6 Dec", "0 MB", "2 MB", "2 MB", 0.5, true}));
  report.Back();
  EXPECT_EQ(report.view(), View::Year);
}

}  // namespace
}  // namespace trafimo::report
