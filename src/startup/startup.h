// The first steps of the start, before any window exists: refuse a second instance, then load
// the machine-wide settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "startup/globals.h"

namespace trafimo {

// The text shown when the program is started while it already runs.
std::string AlreadyRunningMessage();

// The notification-area window could not be created: the text, titled kApplicationTitle.
inline constexpr std::string_view kNoTrayWindowMessage =
    "Velquor Trafimo could not start its notification-area window, so it cannot run.";

// What the single-instance mutex's creation left as the last error says about other copies:
// the mutex exists (ERROR_ALREADY_EXISTS), or exists with rights this copy lacks
// (ERROR_ACCESS_DENIED, as when an elevated copy made it). Any other error is no other copy.
bool MutexErrorMeansAnotherInstance(std::uint32_t lastError);

// Only the emptiness of the command line matters; blanks around it do not count.
bool IsCommandLineEmpty(std::string_view commandLine);

// The file a command line "/export FILE" asks for (any letter case; FILE in double quotes or the
// rest of the line, blanks around it dropped; empty when missing); nothing for other lines.
std::optional<std::string> ExportPathOf(std::string_view commandLine);

// When another instance runs: tells the user and ends the process, loading and writing
// nothing. Otherwise loads the settings (on the very first run this also writes them).
void RefuseSecondInstanceThenLoadSettings(bool anotherInstanceRunning, Settings& settings,
                                          platform::Platform& platform);

// Without its notification-area window the program has no icon and no way to be ended: it tells
// the user and ends (which also frees the single-instance mutex).
void EndForLackOfTrayWindow(platform::Platform& platform);

}  // namespace trafimo
