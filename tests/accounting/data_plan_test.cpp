// The data plan's figures and texts: the month against the allowance, the pace, what is left a
// day and the warnings, at the edges of billing months; the speed in each unit.
#include "accounting/data_plan.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

std::int64_t Gb(double gb) {
  return static_cast<std::int64_t>(gb * static_cast<double>(kBytesPerGb));
}

TEST(DataPlan, TheMonthThePaceAndWhatIsLeftADayAtTheEdgesOfABillingMonth) {
  const struct {
    int startDay;
    platform::LocalTime now;
    double used, allowance;
    const char *month, *budget;
    int level;
  } cases[] = {
      {1,
       {2026, 12, 11, 0, 0, 0},
       10,
       50,
       "Month 10.00 of 50.00 GB (20 %), 31.0 GB at this pace",
       "40.00 GB left: 1.90 GB a day for 21 days",
       0},
      {1,
       {2026, 12, 1, 23, 59, 59},
       10,
       50,
       "Month 10.00 of 50.00 GB (20 %)",
       "40.00 GB left: 1.29 GB a day for 31 days",
       0},
      {1,
       {2026, 12, 31, 23, 59, 59},
       10,
       50,
       "Month 10.00 of 50.00 GB (20 %), 10.0 GB at this pace",
       "40.00 GB left: 40.00 GB a day for 1 day",
       0},
      {15,
       {2027, 1, 5, 0, 0, 0},
       21,
       25,
       "Month 21.00 of 25.00 GB (84 %), 31.0 GB at this pace",
       "4.00 GB left: 0.40 GB a day for 10 days",
       80},
      {28,
       {2028, 3, 13, 0, 0, 0},
       7,
       20,
       "Month 7.00 of 20.00 GB (35 %), 14.5 GB at this pace",
       "13.00 GB left: 0.87 GB a day for 15 days",
       0},
      {1,
       {2026, 12, 20, 0, 0, 0},
       51,
       50,
       "Month 51.00 of 50.00 GB (102 %), 83.2 GB at this pace",
       "Nothing left until 1 January.",
       100},
  };
  testing::FakeLocale locale;
  for (const auto& c : cases) {
    const PlanStanding standing = StandingOf(
        Gb(c.used), static_cast<std::uint64_t>(Gb(c.allowance)), kDefaultWarnAt, c.now, c.startDay);
    EXPECT_EQ(MonthLine(locale, standing), c.month);
    EXPECT_EQ(BudgetLine(locale, standing), c.budget);
    EXPECT_EQ(standing.level, c.level) << c.month;
  }
}

// The two warnings in the words the person reads; the pace is left out in the month's first day.
TEST(DataPlan, WarningTexts) {
  testing::FakeLocale locale;
  const auto text = [&](double used, platform::LocalTime now) {
    const PlanStanding s = StandingOf(Gb(used), 50 * kBytesPerGb, 80, now, 15);
    return WarningText(locale, s, s.level);
  };
  EXPECT_EQ(text(40.02, {2027, 1, 4, 6, 0, 0}),
            "This month you have used 40.02 GB of your 50.00 GB allowance (80 %). At this pace "
            "you will use 61.3 GB by 14 January.");
  EXPECT_EQ(text(40.02, {2026, 12, 15, 6, 0, 0}),
            "This month you have used 40.02 GB of your 50.00 GB allowance (80 %).");
  EXPECT_EQ(text(50.01, {2027, 1, 4, 6, 0, 0}),
            "You have used all of your 50.00 GB allowance for this month (50.01 GB). It starts "
            "again on 15 January.");
}

// A warning is told when its level is first reached; a level that falls (a raised allowance,
// a later warn-at) is stored without a word, so that it can be told again.
TEST(DataPlan, WarningsFollowTheHighestLevelReached) {
  const struct {
    int used, warnAt, warnedBefore, notify;
    bool store;
    int warnedAfter;
  } cases[] = {{79, 80, 0, 0, false, 0},     {80, 80, 0, 80, true, 80}, {99, 80, 80, 0, false, 80},
               {100, 80, 0, 100, true, 100}, {50, 80, 100, 0, true, 0}, {85, 90, 80, 0, true, 0},
               {85, 0, 0, 0, false, 0}};
  for (const auto& c : cases) {
    int warned = c.warnedBefore;
    const WarningStep step =
        NextWarning(StandingOf(c.used, 100, c.warnAt, {2026, 12, 8}, 1), warned);
    EXPECT_EQ(std::make_tuple(step.notify, step.store, warned),
              std::make_tuple(c.notify, c.store, c.warnedAfter))
        << c.used << " % of it, warn at " << c.warnAt << ", warned " << c.warnedBefore;
  }
}

TEST(DataPlan, SpeedTextsInTheProgramsUnitsWithTheUsersSeparator) {
  const std::tuple<std::uint64_t, const char*, const char*> cases[] = {
      {0, ".", "0 B/s"},
      {1023, ".", "1,023 B/s"},
      {1024, ".", "1 KB/s"},
      {49'152, ".", "48 KB/s"},
      {1'310'720, ".", "1.25 MB/s"},
      {1'310'720, ",", "1,25 MB/s"},
      {1'610'612'736, ".", "1.50 GB/s"}};
  for (const auto& [bytes, separator, text] : cases) {
    testing::FakeLocale locale;
    locale.decimalSeparator = separator;
    if (std::string(separator) == ",") locale.groupSeparator = ".";
    EXPECT_EQ(SpeedText(locale, bytes), text);
  }
}

}  // namespace
}  // namespace trafimo
