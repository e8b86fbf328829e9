// The one-second tick: what it adds to Now, Today and This Month, what it writes and shows.
#include <gtest/gtest.h>

#include "accounting/accounting_fixture.h"

namespace trafimo::testing {
namespace {

constexpr std::uint32_t kTwo31 = 2147483648u;

class SamplingTick : public AccountingTest {};

TEST_F(SamplingTick, FirstReadingIsTheBaselineAndTheRecordsAreWrittenBack) {
  Store("2006MAR", "7000", "3000");
  SetEthernet(123456, 654321);
  Load();
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(0, 0));
  EXPECT_EQ(accounting.PrevSample, Totals(123456, 654321));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(7000, 3000));
  EXPECT_EQ(StoredTotals("Today"), Totals(0, 0));
  EXPECT_EQ(display.tips, std::vector<std::string>{"Current - 0.00 MB"});
}

TEST_F(SamplingTick, TrafficBetweenTwoTicksIsAddedToAllThreeTotals) {
  Store("2006MAR", "7000", "3000");
  SetEthernet(10000, 20000);
  Load();
  Tick();
  SetEthernet(12000, 20500);
  Tick();
  EXPECT_EQ(accounting.SampleDelta, Totals(2000, 500));
  EXPECT_EQ(accounting.CostNow, Totals(2000, 500));
  EXPECT_EQ(accounting.CostToday, Totals(2000, 500));
  EXPECT_EQ(accounting.CostThisMonth, Totals(9000, 3500));
  EXPECT_EQ(StoredTotals("Today"), Totals(2000, 500));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(9000, 3500));
}

TEST_F(SamplingTick, TrafficInTheFreeWindowIsLostForGood) {
  settings.EnableFreeTimes = true;  // default window 2:0:0 to 7:59:59
  fake.clock.Set(2006, 3, 20, 3, 0, 0);
  SetEthernet(10000, 20000);
  Load();
  Tick();
  SetEthernet(12000, 20500);
  Tick();
  EXPECT_EQ(accounting.CostToday, Totals(0, 0));
  EXPECT_EQ(StoredTotals("Today"), Totals(0, 0));
  fake.clock.Set(2006, 3, 20, 9, 0, 0);
  SetEthernet(12100, 20500);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(100, 0));
  EXPECT_EQ(accounting.CostThisMonth, Totals(100, 0));
}

struct FreeTimeCase {
  const char* from;
  const char* to;
  int hour, minute, second;
  bool counted;
};

class FreeWindow : public AccountingTest, public ::testing::WithParamInterface<FreeTimeCase> {};

TEST_P(FreeWindow, BothEndsBelongToTheWindow) {
  const FreeTimeCase& c = GetParam();
  settings.EnableFreeTimes = true;
  settings.FromFreeTime = c.from;
  settings.ToFreeTime = c.to;
  fake.clock.Set(2006, 3, 20, c.hour, c.minute, c.second);
  SetEthernet(10000, 20000);
  Load();
  Tick();
  SetEthernet(12000, 20500);
  Tick();
  EXPECT_EQ(accounting.IsOutsideFreeTime(), c.counted);
  EXPECT_EQ(accounting.CostToday, c.counted ? Totals(2000, 500) : Totals(0, 0));
  EXPECT_EQ(StoredTotals("Today"), accounting.CostToday);
}

INSTANTIATE_TEST_SUITE_P(Times, FreeWindow,
                         ::testing::Values(FreeTimeCase{"2:0:0", "7:59:59", 3, 0, 0, false},
                                           FreeTimeCase{"2:0:0", "7:59:59", 2, 0, 0, false},
                                           FreeTimeCase{"2:0:0", "7:59:59", 7, 59, 59, false},
                                           FreeTimeCase{"2:0:0", "7:59:59", 1, 59, 59, true},
                                           FreeTimeCase{"2:0:0", "7:59:59", 8, 0, 0, true},
                                           FreeTimeCase{"22:00:00", "06:00:00", 23, 30, 0, false},
                                           FreeTimeCase{"22:00:00", "06:00:00", 5, 59, 59, false},
                                           FreeTimeCase{"22:00:00", "06:00:00", 0, 0, 0, false},
                                           FreeTimeCase{"22:00:00", "06:00:00", 22, 0, 0, false},
                                           FreeTimeCase{"22:00:00", "06:00:00", 6, 0, 0, false},
                                           FreeTimeCase{"22:00:00", "06:00:00", 6, 0, 1, true},
                                           FreeTimeCase{"22:00:00", "06:00:00", 21, 59, 59, true},
                                           FreeTimeCase{"12:0", "12:0", 12, 0, 0, false},
                                           FreeTimeCase{"12:0", "12:0", 12, 0, 1, true}));

TEST_F(SamplingTick, FreeTimesSwitchedOffCountAtAnyHour) {
  fake.clock.Set(2006, 3, 20, 3, 0, 0);
  SetEthernet(10000, 20000);
  Load();
  Tick();
  SetEthernet(12000, 20500);
  Tick();
  EXPECT_FALSE(accounting.IsOutsideFreeTime());
  EXPECT_EQ(accounting.CostToday, Totals(2000, 500));
}

TEST_F(SamplingTick, TheOnlyInterfaceDisappearingEndsNowButKeepsTodayAndTheMonth) {
  SetEthernet(10000, 20000);
  Load();
  Tick();
  SetEthernet(12000, 20500);
  Tick();
  SetRows({Row("Loopback", 5, 5, 24)});
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(0, 0));
  EXPECT_EQ(accounting.CostToday, Totals(2000, 500));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(2000, 500));
  EXPECT_EQ(display.tips.back(), "Current - 0.00 MB");
  // It comes back with other counters: one tick re-baselines, then counting goes on.
  SetEthernet(70, 80);
  Tick();
  SetEthernet(1070, 80);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(1000, 0));
  EXPECT_EQ(accounting.CostToday, Totals(3000, 500));
}

TEST_F(SamplingTick, SelectingAnotherInterfaceRebaselinesOnce) {
  SetRows({Row("Ethernet", 10000, 20000), Row("Wi-Fi", 500000, 600000)});
  Load();
  Tick();
  SetRows({Row("Ethernet", 11000, 20000), Row("Wi-Fi", 900000, 600000)});
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(1000, 0));
  settings.Interface = ",Ethernet,Wi-Fi";
  SetRows({Row("Ethernet", 12000, 20000), Row("Wi-Fi", 950000, 600000)});
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(1000, 0)) << "the re-baselining tick adds nothing";
  EXPECT_EQ(accounting.LastInterfaceNames, "EthernetWi-Fi");
  SetRows({Row("Ethernet", 12100, 20000), Row("Wi-Fi", 950020, 600003)});
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(1120, 3));
}

TEST_F(SamplingTick, FirstTickAfterMidnightStartsTodayBeforeAdding) {
  Store("Today", "111", "222");
  fake.userStore.sections["DateToday"]["DateToday"] = "2006Mar20";
  fake.clock.Set(2006, 3, 20, 23, 59, 59);
  SetEthernet(10000, 20000);
  Load();
  EXPECT_EQ(accounting.CostToday, Totals(111, 222));
  Tick();
  fake.clock.Advance(2);
  SetEthernet(10300, 20000);
  Tick();
  EXPECT_EQ(accounting.DateToday, "2006Mar21");
  EXPECT_EQ(Stored("DateToday", "DateToday"), "2006Mar21");
  EXPECT_EQ(accounting.CostToday, Totals(300, 0));
  EXPECT_EQ(StoredTotals("Today"), Totals(300, 0));
  EXPECT_EQ(accounting.CostNow, Totals(300, 0));
  EXPECT_EQ(accounting.MonthKey, "2006MAR");
}

TEST_F(SamplingTick, TheBillingStartDayStartsANewMonthRecord) {
  settings.MonthStartDay = 15;
  fake.clock.Set(2006, 3, 14, 23, 59, 59);
  SetEthernet(10000, 20000);
  Load();
  Tick();
  SetEthernet(10400, 20000);
  Tick();
  EXPECT_EQ(accounting.MonthKey, "2006FEB");
  fake.clock.Advance(2);
  SetEthernet(10700, 20000);
  Tick();
  EXPECT_EQ(accounting.MonthKey, "2006MAR");
  EXPECT_EQ(StoredTotals("2006FEB"), Totals(400, 0));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(300, 0));
  EXPECT_EQ(accounting.CostNow, Totals(700, 0));
}

// Counters that pass 2^31 or wrap at 2^32 between two ticks are counted to the byte, alone or
// summed with others, also when they stand above 2^31 at start-up.
struct WrapCase {
  const char* name;
  std::vector<FakeRow> before, after;
  std::int64_t in, out;
};

class CounterWraps : public AccountingTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(CounterWraps, AreCountedExactly) {
  const WrapCase& c = GetParam();
  settings.Interface = ",A,B";
  SetRows(c.before);
  Load();
  Tick();
  SetRows(c.after);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(c.in, c.out));
  EXPECT_EQ(accounting.CostToday, Totals(c.in, c.out));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(c.in, c.out));
  EXPECT_EQ(display.tips.size(), 2u) << "both ticks complete";
}

INSTANTIATE_TEST_SUITE_P(
    Counters, CounterWraps,
    ::testing::Values(
        WrapCase{"ReceivedCrosses2To31",
                 {Row("A", kTwo31 - 1000, 5)},
                 {Row("A", kTwo31 + 1000, 5)},
                 2000,
                 0},
        WrapCase{"ReceivedWrapsAt2To32", {Row("A", 4294966796u, 0)}, {Row("A", 1500, 0)}, 2000, 0},
        WrapCase{"SentWrapsAt2To32", {Row("A", 7, 4294967000u)}, {Row("A", 7, 704)}, 0, 1000},
        WrapCase{"BothAbove2To31AtStart",
                 {Row("A", 3000000000u, 3500000000u)},
                 {Row("A", 3000005000u, 3500007000u)},
                 5000,
                 7000},
        WrapCase{"OneOfTwoWraps",
                 {Row("A", 4294967196u, 10), Row("B", kTwo31 - 1, 20)},
                 {Row("A", 900, 10), Row("B", kTwo31 + 99, 30)},
                 1100,
                 10},
        WrapCase{"BothWrapTheSum",
                 {Row("A", 4294967000u, 4294967000u), Row("B", 4294966000u, 4294967290u)},
                 {Row("A", 100, 200), Row("B", 300, 10)},
                 396 + 1596,
                 496 + 16},
        WrapCase{
            "LargestBelievedDelta", {Row("A", 5, 5)}, {Row("A", 1000000005u, 5)}, 1000000000, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SamplingTick, ACounterThatWentDownIsANewConnectionAndAddsNothing) {
  SetEthernet(5000, 5000);
  Load();
  Tick();
  SetEthernet(8000, 6000);
  Tick();
  ASSERT_EQ(accounting.CostNow, Totals(3000, 1000));
  // Received went down by 100 while sent grew by 1000: the counters were reset.
  SetEthernet(7900, 7000);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(0, 0));
  EXPECT_EQ(accounting.CostToday, Totals(3000, 1000));
  EXPECT_EQ(StoredTotals("Today"), Totals(3000, 1000));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(3000, 1000));
  EXPECT_EQ(display.tips.back(), "Current - 0.00 MB");
  // The baseline moved: the next tick counts from the reading that went down.
  SetEthernet(7950, 7000);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(50, 0));
  EXPECT_EQ(accounting.CostToday, Totals(3050, 1000));
}

TEST_F(SamplingTick, AJumpIsDroppedAndCountingGoesOnFromTheNewReading) {
  SetEthernet(1000, 1000);
  Load();
  Tick();
  SetEthernet(1000 + 1500000000u, 1000);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(0, 0));
  EXPECT_EQ(display.tips.size(), 1u) << "the jump ends its tick before anything is shown";
  SetEthernet(2000 + 1500000000u, 1500);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(1000, 500));
  EXPECT_EQ(StoredTotals("Today"), Totals(1000, 500));
}

TEST_F(SamplingTick, ClockSetBackIntoAnEarlierMonthGoesOnFromItsRecord) {
  Store("2006MAR", "7000", "3000");
  fake.clock.Set(2006, 4, 2, 12, 0, 0);
  SetEthernet(1000, 1000);
  Load();
  Tick();
  SetEthernet(1100, 1000);
  Tick();
  ASSERT_EQ(StoredTotals("2006APR"), Totals(100, 0));
  fake.clock.Set(2006, 3, 30, 12, 0, 0);
  SetEthernet(1300, 1000);
  Tick();
  EXPECT_EQ(accounting.MonthKey, "2006MAR");
  EXPECT_EQ(accounting.CostThisMonth, Totals(7200, 3000));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(7200, 3000));
  EXPECT_EQ(StoredTotals("2006APR"), Totals(100, 0));
  EXPECT_EQ(accounting.CostToday, Totals(200, 0));
}

TEST_F(SamplingTick, MonthRecordReadAtAMonthChangeWithUnreadableTextStartsFromZero) {
  Store("2006APR", "12.5", "lots");
  fake.clock.Set(2006, 3, 31, 23, 59, 59);
  SetEthernet(1000, 1000);
  Load();
  Tick();
  fake.clock.Advance(2);
  SetEthernet(1100, 1010);
  Tick();
  EXPECT_EQ(accounting.MonthKey, "2006APR");
  EXPECT_EQ(StoredTotals("2006APR"), Totals(100, 10));
}

class InvalidFreeBound : public AccountingTest,
                         public ::testing::WithParamInterface<std::pair<const char*, const char*>> {
};

TEST_P(InvalidFreeBound, MeansNoFreeWindow) {
  settings.EnableFreeTimes = true;
  settings.FromFreeTime = GetParam().first;
  settings.ToFreeTime = GetParam().second;
  fake.clock.Set(2006, 3, 20, 3, 0, 0);
  SetEthernet(10000, 20000);
  Load();
  Tick();
  SetEthernet(12000, 20500);
  Tick();
  EXPECT_TRUE(accounting.IsOutsideFreeTime());
  EXPECT_EQ(accounting.CostToday, Totals(2000, 500));
  EXPECT_EQ(StoredTotals("Today"), Totals(2000, 500));
}

INSTANTIATE_TEST_SUITE_P(Bounds, InvalidFreeBound,
                         ::testing::Values(std::pair{"2:0:0", "25:0:0"},
                                           std::pair{"2:60:0", "7:59:59"}, std::pair{"2:0:0", ""},
                                           std::pair{"two", "7:59:59"},
                                           std::pair{"2:0:0:0", "7:59:59"},
                                           std::pair{"2", "7:59:59"},
                                           std::pair{"2:0:0", "7:-5:59"}));

TEST_F(SamplingTick, OnlyWholeEntriesOfTheListAreCounted) {
  settings.Interface = ",Adapter #2";
  SetRows(
      {Row("Adapter", 100, 100), Row("Adapter #2", 1000, 1000), Row("Adapter #2-Filter", 7, 7)});
  Load();
  Tick();
  SetRows(
      {Row("Adapter", 900, 100), Row("Adapter #2", 1500, 1000), Row("Adapter #2-Filter", 507, 7)});
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(500, 0));
  EXPECT_EQ(accounting.LastInterfaceNames, "Adapter #2");
}

TEST_F(SamplingTick, AFailedWriteAbandonsTheRestOfTheTickOnly) {
  SetEthernet(1000, 1000);
  Load();
  Tick();
  fake.userStore.failWrites = 1;
  SetEthernet(3000, 1000);
  Tick();
  EXPECT_EQ(display.tips.size(), 1u) << "nothing shown after the failed write";
  EXPECT_EQ(StoredTotals("Today"), Totals(0, 0));
  SetEthernet(3500, 1000);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(2500, 0));
  EXPECT_EQ(StoredTotals("Today"), Totals(2500, 0));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(2500, 0));
  EXPECT_EQ(display.tips.size(), 2u);
}

TEST_F(SamplingTick, AFailedTableReadKeepsTheBaseline) {
  SetEthernet(1000, 1000);
  Load();
  Tick();
  fake.ifTable.sizeQueryFails = true;
  SetEthernet(3000, 1000);
  Tick();
  EXPECT_EQ(display.tips.size(), 1u);
  fake.ifTable.sizeQueryFails = false;
  SetEthernet(5000, 1000);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(4000, 0));
}

TEST_F(SamplingTick, AFailedSecondTableCallIsAnEmptyReading) {
  SetEthernet(1000, 1000);
  Load();
  Tick();
  SetEthernet(3000, 1000);
  Tick();
  fake.ifTable.secondCallFails = true;
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(0, 0)) << "no selected interface was present";
  EXPECT_EQ(accounting.CostToday, Totals(2000, 0));
}

TEST_F(SamplingTick, NoInterfaceTableEndsTheProcess) {
  Load();
  fake.ifTable.notSupported = true;
  EXPECT_THROW(Tick(), ProcessEnded);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, kNotSupportedMessage);
}

TEST_F(SamplingTick, ADayThatCannotBeStoredStillStartsInMemory) {
  settings.MonthStartDay = 15;
  fake.clock.Set(2006, 3, 14, 23, 59, 59);
  SetEthernet(1000, 1000);
  Load();
  Tick();
  SetEthernet(1400, 1000);
  Tick();
  fake.clock.Advance(2);
  fake.userStore.failWrites = 1;
  SetEthernet(1500, 1000);
  Tick();
  EXPECT_EQ(accounting.DateToday, "2006Mar15");
  EXPECT_EQ(accounting.MonthKey, "2006MAR");
  EXPECT_EQ(accounting.CostToday, Totals(0, 0));
  SetEthernet(1800, 1000);
  Tick();
  EXPECT_EQ(StoredTotals("Today"), Totals(400, 0));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(400, 0));
  EXPECT_EQ(StoredTotals("2006FEB"), Totals(400, 0));
}

TEST_F(SamplingTick, MetersAreRefreshedOnlyWhileOneIsOpen) {
  fake.userStore.sections["Settings"]["ShowMode"] = "1";
  Store("2006MAR", "1048576", "0");
  SetEthernet(1000, 1000);
  Load();
  Tick();
  EXPECT_TRUE(display.meters.empty());
  flags.MeterWindowOpen = true;
  SetEthernet(1000 + 2048, 1000 + 1024);
  Tick();
  ASSERT_EQ(display.meters.size(), 1u);
  EXPECT_EQ(display.meters[0].now, "3 KB");
  EXPECT_EQ(display.meters[0].today, "3 KB");
  EXPECT_EQ(display.meters[0].month, "1,027 KB");
  EXPECT_EQ(display.tips.back(), "Current - 3 KB");
}

TEST_F(SamplingTick, ClearedCountersGoOnFromTheLastReading) {
  SetEthernet(1000, 1000);
  Load();
  Tick();
  SetEthernet(3000, 1000);
  Tick();
  fake.userStore.EraseAll();
  accounting.CallFormLoad();
  EXPECT_EQ(accounting.CostNow, Totals(0, 0));
  EXPECT_EQ(accounting.CostToday, Totals(0, 0));
  EXPECT_EQ(accounting.CostThisMonth, Totals(0, 0));
  SetEthernet(3700, 1000);
  Tick();
  EXPECT_EQ(accounting.CostNow, Totals(700, 0));
  EXPECT_EQ(StoredTotals("2006MAR"), Totals(700, 0));
  EXPECT_EQ(StoredTotals("Today"), Totals(700, 0));
}

TEST_F(SamplingTick, TotalsBeyondTheByteRangeAbandonTheTickInsteadOfWrapping) {
  Store("2006MAR", "9223372036854775000", "0");
  SetEthernet(1000, 1000);
  Load();
  Tick();
  SetEthernet(3000, 1000);
  Tick();
  EXPECT_EQ(Stored("2006MAR", "IN"), "9223372036854775000");
  EXPECT_EQ(display.tips.size(), 1u);
}

}  // namespace
}  // namespace trafimo::testing
