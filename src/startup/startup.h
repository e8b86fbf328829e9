// The first steps of the start, before any window exists: refuse a second instance, then load
// the machine-wide settings.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "startup/globals.h"

namespace trafimo {

// The text shown when the program is started while it already runs.
std::string AlreadyRunningMessage();

// Only the emptiness of the command line matters; blanks around it do not count.
bool IsCommandLineEmpty(std::string_view commandLine);

// When another instance runs: tells the user and ends the process, loading and writing
// nothing. Otherwise loads the settings (on the very first run this also writes them).
void RefuseSecondInstanceThenLoadSettings(bool anotherInstanceRunning, Settings& settings,
                                          platform::Platform& platform);

}  // namespace trafimo
