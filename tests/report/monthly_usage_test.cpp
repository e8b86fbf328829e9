#include "report/monthly_usage.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/fakes.h"

namespace trafimo::report {
namespace {

using trafimo::testing::FakePlatform;

void Store(FakePlatform& fake, const std::string& section, const char* key, std::string value) {
  fake.userStore.sections[section][key] = std::move(value);
}

// Names the cases of a table after their `name`.
constexpr auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

struct YearListCase {
  const char* name;
  std::vector<const char*> in, out;  // the month sections with an "IN" or an "OUT" record
  std::vector<std::string> years;    // the present year is 2026
  friend void PrintTo(const YearListCase& c, std::ostream* os) { *os << c.name; }
};

class YearListTest : public ::testing::TestWithParam<YearListCase> {};

TEST_P(YearListTest, ListsTheYearsWithReceivedRecords) {
  FakePlatform fake;
  for (const char* section : GetParam().in)
    Store(fake, section, "IN", "1");
  for (const char* section : GetParam().out)
    Store(fake, section, "OUT", "1");
  EXPECT_EQ(BuildYearList(fake.userStore, fake.locale, fake.clock), GetParam().years);
}

INSTANTIATE_TEST_SUITE_P(
    Report, YearListTest,
    ::testing::Values(
        YearListCase{"AscendingEachOnce", {"2026JAN", "2024MAR", "2024APR"}, {}, {"2024", "2026"}},
        YearListCase{"OutAloneListsNoYear", {"2023DEC"}, {"2025MAY"}, {"2023"}},
        YearListCase{"NothingStoredGivesThePresentYear", {}, {}, {"2026"}},
        YearListCase{"From2007ThroughThePresentYear",
                     {"2006NOV", "2007JAN", "2016JUL", "2026DEC", "2027JAN"},
                     {},
                     {"2007", "2016", "2026"}}),
    kCaseName);

struct RowCase {
  const char* name;
  const char* out;  // the stored "OUT" and "IN" of March 2026; null when absent
  const char* in;
  Unit unit;
  MonthRow expected;
  const char* decimalSeparator = ".";
  friend void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }
};

class RowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowTest, FillsUploadDownloadAndTotal) {
  const RowCase& c = GetParam();
  FakePlatform fake;
  fake.locale.decimalSeparator = c.decimalSeparator;
  if (c.out) Store(fake, "2026MAR", "OUT", c.out);
  if (c.in) Store(fake, "2026MAR", "IN", c.in);
  const YearRows rows = UpdateTotal(fake.userStore, fake.locale, 2026, c.unit);
  EXPECT_EQ(rows[2], c.expected);
  EXPECT_EQ(rows[1], (MonthRow{"-", "-", "-"}));  // February has no record
}

using enum Unit;

INSTANTIATE_TEST_SUITE_P(
    Report, RowTest,
    ::testing::Values(
        RowCase{"InWithoutOut", nullptr, "1835008", MB, {"-", "2 MB", "2 MB"}},
        RowCase{"InWithoutOutGB", nullptr, "1835008", GB, {"-", "0.00 GB", "0.00 GB"}},
        RowCase{"OutWithoutIn", "1610612736", nullptr, MB, {"1536 MB", "-", "-"}},
        RowCase{"OutWithoutInGB", "1610612736", nullptr, GB, {"1.50 GB", "-", "-"}},
        RowCase{"UsersSeparator", "1610612736", nullptr, GB, {"1,50 GB", "-", "-"}, ","},
        // The total adds the unrounded amounts; text after the leading number is ignored.
        RowCase{"TotalOfUnrounded", " 786432.5 bytes", "786432.5", MB, {"1 MB", "1 MB", "2 MB"}},
        RowCase{"NoGrouping", nullptr, "1099511627776", MB, {"-", "1048576 MB", "1048576 MB"}},
        RowCase{"NoNumberIsZero", nullptr, "x", MB, {"-", "0 MB", "0 MB"}}),
    kCaseName);

TEST(ReportFormat, AmountsHaveALeadingZeroAndMinusAndAreRoundedWithoutThePlatform) {
  const std::tuple<double, Unit, const char*> cases[] = {{1, GB, "0.00 GB"},
                                                         {-1610612736, GB, "-1.50 GB"},
                                                         {1084479242, GB, "1.01 GB"},
                                                         {-1835008, MB, "-2 MB"}};
  FakePlatform fake;
  for (const bool fails : {false, true}) {
    fake.locale.numberFormatFails = fails;
    for (const auto& [bytes, unit, text] : cases)
      EXPECT_EQ(FormatBytes(fake.locale, Currency::FromBytes(bytes), unit), text) << bytes;
  }
}

TEST(MonthlyUsageReport, OpensOnTheLatestYearAndSwitchingTheUnitRefillsAllTwelveRows) {
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
