// The settings dialog's decisions: the checks of OK in their order and "Clear all data", each
// message shown with the dialog as its owner.
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/fakes.h"

namespace trafimo::settings {
namespace {

using testing::FakePlatform;

// The dialog's window, as the messages' owner.
int dialogWindow = 0;
const platform::OwnerWindow kDialog = &dialogWindow;

// Month start day first, then (only with free times on) From, then To; a refusal keeps the dialog
// open, puts the focus on the box to mend and stores nothing.
TEST(SettingsOk, ChecksTheFormInOrder) {
  struct Case {
    double monthStartDay;
    bool freeTimes;
    FreeTime from, to;
    const char* message;  // null: accepted
    SettingsFocus focus;
    double allowanceGb = 0, warnAt = 80;
  };
  const FreeTime bad{24, 0, 0}, good{23, 59, 59};
  const Case cases[] = {
      {1, false, bad, bad, nullptr, {}, 999999.99, 0},
      {29, true, bad, bad, "Month start day should be between 1 and 28",
       SettingsFocus::MonthStartDay, -1},
      {1, true, {1, 60, 0}, good, "Invalid From time", SettingsFocus::FromHours},
      {28, true, good, {1, 0, 0.5}, "Invalid To time", SettingsFocus::ToHours},
      {28, true, good, good, "Monthly allowance should be between 0 and 999999.99 GB",
       SettingsFocus::Allowance, 12.345, 100},
      {28, true, good, good, "Monthly allowance should be between 0 and 999999.99 GB",
       SettingsFocus::Allowance, 1000000},
      {28, true, good, good, "Warn at should be between 0 and 99 %", SettingsFocus::WarnAt, 50,
       99.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message ? c.message : "accepted");
    FakePlatform fake;
    SettingsForm form;
    form.monthStartDay = c.monthStartDay;
    form.enableFreeTimes = c.freeTimes;
    form.from = c.from, form.to = c.to;
    form.allowanceGb = c.allowanceGb, form.warnAt = c.warnAt;
    Settings settings;
    const OkResult result = PressOk(form, settings, fake.platform, kDialog);
    EXPECT_EQ(result.close, c.message == nullptr);
    EXPECT_EQ(fake.registry.KeyExists(platform::kHkeyLocalMachine, std::string(kSettingsSubKey)),
              c.message == nullptr);
    if (!c.message) continue;
    EXPECT_EQ(result.focus, c.focus);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, c.message);
    EXPECT_EQ(fake.messages.shown[0].owner, kDialog);
  }
}

// What could not be stored is told; the settings are used for this run all the same.
TEST(SettingsOk, AFailedSaveIsToldAndTheSettingsAreUsedAllTheSame) {
  FakePlatform fake;
  fake.registry.readOnlyRoots = {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser};
  SettingsForm form;
  form.monthStartDay = 1;
  form.interfaces = {{"D", true}, {"E", false}};
  Settings settings;
  EXPECT_TRUE(PressOk(form, settings, fake.platform, kDialog).close);
  EXPECT_EQ(settings.Interface, ",D");
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, FailedSaveMessage({false, true}));
  EXPECT_EQ(fake.messages.shown[0].owner, kDialog);
}

// The first run's selection stays automatic through an OK that leaves the list as it was (in
// whatever order the table now lists it); a change of the list makes it the person's.
TEST(SettingsOk, AnAutomaticSelectionStaysSoUntilThePersonChangesTheList) {
  const std::tuple<bool, bool, bool, bool> cases[] = {
      // automatic before, D selected, E selected, automatic after
      {true, true, true, true},
      {true, true, false, false},
      {false, true, true, false}};
  for (const auto& [before, d, e, after] : cases) {
    FakePlatform fake;
    SettingsForm form;
    form.interfaces = {{"E", e}, {"D", d}, {"F", false}};
    Settings settings;
    settings.Interface = ",D,E";
    settings.AutomaticInterfaces = before;
    EXPECT_TRUE(PressOk(form, settings, fake.platform, kDialog).close);
    EXPECT_EQ(settings.AutomaticInterfaces, after) << before << d << e;
    EXPECT_EQ(fake.registry.GetText(platform::kHkeyLocalMachine, std::string(kSettingsSubKey),
                                    "AutomaticInterfaces"),
              after ? "1" : "0");
  }
}

// The allowance is stored in whole bytes; one left as the box showed it keeps the bytes stored,
// even where they are no whole hundredth of a GB (an administrator's policy).
TEST(SettingsOk, TheAllowanceIsStoredInBytesAndOneLeftAsShownKeepsItsBytes) {
  const std::tuple<std::uint64_t, double, std::uint64_t> cases[] = {
      {53'687'091'201, 50, 53'687'091'201},
      {53'687'091'201, 12.34, 13'249'974'108},
      {0, 0.01, 10'737'418},
      {53'687'091'200, 0, 0}};
  for (const auto& [stored, shown, bytes] : cases) {
    FakePlatform fake;
    Settings settings;
    settings.MonthlyAllowance = stored;
    SettingsForm form = LoadSettingsForm(settings, {});
    form.allowanceGb = shown;
    EXPECT_TRUE(PressOk(form, settings, fake.platform, kDialog).close);
    EXPECT_EQ(settings.MonthlyAllowance, bytes) << stored << " shown as " << shown;
  }
}

// The dialog shows a stored free time as the tick reads it: both read it with one function.
TEST(SettingsLoad, ShowsAStoredFreeTimeAsTheTickReadsIt) {
  const std::pair<const char*, FreeTime> cases[] = {
      {"2:0:0", {2, 0, 0}},   {" 014:010:0", {14, 10, 0}}, {"7:59", {7, 59, 0}},
      {"25:0:0", {25, 0, 0}}, {"2:30pm:0", {0, 0, 0}},     {"-1:0:0", {0, 0, 0}}};
  for (const auto& [stored, shown] : cases) {
    const FreeTime time = SplitFreeTime(stored);
    EXPECT_EQ(std::make_tuple(time.hours, time.minutes, time.seconds),
              std::make_tuple(shown.hours, shown.minutes, shown.seconds))
        << '"' << stored << '"';
  }
}

TEST(SettingsClearAllData, AsksThenErasesOnlyOnYes) {
  for (const bool yes : {false, true}) {
    FakePlatform fake;
    fake.userStore.Write("Today", "IN", "1234");
    fake.messages.answers.push_back(yes ? platform::kIdYes : platform::kIdNo);
    int zeroed = 0;
    EXPECT_EQ(ClearAllData(fake.platform, kDialog, [&] { ++zeroed; }), yes);
    EXPECT_EQ(zeroed, yes ? 1 : 0);
    EXPECT_EQ(fake.userStore.sections.empty(), yes);
    ASSERT_EQ(fake.messages.shown.size(), 1u) << "the question only, no error";
    EXPECT_EQ(fake.messages.shown[0].owner, kDialog);
  }
}

}  // namespace
}  // namespace trafimo::settings
