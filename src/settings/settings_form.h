// The settings dialog's decisions, apart from its windows: what its controls show on load, the
// checks and the building of the settings on OK, and "Clear all data".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/neb.h"
#include "ifstats/ip_helper.h"
#include "platform/platform.h"
#include "startup/globals.h"

namespace trafimo::settings {

inline constexpr std::string_view kMonthStartDayMessage =
    "Month start day should be between 1 and 28";
inline constexpr std::string_view kInvalidFromMessage = "Invalid From time";
inline constexpr std::string_view kInvalidToMessage = "Invalid To time";
inline constexpr std::string_view kAllowanceMessage =
    "Monthly allowance should be between 0 and 999999.99 GB";
inline constexpr std::string_view kWarnAtMessage = "Warn at should be between 0 and 99 %";
inline constexpr std::string_view kClearAllDataQuestion =
    "Do you want to reset the counters 'This Month', 'Today' and 'Now' to 0 ?";

// Hours, minutes and seconds as the three boxes of one free time hold them.
struct FreeTime {
  double hours = 0;
  double minutes = 0;
  double seconds = 0;
};

// A stored free time shown in the boxes, as the tick reads it; a text that is no free time
// shows as 0:0:0.
FreeTime SplitFreeTime(std::string_view stored);
// The three values as plain decimal text joined by ":", without leading zeros ("7:5:0").
std::string JoinFreeTime(const FreeTime& time);
// True when the joined text is a time of day: hours 0 to 23, minutes and seconds 0 to 59.
bool IsTimeOfDay(const FreeTime& time);

// What the dialog's controls hold.
struct SettingsForm {
  bool alwaysRunInTray = false;
  bool enableFreeTimes = false;
  double monthStartDay = 1;
  FreeTime from;
  FreeTime to;
  double allowanceGb = 0;  // 0: no allowance
  double warnAt = 80;      // percent; 0: no early warning
  struct Entry {
    std::string text;
    bool selected = false;
  };
  std::vector<Entry> interfaces;  // the list, in interface table order
};

// The controls' values on load: the settings, and every interface of the table, each selected
// when it is a whole entry of the stored Interface list.
SettingsForm LoadSettingsForm(const Settings& settings, const CInterfaces& interfaces);

// The control that gets the focus after a refused OK.
enum class SettingsFocus { MonthStartDay, FromHours, ToHours, Allowance, WarnAt };

struct SettingsRefusal {
  std::string_view message;
  SettingsFocus focus;
};

// The OK checks in their order: month start day, then (only with free times on) From and To, then
// the allowance and its warn-at percent.
std::optional<SettingsRefusal> CheckSettingsForm(const SettingsForm& form);

// The settings as the form sets them (the selection is the person's).
Settings BuildSettings(const SettingsForm& form);

// Whether the person changed which interfaces are selected since `settings` were shown.
bool InterfaceChoiceChanged(const SettingsForm& form, const Settings& settings);

// The message shown when OK could not store everything; empty when all was stored.
std::string FailedSaveMessage(const SaveOutcome& outcome);

struct OkResult {
  bool close = false;                  // the dialog closes
  std::optional<SettingsFocus> focus;  // where the focus goes when it stays open
};

// OK: checks the form (a refusal shows its message and keeps the dialog open), then puts the
// new settings into `settings`, saves them and reports a save that did not get through. An
// automatic selection stays automatic while the person leaves the list as it was.
OkResult PressOk(const SettingsForm& form, Settings& settings, platform::Platform& platform,
                 platform::OwnerWindow dialog);

// "Clear all data": asks, and on any answer but No erases the per-user store and calls
// `callFormLoad` to zero the counters. True when it erased.
bool ClearAllData(platform::Platform& platform, platform::OwnerWindow dialog,
                  const std::function<void()>& callFormLoad);

// The numeric boxes as their records hold them.
struct NebInstance {
  const char* name;
  double value;
  int widthTwips;
  std::int32_t integerSize = 2;
  std::int32_t decimalSize = 0;
};
inline constexpr NebInstance kNebInstances[] = {
    {"nebMonthStartDay", 1, 405},   {"nebFromFreeTimeHH", 2, 465},
    {"nebFromFreeTimeMM", 0, 465},  {"nebFromFreeTimeSS", 0, 465},
    {"nebToFreeTimeHH", 7, 465},    {"nebToFreeTimeMM", 59, 465},
    {"nebToFreeTimeSS", 59, 465},   {"nebMonthlyAllowance", 0, 1005, 6, 2},
    {"nebAllowanceWarnAt", 80, 405}};
inline constexpr int kNebHeightTwips = 300;

// The record one instance is loaded from: its sizes and value, and the values a record written
// by the box always holds (font "MS Sans Serif" 8.25, window background, no tooltip).
controls::PropertyRecord NebInstanceRecord(const NebInstance& instance);

}  // namespace trafimo::settings
