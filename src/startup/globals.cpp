#include "startup/globals.h"

#include <charconv>
#include <stdexcept>

#include "ifstats/ip_helper.h"
#include "registry/mod_reg.h"

namespace trafimo {

namespace {

constexpr std::string_view kAlwaysRunInTray = "AlwaysRunInTray";
constexpr std::string_view kInterface = "Interface";
constexpr std::string_view kEnableFreeTimes = "EnableFreeTimes";
constexpr std::string_view kFromFreeTime = "FromFreeTime";
constexpr std::string_view kToFreeTime = "ToFreeTime";
constexpr std::string_view kMonthStartDay = "MonthStartDay";

std::string ReadSetting(platform::Registry& registry, std::string_view name) {
  std::uint32_t type = platform::kRegExpandSz;
  return modReg::ReadRegValue(registry, platform::kHkeyLocalMachine, kSettingsSubKey, name, type);
}

bool WriteSetting(platform::Registry& registry, std::string_view name, std::string_view value) {
  return modReg::WriteRegValue(registry, platform::kHkeyLocalMachine, kSettingsSubKey, name,
                               platform::kRegExpandSz, value);
}

// Empty text means: use the default.
std::string OrDefault(std::string text, std::string_view fallback) {
  if (text.empty()) text.append(fallback);
  return text;
}

// A whole number from 1 to 28; anything else is the first day of the month.
std::uint8_t MonthStartDayOf(std::string_view text) {
  int day = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), day);
  if (text.empty() || text.front() == '-' || text.front() == '+' || error != std::errc{} ||
      end != text.data() + text.size() || day < 1 || day > 28)
    return 1;
  return static_cast<std::uint8_t>(day);
}

// The descriptions of every interface but the loopback, in table order, each after a comma.
std::string DefaultInterfaceList(platform::Platform& platform) {
  CIpHelper reader(platform.ifTable, platform.messages, platform.process);
  std::string list;
  try {
    for (const CInterface& objInterface : reader.Interfaces()) {
      if (objInterface.InterfaceType == kSoftwareLoopbackType) continue;
      list += ',';
      list += objInterface.InterfaceDescription;
    }
  } catch (const std::runtime_error&) {
    // A table that cannot be read leaves the list empty, as a table with only the loopback does;
    // the next start builds it again.
  }
  return list;
}

}  // namespace

std::string AppExePath(std::string_view exePath) {
  const std::size_t slash = exePath.find_last_of("\\/");
  const std::string_view folder =
      slash == std::string_view::npos ? std::string_view{} : exePath.substr(0, slash);
  std::string_view name = slash == std::string_view::npos ? exePath : exePath.substr(slash + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos)
    name = name.substr(0, dot);
  std::string path(folder);
  path += '\\';
  path += name;
  return path;
}

void LoadSettings(Settings& settings, platform::Platform& platform) {
  platform::Registry& registry = platform.registry;
  settings.AlwaysRunInTray = ReadSetting(registry, kAlwaysRunInTray) == "1";
  settings.Interface = ReadSetting(registry, kInterface);
  settings.EnableFreeTimes = ReadSetting(registry, kEnableFreeTimes) == "1";
  settings.FromFreeTime = OrDefault(ReadSetting(registry, kFromFreeTime), "2:0:0");
  settings.ToFreeTime = OrDefault(ReadSetting(registry, kToFreeTime), "7:59:59");
  settings.MonthStartDay = MonthStartDayOf(OrDefault(ReadSetting(registry, kMonthStartDay), "1"));

  if (!settings.Interface.empty()) return;
  settings.Interface = DefaultInterfaceList(platform);
  SaveSettings(settings, platform);
}

SaveOutcome SaveSettings(const Settings& settings, platform::Platform& platform) {
  platform::Registry& registry = platform.registry;
  SaveOutcome outcome;
  // Every value is attempted, whatever happened to the one before.
  const bool written[] = {
      WriteSetting(registry, kAlwaysRunInTray, settings.AlwaysRunInTray ? "1" : "0"),
      WriteSetting(registry, kEnableFreeTimes, settings.EnableFreeTimes ? "1" : "0"),
      WriteSetting(registry, kInterface, settings.Interface),
      WriteSetting(registry, kFromFreeTime, settings.FromFreeTime),
      WriteSetting(registry, kToFreeTime, settings.ToFreeTime),
      WriteSetting(registry, kMonthStartDay, std::to_string(settings.MonthStartDay)),
  };
  for (const bool ok : written)
    outcome.settingsWritten = outcome.settingsWritten && ok;

  if (settings.AlwaysRunInTray) {
    std::string command(1, '"');
    command += AppExePath(platform.process.ExePath());
    command += "\" /s";
    outcome.startupEntryWritten =
        modReg::WriteRegValue(registry, platform::kHkeyLocalMachine, kRunSubKey, kRunValueName,
                              platform::kRegExpandSz, command);
  } else {
    const long deleted =
        modReg::DeleteRegValue(registry, platform::kHkeyLocalMachine, kRunSubKey, kRunValueName);
    outcome.startupEntryWritten =
        deleted == platform::kErrorSuccess || deleted == platform::kErrorFileNotFound;
  }
  return outcome;
}

}  // namespace trafimo
