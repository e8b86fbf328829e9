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

bool MutexErrorMeansAnotherInstance(std::uint32_t lastError) {
  constexpr std::uint32_t kErrorAlreadyExists = 183;
  return lastError == kErrorAlreadyExists ||
         lastError == static_cast<std::uint32_t>(platform::kErrorAccessDenied);
}

bool IsCommandLineEmpty(std::string_view commandLine) {
  return commandLine.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

void RefuseSecondInstanceThenLoadSettings(bool anotherInstanceRunning, Settings& settings,
                                          platform::Platform& platform) {
  if (anotherInstanceRunning) {
    platform.messages.Show(platform::kNoOwner, AlreadyRunningMessage(), platform::kApplicationTitle,
                           platform::kMbOk | platform::kMbIconInformation);
    platform.process.EndNow();
  }
  LoadSettings(settings, platform);
}

void EndForLackOfTrayWindow(platform::Platform& platform) {
  platform.messages.Show(platform::kNoOwner, kNoTrayWindowMessage, platform::kApplicationTitle,
                         platform::kMbOk | platform::kMbIconStop);
  platform.process.EndNow();
}

}  // namespace trafimo
