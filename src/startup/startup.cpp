#include "startup/startup.h"

namespace trafimo {

std::string AlreadyRunningMessage() {
  std::string text(platform::kApplicationTitle);
  text += " is already running. \r\n";
  text +=
      "When the program is running there will be an icon in the tray(near time) to display "
      "trafimo or to invoke the settings. ";
  return text;
}

bool IsCommandLineEmpty(std::string_view commandLine) {
  return commandLine.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

void RefuseSecondInstanceThenLoadSettings(bool anotherInstanceRunning, Settings& settings,
                                          platform::Platform& platform) {
  if (anotherInstanceRunning) {
    platform.messages.Show(AlreadyRunningMessage(), platform::kApplicationTitle,
                           platform::kMbOk | platform::kMbIconInformation);
    platform.process.EndNow();
  }
  LoadSettings(settings, platform);
}

}  // namespace trafimo
