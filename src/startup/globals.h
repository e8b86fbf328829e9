// The shared settings variables and flags of the program, and their load and save.
#pragma once

#include <cstdint>
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
// the end of the list. The tick and the settings dialog both select interfaces with this.
bool IsInterfaceSelected(std::string_view interfaceList, std::string_view description);

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

// Writes the six values and writes or deletes the start-up entry.
SaveOutcome SaveSettings(const Settings& settings, platform::Platform& platform);

}  // namespace trafimo
