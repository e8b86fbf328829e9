// Five weeks of ticks over several interfaces whose counters wrap again and again: the stored day
// and month records must hold every byte generated outside the free windows, less exactly the
// ticks that re-baseline.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <random>

#include "accounting/accounting_fixture.h"

namespace trafimo::testing {
namespace {

constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr int kStartDay = 15;
constexpr std::uint32_t kTwo31 = 2147483648u;

std::string StampOf(const platform::LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%s%02d", t.year, kMonths[t.month - 1], t.day);
  return text;
}

std::string KeyOf(const platform::LocalTime& t) {
  int year = t.year, month = t.month;
  if (t.day < kStartDay && --month == 0) {
    month = 12;
    --year;
  }
  std::string key = std::to_string(year) + kMonths[month - 1];
  for (char& c : key)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

struct FreeWindowOfDay {
  bool enabled;
  const char* from;
  const char* to;
  int fromSecond, toSecond;
};

// Free times are switched on for some days of the month, one window across midnight.
FreeWindowOfDay FreeWindowOn(int day) {
  if (day % 3 == 0) return {true, "1:0:0", "5:30:0", 3600, 5 * 3600 + 1800};
  if (day % 4 == 1) return {true, "22:30:0", "3:0:0", 22 * 3600 + 1800, 3 * 3600};
  return {false, "2:0:0", "7:59:59", 0, 0};
}

bool IsFree(const FreeWindowOfDay& window, const platform::LocalTime& t) {
  if (!window.enabled) return false;
  const int s = t.hour * 3600 + t.minute * 60 + t.second;
  if (window.toSecond >= window.fromSecond) return s >= window.fromSecond && s <= window.toSecond;
  return s >= window.fromSecond || s <= window.toSecond;
}

struct SimInterface {
  std::string name;
  bool selected;
  bool present;
  std::uint32_t in = 0, out = 0;
  std::uint32_t rate = 0;  // bytes per second in this burst
};

class NullDisplay : public TickDisplay {
 public:
  int tips = 0;
  void ShowTip(const std::string&) override { ++tips; }
  void RefreshMeters(const std::string&, const std::string&, const std::string&) override {}
};

TEST(TrafficTrace, FiveWeeksOfWrappingCountersAreCountedToTheByte) {
  FakePlatform fake;
  Settings settings;
  SharedFlags flags;
  settings.Interface = ",Ethernet,Wi-Fi,VPN,Adapter #2";
  settings.MonthStartDay = kStartDay;
  fake.clock.Set(2026, 2, 25, 9, 0, 0);
  TrafficAccounting accounting(fake.platform, settings, flags);
  accounting.LoadShowMode();
  accounting.LoadMonthKey();
  accounting.LoadCostThisMonth();
  accounting.LoadCostToday();
  NullDisplay display;

  std::mt19937_64 random(20261206);
  auto uniform = [&](std::uint64_t low, std::uint64_t high) {
    return std::uniform_int_distribution<std::uint64_t>(low, high)(random);
  };
  auto nearTwo31 = [&] { return static_cast<std::uint32_t>(kTwo31 - uniform(0, 200'000'000)); };

  std::vector<SimInterface> interfaces = {{"Loopback", false, true}, {"Ethernet", true, true},
                                          {"Adapter", false, true},  {"Wi-Fi", true, true},
                                          {"VPN", true, false},      {"Adapter #2", true, false}};
  for (SimInterface& i : interfaces) {
    i.in = nearTwo31();
    i.out = nearTwo31();
  }

  // What the rules should have made of the traffic.
  std::map<std::string, TrafficTotals> expectedMonths;
  TrafficTotals expectedDay, generatedDay, freeDay, rebaselinedDay, expectedNow;
  std::string day;
  std::string lastNames;
  std::int64_t lastSignedTotal = 0;
  bool first = true;
  long ticks = 0, rebaselines = 0, freeTicks = 0, wraps = 0, crossings = 0, daysChecked = 0;
  long countedDayChanges = 0;

  auto checkDay = [&] {
    ASSERT_EQ(expectedDay, SubtractTotals(SubtractTotals(generatedDay, freeDay), rebaselinedDay));
    const TrafficTotals stored = Totals(std::stoll(fake.userStore.Read("Today", "IN", "x")),
                                        std::stoll(fake.userStore.Read("Today", "OUT", "x")));
    ASSERT_EQ(stored, expectedDay) << "day " << day;
    ASSERT_EQ(fake.userStore.Read("DateToday", "DateToday", ""), day);
    ASSERT_EQ(accounting.CostNow, expectedNow) << "day " << day;
    ++daysChecked;
  };

  auto tick = [&] {
    const platform::LocalTime now = fake.clock.now;
    const FreeWindowOfDay window = FreeWindowOn(now.day);
    settings.EnableFreeTimes = window.enabled;
    settings.FromFreeTime = window.from;
    settings.ToFreeTime = window.to;

    // Traffic since the last tick, and the table as it stands now.
    std::vector<FakeRow> rows;
    TrafficTotals generated;
    std::string names;
    std::int64_t signedTotal = 0;
    for (SimInterface& i : interfaces) {
      if (!i.present) continue;
      const auto in = static_cast<std::uint32_t>(uniform(i.rate / 2, i.rate));
      const auto out = static_cast<std::uint32_t>(uniform(0, i.rate / 4));
      for (auto [counter, bytes] : {std::pair{&i.in, in}, std::pair{&i.out, out}}) {
        const std::uint32_t before = *counter;
        *counter += bytes;  // the interface's 32-bit counter wraps at 2^32
        wraps += *counter < before;
        crossings += before < kTwo31 && *counter >= kTwo31;
      }
      rows.push_back(Row(i.name, i.in, i.out));
      if (!i.selected) continue;
      generated = AddTotals(generated, Totals(in, out));
      names += i.name;
      signedTotal +=
          static_cast<std::int32_t>(i.in) + std::int64_t{static_cast<std::int32_t>(i.out)};
    }
    fake.ifTable.rows = rows;

    const std::string stamp = StampOf(now);
    if (stamp != day) {
      if (!day.empty()) checkDay();
      day = stamp;
      expectedDay = generatedDay = freeDay = rebaselinedDay = TrafficTotals{};
    }
    generatedDay = AddTotals(generatedDay, generated);
    // The first reading, a changed set of counted interfaces and a zero baseline sum re-baseline.
    if (first || names != lastNames || lastNames.empty() || lastSignedTotal == 0) {
      rebaselinedDay = AddTotals(rebaselinedDay, generated);
      rebaselines += generated.Total > 0;
    } else if (IsFree(window, now)) {
      freeDay = AddTotals(freeDay, generated);
      freeTicks += generated.Total > 0;
    } else {
      expectedDay = AddTotals(expectedDay, generated);
      expectedMonths[KeyOf(now)] = AddTotals(expectedMonths[KeyOf(now)], generated);
      expectedNow = AddTotals(expectedNow, generated);
      countedDayChanges += accounting.DateToday != stamp && generated.Total > 0;
    }
    if (names.empty()) expectedNow = TrafficTotals{};
    first = false;
    lastNames = names;
    lastSignedTotal = signedTotal;

    accounting.SampleTraffic(display);
    ++ticks;
  };

  constexpr long kDaySeconds = 86400;
  long elapsed = 0;
  bool setBack = false;
  while (elapsed < 35 * kDaySeconds) {
    // An idle gap, sometimes ending just before midnight; the clock is set back once.
    const long gap = static_cast<long>(uniform(3600, 5 * 3600));
    fake.clock.Advance(gap);
    elapsed += gap;
    if (fake.clock.now.hour == 23) {
      fake.clock.now.minute = 59;
      fake.clock.now.second = 0;
    }
    if (!setBack && elapsed > 20 * kDaySeconds) {
      ASSERT_EQ(KeyOf(fake.clock.now), "2026MAR");
      fake.clock.Set(2026, 3, 11, 10, 0, 0);
      setBack = true;
    }
    // Interfaces come and go; each burst has its own rates of up to 100 MB/s.
    for (SimInterface& i : interfaces) {
      if (i.name != "Loopback" && uniform(0, 9) < (i.name == "Ethernet" ? 1 : 3)) {
        i.present = !i.present;
        if (i.present) i.in = nearTwo31(), i.out = nearTwo31();
      }
      i.rate = static_cast<std::uint32_t>(uniform(20'000'000, 100'000'000));
    }
    const long length = static_cast<long>(uniform(20, 80));
    for (long second = 0; second < length; ++second) {
      tick();
      if (::testing::Test::HasFatalFailure()) return;
      fake.clock.Advance(1);
      ++elapsed;
    }
  }
  checkDay();

  for (const auto& [key, expected] : expectedMonths) {
    const TrafficTotals stored = Totals(std::stoll(fake.userStore.Read(key, "IN", "x")),
                                        std::stoll(fake.userStore.Read(key, "OUT", "x")));
    EXPECT_EQ(stored, expected) << key;
  }
  EXPECT_EQ(expectedMonths.size(), 2u);
  EXPECT_EQ(display.tips, ticks) << "no tick was abandoned";
  // The trace really went through what it is meant to test.
  EXPECT_GT(wraps, 200);
  EXPECT_GT(crossings, 200);
  EXPECT_GT(rebaselines, 20);
  EXPECT_GT(freeTicks, 100);
  EXPECT_GT(countedDayChanges, 2);
  EXPECT_GE(daysChecked, 35);
  std::printf("%ld ticks, %ld wraps, %ld crossings of 2^31, %ld re-baselines, %ld free ticks\n",
              ticks, wraps, crossings, rebaselines, freeTicks);
}

}  // namespace
}  // namespace trafimo::testing
