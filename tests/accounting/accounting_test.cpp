// The tray window's accounting driven through the stand-ins: the one-second tick and what it adds
// to Now, Today and This Month, the free times, the billing month's records and the byte texts.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "accounting/accounting.h"
#include "accounting/usage_records.h"
#include "support/fakes.h"

namespace trafimo::testing {
namespace {

constexpr std::uint64_t kGb = 1'000'000'000;

// The accounting and its stand-ins, and the display its ticks show on; starts on 20 March 2006 at
// noon, counting "Ethernet" and "Wi-Fi".
struct Accounting : TickDisplay {
  FakePlatform fake;
  Settings settings{.Interface = ",Ethernet,Wi-Fi"};
  SharedFlags flags;
  TrafficAccounting accounting{fake.platform, settings, flags};
  std::string tip;
  MonthStanding meter;
  std::vector<std::string> notifications;  // "!" first for the allowance used up

  Accounting() { fake.clock.Set(2006, 3, 20); }
  // A row with an index of its own, so that its identity stays whatever its place in the table.
  static FakeRow Row(std::string name, std::uint64_t in, std::uint64_t out, std::uint32_t index) {
    return {.description = std::move(name), .inOctets = in, .outOctets = out, .index = index};
  }
  static FakeRow Eth(std::uint64_t in, std::uint64_t out) { return Row("Ethernet", in, out, 7); }
  static FakeRow WiFi(std::uint64_t in, std::uint64_t out) { return Row("Wi-Fi", in, out, 3); }
  static TrafficTotals Totals(std::int64_t in, std::int64_t out) { return {in, out, in + out}; }
  void ShowTip(const std::string& text) override { tip = text; }
  void RefreshMeters(const std::string&, const std::string&, const std::string&,
                     const MonthStanding& standing) override {
    meter = standing;
  }
  void ShowNotification(const std::string& text, bool usedUp) override {
    notifications.push_back((usedUp ? "!" : "") + text);
  }

  // The tray window's load, in its order.
  void Load() {
    accounting.LoadShowMode(), accounting.LoadMonthKey();
    accounting.LoadCostThisMonth(), accounting.LoadCostToday();
  }
  // One tick `seconds` after the one before (the first loads instead), reading `rows`.
  void Tick(const std::vector<FakeRow>& rows, long long seconds = 1) {
    accounting.MonthKey.empty() ? Load() : fake.clock.Advance(seconds);
    fake.ifTable.rows = rows;
    accounting.SampleTraffic(*this);
  }
  // One tick per interface table, a second apart.
  void Ticks(const std::vector<std::vector<FakeRow>>& tables) {
    for (const auto& rows : tables)
      Tick(rows);
  }
  void Store(const std::string& section, const std::string& in, const std::string& out) {
    fake.userStore.sections[section] = {{"IN", in}, {"OUT", out}};
  }
  TrafficTotals StoredTotals(const std::string& section) {
    return Totals(std::stoll(fake.userStore.Read(section, "IN", "")),
                  std::stoll(fake.userStore.Read(section, "OUT", "")));
  }
};

class AccountingTest : public ::testing::Test, public Accounting {};

// How the selection and the connection meet the counters: Today after the last tick, and Now.
TEST_F(AccountingTest, TheSelectionAndNowOnTopOfTheCounters) {
  using Steps = std::vector<std::pair<long long, std::vector<FakeRow>>>;  // seconds, rows
  constexpr std::uint64_t k36 = 36 * kGb / 10;
  const struct {
    const char *what, *interfaces;
    bool hasIfTable2;
    TrafficTotals today, now;
    Steps ticks;
  } cases[] = {
      {"counters restarted from 0 after 3.6 GB: Now starts again with what they hold", ",Ethernet",
       true, Totals(10'000'500, 10'000'000), Totals(10'000'000, 10'000'000),
       Steps{
           {0, {Eth(k36, k36)}}, {1, {Eth(k36 + 500, k36)}}, {30, {Eth(10'000'000, 10'000'000)}}}},
      {"the list \",\" of none chosen counts nothing, not even a row without a description", ",",
       true, Totals(0, 0), Totals(0, 0),
       Steps{{0, {Row("", 0, 0, 5), Eth(0, 0)}}, {1, {Row("", 1000, 0, 5), Eth(1000, 0)}}}},
      {"the only selected adapter goes: Now is zero, Today keeps what it counted", ",Ethernet",
       true, Totals(300, 0), Totals(0, 0),
       Steps{{0, {Eth(0, 0)}}, {1, {Eth(300, 0)}}, {1, {WiFi(0, 0)}}}},
      {"without GetIfTable2: 32-bit counters per adapter, wraps counted, a fall a reset",
       ",Ethernet,Wi-Fi", false, Totals(396 + 1596 + 50 + 100, 1000 + 16 + 2000), Totals(150, 2000),
       Steps{{0, {Eth(4'294'967'000u, 2'147'483'000u), WiFi(4'294'966'000u, 4'294'967'290u)}},
             {1, {Eth(100, 2'147'484'000u), WiFi(300, 10)}},
             {1, {Eth(50, 2000), WiFi(400, 10)}}}},
  };
  for (const auto& c : cases) {
    Accounting t;
    t.settings.Interface = c.interfaces;
    t.fake.ifTable.hasIfTable2 = c.hasIfTable2;
    for (const auto& [seconds, rows] : c.ticks)
      t.Tick(rows, seconds);
    EXPECT_EQ(t.accounting.CostToday, c.today) << c.what;
    EXPECT_EQ(t.accounting.CostNow, c.now) << c.what;
  }
}

// A laptop's table: the person ticked the Wi-Fi card and one of its five filter rows, which all
// repeat its counters, and the Bluetooth adapter's filter row alone; the Ethernet card is not
// ticked. Each byte counts once.
TEST_F(AccountingTest, ALaptopsAdapterAndItsFilterRowCountOnce) {
  std::vector<FakeRow> rows = LoadIfTableFile("iftable-windows11-laptop.tsv");
  const std::string wifi = "Intel(R) Wi-Fi 6E AX211 160MHz";
  settings.Interface = "," + wifi + "," + wifi + "-QoS Packet Scheduler-0000," +
                       "Bluetooth Device (Personal Area Network)-WFP Native MAC Layer "
                       "LightWeight Filter-0000";
  Tick(rows);
  for (FakeRow& row : rows)
    for (const char* adapter : {"Intel", "Realtek", "Bluetooth"})
      if (row.description.rfind(adapter, 0) == 0) row.inOctets += kGb / 10;
  Tick(rows);
  EXPECT_EQ(accounting.CostToday, Totals(2 * kGb / 10, 0));
}

// A month of a laptop's life: ticks on time and late (up to hours asleep), counters restarted by
// the driver, a dock's adapter plugged and unplugged, 10 Gbit/s bursts. Today and This Month hold
// every byte the counters showed, to the byte.
TEST_F(AccountingTest, AMonthOfResetsLateTicksAdaptersAndBurstsIsCountedToTheByte) {
  settings.Interface = ",Ethernet,Dock";
  fake.clock.Set(2026, 12, 1, 0, 0, 5);
  std::uint32_t seed = 2026;
  const auto random = [&seed](std::uint32_t below) {
    seed = seed * 1664525u + 1013904223u;  // the same sequence on every system
    return (seed >> 8) % below;
  };
  FakeRow eth = Row("Ethernet", 5 * kGb, kGb, 1), dock = Row("Dock", 0, 0, 2);
  bool docked = false;
  std::int64_t month = 0, today = 0;
  std::string day = "2026Dec01";
  Tick({eth});
  int ticks = 0;
  while (fake.clock.now.day < 31 || fake.clock.now.hour < 18) {
    long long seconds = 1;
    std::uint64_t moved = 0;
    const auto carry = [&moved](FakeRow& row, std::uint64_t in, std::uint64_t out) {
      row.inOctets += in, row.outOctets += out, moved += in + out;
    };
    bool plugged = false;
    switch (random(8)) {
      case 0:  // asleep, or not scheduled
        seconds = 2 + random(4 * 3600);
        carry(eth, random(1'000'000) * static_cast<std::uint64_t>(seconds), random(100'000));
        break;
      case 1:  // the driver re-initialised the adapter: what crossed since is counted (a reset
               // shows only where the counters stood higher than what they hold now)
        if (eth.inOctets > 1'000'000 && eth.outOctets > 1'000'000) eth.inOctets = eth.outOctets = 0;
        carry(eth, random(1'000'000), random(1'000'000));
        break;
      case 2:  // 10 Gbit/s one way
        carry(eth, 1'250'000'000, random(1000));
        break;
      case 3:  // the dock plugged, with counters as the system left them, or unplugged
        docked = !docked, plugged = docked;
        if (docked) dock.inOctets = random(1u << 30), dock.outOctets = random(1u << 20);
        break;
      default:
        carry(eth, random(100'000), random(10'000));
        break;
    }
    if (docked && !plugged) carry(dock, random(3) == 0 ? 20'000'000 : random(50'000), 0);
    std::vector<FakeRow> rows = {eth};
    if (docked) rows.insert(rows.begin() + random(2), dock);
    Tick(rows, seconds);
    ++ticks;
    const std::string stamp = fake.locale.FormatDate(fake.clock.now, "yyyyMMMdd");
    if (stamp != day) day = stamp, today = 0;
    month += static_cast<std::int64_t>(moved), today += static_cast<std::int64_t>(moved);
    ASSERT_EQ(accounting.CostToday.Total, today) << "tick " << ticks << " on " << day;
  }
  EXPECT_GT(ticks, 1000);
  EXPECT_EQ(accounting.MonthKey, "2026DEC");
  EXPECT_EQ(accounting.CostThisMonth.Total, month);
  EXPECT_EQ(StoredTotals("2026DEC").Total, month);
}

// The month start day changed in the settings dialog (1 to 9 on 8 December): the next tick
// counts into the billing month that began on 9 November, from its record.
TEST_F(AccountingTest, AChangedMonthStartDayMovesTheNextTickToItsBillingMonth) {
  fake.clock.Set(2026, 12, 8, 12, 0, 0);
  Store("2026NOV", "1000", "0");
  Ticks({{Eth(0, 0)}, {Eth(100, 0)}});
  EXPECT_EQ(accounting.MonthKey, "2026DEC");
  settings.MonthStartDay = 9;
  Ticks({{Eth(150, 0)}});
  EXPECT_EQ(accounting.MonthKey, "2026NOV");
  EXPECT_EQ(StoredTotals("2026NOV"), Totals(1050, 0));
  EXPECT_EQ(StoredTotals("2026DEC"), Totals(100, 0));
  EXPECT_EQ(accounting.CostThisMonth, Totals(1050, 0));
}

// "Clear all data" erases the store, day stamp included; a restart later that day keeps Today.
TEST_F(AccountingTest, AfterClearAllDataARestartTheSameDayKeepsToday) {
  Ticks({{Eth(0, 0)}, {Eth(500, 0)}});
  fake.userStore.EraseAll();
  accounting.CallFormLoad();
  Ticks({{Eth(800, 0)}});
  Accounting restarted;
  restarted.fake.userStore = fake.userStore;
  restarted.fake.clock.now = fake.clock.now;
  restarted.fake.clock.Advance(3 * 3600);
  restarted.Load();
  EXPECT_EQ(restarted.accounting.CostToday, Totals(300, 0));
  EXPECT_EQ(restarted.accounting.CostThisMonth, Totals(300, 0));
}

// At a start on a later day (however many days later) the day of the stored stamp, read in the
// locale that wrote it, is kept under its ISO date before Today starts again; a stamp that
// cannot be read keeps nothing; a day's record is never overwritten by a smaller one.
TEST_F(AccountingTest, AStartOnALaterDayKeepsTheStoredDay) {
  const struct {
    const char* stamp;  // stored with Today 700 in, 30 out
    const char* march;  // the locale's name of March
    const char* kept;   // the record of 19 March before ("": none)
    std::map<std::string, std::string> days;
  } cases[] = {
      {"2006Mar15", "March", "", {{"2006-03-15", "700,30"}}},
      {"2006mar19", "mars", "", {{"2006-03-19", "700,30"}}},
      {"2006Mar19", "mars", "", {}},
      {"2006Mar32", "March", "", {}},
      {"2006Mar19", "March", "900,0", {{"2006-03-19", "900,0"}}},
      {"2006Mar19", "March", "100,0", {{"2006-03-19", "700,30"}}},
  };
  for (const auto& c : cases) {
    Accounting t;
    t.fake.locale.monthNames[2] = c.march;
    if (*c.kept) t.fake.userStore.sections["Days"]["2006-03-19"] = c.kept;
    t.fake.userStore.sections["DateToday"]["DateToday"] = c.stamp;
    t.Store("Today", "700", "30");
    t.Tick({Eth(0, 0)});
    const auto& days = t.fake.userStore.sections["Days"];
    EXPECT_EQ((std::map<std::string, std::string>(days.begin(), days.end())), c.days)
        << c.stamp << " " << c.march << " " << c.kept;
    EXPECT_EQ(t.StoredTotals("Today").Total, 0);
  }
}

// At midnight the day that ends is kept and Today starts again while Now goes on; on the start
// day (the 15th, here in January) the tick counts into the new billing month's record.
TEST_F(AccountingTest, AtMidnightTheDayIsKeptAndTheStartDayBeginsABillingMonth) {
  settings.MonthStartDay = 15;
  fake.clock.Set(2007, 1, 14, 23, 59, 58);
  Ticks({{Eth(10000, 20000)}, {Eth(10400, 20000)}, {Eth(10700, 20010)}});
  EXPECT_EQ(fake.userStore.Read("Days", "2007-01-14", ""), "400,0");
  EXPECT_EQ(StoredTotals("2006DEC"), Totals(400, 0));
  EXPECT_EQ(accounting.MonthKey, "2007JAN");
  EXPECT_EQ(accounting.CostNow, Totals(700, 10));
  EXPECT_EQ(StoredTotals("Today"), Totals(300, 10));
  EXPECT_EQ(StoredTotals("2007JAN"), Totals(300, 10));
}

// While the selection is the first run's, a real adapter that appears later (a dock's Ethernet,
// a phone's tethering) joins it, is stored and counted from its first reading (which adapters are
// real is the first run's rule, shown in settings_test.cpp). A selection the person chose stays
// theirs.
TEST_F(AccountingTest, NewRealAdaptersJoinAnAutomaticSelectionOnly) {
  for (const bool automatic : {true, false}) {
    Accounting t;
    t.settings.Interface = ",Ethernet";
    t.settings.AutomaticInterfaces = automatic;
    t.Ticks({{Eth(0, 0)}, {Eth(0, 0), Row("USB Ethernet", 5000, 0, 10)}});
    t.Ticks({{Eth(0, 0), Row("USB Ethernet", 1'005'000, 0, 10)}});
    const std::string list = automatic ? ",Ethernet,USB Ethernet" : ",Ethernet";
    EXPECT_EQ(t.settings.Interface, list) << automatic;
    EXPECT_EQ(t.fake.registry.GetText(platform::kHkeyLocalMachine, std::string(kSettingsSubKey),
                                      "Interface"),
              automatic ? list : "<missing>");
    EXPECT_EQ(t.accounting.CostToday, Totals(automatic ? 1'000'000 : 0, 0)) << automatic;
  }
}

// Each warning of the allowance is given once a billing month, across restarts; one raised past
// what is used lets its warnings come again; traffic in the free times does not count towards it;
// a new billing month starts clean. The meter follows. (The words are the data plan's test.)
TEST_F(AccountingTest, AllowanceWarningsComeOncePerBillingMonthAndAgainAfterARaise) {
  settings.MonthlyAllowance = 10 * kBytesPerGb;
  settings.EnableFreeTimes = true, settings.FromFreeTime = "2:0:0", settings.ToFreeTime = "3:0:0";
  flags.MeterWindowOpen = true;
  fake.clock.Set(2026, 12, 20, 1, 59, 58);
  const auto gb = [](double n) { return static_cast<std::uint64_t>(n * kBytesPerGb); };
  Ticks({{Eth(0, 0)}, {Eth(gb(7.5), 0)}, {Eth(gb(9), 0)}});  // the last one in the free times
  EXPECT_TRUE(notifications.empty());
  EXPECT_EQ(meter.level, MonthStanding::Level::Within);
  fake.clock.Advance(3600);
  Ticks({{Eth(gb(9.5), 0)}});
  ASSERT_EQ(notifications.size(), 1u);
  EXPECT_EQ(notifications[0].substr(0, 52), "This month you have used 8.00 GB of your 10.00 GB al");
  EXPECT_EQ(fake.userStore.Read("2026DEC", "WARNED", ""), "80");
  EXPECT_EQ(meter.level, MonthStanding::Level::Warned);
  Ticks({{Eth(gb(9.75), 0)}, {Eth(gb(11.6), 0)}});
  ASSERT_EQ(notifications.size(), 2u);
  EXPECT_EQ(notifications[1].substr(0, 24), "!You have used all of yo");
  EXPECT_EQ(fake.userStore.Read("2026DEC", "WARNED", ""), "100");

  Accounting restarted;
  restarted.fake.userStore = fake.userStore;
  restarted.fake.clock.now = fake.clock.now;
  restarted.settings = settings;
  restarted.Ticks({{Eth(0, 0)}, {Eth(1000, 0)}});
  EXPECT_TRUE(restarted.notifications.empty()) << "a restart repeats nothing";
  restarted.settings.MonthlyAllowance = 20 * kBytesPerGb;
  restarted.Ticks({{Eth(2000, 0)}, {Eth(gb(6), 0)}});
  ASSERT_EQ(restarted.notifications.size(), 1u) << "the raised allowance's warning";
  restarted.fake.clock.Set(2027, 1, 1, 0, 0, 5);
  restarted.Ticks({{Eth(gb(23), 0)}});
  EXPECT_EQ(restarted.notifications.size(), 2u) << "a new billing month starts clean";
  EXPECT_EQ(restarted.fake.userStore.Read("2027JAN", "WARNED", ""), "80");
}

// The tip: Now, the speed of the last tick (over the time between its readings), and the month
// against the allowance; a line too long loses its pace, never a part of a number.
TEST_F(AccountingTest, TheTipShowsNowTheSpeedAndTheMonthInWholeLines) {
  settings.MonthlyAllowance = kLargestAllowance;
  Ticks({{Eth(0, 0)}});
  Tick({Eth(2'621'440, 98'304)}, 2);
  EXPECT_EQ(tip,
            "Current - 2.59 MB\nIn 1.25 MB/s, Out 48 KB/s\n"
            "Month 0.00 of 999,999.99 GB (0 %), 0.0 GB at this pace");
  Accounting big;
  big.settings.MonthlyAllowance = kLargestAllowance;
  big.Store("2006MAR", "4000000000000000000", "0");
  FakeRow fast = Eth(0, 0);
  fast.receiveLinkSpeed = 10'000'000'000'000;  // 10 Tbit/s
  big.Tick({fast});
  fast.inOctets = std::uint64_t{1} << 40;
  big.Tick({fast});
  EXPECT_EQ(big.tip,
            "Current - 1,048,576.00 MB\nIn 1,024.00 GB/s, Out 0 B/s\n"
            "Month 3,725,291,322.46 of 999,999.99 GB (372529 %)");
}

// Traffic between two ticks, the second at `hhmmss`, with free times from `from` to `to` (null:
// switched off). A bound that is not a valid time of day means there is no window.
TEST_F(AccountingTest, FreeTimesDropTrafficInsideThemBothEndsIncluded) {
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

TEST_F(AccountingTest, ATickStartedWhileOneRunsReturnsAtOnce) {
  Load();
  fake.ifTable.hasIfTable2 = false;
  fake.ifTable.notSupported = true;  // the tick shows its message, whose loop ticks again
  int nestedTicks = 0;
  fake.messages.whileShown = [&](const FakeMessages::Shown&) {
    if (++nestedTicks <= 3) accounting.SampleTraffic(*this);
  };
  EXPECT_THROW(accounting.SampleTraffic(*this), ProcessEnded);
  EXPECT_EQ(fake.messages.shown.size(), 1u) << "one box, not one more a second";
  EXPECT_EQ(fake.ifTable.calls, 2) << "one read: GetIfTable2, which is missing, and GetIfTable";
}

// Stored "IN"/"OUT" text that is not a whole number of bytes from 0 to 2^62 reads as 0.
TEST(StoredByteAmount, IsTheWholeNumberFrom0To2To62OrElse0) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"007", 7},
      {"-25", 0},
      {"12.5", 0},
      {"", 0},
      {"-", 0},
      {"9223372036854775000", 0},
      {"4611686018427387904", std::int64_t{1} << 62},
      {"4611686018427387905", 0}};
  for (const auto& [text, amount] : cases)
    EXPECT_EQ(StoredByteAmount(text), amount) << '"' << text << '"';
}

// ShowMode 1 is KB, 2 MB, with the user's grouping and a leading zero. (What a failed platform
// call gives is the report's test, monthly_usage_test.cpp: both format with one function.)
TEST_F(AccountingTest, ByteTextsShowTheUnitWithALeadingZeroAndMinus) {
  const std::tuple<const char*, std::int64_t, const char*> cases[] = {
      {"1", 1600, "2 KB"}, {"2", 1600, "0.00 MB"}, {"1", -1073741824, "-1,048,576 KB"}};
  for (const auto& [showMode, bytes, text] : cases) {
    fake.userStore.sections["Settings"]["ShowMode"] = showMode;
    accounting.LoadShowMode();
    EXPECT_EQ(accounting.FormatBytes(bytes), text) << bytes << " in mode " << showMode;
  }
}

}  // namespace
}  // namespace trafimo::testing
