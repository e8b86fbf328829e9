// The monthly totals report: the years it lists, the rows of a year from the stored month
// records, its byte texts, and the report as the window drives it.
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

void Store(FakePlatform& fake, const std::string& section, const char* key, std::string value) {
  fake.userStore.sections[section][key] = std::move(value);
}

// Years from 2007 to the present one (2026) with an "IN" record, ascending, each once.
TEST(Report, ListsTheYearsWithReceivedRecords) {
  struct Case {
    std::vector<const char*> in, out;  // the month sections with an "IN" or an "OUT" record
    std::vector<std::string> years;
  };
  const Case cases[] = {
      {{"2026JAN", "2024MAR", "2024APR"}, {}, {"2024", "2026"}},
      {{"2023DEC"}, {"2025MAY"}, {"2023"}},
      {{}, {}, {"2026"}},
      {{"2006NOV", "2007JAN", "2016JUL", "2026DEC", "2027JAN"}, {}, {"2007", "2016", "2026"}}};
  for (const Case& c : cases) {
    FakePlatform fake;
    for (const char* section : c.in)
      Store(fake, section, "IN", "1");
    for (const char* section : c.out)
      Store(fake, section, "OUT", "1");
    EXPECT_EQ(BuildYearList(fake.userStore, fake.locale, fake.clock), c.years);
  }
}

// Upload is "OUT", download "IN", the total needs "IN"; "-" where a record is missing. The total
// adds the unrounded amounts; text after the leading number is ignored; no grouping.
TEST(Report, FillsUploadDownloadAndTotalOfAMonth) {
  struct Case {
    const char *out, *in;  // the stored records of March 2026; null when absent
    Unit unit;
    MonthRow expected;
    const char* decimalSeparator = ".";
  };
  const Case cases[] = {{nullptr, "1835008", MB, {"-", "2 MB", "2 MB"}},
                        {nullptr, "1835008", GB, {"-", "0.00 GB", "0.00 GB"}},
                        {"1610612736", nullptr, MB, {"1536 MB", "-", "-"}},
                        {"1610612736", nullptr, GB, {"1,50 GB", "-", "-"}, ","},
                        {" 786432.5 bytes", "786432.5", MB, {"1 MB", "1 MB", "2 MB"}},
                        {nullptr, "1099511627776", MB, {"-", "1048576 MB", "1048576 MB"}},
                        {"-1610612736", "x", GB, {"-1.50 GB", "0.00 GB", "-1.50 GB"}}};
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.locale.decimalSeparator = c.decimalSeparator;
    if (c.out) Store(fake, "2026MAR", "OUT", c.out);
    if (c.in) Store(fake, "2026MAR", "IN", c.in);
    const YearRows rows = UpdateTotal(fake.userStore, fake.locale, 2026, c.unit);
    EXPECT_EQ(rows[2], c.expected) << (c.out ? c.out : "-") << " / " << (c.in ? c.in : "-");
    EXPECT_EQ(rows[1], (MonthRow{"-", "-", "-"})) << "February has no record";
  }
  // Without the platform's formatting the amounts are still rounded, with a leading zero and minus.
  FakePlatform fake;
  fake.locale.numberFormatFails = true;
  const std::tuple<double, Unit, const char*> amounts[] = {{1, GB, "0.00 GB"},
                                                           {-1610612736, GB, "-1.50 GB"},
                                                           {1084479242, GB, "1.01 GB"},
                                                           {-1835008, MB, "-2 MB"}};
  for (const auto& [bytes, unit, text] : amounts)
    EXPECT_EQ(FormatBytes(fake.locale, Currency::FromBytes(bytes), unit), text) << bytes;
}

TEST(Report, OpensOnTheLatestYearAndSwitchingTheUnitRefillsAllTwelveRows) {
  constexpr long long kGB = 1073741824;
  FakePlatform fake;
  Store(fake, "2024MAY", "IN", std::to_string(3 * kGB));
  for (int month = 1; month <= 12; ++month) {
    const std::string section = MonthKeyOf(fake.locale, 2025, month);
    Store(fake, section, "OUT", std::to_string(month * kGB));
    Store(fake, section, "IN", std::to_string(2 * month * kGB));
  }
  MonthlyUsageReport report(fake.userStore, fake.locale, fake.clock);
  report.Open();
  EXPECT_EQ(report.years(), (std::vector<std::string>{"2024", "2025"}));
  EXPECT_EQ(report.selectedYear(), 1u);
  EXPECT_EQ(report.monthNames()[11], "December");
  // Opened in MB, then switched to GB.
  for (const Unit unit : {MB, GB}) {
    if (unit == GB) report.SelectUnit(GB);
    const auto text = [&](int gigabytes) {
      return unit == MB ? std::to_string(gigabytes * 1024) + " MB"
                        : std::to_string(gigabytes) + ".00 GB";
    };
    for (int month = 1; month <= 12; ++month)
      EXPECT_EQ(report.rows()[month - 1], (MonthRow{text(month), text(2 * month), text(3 * month)}))
          << month;
  }
  report.SelectYear(0);
  EXPECT_EQ(report.rows()[4], (MonthRow{"-", "3.00 GB", "3.00 GB"}));
  EXPECT_EQ(fake.userStore.writes, 0);  // the report only reads
}

}  // namespace
}  // namespace trafimo::report
