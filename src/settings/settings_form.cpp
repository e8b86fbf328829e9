#include "settings/settings_form.h"

#include "accounting/data_plan.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace trafimo::settings {

namespace {

// A box value as plain decimal text: whole numbers without a point, no leading zeros, and a
// negative zero (typed or pasted as "-0") written as "0".
std::string PlainNumber(double value) {
  if (value == 0) value = 0;  // -0.0 compares equal to 0 and becomes +0.0
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

bool IsWholeIn(double value, double lowest, double highest) {
  return value == std::floor(value) && value >= lowest && value <= highest;
}

// An allowance in GB with two decimals, as the box shows it.
double AllowanceGb(std::uint64_t bytes) {
  return std::round(static_cast<double>(bytes) / static_cast<double>(kBytesPerGb) * 100) / 100;
}

std::uint64_t AllowanceBytes(double gb) {
  const auto hundredths = static_cast<std::uint64_t>(std::llround(gb * 100));
  return (hundredths * kBytesPerGb + 50) / 100;
}

}  // namespace

FreeTime SplitFreeTime(std::string_view stored) {
  const std::optional<TimeOfDayParts> time = ReadFreeTime(stored);
  if (!time) return FreeTime{};
  return FreeTime{static_cast<double>(time->hours), static_cast<double>(time->minutes),
                  static_cast<double>(time->seconds)};
}

std::string JoinFreeTime(const FreeTime& time) {
  std::string text = PlainNumber(time.hours);
  text += ':';
  text += PlainNumber(time.minutes);
  text += ':';
  text += PlainNumber(time.seconds);
  return text;
}

bool IsTimeOfDay(const FreeTime& time) {
  return IsWholeIn(time.hours, 0, 23) && IsWholeIn(time.minutes, 0, 59) &&
         IsWholeIn(time.seconds, 0, 59);
}

SettingsForm LoadSettingsForm(const Settings& settings, const CInterfaces& interfaces) {
  SettingsForm form;
  form.alwaysRunInTray = settings.AlwaysRunInTray;
  form.enableFreeTimes = settings.EnableFreeTimes;
  form.from = SplitFreeTime(settings.FromFreeTime);
  form.to = SplitFreeTime(settings.ToFreeTime);
  form.monthStartDay = settings.MonthStartDay;
  form.allowanceGb = AllowanceGb(settings.MonthlyAllowance);
  form.warnAt = settings.AllowanceWarnAt;
  for (const CInterface& row : interfaces) {
    form.interfaces.push_back({row.InterfaceDescription,
                               IsInterfaceSelected(settings.Interface, row.InterfaceDescription)});
  }
  return form;
}

std::optional<SettingsRefusal> CheckSettingsForm(const SettingsForm& form) {
  if (form.monthStartDay < 1 || form.monthStartDay > 28) {
    return SettingsRefusal{kMonthStartDayMessage, SettingsFocus::MonthStartDay};
  }
  if (form.enableFreeTimes) {
    if (!IsTimeOfDay(form.from))
      return SettingsRefusal{kInvalidFromMessage, SettingsFocus::FromHours};
    if (!IsTimeOfDay(form.to)) return SettingsRefusal{kInvalidToMessage, SettingsFocus::ToHours};
  }
  if (!IsWholeIn(std::round(form.allowanceGb * 100), 0, 99'999'999) ||
      std::abs(form.allowanceGb * 100 - std::round(form.allowanceGb * 100)) > 1e-6)
    return SettingsRefusal{kAllowanceMessage, SettingsFocus::Allowance};
  if (!IsWholeIn(form.warnAt, 0, 99)) return SettingsRefusal{kWarnAtMessage, SettingsFocus::WarnAt};
  return std::nullopt;
}

bool InterfaceChoiceChanged(const SettingsForm& form, const Settings& settings) {
  return std::any_of(form.interfaces.begin(), form.interfaces.end(), [&](const auto& entry) {
    return entry.selected != IsInterfaceSelected(settings.Interface, entry.text);
  });
}

Settings BuildSettings(const SettingsForm& form) {
  Settings settings;
  settings.AlwaysRunInTray = form.alwaysRunInTray;
  settings.EnableFreeTimes = form.enableFreeTimes;
  settings.Interface.clear();
  for (const SettingsForm::Entry& entry : form.interfaces) {
    if (!entry.selected) continue;
    settings.Interface += ',';
    settings.Interface += entry.text;
  }
  if (settings.Interface.empty()) settings.Interface.push_back(',');
  settings.FromFreeTime = JoinFreeTime(form.from);
  settings.ToFreeTime = JoinFreeTime(form.to);
  settings.MonthStartDay = static_cast<std::uint8_t>(form.monthStartDay);
  settings.MonthlyAllowance = AllowanceBytes(form.allowanceGb);
  settings.AllowanceWarnAt = static_cast<std::uint8_t>(form.warnAt);
  return settings;
}

std::string FailedSaveMessage(const SaveOutcome& outcome) {
  if (outcome.ok()) return {};
  std::string what;
  if (!outcome.settingsWritten && !outcome.startupEntryWritten) {
    what = "The settings and the start with Windows could not be saved";
  } else if (!outcome.settingsWritten) {
    what = "The settings could not be saved";
  } else {
    what = "The start with Windows could not be changed";
  }
  what +=
      ": changing them needs administrator rights.\n\n"
      "The new settings are used until Velquor Trafimo ends; at the next start the stored "
      "ones apply again.";
  return what;
}

OkResult PressOk(const SettingsForm& form, Settings& settings, platform::Platform& platform,
                 platform::OwnerWindow dialog) {
  if (const auto refusal = CheckSettingsForm(form)) {
    platform.messages.Show(dialog, refusal->message, platform::kApplicationTitle,
                           platform::kMbOk | platform::kMbIconInformation);
    return OkResult{false, refusal->focus};
  }
  const bool automatic = settings.AutomaticInterfaces && !InterfaceChoiceChanged(form, settings);
  // An allowance shown as it was stays the bytes stored, not their rounding to the box.
  const std::uint64_t allowance = AllowanceGb(settings.MonthlyAllowance) == form.allowanceGb
                                      ? settings.MonthlyAllowance
                                      : AllowanceBytes(form.allowanceGb);
  settings = BuildSettings(form);
  settings.AutomaticInterfaces = automatic;
  settings.MonthlyAllowance = allowance;
  const SaveOutcome outcome = SaveSettings(settings, platform);
  if (!outcome.ok()) {
    platform.messages.Show(dialog, FailedSaveMessage(outcome), platform::kApplicationTitle,
                           platform::kMbOk | platform::kMbIconInformation);
  }
  return OkResult{true, std::nullopt};
}

bool ClearAllData(platform::Platform& platform, platform::OwnerWindow dialog,
                  const std::function<void()>& callFormLoad) {
  const int answer = platform.messages.Show(
      dialog, kClearAllDataQuestion, platform::kApplicationTitle,
      platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefButton2);
  if (answer == platform::kIdNo) return false;
  // Nothing stored is no failure: erasing an absent area succeeds, and the counters are zeroed
  // whatever the store answered.
  platform.userStore.EraseAll();
  if (callFormLoad) callFormLoad();
  return true;
}

controls::PropertyRecord NebInstanceRecord(const NebInstance& instance) {
  controls::PropertyRecord record;
  record.Set("integersize", instance.integerSize);
  record.Set("decimalsize", instance.decimalSize);
  record.Set("value", instance.value);
  record.Set("font", controls::NebFont{"MS Sans Serif", 8.25, false, false});
  record.Set("backcolor", controls::kColourWindowBackground);
  record.Set("tooltiptext", std::string());
  return record;
}

}  // namespace trafimo::settings
