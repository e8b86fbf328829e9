// The settings dialog's decisions: the free times as the boxes show and store them, the checks of
// OK in their order, what OK stores and reports, "Clear all data" and the boxes' records.
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace trafimo::settings {
namespace {

using testing::FakePlatform;

// The dialog's window, as the messages' owner.
int dialogWindow = 0;
const platform::OwnerWindow kDialog = &dialogWindow;

TEST(FreeTimes, StoredTimesShowTheirReadablePartsAndAreStoredAsPlainNumbers) {
  const std::vector<std::pair<const char*, std::vector<double>>> cases = {
      {"7:59:59", {7, 59, 59}}, {"", {0, 0, 0}},        {"7:30", {7, 30, 0}},
      {"x:5:9", {0, 5, 9}},     {"7:5:9 s", {7, 5, 9}}, {"1:2:3:4", {1, 2, 3}}};
  for (const auto& [stored, parts] : cases) {
    const FreeTime time = SplitFreeTime(stored);
    EXPECT_EQ((std::vector<double>{time.hours, time.minutes, time.seconds}), parts) << stored;
  }
  EXPECT_EQ(JoinFreeTime({-0.0, -0.0, -0.0}), "0:0:0");
  EXPECT_EQ(JoinFreeTime({23, 5, 0.5}), "23:5:0.5");
}

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
                        {28, true, good, {0, 0, 0}, nullptr, {}},
                        {0, false, good, good, "Month start day should be between 1 and 28",
                         SettingsFocus::MonthStartDay},
                        {29, true, bad, bad, "Month start day should be between 1 and 28",
                         SettingsFocus::MonthStartDay},
                        {1, true, bad, bad, "Invalid From time", SettingsFocus::FromHours},
                        {1, true, {1, 60, 0}, good, "Invalid From time", SettingsFocus::FromHours},
                        {1, true, good, {1, 0, 0.5}, "Invalid To time", SettingsFocus::ToHours},
                        {1, true, good, {-1, 0, 0}, "Invalid To time", SettingsFocus::ToHours}};
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
    EXPECT_EQ(fake.messages.shown[0].style, platform::kMbOk | platform::kMbIconInformation);
  }
}

TEST(SettingsOk, StoresTheFormAndReportsASaveThatDidNotGetThrough) {
  // The list shows the table in its order, each row chosen when it is a whole entry of the list.
  CInterfaces table;
  for (const char* name : {"Ethernet", "C, 3", "c, 3", "A", "C, 3"})
    table.Add(CInterface{0, 0, name, 6});
  Settings settings{true, ",A,C, 3", false, "1:30:0", "7:59:59", 1};
  SettingsForm form = LoadSettingsForm(settings, table);
  std::string shown;
  for (const auto& [text, selected] : form.interfaces)
    shown += text + (selected ? "+;" : ";");
  EXPECT_EQ(shown, "Ethernet;C, 3+;c, 3;A+;C, 3+;");
  FakePlatform fake;
  form.interfaces.pop_back();
  EXPECT_TRUE(PressOk(form, settings, fake.platform, kDialog).close);
  EXPECT_EQ(settings.Interface, ",C, 3,A");
  EXPECT_EQ(settings.FromFreeTime, "1:30:0");
  EXPECT_TRUE(fake.messages.shown.empty());
  form.interfaces = {{"A", false}};
  EXPECT_EQ(BuildSettings(form).Interface, ",") << "none chosen";

  fake.registry.readOnlyRoots = {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser};
  form.interfaces = {{"D", true}};
  EXPECT_TRUE(PressOk(form, settings, fake.platform, kDialog).close);
  EXPECT_EQ(settings.Interface, ",D") << "used for this run all the same";
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, FailedSaveMessage({false, false}));
  EXPECT_EQ(fake.messages.shown[0].owner, kDialog);
  EXPECT_EQ(fake.messages.shown[0].style, platform::kMbOk | platform::kMbIconInformation);
  // Each failure says what could not be stored, and why.
  for (const SaveOutcome outcome : {SaveOutcome{false, true}, SaveOutcome{true, false}}) {
    const std::string message = FailedSaveMessage(outcome);
    EXPECT_NE(message.find("administrator"), std::string::npos) << message;
    EXPECT_EQ(message.find("start with Windows") != std::string::npos, !outcome.startupEntryWritten)
        << message;
  }
  EXPECT_EQ(FailedSaveMessage(SaveOutcome{}), "");
}

TEST(SettingsClearAllData, AsksThenErasesAndZeroesOnYes) {
  for (const bool yes : {false, true}) {
    for (const bool anythingStored : {false, true}) {
      FakePlatform fake;
      if (anythingStored) fake.userStore.Write("Today", "IN", "1234");
      fake.messages.answers.push_back(yes ? platform::kIdYes : platform::kIdNo);
      int zeroed = 0;
      const bool erased = ClearAllData(fake.platform, kDialog, [&] { ++zeroed; });
      EXPECT_EQ(erased, yes);
      EXPECT_EQ(zeroed, yes ? 1 : 0);
      EXPECT_EQ(fake.userStore.Has("Today", "IN"), anythingStored && !yes);
      ASSERT_EQ(fake.messages.shown.size(), 1u) << "the question only, no error";
      EXPECT_EQ(fake.messages.shown[0].text, kClearAllDataQuestion);
      EXPECT_EQ(fake.messages.shown[0].style,
                platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefButton2);
      EXPECT_EQ(fake.messages.shown[0].owner, kDialog);
    }
  }
}

// A text box that only holds its text, for reading the records.
struct PlainTextBox : controls::NebSite {
  std::string text;
  std::string Text() const override { return text; }
  void SetText(std::string_view t) override { text = std::string(t); }
  int SelStart() const override { return 0; }
  int SelLength() const override { return 0; }
  void Select(int, int) override {}
  void SendTab() override {}
};

TEST(SettingsBoxes, EveryRecordReadsBackAsATwoDigitWholeNumberBox) {
  for (const NebInstance& instance : kNebInstances) {
    testing::FakeMessages messages;
    PlainTextBox box;
    controls::Neb neb(box, messages);
    neb.ReadProperties(NebInstanceRecord(instance));
    EXPECT_EQ(std::make_tuple(neb.IntegerSize(), neb.DecimalSize(), neb.MinimumValue(),
                              neb.MaximumValue(), neb.EnableEnterKey(), neb.Enabled()),
              std::make_tuple(2, 0, 0.0, 99.0, true, true))
        << instance.name;
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(box.text, std::to_string(static_cast<int>(instance.value))) << instance.name;
  }
}

}  // namespace
}  // namespace trafimo::settings
