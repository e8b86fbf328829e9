// The accounting against Wine's real locale, interface table and registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "accounting/accounting.h"
#include "platform/platform_win.h"

namespace trafimo {
namespace {

struct NoDisplay : TickDisplay {
  void ShowTip(const std::string&) override {}
  void RefreshMeters(const std::string&, const std::string&, const std::string&) override {}
};

void Load(TrafficAccounting& a) {
  a.LoadShowMode(), a.LoadMonthKey(), a.LoadCostThisMonth(), a.LoadCostToday();
}

// Real ticks around 1 MB sent over the loopback by the build's own sender, run as another process.
TEST(AccountingOnWine, RealTicksCountLoopbackTrafficIntoTheRegistryUnderTheLocalesKeys) {
  win::RealPlatform real;
  platform::Platform& platform = real.get();
  ASSERT_TRUE(platform.userStore.EraseAll());
  Settings settings;
  SharedFlags flags;
  CIpHelper reader(platform.ifTable, platform.messages, platform.process);
  for (const CInterface& entry : reader.Interfaces())
    if (entry.InterfaceType == kSoftwareLoopbackType)
      settings.Interface = "," + entry.InterfaceDescription;
  TrafficAccounting accounting(platform, settings, flags);
  Load(accounting);
  NoDisplay display;
  accounting.SampleTraffic(display);
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = exe;
  command.replace(command.rfind('\\') + 1, std::string::npos, "loopback_send_win.exe 1");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION sender{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &sender));
  WaitForSingleObject(sender.hProcess, 60000);
  CloseHandle(sender.hThread), CloseHandle(sender.hProcess);
  accounting.SampleTraffic(display);
  EXPECT_GE(accounting.CostNow.In, 1 << 20);
  EXPECT_GE(accounting.CostNow.Out, 1 << 20);

  // The records are kept under the day stamp and month key that the user's locale writes.
  SYSTEMTIME today{};
  GetLocalTime(&today);
  char month[80] = {}, stamp[100];
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVMONTHNAME1 + today.wMonth - 1, month, 80);
  std::snprintf(stamp, sizeof stamp, "%d%s%02d", today.wYear, month, today.wDay);
  EXPECT_EQ(platform.userStore.Read("DateToday", "DateToday", ""), stamp);
  CharUpperA(month);
  EXPECT_EQ(accounting.MonthKey, std::to_string(today.wYear) + month);
  // A later start takes the counters up from the registry.
  TrafficAccounting restarted(platform, settings, flags);
  Load(restarted);
  EXPECT_EQ(restarted.CostThisMonth, accounting.CostNow);
  EXPECT_EQ(restarted.CostToday, accounting.CostNow);
  EXPECT_TRUE(platform.userStore.EraseAll());
}

}  // namespace
}  // namespace trafimo
