#include "report/monthly_usage.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace trafimo::report {
namespace {

using trafimo::testing::FakePlatform;

// Month records as the accounting stores them: section "2024MAR", keys "IN" and "OUT".
struct Record {
  std::string section;
  std::string key;
  std::string value;
};

void Store(FakePlatform& fake, const std::vector<Record>& records) {
  for (const Record& record : records)
    fake.userStore.sections[record.section][record.key] = record.value;
}

struct YearListCase {
  const char* name;
  int presentYear;
  std::vector<Record> records;
  std::vector<std::string> years;
};
void PrintTo(const YearListCase& c, std::ostream* os) {
  *os << c.name;
}

class YearListTest : public ::testing::TestWithParam<YearListCase> {};

TEST_P(YearListTest, ListsTheYearsWithReceivedRecords) {
  const YearListCase& c = GetParam();
  FakePlatform fake;
  fake.clock.Set(c.presentYear, 6, 15);
  Store(fake, c.records);
  EXPECT_EQ(BuildYearList(fake.userStore, fake.locale, fake.clock), c.years);
}

INSTANTIATE_TEST_SUITE_P(
    Report, YearListTest,
    ::testing::Values(
        YearListCase{"AscendingYearsWithIn",
                     2026,
                     {{"2026JAN", "IN", "5"}, {"2024MAR", "IN", "7"}, {"2024APR", "IN", "1"}},
                     {"2024", "2026"}},
        YearListCase{"OutAloneListsNoYear",
                     2026,
                     {{"2025MAY", "OUT", "9"}, {"2023DEC", "IN", "1"}},
                     {"2023"}},
        YearListCase{"NothingStoredGivesThePresentYear", 2026, {}, {"2026"}},
        YearListCase{"OnlyOutStoredGivesThePresentYear", 2026, {{"2026FEB", "OUT", "3"}}, {"2026"}},
        YearListCase{"FirstAndPresentYearAreIncluded",
                     2026,
                     {{"2007JAN", "IN", "1"}, {"2026DEC", "IN", "2"}},
                     {"2007", "2026"}},
        YearListCase{"YearsAfter2015AreListed",
                     2026,
                     {{"2016JUL", "IN", "1"}, {"2025OCT", "IN", "2"}},
                     {"2016", "2025"}},
        YearListCase{"RecordsOutsideTheRangeAreNotOffered",
                     2026,
                     {{"2006NOV", "IN", "1"}, {"2027JAN", "IN", "2"}},
                     {"2026"}},
        YearListCase{"ClockBeforeTheFirstYear", 2005, {{"2005JAN", "IN", "1"}}, {"2005"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RowCase {
  const char* name;
  std::vector<Record> records;  // for March 2026
  MonthRow expected;
};
void PrintTo(const RowCase& c, std::ostream* os) {
  *os << c.name;
}

class RowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowTest, FillsUploadDownloadAndTotal) {
  const RowCase& c = GetParam();
  FakePlatform fake;
  Store(fake, c.records);
  const YearRows rows = UpdateTotal(fake.userStore, fake.locale, 2026, Unit::MB);
  EXPECT_EQ(rows[2], c.expected);
  EXPECT_EQ(rows[1], (MonthRow{"-", "-", "-"}));  // February has no record
}

INSTANTIATE_TEST_SUITE_P(
    Report, RowTest,
    ::testing::Values(
        RowCase{"InWithoutOut", {{"2026MAR", "IN", "1835008"}}, {"-", "2 MB", "2 MB"}},
        RowCase{"OutWithoutIn", {{"2026MAR", "OUT", "1835008"}}, {"2 MB", "-", "-"}},
        RowCase{"Both",
                {{"2026MAR", "OUT", "1048576"}, {"2026MAR", "IN", "5242880"}},
                {"1 MB", "5 MB", "6 MB"}},
        RowCase{"LeadingNumberOfTheText",
                {{"2026MAR", "OUT", " 3145728 bytes"}, {"2026MAR", "IN", "x"}},
                {"3 MB", "0 MB", "3 MB"}},
        RowCase{"FractionsAreKept",
                {{"2026MAR", "OUT", "786432.5"}, {"2026MAR", "IN", "786432.5"}},
                {"1 MB", "1 MB", "2 MB"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FormatCase {
  const char* name;
  double bytes;
  Unit unit;
  const char* decimalSeparator;
  const char* expected;
};
void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << c.name;
}

class FormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, FormatsInTheChosenUnit) {
  const FormatCase& c = GetParam();
  FakePlatform fake;
  fake.locale.decimalSeparator = c.decimalSeparator;
  EXPECT_EQ(FormatBytes(fake.locale, Currency::FromBytes(c.bytes), c.unit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Report, FormatTest,
    ::testing::Values(FormatCase{"OnePointSevenFiveMB", 1835008, Unit::MB, ".", "2 MB"},
                      FormatCase{"OnePointSevenFiveMBInGB", 1835008, Unit::GB, ".", "0.00 GB"},
                      FormatCase{"OneAndAHalfGBInMB", 1610612736, Unit::MB, ".", "1536 MB"},
                      FormatCase{"OneAndAHalfGB", 1610612736, Unit::GB, ".", "1.50 GB"},
                      FormatCase{"UsersDecimalSeparator", 1610612736, Unit::GB, ",", "1,50 GB"},
                      FormatCase{"NoGrouping", 1099511627776.0, Unit::MB, ".", "1048576 MB"},
                      FormatCase{"NoGroupingInGB", 1099511627776.0, Unit::GB, ".", "1024.00 GB"},
                      FormatCase{"BelowHalfRoundsDown", 524287, Unit::MB, ".", "0 MB"},
                      FormatCase{"HundredthsRound", 1084479242, Unit::GB, ".", "1.01 GB"},
                      FormatCase{"Zero", 0, Unit::GB, ".", "0.00 GB"}),
    [](const auto& info) { return std::string(info.param.name); });

struct NumberCase {
  const char* text;
  double value;
};
void PrintTo(const NumberCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

class LeadingNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumberTest, ReadsTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(LeadingNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Report, LeadingNumberTest,
                         ::testing::Values(NumberCase{"123", 123}, NumberCase{"  42abc", 42},
                                           NumberCase{"-7", -7}, NumberCase{"+8", 8},
                                           NumberCase{"1.5e3", 1500}, NumberCase{"2E", 2},
                                           NumberCase{".5", 0.5}, NumberCase{"12.34.56", 12.34},
                                           NumberCase{"abc", 0}, NumberCase{"", 0},
                                           NumberCase{"1,5", 1}));

TEST(MonthlyUsageReport, OpensOnTheLatestYearInMegabytesWithFullMonthNames) {
  FakePlatform fake;
  Store(fake, {{"2024MAY", "IN", "1048576"}, {"2025MAY", "IN", "3145728"}});
  MonthlyUsageReport report(fake.userStore, fake.locale, fake.clock);
  report.Open();

  EXPECT_EQ(report.years(), (std::vector<std::string>{"2024", "2025"}));
  EXPECT_EQ(report.selectedYear(), 1u);
  EXPECT_EQ(report.unit(), Unit::MB);
  EXPECT_EQ(report.rows()[4], (MonthRow{"-", "3 MB", "3 MB"}));
  EXPECT_EQ(report.monthNames().front(), "January");
  EXPECT_EQ(report.monthNames()[4], "May");
  EXPECT_EQ(report.monthNames().back(), "December");

  report.SelectYear(0);
  EXPECT_EQ(report.rows()[4], (MonthRow{"-", "1 MB", "1 MB"}));
}

TEST(MonthlyUsageReport, SwitchingTheUnitRefillsAllTwelveRows) {
  FakePlatform fake;
  constexpr double kGB = 1073741824.0;
  for (int month = 1; month <= 12; ++month) {
    static const char* const kKeys[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const std::string section = std::string("2026") + kKeys[month - 1];
    Store(fake, {{section, "OUT", std::to_string(static_cast<long long>(month * kGB))},
                 {section, "IN", std::to_string(static_cast<long long>(2 * month * kGB))}});
  }
  MonthlyUsageReport report(fake.userStore, fake.locale, fake.clock);
  report.Open();
  for (int month = 1; month <= 12; ++month) {
    SCOPED_TRACE(month);
    EXPECT_EQ(report.rows()[month - 1].upload, std::to_string(month * 1024) + " MB");
  }

  report.SelectUnit(Unit::GB);
  for (int month = 1; month <= 12; ++month) {
    SCOPED_TRACE(month);
    const MonthRow& row = report.rows()[month - 1];
    EXPECT_EQ(row.upload, std::to_string(month) + ".00 GB");
    EXPECT_EQ(row.download, std::to_string(2 * month) + ".00 GB");
    EXPECT_EQ(row.total, std::to_string(3 * month) + ".00 GB");
  }

  report.SelectUnit(Unit::MB);
  EXPECT_EQ(report.rows()[11].total, std::to_string(36 * 1024) + " MB");
}

TEST(MonthlyUsageReport, ReadsOnly) {
  FakePlatform fake;
  Store(fake, {{"2026JAN", "IN", "1"}});
  MonthlyUsageReport report(fake.userStore, fake.locale, fake.clock);
  report.Open();
  report.SelectUnit(Unit::GB);
  EXPECT_EQ(fake.userStore.writes, 0);
  EXPECT_EQ(fake.userStore.sections.size(), 1u);
}

}  // namespace
}  // namespace trafimo::report
