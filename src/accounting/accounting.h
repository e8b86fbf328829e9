// The tray window's traffic accounting: the Now, Today and This Month counters, the one-second
// tick that feeds them from the interface table, and the records that keep them across runs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "accounting/traffic_totals.h"
#include "ifstats/ip_helper.h"
#include "platform/platform.h"
#include "startup/globals.h"

namespace trafimo {

// Where a tick shows its results: the tray tooltip and every open meter window.
class TickDisplay {
 public:
  virtual ~TickDisplay() = default;
  // "Current - " and the formatted Now total.
  virtual void ShowTip(const std::string& tip) = 0;
  // Called only while a meter window is open (SharedFlags::MeterWindowOpen).
  virtual void RefreshMeters(const std::string& costNow, const std::string& costToday,
                             const std::string& costThisMonth) = 0;
};

class TrafficAccounting {
 public:
  TrafficAccounting(platform::Platform& platform, const Settings& settings, SharedFlags& flags);

  // The tray window's load runs these in its own order, interleaved with its display set-up.
  void LoadShowMode();       // ShowMode from "Settings"/"ShowMode", default 2
  void LoadMonthKey();       // creates IpHelper; MonthKey = RegKey()
  void LoadCostThisMonth();  // CostThisMonth from the record of MonthKey
  void LoadCostToday();      // DateToday and CostToday, or ResetToday on another day

  // The one-second tick.
  void SampleTraffic(TickDisplay& display);

  bool IsOutsideFreeTime();
  void ResetToday();
  void CallFormLoad();
  std::string GetDateToday();
  std::string RegKey();
  std::string FormatBytes(std::int64_t bytes);

  // The accounting state, readable by the windows that show it.
  std::string MonthKey;
  std::string DateToday;
  float ShowMode = 0;
  TrafficTotals PrevSample;
  TrafficTotals CurSample;
  TrafficTotals SampleDelta;
  TrafficTotals CostNow;
  TrafficTotals CostToday;
  TrafficTotals CostThisMonth;
  std::string LastInterfaceNames;

 private:
  platform::Platform& platform_;
  const Settings& settings_;
  SharedFlags& flags_;
  std::unique_ptr<CIpHelper> IpHelper;
};

}  // namespace trafimo
