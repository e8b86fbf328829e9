// The tray window's traffic accounting: the Now, Today and This Month counters, the one-second
// tick that feeds them from the interface table, and the records that keep them across runs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "accounting/data_plan.h"
#include "accounting/interface_counters.h"
#include "accounting/traffic_totals.h"
#include "ifstats/ip_helper.h"
#include "platform/platform.h"
#include "startup/globals.h"

namespace trafimo {

// How This Month stands against the allowance, as the meter shows it.
struct MonthStanding {
  enum class Level { Within, Warned, Over };
  Level level = Level::Within;
  std::string tip;  // the month against the allowance and what is left a day; empty without one
};

// Where a tick shows its results: the tray tooltip, every open meter window, and the
// notification area's warnings.
class TickDisplay {
 public:
  virtual ~TickDisplay() = default;
  // "Current - " and the formatted Now total; then, a line each, the speed and the month against
  // the allowance.
  virtual void ShowTip(const std::string& tip) = 0;
  // Called only while a meter window is open (SharedFlags::MeterWindowOpen).
  virtual void RefreshMeters(const std::string& costNow, const std::string& costToday,
                             const std::string& costThisMonth, const MonthStanding& standing) = 0;
  // A warning of the allowance, titled with the program's name.
  virtual void ShowNotification(const std::string& text, bool allowanceUsedUp) = 0;
};

class TrafficAccounting {
 public:
  // The accounting may add new adapters to `settings.Interface` while the selection is the first
  // run's automatic choice.
  TrafficAccounting(platform::Platform& platform, Settings& settings, SharedFlags& flags);

  // The tray window's load runs these in its own order, interleaved with its display set-up.
  void LoadShowMode();       // ShowMode from "Settings"/"ShowMode", default 2
  void LoadMonthKey();       // creates IpHelper; MonthKey = RegKey()
  void LoadCostThisMonth();  // CostThisMonth from the record of MonthKey
  void LoadCostToday();      // DateToday and CostToday, or ResetToday on another day

  // The one-second tick, also run at once after a resume from sleep. A failure abandons the rest
  // of the tick silently; the next tick starts normally. Only the end of the process on a system
  // without the interface table gets out.
  void SampleTraffic(TickDisplay& display);

  // True when counting is allowed at the present time of day; a bound that is not a valid time
  // of day means there is no free window.
  bool IsOutsideFreeTime();
  // Starts a new day; throws std::runtime_error when a record could not be written (the state
  // in memory is the new day's all the same, and the ticks write the day stamp again).
  void ResetToday();
  // Zeroes Now, Today and This Month after "Clear all data", and stores the day stamp again, so
  // that a restart later the same day keeps Today.
  void CallFormLoad();
  std::string GetDateToday();
  std::string RegKey();
  std::string FormatBytes(std::int64_t bytes);
  // This Month against the allowance now, for a meter window that opens.
  MonthStanding MeterStanding();

  // The accounting state, readable by the windows that show it.
  std::string MonthKey;
  std::string DateToday;
  float ShowMode = 0;
  TrafficTotals SampleDelta;  // what the last tick's reading added, counted or not
  std::uint64_t SpeedIn = 0;  // bytes a second over the last tick
  std::uint64_t SpeedOut = 0;
  TrafficTotals CostNow;
  TrafficTotals CostToday;
  TrafficTotals CostThisMonth;

 private:
  // A tick reads the clock once and uses that moment for the day, the month and the free time.
  void RunTick(TickDisplay& display);
  std::string DayStampOf(const platform::LocalTime& date);
  std::string MonthKeyOf(const platform::LocalTime& date);
  // The billing month that `date` falls in under the present start day; This Month from its
  // record when that is another month than the one counted so far.
  void FollowBillingMonth(const platform::LocalTime& date);
  // This Month's record and the warning already given in its billing month.
  void LoadMonthRecord();
  PlanStanding StandingAt(const platform::LocalTime& now) const;
  MonthStanding MeterStandingOf(const PlanStanding& standing);
  // The speed of the bytes `step` added over the time since the last reading.
  void MeasureSpeed(std::uint64_t nowMs);
  // The tip's lines, as many whole ones as the tip field holds.
  std::string TipText(const std::string& nowText, const PlanStanding* standing);
  bool IsOutsideFreeTimeAt(const platform::LocalTime& time) const;
  // The steps of ResetToday; false when one of its records could not be written.
  bool StartNewDay(const platform::LocalTime& date);
  // Throws std::runtime_error when a write fails.
  void WriteTotals(std::string_view section, const TrafficTotals& totals);

  // Whether a description is a whole entry of the Interface list, remembered per list.
  bool IsSelected(const std::string& description);
  // While the selection is automatic, the real adapters that are not in it yet join it.
  void JoinNewAdapters(const CInterfaces& interfaces);
  // The readings of the counted interfaces: the selected ones, less the filter modules of a
  // selected adapter (they repeat its counters).
  void CollectReadings(const CInterfaces& interfaces);

  platform::Platform& platform_;
  Settings& settings_;
  SharedFlags& flags_;
  std::unique_ptr<CIpHelper> IpHelper;
  InterfaceCounters counters_;
  std::vector<CounterReading> readings_;
  std::vector<const CInterface*> selectedRows_;
  std::string selectionList_;
  std::unordered_map<std::string, bool> selection_;
  std::uint8_t monthStartDayOfKey_ = 0;  // the start day MonthKey was found with
  bool dayStampPending_ = false;         // DateToday is still to be stored
  int warned_ = 0;                       // the highest warning given in this billing month
  std::optional<std::uint64_t> lastReadingMs_;
  bool ticking_ = false;
};

}  // namespace trafimo
