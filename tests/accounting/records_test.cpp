// The usage records: day stamp, billing-month key, loading the counters, starting a new day.
#include <gtest/gtest.h>

#include "accounting/accounting_fixture.h"

namespace trafimo::testing {
namespace {

struct MonthKeyCase {
  int startDay;
  int year, month, day;
  const char* key;
};

class MonthKeys : public AccountingTest, public ::testing::WithParamInterface<MonthKeyCase> {};

TEST_P(MonthKeys, NameTheMonthTheBillingPeriodStartedIn) {
  const MonthKeyCase& c = GetParam();
  settings.MonthStartDay = static_cast<std::uint8_t>(c.startDay);
  fake.clock.Set(c.year, c.month, c.day);
  EXPECT_EQ(accounting.RegKey(), c.key);
}

INSTANTIATE_TEST_SUITE_P(
    StartDays, MonthKeys,
    ::testing::Values(
        MonthKeyCase{1, 2006, 3, 1, "2006MAR"}, MonthKeyCase{1, 2006, 2, 28, "2006FEB"},
        MonthKeyCase{1, 2007, 1, 1, "2007JAN"}, MonthKeyCase{15, 2006, 3, 10, "2006FEB"},
        MonthKeyCase{15, 2006, 3, 14, "2006FEB"}, MonthKeyCase{15, 2006, 3, 15, "2006MAR"},
        MonthKeyCase{15, 2006, 3, 31, "2006MAR"}, MonthKeyCase{28, 2006, 3, 1, "2006FEB"},
        MonthKeyCase{28, 2006, 3, 27, "2006FEB"}, MonthKeyCase{28, 2006, 3, 28, "2006MAR"},
        MonthKeyCase{10, 2007, 1, 5, "2006DEC"}, MonthKeyCase{10, 2007, 1, 10, "2007JAN"}));

TEST_F(AccountingTest, DayStampUsesTheLocalesAbbreviatedMonth) {
  fake.clock.Set(2006, 1, 5, 23, 59, 59);
  EXPECT_EQ(accounting.GetDateToday(), "2006Jan05");
  fake.clock.Set(2006, 12, 31, 0, 0, 0);
  EXPECT_EQ(accounting.GetDateToday(), "2006Dec31");
}

TEST_F(AccountingTest, LoadOnTheSameDayTakesTheStoredCounters) {
  Store("2006MAR", "7000000000", "-25");
  Store("Today", "111", "222");
  fake.userStore.sections["DateToday"]["DateToday"] = "2006Mar20";
  Load();
  EXPECT_EQ(accounting.MonthKey, "2006MAR");
  EXPECT_EQ(accounting.CostThisMonth, Totals(7000000000, -25));
  EXPECT_EQ(accounting.DateToday, "2006Mar20");
  EXPECT_EQ(accounting.CostToday, Totals(111, 222));
  EXPECT_EQ(accounting.CostNow, Totals(0, 0));
  EXPECT_EQ(accounting.ShowMode, 2.0f);
}

TEST_F(AccountingTest, LoadOnAnotherDayStartsANewDay) {
  Store("2006MAR", "7000", "3000");
  Store("Today", "111", "222");
  fake.userStore.sections["DateToday"]["DateToday"] = "2006Mar19";
  Load();
  EXPECT_EQ(accounting.DateToday, "2006Mar20");
  EXPECT_EQ(Stored("DateToday", "DateToday"), "2006Mar20");
  EXPECT_EQ(accounting.CostToday, Totals(0, 0));
  EXPECT_EQ(Stored("Today", "IN"), "0");
  EXPECT_EQ(Stored("Today", "OUT"), "0");
  EXPECT_EQ(accounting.CostThisMonth, Totals(7000, 3000));
}

TEST_F(AccountingTest, FirstEverLoadStartsFromZero) {
  Load();
  EXPECT_EQ(accounting.CostThisMonth, Totals(0, 0));
  EXPECT_EQ(accounting.CostToday, Totals(0, 0));
  EXPECT_EQ(Stored("DateToday", "DateToday"), "2006Mar20");
}

TEST_F(AccountingTest, ResetTodayReportsAFailedWriteButStartsTheDay) {
  Store("Today", "111", "222");
  fake.userStore.sections["DateToday"]["DateToday"] = "2006Mar20";
  Load();
  fake.clock.Set(2006, 3, 21);
  fake.userStore.failWrites = 1;
  EXPECT_THROW(accounting.ResetToday(), std::runtime_error);
  EXPECT_EQ(accounting.DateToday, "2006Mar21");
  EXPECT_EQ(accounting.CostToday, Totals(0, 0));
  EXPECT_EQ(Stored("Today", "IN"), "0");
}

// Stored "IN"/"OUT" text that is not a whole number of bytes within range reads as 0.
struct StoredTextCase {
  const char* text;
  std::int64_t value;
};

class StoredByteText : public AccountingTest,
                       public ::testing::WithParamInterface<StoredTextCase> {};

TEST_P(StoredByteText, ReadsAsItsValueOrZero) {
  const StoredTextCase& c = GetParam();
  Store("2006MAR", c.text, "5");
  Store("Today", "7", c.text);
  fake.userStore.sections["DateToday"]["DateToday"] = "2006Mar20";
  Load();
  EXPECT_EQ(accounting.CostThisMonth, Totals(c.value, 5));
  EXPECT_EQ(accounting.CostToday, Totals(7, c.value));
}

TEST_F(AccountingTest, StoredPairWhoseTotalIsOutOfRangeReadsAsZero) {
  Store("2006MAR", "9223372036854775807", "9223372036854775807");
  Load();
  EXPECT_EQ(accounting.CostThisMonth, Totals(0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredByteText,
    ::testing::Values(StoredTextCase{"1048576", 1048576}, StoredTextCase{"-25", -25},
                      StoredTextCase{"007", 7},
                      StoredTextCase{"9223372036854775800", 9223372036854775800},
                      StoredTextCase{"9223372036854775808", 0},
                      StoredTextCase{"-9223372036854775809", 0}, StoredTextCase{"12.5", 0},
                      StoredTextCase{"1e6", 0}, StoredTextCase{"1,000", 0},
                      StoredTextCase{" 12", 0}, StoredTextCase{"12 ", 0}, StoredTextCase{"+12", 0},
                      StoredTextCase{"", 0}, StoredTextCase{"-", 0}, StoredTextCase{"abc", 0}));

struct ShowModeCase {
  const char* stored;  // null: nothing stored
  float mode;
};

class StoredShowMode : public AccountingTest, public ::testing::WithParamInterface<ShowModeCase> {};

TEST_P(StoredShowMode, IsReadAsANumber) {
  if (GetParam().stored != nullptr)
    fake.userStore.sections["Settings"]["ShowMode"] = GetParam().stored;
  accounting.LoadShowMode();
  EXPECT_EQ(accounting.ShowMode, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredShowMode,
                         ::testing::Values(ShowModeCase{nullptr, 2}, ShowModeCase{"1", 1},
                                           ShowModeCase{"2", 2}, ShowModeCase{"3", 3},
                                           ShowModeCase{"1.5", 1.5f}, ShowModeCase{"KB", 2},
                                           ShowModeCase{"", 2}));

}  // namespace
}  // namespace trafimo::testing
