// The tray window's accounting driven through the stand-ins: the one-second tick and what it adds
// to Now, Today and This Month, the free times, the billing month's records and the byte texts.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "accounting/accounting.h"
#include "support/fakes.h"

namespace trafimo::testing {
namespace {

constexpr std::uint32_t kTwo31 = 2147483648u;

FakeRow Row(std::string description, std::uint32_t in, std::uint32_t out) {
  return {std::move(description), in, out, 6, std::nullopt};
}
FakeRow Eth(std::uint32_t in, std::uint32_t out) {
  return Row("Ethernet", in, out);
}
TrafficTotals Totals(std::int64_t in, std::int64_t out) {
  return {in, out, in + out};
}

// The accounting and its stand-ins; starts on 20 March 2006 at noon, counting "Ethernet" and
// "Wi-Fi".
struct Accounting : TickDisplay {
  FakePlatform fake;
  Settings settings;
  SharedFlags flags;
  TrafficAccounting accounting{fake.platform, settings, flags};
  std::vector<std::string> tips, meters;  // meters: "now|today|month"

  Accounting() {
    settings.Interface = ",Ethernet,Wi-Fi";
    fake.clock.Set(2006, 3, 20, 12, 0, 0);
  }
  void ShowTip(const std::string& tip) override { tips.push_back(tip); }
  void RefreshMeters(const std::string& now, const std::string& today,
                     const std::string& month) override {
    meters.push_back(now + "|" + today + "|" + month);
  }

  // The tray window's load, in its order.
  void Load() {
    accounting.LoadShowMode(), accounting.LoadMonthKey();
    accounting.LoadCostThisMonth(), accounting.LoadCostToday();
  }

  // Loads before the first reading; then one tick per interface table, a second apart.
  void Ticks(const std::vector<std::vector<FakeRow>>& tables) {
    for (const auto& rows : tables) {
      accounting.MonthKey.empty() ? Load() : fake.clock.Advance(1);
      fake.ifTable.rows = rows;
      accounting.SampleTraffic(*this);
    }
  }

  void Store(const std::string& section, const std::string& in, const std::string& out) {
    fake.userStore.sections[section]["IN"] = in;
    fake.userStore.sections[section]["OUT"] = out;
  }
  TrafficTotals StoredTotals(const std::string& section) {
    return Totals(std::stoll(fake.userStore.Read(section, "IN", "")),
                  std::stoll(fake.userStore.Read(section, "OUT", "")));
  }

  // Now, Today and This Month in memory, and the two records in the store.
  void Expect(TrafficTotals now, TrafficTotals today, TrafficTotals month) {
    EXPECT_EQ(accounting.CostNow, now);
    EXPECT_EQ(accounting.CostToday, today);
    EXPECT_EQ(StoredTotals("Today"), today);
    EXPECT_EQ(accounting.CostThisMonth, month);
    EXPECT_EQ(StoredTotals(accounting.MonthKey), month);
  }
};

class AccountingTest : public ::testing::Test, public Accounting {};
using SamplingTick = AccountingTest;

TEST_F(SamplingTick, FirstReadingIsTheBaselineThenTrafficIsAddedToAllThreeTotals) {
  Store("2006MAR", "7000", "3000");
  Ticks({{Eth(10000, 20000)}});
  Expect(Totals(0, 0), Totals(0, 0), Totals(7000, 3000));
  Ticks({{Eth(12000, 20500)}});
  Expect(Totals(2000, 500), Totals(2000, 500), Totals(9000, 3500));
}

TEST_F(SamplingTick, FreeTrafficIsLostForGoodWhileTheBaselineMoves) {
  settings.EnableFreeTimes = true;  // the default window, 2:0:0 to 7:59:59
  fake.clock.Set(2006, 3, 20, 3, 0, 0);
  Ticks({{Eth(10000, 20000)}, {Eth(12000, 20500)}});
  fake.clock.Set(2006, 3, 20, 9, 0, 0);
  Ticks({{Eth(12100, 20500)}});
  Expect(Totals(100, 0), Totals(100, 0), Totals(100, 0));
}

// Traffic between two ticks, the second at `hhmmss`, with free times from `from` to `to` (null:
// switched off). A bound that is not a valid time of day means there is no window.
TEST(FreeWindow, DropsTrafficInsideItBothEndsIncluded) {
  const std::tuple<const char*, const char*, int, bool> cases[] = {
      {nullptr, nullptr, 30001, true},
      {"2:0:0", "7:59:59", 20000, false},
      {"2:0:0", "7:59:59", 75959, false},
      {"2:0:0", "7:59:59", 80000, true},
      {"2:0:0", "7:59:59", 15959, true},
      {"22:00:00", "06:00:00", 233000, false},
      {"22:00:00", "06:00:00", 55959, false},
      {"22:00:00", "06:00:00", 60000, false},
      {"22:00:00", "06:00:00", 60001, true},
      {"22:00:00", "06:00:00", 215959, true},
      {"22:00:00", "06:00:00", 220000, false},
      {"2:0:0", "25:0:0", 30001, true},
      {"2:60:0", "7:0", 30001, true},
      {"2:0:0", "", 30001, true},
      {"two", "7:0", 30001, true},
      {"2", "7:0", 30001, true},
      {" 2:0 ", "7:0", 30001, false}};
  for (const auto& [from, to, hhmmss, counted] : cases) {
    Accounting t;
    t.settings.EnableFreeTimes = from != nullptr;
    if (from) t.settings.FromFreeTime = from, t.settings.ToFreeTime = to;
    t.fake.clock.Set(2006, 3, 20, hhmmss / 10000, hhmmss / 100 % 100, hhmmss % 100);
    t.fake.clock.Advance(-1);  // the baseline a second before
    t.Ticks({{Eth(10000, 20000)}, {Eth(12000, 20500)}});
    EXPECT_EQ(t.accounting.CostToday, counted ? Totals(2000, 500) : Totals(0, 0))
        << (from ? from : "off") << " to " << (to ? to : "-") << " at " << hhmmss;
  }
}

TEST_F(SamplingTick, TheOnlyInterfaceDisappearingEndsNowButKeepsTodayAndTheMonth) {
  Ticks({{Eth(10000, 20000)}, {Eth(12000, 20500)}, {Row("Loopback", 5, 5)}});
  Expect(Totals(0, 0), Totals(2000, 500), Totals(2000, 500));
  // It comes back with other counters: one tick re-baselines, then counting goes on.
  Ticks({{Eth(70, 80)}, {Eth(1070, 80)}});
  Expect(Totals(1000, 0), Totals(3000, 500), Totals(3000, 500));
}

// Only whole entries of the list count, and another list re-baselines once.
TEST_F(SamplingTick, TheSelectedInterfacesAreSummedAndAnotherSelectionRebaselines) {
  settings.Interface = ",Ethernet,Adapter #2";
  Ticks({{Eth(10000, 20000), Row("Adapter #2", 500000, 0), Row("Adapter #2-Filter", 7, 0),
          Row("Wi-Fi", 300000, 0)},
         {Eth(11000, 20000), Row("Adapter #2", 900000, 0), Row("Adapter #2-Filter", 99, 0),
          Row("Wi-Fi", 900000, 0)}});
  Expect(Totals(401000, 0), Totals(401000, 0), Totals(401000, 0));
  settings.Interface = ",Ethernet,Wi-Fi";
  Ticks(
      {{Eth(12000, 20000), Row("Wi-Fi", 950000, 0)}, {Eth(12100, 20000), Row("Wi-Fi", 950020, 3)}});
  Expect(Totals(401120, 3), Totals(401120, 3), Totals(401120, 3));
}

// A start on the same day takes Today up from its record.
TEST_F(SamplingTick, FirstTickAfterMidnightStartsTodayBeforeAdding) {
  Store("Today", "111", "222");
  fake.userStore.sections["DateToday"]["DateToday"] = "2006Mar20";
  fake.clock.Set(2006, 3, 20, 23, 59, 59);
  Ticks({{Eth(10000, 20000)}});
  Expect(Totals(0, 0), Totals(111, 222), Totals(0, 0));
  Ticks({{Eth(10300, 20000)}});
  Expect(Totals(300, 0), Totals(300, 0), Totals(300, 0));
  EXPECT_EQ(fake.userStore.Read("DateToday", "DateToday", ""), "2006Mar21");
}

// A month record that cannot be read starts from zero.
TEST_F(SamplingTick, TheBillingStartDayStartsANewMonthRecord) {
  settings.MonthStartDay = 15;
  Store("2006MAR", "12.5", "lots");
  fake.clock.Set(2006, 3, 14, 23, 59, 58);
  Ticks({{Eth(10000, 20000)}, {Eth(10400, 20000)}, {Eth(10700, 20010)}});
  EXPECT_EQ(StoredTotals("2006FEB"), Totals(400, 0));
  EXPECT_EQ(accounting.MonthKey, "2006MAR");
  Expect(Totals(700, 10), Totals(300, 10), Totals(300, 10));
}

// Counters standing above 2^31 at start, passing 2^31 or wrapping at 2^32 between two ticks,
// alone or summed with others, are counted to the byte; a delta of 10^9 is still believed.
TEST_F(SamplingTick, CounterWrapsAreCountedExactly) {
  Ticks({{Eth(4294967000u, kTwo31 - 1000), Row("Wi-Fi", 4294966000u, 4294967290u)},
         {Eth(100, kTwo31 + 1000), Row("Wi-Fi", 300, 10)}});
  Expect(Totals(396 + 1596, 2000 + 16), Totals(1992, 2016), Totals(1992, 2016));
  Ticks({{Eth(1000000100u, kTwo31 + 1000), Row("Wi-Fi", 300, 10)}});
  EXPECT_EQ(accounting.CostToday, Totals(1000001992, 2016));
}

// A counter that went down means a new connection; a jump is not believed. Neither adds anything,
// and counting goes on from the new reading.
TEST_F(SamplingTick, ADecreaseOrAJumpAddsNothingAndMovesTheBaseline) {
  Ticks({{Eth(5000, 5000)}, {Eth(8000, 6000)}, {Eth(7900, 7000)}});  // received went down by 100
  Expect(Totals(0, 0), Totals(3000, 1000), Totals(3000, 1000));
  Ticks({{Eth(7950, 7000)}, {Eth(7950 + 1000000001u, 7000)}});
  EXPECT_EQ(tips.size(), 4u) << "the jump ends its tick before anything is shown";
  Ticks({{Eth(8050 + 1000000001u, 7500)}});
  Expect(Totals(150, 500), Totals(3150, 1500), Totals(3150, 1500));
}

TEST_F(SamplingTick, ClockSetBackIntoAnEarlierMonthGoesOnFromItsRecord) {
  Store("2006MAR", "7000", "3000");
  fake.clock.Set(2006, 4, 2, 12, 0, 0);
  Ticks({{Eth(1000, 1000)}, {Eth(1100, 1000)}});
  fake.clock.Set(2006, 3, 30, 12, 0, 0);
  Ticks({{Eth(1300, 1000)}});
  Expect(Totals(300, 0), Totals(200, 0), Totals(7200, 3000));
  EXPECT_EQ(StoredTotals("2006APR"), Totals(100, 0));
}

// A failed write or table read abandons the rest of its tick; the next tick goes on normally.
TEST_F(SamplingTick, AFailureAbandonsTheRestOfTheTickOnly) {
  Ticks({{Eth(1000, 1000)}});
  fake.userStore.failWrites = 1;
  Ticks({{Eth(3000, 1000)}});
  EXPECT_EQ(StoredTotals("Today"), Totals(0, 0));
  fake.ifTable.sizeQueryFails = true;
  Ticks({{Eth(3200, 1000)}});
  fake.ifTable.sizeQueryFails = false;
  fake.ifTable.secondCallFails = true;  // an empty table: the traffic waits for the next reading
  Ticks({{Eth(3300, 1000)}});
  fake.ifTable.secondCallFails = false;
  Ticks({{Eth(3500, 1000)}});
  Expect(Totals(2500, 0), Totals(2500, 0), Totals(2500, 0));
  EXPECT_EQ(tips.size(), 2u) << "nothing shown by the failed ticks";
}

TEST_F(SamplingTick, TheTipShowsNowAndMetersAreRefreshedOnlyWhileOneIsOpen) {
  fake.userStore.sections["Settings"]["ShowMode"] = "1";
  Store("2006MAR", "1048576", "0");
  Ticks({{Eth(1000, 1000)}});
  flags.MeterWindowOpen = true;
  Ticks({{Eth(1000 + 2048, 1000 + 1024)}});
  EXPECT_EQ(tips, (std::vector<std::string>{"Current - 0 KB", "Current - 3 KB"}));
  EXPECT_EQ(meters, std::vector<std::string>{"3 KB|3 KB|1,027 KB"});
}

TEST_F(SamplingTick, ClearedCountersGoOnFromTheLastReading) {
  Ticks({{Eth(1000, 1000)}, {Eth(3000, 1000)}});
  fake.userStore.EraseAll();
  accounting.CallFormLoad();
  Ticks({{Eth(3700, 1000)}});
  Expect(Totals(700, 0), Totals(700, 0), Totals(700, 0));
}

TEST_F(AccountingTest, ATickStartedWhileOneRunsReturnsAtOnce) {
  Load();
  fake.ifTable.notSupported = true;  // the tick shows its message, whose loop ticks again
  int nestedTicks = 0;
  fake.messages.whileShown = [&](const FakeMessages::Shown&) {
    if (++nestedTicks <= 3) accounting.SampleTraffic(*this);
  };
  EXPECT_THROW(accounting.SampleTraffic(*this), ProcessEnded);
  EXPECT_EQ(fake.messages.shown.size(), 1u) << "one box, not one more a second";
  EXPECT_EQ(fake.ifTable.calls, 1);
  fake.ifTable.notSupported = false;
  fake.ifTable.rows = {Eth(100, 100)};
  accounting.SampleTraffic(*this);
  EXPECT_EQ(fake.ifTable.calls, 3) << "the next tick runs again";
}

TEST(MonthKeys, NameTheMonthTheBillingPeriodStartedIn) {
  // start day, date, the month record's section
  const std::tuple<int, platform::LocalTime, const char*> cases[] = {
      {1, {2006, 3, 1}, "2006MAR"},   {1, {2006, 2, 28}, "2006FEB"},
      {15, {2006, 3, 10}, "2006FEB"}, {15, {2006, 3, 15}, "2006MAR"},
      {28, {2006, 3, 27}, "2006FEB"}, {28, {2006, 3, 28}, "2006MAR"},
      {10, {2007, 1, 5}, "2006DEC"}};
  for (const auto& [startDay, date, key] : cases) {
    Accounting t;
    t.settings.MonthStartDay = static_cast<std::uint8_t>(startDay);
    t.fake.clock.now = date;
    EXPECT_EQ(t.accounting.RegKey(), key) << date.year << "-" << date.month << "-" << date.day;
  }
}

// Stored "IN"/"OUT" text that is not a whole number of bytes within range reads as 0, and so
// does a pair whose total is out of range.
TEST_F(AccountingTest, StoredByteTextsReadAsTheirValueOrZero) {
  const std::tuple<const char*, const char*, std::int64_t> cases[] = {
      {"-25", "007", -18},
      {"9223372036854775800", "0", 9223372036854775800},
      {"12.5", "5", 5},
      {"1,000", "5", 5},
      {"+12", " 5", 0},
      {"", "-", 0},
      {"9223372036854775808", "5", 5},
      {"9223372036854775807", "1", 0}};
  for (const auto& [in, out, total] : cases) {
    Store("2006MAR", in, out);
    Load();
    EXPECT_EQ(accounting.CostThisMonth.Total, total) << '"' << in << "\" \"" << out << '"';
  }
}

// ShowMode as stored: 1 is KB, 2 and anything that is not a number MB, any other number nothing.
// Only the grouping and the decimal separator follow the locale; a failed platform call still
// gives the amount rounded to the unit's decimals.
TEST_F(AccountingTest, ByteTextsShowTheUnitWithALeadingZeroAndMinusInTheUsersLocale) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  struct Case {
    const char* showMode;
    std::int64_t bytes;
    const char* text;
    bool userLocale = false;  // "," decimal point, "." grouping by 3;2;0
    bool formatFails = false;
  };
  const Case cases[] = {{"1", 1600, "2 KB"},
                        {"2", 1600, "0.00 MB"},
                        {"1", -1073741824, "-1,048,576 KB"},
                        {"KB", 1073741824, "1,024.00 MB"},
                        {"2", 5347737, "5.10 MB"},
                        {"2", kMin, "-8,796,093,022,208.00 MB"},
                        {"1", kMax, "9,007,199,254,740,992 KB"},
                        {"3", 1600, ""},
                        {"1.5", 1600, ""},
                        {"2", -5242, "0,00 MB", true},
                        {"2", -1048576, "-1,00 MB", true, true},
                        {"2", 1024000000000, "9.76.562,50 MB", true},
                        {"2", 1024000000000, "976562,50 MB", true, true}};
  for (const Case& c : cases) {
    fake.userStore.sections["Settings"]["ShowMode"] = c.showMode;
    fake.locale.decimalSeparator = c.userLocale ? "," : ".";
    fake.locale.groupSeparator = c.userLocale ? "." : ",";
    fake.locale.grouping = c.userLocale ? "3;2;0" : "3;0";
    fake.locale.numberFormatFails = c.formatFails;
    accounting.LoadShowMode();
    EXPECT_EQ(accounting.FormatBytes(c.bytes), c.text) << c.bytes << " in mode " << c.showMode;
  }
}

}  // namespace
}  // namespace trafimo::testing
