#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace trafimo::settings {
namespace {

using testing::FakePlatform;

struct SplitCase {
  const char* stored;
  FreeTime time;
};

class FreeTimeSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(FreeTimeSplit, ShowsTheReadablePartsAndZeroForTheRest) {
  const FreeTime got = SplitFreeTime(GetParam().stored);
  EXPECT_EQ(got.hours, GetParam().time.hours);
  EXPECT_EQ(got.minutes, GetParam().time.minutes);
  EXPECT_EQ(got.seconds, GetParam().time.seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FreeTimeSplit,
    ::testing::Values(SplitCase{"2:0:0", {2, 0, 0}}, SplitCase{"7:59:59", {7, 59, 59}},
                      SplitCase{"", {0, 0, 0}}, SplitCase{"7", {7, 0, 0}},
                      SplitCase{"7:30", {7, 30, 0}}, SplitCase{"x:5:9", {0, 5, 9}},
                      SplitCase{"7:5:9 s", {7, 5, 9}}, SplitCase{"1:2:3:4", {1, 2, 3}}));

TEST(SettingsLoad, SelectsWholeEntriesOfTheInterfaceList) {
  CInterfaces table;
  for (const char* name :
       {"Ethernet", "Ethernet Adapter", "ethernet adapter", "Ethernet Adapter", "Loopback"}) {
    CInterface row;
    row.InterfaceDescription = name;
    table.Add(std::move(row));
  }
  Settings settings;
  settings.Interface = ",Ethernet Adapter,Loopback";
  settings.FromFreeTime = "7:5:0";
  settings.MonthStartDay = 12;
  const SettingsForm form = LoadSettingsForm(settings, table);
  ASSERT_EQ(form.interfaces.size(), 5u);
  const std::vector<bool> expected = {false, true, false, true, true};
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(form.interfaces[i].selected, expected[i]) << form.interfaces[i].text;
  EXPECT_EQ(form.from.minutes, 5);
  EXPECT_EQ(form.monthStartDay, 12);
}

SettingsForm FormWith(std::vector<SettingsForm::Entry> entries) {
  SettingsForm form;
  form.interfaces = std::move(entries);
  form.from = {7, 5, 0};
  form.to = {25, 0, 0};
  form.monthStartDay = 15;
  return form;
}

TEST(SettingsOk, FailedSaveIsReportedAndTheValuesStayForThisRun) {
  FakePlatform fake;
  fake.registry.readOnlyRoots.insert(platform::kHkeyLocalMachine);
  Settings settings;
  SettingsForm form = FormWith({{"A", true}});
  form.alwaysRunInTray = true;
  const OkResult result = PressOk(form, settings, fake.platform);
  EXPECT_TRUE(result.close);
  EXPECT_EQ(settings.Interface, ",A");
  EXPECT_TRUE(settings.AlwaysRunInTray);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_NE(fake.messages.shown[0].text.find("administrator"), std::string::npos);
  EXPECT_EQ(fake.messages.shown[0].title, "Velquor Trafimo");
  EXPECT_EQ(fake.messages.shown[0].style, platform::kMbOk | platform::kMbIconInformation);

  SaveOutcome onlyStartup;
  onlyStartup.startupEntryWritten = false;
  EXPECT_NE(FailedSaveMessage(onlyStartup).find("start with Windows"), std::string::npos);
  EXPECT_EQ(FailedSaveMessage(SaveOutcome{}), "");
}

TEST(SettingsClearAllData, AsksThenErasesAndZeroesOnYes) {
  for (const bool yes : {false, true}) {
    for (const bool anythingStored : {false, true}) {
      FakePlatform fake;
      if (anythingStored) fake.userStore.Write("Today", "IN", "1234");
      fake.messages.answers.push_back(yes ? platform::kIdYes : platform::kIdNo);
      int zeroed = 0;
      const bool erased = ClearAllData(fake.platform, [&] { ++zeroed; });
      EXPECT_EQ(erased, yes);
      EXPECT_EQ(zeroed, yes ? 1 : 0);
      EXPECT_EQ(fake.userStore.Has("Today", "IN"), anythingStored && !yes);
      ASSERT_EQ(fake.messages.shown.size(), 1u) << "the question only, no error";
      EXPECT_EQ(fake.messages.shown[0].text, kClearAllDataQuestion);
      EXPECT_EQ(fake.messages.shown[0].style,
                platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefButton2);
    }
  }
}

// A text box that only holds its text, for reading the records.
struct PlainTextBox : controls::NebSite {
  std::string text;
  controls::Neb* neb = nullptr;
  std::string Text() const override { return text; }
  void SetText(std::string_view t) override {
    if (t == text) return;
    text = std::string(t);
    neb->OnChange();
  }
  int SelStart() const override { return 0; }
  int SelLength() const override { return 0; }
  void Select(int, int) override {}
  void SendTab() override {}
};

TEST(SettingsBoxes, SevenRecordsReadBackAsTwoDigitWholeNumbers) {
  const std::vector<std::string> texts = {"1", "2", "0", "0", "7", "59", "59"};
  ASSERT_EQ(std::size(kNebInstances), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    testing::FakeMessages messages;
    PlainTextBox box;
    controls::Neb neb(box, messages);
    box.neb = &neb;
    neb.ReadProperties(NebInstanceRecord(kNebInstances[i]));
    EXPECT_EQ(neb.IntegerSize(), 2) << kNebInstances[i].name;
    EXPECT_EQ(neb.DecimalSize(), 0);
    EXPECT_EQ(neb.FormatMask(), "0");
    EXPECT_EQ(neb.MinimumValue(), 0);
    EXPECT_EQ(neb.MaximumValue(), 99);
    EXPECT_TRUE(neb.EnableEnterKey());
    EXPECT_TRUE(neb.Enabled());
    EXPECT_EQ(box.text, texts[i]) << kNebInstances[i].name;
    EXPECT_TRUE(messages.shown.empty());
  }
}

}  // namespace
}  // namespace trafimo::settings
