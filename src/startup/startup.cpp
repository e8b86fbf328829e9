#include "startup/startup.h"

#include <algorithm>
#include <cctype>

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

std::optional<std::string> ExportPathOf(std::string_view commandLine) {
  constexpr std::string_view kBlanks = " \t\r\n";
  constexpr std::string_view kExport = "/export";
  const auto trim = [&](std::string_view text) {
    text.remove_prefix(std::min(text.size(), text.find_first_not_of(kBlanks)));
    return text.substr(0, text.find_last_not_of(kBlanks) + 1);
  };
  std::string_view rest = trim(commandLine);
  if (rest.size() < kExport.size() ||
      !std::equal(
          kExport.begin(), kExport.end(), rest.begin(),
          [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }) ||
      (rest.size() > kExport.size() &&
       kBlanks.find(rest[kExport.size()]) == std::string_view::npos))
    return std::nullopt;
  rest = trim(rest.substr(kExport.size()));
  if (!rest.empty() && rest.front() == '"') rest = rest.substr(1, rest.find('"', 1) - 1);
  return std::string(rest);
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
