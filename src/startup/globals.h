// The shared settings variables and flags of the program, and their load and save.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace trafimo {

// The machine-wide settings chosen in the settings dialog.
struct Settings {
  bool AlwaysRunInTray = false;
  std::string Interface;  // ",First description,Second description"; "," when none is chosen
  bool EnableFreeTimes = false;
  std::string FromFreeTime = "2:0:0";
  std::string ToFreeTime = "7:59:59";
  std::uint8_t MonthStartDay = 1;
  // The Interface list is the first run's choice, not the person's: real adapters that appear
  // later join it.
  bool AutomaticInterfaces = false;
  // The data plan: bytes a billing month may use (0: no allowance), and the percent of it at
  // which an early warning is given (0: none).
  std::uint64_t MonthlyAllowance = 0;
  std::uint8_t AllowanceWarnAt = 80;
};

// Flags shared between the tray window and the meter window.
struct SharedFlags {
  bool MeterWindowOpen = false;
  std::uint8_t TransLevel = 0;  // 0 (opaque) to 5
  bool ClickThrough = false;    // off at every start
};

// Where the machine-wide settings and the start-up entry live.
inline constexpr std::string_view kSettingsSubKey = "Software\\Velquor Trafimo\\Settings\\";
inline constexpr std::string_view kRunSubKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\run\\";
inline constexpr std::string_view kRunValueName = "Velquor Trafimo";

// The one shared copy the running program uses. Portable code takes them as parameters so that
// tests can give each case its own.
namespace Globals {
inline Settings settings;
inline SharedFlags flags;
}  // namespace Globals

// True when "," + description is a whole entry of the selection list: followed by "," or by
// the end of the list. An empty description is never selected. The tick and the settings dialog
// both select interfaces with this.
bool IsInterfaceSelected(std::string_view interfaceList, std::string_view description);

// A stored allowance: whole bytes as plain decimal text, up to 999999.99 GB; anything else is no
// allowance (0).
std::uint64_t ReadAllowance(std::string_view stored);
// A stored warn-at percent: a whole number from 0 to 99; anything else is 80.
std::uint8_t ReadWarnAt(std::string_view stored);

// A stored free time as hours, minutes and seconds.
struct TimeOfDayParts {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
};
// The one reading of a stored free time, for the tick and the settings dialog alike: "H:M:S" or
// "H:M", each part a whole number of decimal digits, blanks around the whole allowed ("2:0:0",
// " 07:59:59"). Nothing for any other text. The parts are not checked against a day's range.
std::optional<TimeOfDayParts> ReadFreeTime(std::string_view stored);

// The program's folder, a backslash and its file name without the extension.
std::string AppExePath(std::string_view exePath);

// What SaveSettings managed to write.
struct SaveOutcome {
  bool settingsWritten = true;      // all six values, machine-wide or else per user
  bool startupEntryWritten = true;  // the start-up entry written or removed as asked
  bool ok() const { return settingsWritten && startupEntryWritten; }
};

// Fills `settings` from the machine-wide key; on the first run (no interface list stored) builds
// the list from the interface table, leaving out the loopback, and saves everything.
void LoadSettings(Settings& settings, platform::Platform& platform);

// The stored month start day alone, read without writing anything (1 when none is stored).
std::uint8_t StoredMonthStartDay(platform::Registry& registry);

// Writes the settings and writes or deletes the start-up entry.
SaveOutcome SaveSettings(const Settings& settings, platform::Platform& platform);

// Writes the Interface list alone, machine-wide or else per user, as SaveSettings does; false
// when it could not be written.
bool SaveInterfaceList(const Settings& settings, platform::Platform& platform);

}  // namespace trafimo
