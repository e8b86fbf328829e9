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

TEST(FreeTimes, StoredTimesShowTheirReadablePartsAndZeroForTheRest) {
  const std::vector<std::pair<const char*, std::vector<double>>> cases = {
      {"7:59:59", {7, 59, 59}}, {"", {0, 0, 0}},        {"7:30", {7, 30, 0}},
      {"x:5:9", {0, 5, 9}},     {"7:5:9 s", {7, 5, 9}}, {"1:2:3:4", {1, 2, 3}}};
  for (const auto& [stored, parts] : cases) {
    const FreeTime time = SplitFreeTime(stored);
    EXPECT_EQ((std::vector<double>{time.hours, time.minutes, time.seconds}), parts) << stored;
  }
}

TEST(FreeTimes, PartsAreStoredAsPlainNumbersAndANegativeZeroAsZero) {
  EXPECT_EQ(JoinFreeTime({-0.0, -0.0, -0.0}), "0:0:0");
  EXPECT_EQ(JoinFreeTime({23, 5, 0}), "23:5:0");
}

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
  std::vector<bool> selected;
  for (const auto& entry : LoadSettingsForm(settings, table).interfaces)
    selected.push_back(entry.selected);
  EXPECT_EQ(selected, (std::vector<bool>{false, true, false, true, true}));
}

TEST(SettingsOk, FailedSaveIsReportedAndTheValuesStayForThisRun) {
  FakePlatform fake;
  fake.registry.readOnlyRoots = {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser};
  Settings settings;
  SettingsForm form;
  form.interfaces = {{"A", true}};
  form.alwaysRunInTray = true;
  const OkResult result = PressOk(form, settings, fake.platform, kDialog);
  EXPECT_TRUE(result.close);
  EXPECT_EQ(settings.Interface, ",A");
  EXPECT_TRUE(settings.AlwaysRunInTray);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_NE(fake.messages.shown[0].text.find("administrator"), std::string::npos);
  EXPECT_EQ(fake.messages.shown[0].title, "Velquor Trafimo");
  EXPECT_EQ(fake.messages.shown[0].style, platform::kMbOk | platform::kMbIconInformation);
  EXPECT_EQ(fake.messages.shown[0].owner, kDialog);

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

TEST(SettingsBoxes, SevenRecordsReadBackAsTwoDigitWholeNumbers) {
  std::vector<std::string> texts;
  for (const NebInstance& instance : kNebInstances) {
    testing::FakeMessages messages;
    PlainTextBox box;
    controls::Neb neb(box, messages);
    neb.ReadProperties(NebInstanceRecord(instance));
    EXPECT_EQ(neb.IntegerSize(), 2) << instance.name;
    EXPECT_EQ(neb.DecimalSize(), 0);
    EXPECT_EQ(neb.MinimumValue(), 0);
    EXPECT_EQ(neb.MaximumValue(), 99);
    EXPECT_TRUE(neb.EnableEnterKey() && neb.Enabled() && messages.shown.empty());
    texts.push_back(box.text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"1", "2", "0", "0", "7", "59", "59"}));
}

}  // namespace
}  // namespace trafimo::settings
