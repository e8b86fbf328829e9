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

// The first day (no pace yet), its last second, the billing month's last second, another start
// day across a year, a leap February, and over the allowance; the warning of the level reached in
// the words the person reads.
TEST(DataPlan, TheMonthThePaceWhatIsLeftADayAndTheWarningAtTheEdgesOfABillingMonth) {
  const struct {
    int startDay, date, hhmmss;  // now: the date as yyyymmdd, the time as hhmmss
    double used, allowance;
    int level;
    const char *month, *budget, *warning;
  } cases[] = {
      {1, 20261211, 0, 10, 50, 0, "Month 10.00 of 50.00 GB (20 %), 31.0 GB at this pace",
       "40.00 GB left: 1.90 GB a day for 21 days", ""},
      {1, 20261201, 235959, 40, 50, 80, "Month 40.00 of 50.00 GB (80 %)",
       "10.00 GB left: 0.32 GB a day for 31 days",
       "This month you have used 40.00 GB of your 50.00 GB allowance (80 %)."},
      {1, 20261231, 235959, 10, 50, 0, "Month 10.00 of 50.00 GB (20 %), 10.0 GB at this pace",
       "40.00 GB left: 40.00 GB a day for 1 day", ""},
      {15, 20270105, 0, 21, 25, 80, "Month 21.00 of 25.00 GB (84 %), 31.0 GB at this pace",
       "4.00 GB left: 0.40 GB a day for 10 days",
       "This month you have used 21.00 GB of your 25.00 GB allowance (84 %). At this pace you will "
       "use 31.0 GB by 14 January."},
      {28, 20280313, 0, 7, 20, 0, "Month 7.00 of 20.00 GB (35 %), 14.5 GB at this pace",
       "13.00 GB left: 0.87 GB a day for 15 days", ""},
      {1, 20261220, 0, 51, 50, 100, "Month 51.00 of 50.00 GB (102 %), 83.2 GB at this pace",
       "Nothing left until 1 January.",
       "You have used all of your 50.00 GB allowance for this month (51.00 GB). It starts again on "
       "1 January."},
  };
  testing::FakeLocale locale;
  for (const auto& c : cases) {
    const platform::LocalTime now{c.date / 10000,   c.date / 100 % 100,   c.date % 100,
                                  c.hhmmss / 10000, c.hhmmss / 100 % 100, c.hhmmss % 100};
    const PlanStanding standing = StandingOf(
        Gb(c.used), static_cast<std::uint64_t>(Gb(c.allowance)), kDefaultWarnAt, now, c.startDay);
    EXPECT_EQ(MonthLine(locale, standing), c.month);
    EXPECT_EQ(BudgetLine(locale, standing), c.budget);
    EXPECT_EQ(standing.level, c.level) << c.month;
    EXPECT_EQ(c.level ? WarningText(locale, standing, c.level) : "", c.warning) << c.month;
  }
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

// Each unit's first amount or one with decimals; "," as the user's decimal separator. (The tip
// shows 0 B/s, 48 KB/s and 1.25 MB/s.)
TEST(DataPlan, SpeedTextsInTheProgramsUnitsWithTheUsersSeparator) {
  const std::tuple<std::uint64_t, const char*, const char*> cases[] = {
      {1023, ".", "1,023 B/s"},
      {1024, ".", "1 KB/s"},
      {1'310'720, ",", "1,25 MB/s"},
      {1'610'612'736, ".", "1.50 GB/s"}};
  for (const auto& [bytes, separator, text] : cases) {
    testing::FakeLocale locale;
    locale.decimalSeparator = separator;
    EXPECT_EQ(SpeedText(locale, bytes), text);
  }
}

}  // namespace
}  // namespace trafimo
