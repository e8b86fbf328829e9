#include "startup/globals.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "accounting/data_plan.h"
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
constexpr std::string_view kAutomaticInterfaces = "AutomaticInterfaces";
constexpr std::string_view kMonthlyAllowance = "MonthlyAllowance";
constexpr std::string_view kAllowanceWarnAt = "AllowanceWarnAt";

// The per-user copy of a setting, written where the machine-wide key refuses a standard user,
// comes first.
std::string ReadSetting(platform::Registry& registry, std::string_view name) {
  for (const platform::RegKeyHandle root :
       {platform::kHkeyCurrentUser, platform::kHkeyLocalMachine}) {
    std::uint32_t type = platform::kRegExpandSz;
    std::string value = modReg::ReadRegValue(registry, root, kSettingsSubKey, name, type);
    if (!value.empty()) return value;
  }
  return {};
}

bool WriteSetting(platform::Registry& registry, platform::RegKeyHandle root, std::string_view name,
                  std::string_view value) {
  return modReg::WriteRegValue(registry, root, kSettingsSubKey, name, platform::kRegExpandSz,
                               value);
}

// Every value under `root`; every one is attempted, whatever happened to the one before.
bool WriteSettings(platform::Registry& registry, platform::RegKeyHandle root,
                   const Settings& settings) {
  const auto write = [&](std::string_view name, std::string_view value) {
    return WriteSetting(registry, root, name, value);
  };
  const bool written[] = {
      write(kAlwaysRunInTray, settings.AlwaysRunInTray ? "1" : "0"),
      write(kEnableFreeTimes, settings.EnableFreeTimes ? "1" : "0"),
      write(kInterface, settings.Interface),
      write(kFromFreeTime, settings.FromFreeTime),
      write(kToFreeTime, settings.ToFreeTime),
      write(kMonthStartDay, std::to_string(settings.MonthStartDay)),
      write(kAutomaticInterfaces, settings.AutomaticInterfaces ? "1" : "0"),
      write(kMonthlyAllowance, std::to_string(settings.MonthlyAllowance)),
      write(kAllowanceWarnAt, std::to_string(settings.AllowanceWarnAt)),
  };
  return std::all_of(std::begin(written), std::end(written), [](bool ok) { return ok; });
}

bool DeletedOrAbsent(long result) {
  return result == platform::kErrorSuccess || result == platform::kErrorFileNotFound;
}

// The settings key's path as RegDeleteKey takes it, without the trailing backslash.
std::string_view SettingsKeyPath() {
  std::string_view path = kSettingsSubKey;
  while (!path.empty() && path.back() == '\\')
    path.remove_suffix(1);
  return path;
}

// On: the machine-wide entry, or the per-user one where that is refused (never both, or the
// program would start twice at logon). Off: neither.
bool WriteStartupEntry(platform::Registry& registry, bool on, const std::string& command) {
  using platform::kHkeyCurrentUser, platform::kHkeyLocalMachine;
  if (on) {
    if (modReg::WriteRegValue(registry, kHkeyLocalMachine, kRunSubKey, kRunValueName,
                              platform::kRegExpandSz, command)) {
      modReg::DeleteRegValue(registry, kHkeyCurrentUser, kRunSubKey, kRunValueName);
      return true;
    }
    return modReg::WriteRegValue(registry, kHkeyCurrentUser, kRunSubKey, kRunValueName,
                                 platform::kRegExpandSz, command);
  }
  const bool machineWide = DeletedOrAbsent(
      modReg::DeleteRegValue(registry, kHkeyLocalMachine, kRunSubKey, kRunValueName));
  const bool perUser = DeletedOrAbsent(
      modReg::DeleteRegValue(registry, kHkeyCurrentUser, kRunSubKey, kRunValueName));
  return machineWide && perUser;
}

// Empty text means: use the default.
std::string OrDefault(std::string text, std::string_view fallback) {
  if (text.empty()) text.append(fallback);
  return text;
}

// A whole number of decimal digits alone, from `lowest` to `highest`.
std::optional<std::uint64_t> WholeNumberIn(std::string_view text, std::uint64_t lowest,
                                           std::uint64_t highest) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || text.front() < '0' || text.front() > '9' || error != std::errc{} ||
      end != text.data() + text.size() || value < lowest || value > highest)
    return std::nullopt;
  return value;
}

// A whole number from 1 to 28; anything else is the first day of the month.
std::uint8_t MonthStartDayOf(std::string_view text) {
  return static_cast<std::uint8_t>(WholeNumberIn(text, 1, 28).value_or(1));
}

// The descriptions of the interfaces a first run counts, in table order, each after a comma.
std::string DefaultInterfaceList(platform::Platform& platform) {
  CIpHelper reader(platform.ifTable, platform.messages, platform.process);
  std::string list;
  try {
    const CInterfaces rows = reader.Interfaces();
    for (const CInterface& objInterface : rows) {
      if (!CountedAtFirstRun(objInterface)) continue;
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
  settings.MonthStartDay = StoredMonthStartDay(registry);
  // A list stored without the mark was chosen by hand (or by an earlier version).
  settings.AutomaticInterfaces = ReadSetting(registry, kAutomaticInterfaces) == "1";
  settings.MonthlyAllowance = ReadAllowance(ReadSetting(registry, kMonthlyAllowance));
  settings.AllowanceWarnAt = ReadWarnAt(ReadSetting(registry, kAllowanceWarnAt));

  if (!settings.Interface.empty()) return;
  settings.Interface = DefaultInterfaceList(platform);
  settings.AutomaticInterfaces = true;
  SaveSettings(settings, platform);
}

std::uint64_t ReadAllowance(std::string_view stored) {
  return WholeNumberIn(stored, 0, kLargestAllowance).value_or(0);
}

std::uint8_t ReadWarnAt(std::string_view stored) {
  return static_cast<std::uint8_t>(WholeNumberIn(stored, 0, 99).value_or(kDefaultWarnAt));
}

std::optional<TimeOfDayParts> ReadFreeTime(std::string_view stored) {
  const std::size_t first = stored.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  stored = stored.substr(first, stored.find_last_not_of(' ') - first + 1);
  int parts[3] = {0, 0, 0};
  int count = 0;
  const char* at = stored.data();
  const char* const end = stored.data() + stored.size();
  while (true) {
    if (count == 3 || at == end || *at < '0' || *at > '9') return std::nullopt;
    const auto [next, error] = std::from_chars(at, end, parts[count]);
    if (error != std::errc()) return std::nullopt;
    ++count;
    at = next;
    if (at == end) break;
    if (*at != ':') return std::nullopt;
    ++at;
  }
  if (count < 2) return std::nullopt;
  return TimeOfDayParts{parts[0], parts[1], parts[2]};
}

std::uint8_t StoredMonthStartDay(platform::Registry& registry) {
  return MonthStartDayOf(OrDefault(ReadSetting(registry, kMonthStartDay), "1"));
}

bool SaveInterfaceList(const Settings& settings, platform::Platform& platform) {
  using platform::kHkeyCurrentUser, platform::kHkeyLocalMachine;
  platform::Registry& registry = platform.registry;
  if (WriteSetting(registry, kHkeyLocalMachine, kInterface, settings.Interface)) {
    // A per-user copy would hide the machine-wide list.
    modReg::DeleteRegValue(registry, kHkeyCurrentUser, kSettingsSubKey, kInterface);
    return true;
  }
  return WriteSetting(registry, kHkeyCurrentUser, kInterface, settings.Interface);
}

SaveOutcome SaveSettings(const Settings& settings, platform::Platform& platform) {
  platform::Registry& registry = platform.registry;
  SaveOutcome outcome;
  // Machine-wide as an administrator keeps them; where that is refused, per user, as Windows
  // itself redirects older programs. A machine-wide save removes an older per-user copy, which
  // would otherwise hide it.
  if (WriteSettings(registry, platform::kHkeyLocalMachine, settings)) {
    registry.DeleteKey(platform::kHkeyCurrentUser, SettingsKeyPath());
  } else {
    outcome.settingsWritten = WriteSettings(registry, platform::kHkeyCurrentUser, settings);
  }

  std::string command;
  if (settings.AlwaysRunInTray) {
    command = '"' + AppExePath(platform.process.ExePath()) + "\" /s";
  }
  outcome.startupEntryWritten = WriteStartupEntry(registry, settings.AlwaysRunInTray, command);
  return outcome;
}

}  // namespace trafimo
