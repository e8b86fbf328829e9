// Ten years of day records in the real per-user store: how long the usage file takes to build from
// them (one pass over the day records' section), against reading the same days value by value;
// one month's days as the monthly totals window shows them; and the day change's own work (one
// record read and written). Prints medians in milliseconds. Leaves the store empty.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "accounting/day_records.h"
#include "accounting/usage_records.h"
#include "platform/platform_win.h"
#include "report/monthly_usage.h"
#include "report/usage_export.h"

namespace {

using namespace trafimo;
using Clock = std::chrono::steady_clock;

// The median of `rounds` timings of `work`, in milliseconds.
double MedianMs(int rounds, const std::function<void()>& work) {
  std::vector<double> ms;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace

int main() {
  win::RealPlatform real;
  platform::Platform& platform = real.get();
  platform::UserStore& store = platform.userStore;
  store.EraseAll();
  const platform::LocalTime first{2016, 12, 1}, last{2026, 11, 30};
  int days = 0;
  for (platform::LocalTime date = first; date <= last; date = AddDays(date, 1), ++days) {
    store.Write(kDayRecordsSection, IsoDate(date), "1234567890,123456789");
    if (date.day == 1) store.Write(MonthSectionName(platform.locale, date), "IN", "987654321");
  }
  const TodayTotals today{"", {}};
  std::size_t characters = 0;
  const double file = MedianMs(5, [&] {
    characters =
        report::UsageFileText(report::UsageRecords(store, platform.locale, 1, today)).size();
  });
  const double byValue = MedianMs(5, [&] {
    for (platform::LocalTime date = first; date <= last; date = AddDays(date, 1))
      ParseDayRecord(store.Read(kDayRecordsSection, IsoDate(date), ""));
  });
  const double month = MedianMs(20, [&] {
    report::BillingMonthDays(store, platform.locale, {2026, 10, 1}, {2026, 12, 6}, today,
                             report::Unit::MB);
  });
  const double dayChange = MedianMs(20, [&] {
    KeepDayRecord(store, platform.locale, "2026Dec06", {1, 2, 3});
  });
  std::printf("day records: %d (ten years), usage file: %zu characters\n", days, characters);
  std::printf("usage file from the store (one pass):  %8.2f ms\n", file);
  std::printf("the same days read value by value:     %8.2f ms\n", byValue);
  std::printf("a month's days for the window:         %8.2f ms\n", month);
  std::printf("a day change's record (read, write):   %8.3f ms\n", dayChange);
  store.EraseAll();
  return 0;
}
