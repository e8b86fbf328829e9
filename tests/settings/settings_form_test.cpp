// The settings dialog's decisions: the checks of OK in their order and "Clear all data", each
// message shown with the dialog as its owner.
#include "settings/settings_form.h"

#include <gtest/gtest.h>

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
  };
  const FreeTime bad{24, 0, 0}, good{23, 59, 59};
  const Case cases[] = {{1, false, bad, bad, nullptr, {}},
                        {29, true, bad, bad, "Month start day should be between 1 and 28",
                         SettingsFocus::MonthStartDay},
                        {1, true, {1, 60, 0}, good, "Invalid From time", SettingsFocus::FromHours},
                        {28, true, good, {1, 0, 0.5}, "Invalid To time", SettingsFocus::ToHours}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message ? c.message : "accepted");
    FakePlatform fake;
    SettingsForm form;
    form.monthStartDay = c.monthStartDay;
    form.enableFreeTimes = c.freeTimes;
    form.from = c.from, form.to = c.to;
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

TEST(SettingsClearAllData, AsksThenErasesOnlyOnYes) {
  for (const bool yes : {false, true}) {
    FakePlatform fake;
    fake.userStore.Write("Today", "IN", "1234");
    fake.messages.answers.push_back(yes ? platform::kIdYes : platform::kIdNo);
    int zeroed = 0;
    EXPECT_EQ(ClearAllData(fake.platform, kDialog, [&] { ++zeroed; }), yes);
    EXPECT_EQ(zeroed, yes ? 1 : 0);
    EXPECT_EQ(fake.userStore.Has("Today", "IN"), !yes);
    ASSERT_EQ(fake.messages.shown.size(), 1u) << "the question only, no error";
    EXPECT_EQ(fake.messages.shown[0].owner, kDialog);
  }
}

}  // namespace
}  // namespace trafimo::settings
