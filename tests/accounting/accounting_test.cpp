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

  Accounting() {
    settings.Interface = ",Ethernet,Wi-Fi";
    fake.clock.Set(2006, 3, 20, 12, 0, 0);
  }
  void ShowTip(const std::string&) override {}
  void RefreshMeters(const std::string&, const std::string&, const std::string&) override {}

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
  Ticks({{Eth(10000, 20000), Row("Wi-Fi-Filter", 5, 5)}});
  Expect(Totals(0, 0), Totals(0, 0), Totals(7000, 3000));
  Ticks({{Eth(12000, 20500), Row("Wi-Fi-Filter", 900, 900)}});
  Expect(Totals(2000, 500), Totals(2000, 500), Totals(9000, 3500));
}

// Traffic between two ticks, the second at `hhmmss`, with free times from `from` to `to` (null:
// switched off). A bound that is not a valid time of day means there is no window.
TEST(FreeWindow, DropsTrafficInsideItBothEndsIncluded) {
  const std::tuple<const char*, const char*, int, bool> cases[] = {
      {nullptr, nullptr, 30001, true},        {"2:0:0", "7:59:59", 20000, false},
      {"2:0:0", "7:59:59", 75959, false},     {"2:0:0", "7:59:59", 80000, true},
      {"2:0:0", "7:59:59", 15959, true},      {"22:00:00", "06:00:00", 233000, false},
      {"22:00:00", "06:00:00", 60000, false}, {"22:00:00", "06:00:00", 60001, true},
      {"2:0:0", "25:0:0", 30001, true}};
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

// A month record that cannot be read starts from zero; a new day starts Today from zero.
TEST_F(SamplingTick, TheBillingStartDayStartsANewMonthRecord) {
  settings.MonthStartDay = 15;
  Store("2006MAR", "12.5", "lots");
  fake.clock.Set(2006, 3, 14, 23, 59, 58);
  Ticks({{Eth(10000, 20000)}, {Eth(10400, 20000)}, {Eth(10700, 20010)}});
  EXPECT_EQ(StoredTotals("2006FEB"), Totals(400, 0));
  EXPECT_EQ(accounting.MonthKey, "2006MAR");
  Expect(Totals(700, 10), Totals(300, 10), Totals(300, 10));
}

// Counters wrapping at 2^32 between two ticks, alone or summed with others, are counted to the
// byte; a delta of 10^9 is still believed.
TEST_F(SamplingTick, CounterWrapsAreCountedExactly) {
  Ticks({{Eth(4294967000u, kTwo31 - 1000), Row("Wi-Fi", 4294966000u, 4294967290u)},
         {Eth(100, kTwo31 + 1000), Row("Wi-Fi", 300, 10)}});
  Expect(Totals(396 + 1596, 2000 + 16), Totals(1992, 2016), Totals(1992, 2016));
  Ticks({{Eth(1000000100u, kTwo31 + 1000), Row("Wi-Fi", 300, 10)}});
  EXPECT_EQ(accounting.CostToday, Totals(1000001992, 2016));
}

// A counter that went down or jumped adds nothing, and counting goes on from the new reading.
TEST_F(SamplingTick, ADecreaseOrAJumpAddsNothingAndMovesTheBaseline) {
  Ticks({{Eth(5000, 5000)}, {Eth(8000, 6000)}, {Eth(7900, 7000)}});
  Ticks({{Eth(7950, 7000)}, {Eth(7950 + 1000000001u, 7000)}, {Eth(8050 + 1000000001u, 7500)}});
  Expect(Totals(150, 500), Totals(3150, 1500), Totals(3150, 1500));
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
}

TEST(MonthKeys, NameTheMonthTheBillingPeriodStartedIn) {
  // start day, date, the month record's section
  const std::tuple<int, platform::LocalTime, const char*> cases[] = {{1, {2006, 3, 1}, "2006MAR"},
                                                                     {15, {2006, 3, 14}, "2006FEB"},
                                                                     {15, {2006, 3, 15}, "2006MAR"},
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
      {"-25", "007", -18}, {"12.5", "5", 5}, {"", "-", 0}, {"9223372036854775807", "1", 0}};
  for (const auto& [in, out, total] : cases) {
    Store("2006MAR", in, out);
    Load();
    EXPECT_EQ(accounting.CostThisMonth.Total, total) << '"' << in << "\" \"" << out << '"';
  }
}

// ShowMode 1 is KB, 2 MB; a failed platform call still gives the amount rounded to the unit's
// decimals, with a leading zero and "-".
TEST_F(AccountingTest, ByteTextsShowTheUnitWithALeadingZeroAndMinus) {
  const std::tuple<const char*, std::int64_t, const char*, bool> cases[] = {
      {"1", 1600, "2 KB", false},
      {"2", 1600, "0.00 MB", false},
      {"1", -1073741824, "-1,048,576 KB", false},
      {"2", -524288, "-0.50 MB", true},
      {"2", 1024000000000, "976562.50 MB", true}};
  for (const auto& [showMode, bytes, text, formatFails] : cases) {
    fake.userStore.sections["Settings"]["ShowMode"] = showMode;
    fake.locale.numberFormatFails = formatFails;
    accounting.LoadShowMode();
    EXPECT_EQ(accounting.FormatBytes(bytes), text) << bytes << " in mode " << showMode;
  }
}

}  // namespace
}  // namespace trafimo::testing
