// The start: loading and saving the settings (machine-wide, or per user where that is refused),
// the first run's interface selection, the start-up entry and the single-instance refusal.
#include <gtest/gtest.h>

#include "startup/globals.h"
#include "startup/startup.h"
#include "support/fakes.h"

namespace trafimo {
namespace {

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using testing::FakePlatform;
using testing::FakeRow;

const std::string kSettingsKey(kSettingsSubKey), kRunKey(kRunSubKey), kRunName(kRunValueName);

// The six values under `root`, "name=value;" each, and whether all are expandable strings.
std::string StoredSettings(FakePlatform& fake, platform::RegKeyHandle root = kHkeyLocalMachine) {
  std::string stored;
  for (const char* name : {"AlwaysRunInTray", "EnableFreeTimes", "Interface", "FromFreeTime",
                           "ToFreeTime", "MonthStartDay"}) {
    const auto* value = fake.registry.Get(root, kSettingsKey, name);
    stored += std::string(name) + "=" + fake.registry.GetText(root, kSettingsKey, name) +
              (value && value->type != platform::kRegExpandSz ? " (not REG_EXPAND_SZ);" : ";");
  }
  return stored + std::to_string(fake.registry.ValueCount(root, kSettingsKey)) + " values";
}

// The first run counts each byte once: on a Windows 11 laptop the Wi-Fi, Ethernet and Bluetooth
// adapters, not their filter modules, WAN Miniports, tunnels or virtual adapters. It stores the
// list with the defaults and no start-up entry.
TEST(LoadSettings, AFirstRunSelectsTheRealAdaptersAndStoresThemWithTheDefaults) {
  struct Case {
    const char* name;
    std::vector<FakeRow> rows;
    bool hasIfTable2;
    const char* selected;
  };
  const std::vector<FakeRow> laptop = testing::LoadIfTableFile("iftable-windows11-laptop.tsv");
  ASSERT_GT(laptop.size(), 30u);
  const Case cases[] = {
      {"laptop", laptop, true,
       ",Intel(R) Wi-Fi 6E AX211 160MHz,Realtek PCIe GbE Family Controller,Bluetooth Device "
       "(Personal Area Network)"},
      {"wine",
       {{"lo", 0, 0, 24, {}, false, false}, {"eth0", 0, 0, 6, {}}, {"wlan0", 0, 0, 71, {}}},
       true,
       ",eth0,wlan0"},
      {"mobile broadband", {{"LTE", 0, 0, 243, {}}, {"5G", 0, 0, 244, {}}}, true, ",LTE,5G"},
      {"loopback, tunnel, PPP and a filter said to be hardware",
       {{"lo", 0, 0, 24, {}},
        {"Teredo", 0, 0, 131, {}},
        {"PPP", 0, 0, 23, {}},
        {"eth0", 0, 0, 6, {}},
        {"eth0-Filter", 0, 0, 6, {}, true, true}},
       true,
       ",eth0"},
      {"no GetIfTable2",
       {{"lo", 0, 0, 24, {}, false, false}, {"Filter, 2", 0, 0, 6, {}, true, false}},
       false,
       ",Filter, 2"},
      {"only the loopback", {{"lo", 0, 0, 24, {}}}, false, ""}};
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.ifTable.rows = c.rows;
    fake.ifTable.hasIfTable2 = c.hasIfTable2;
    Settings settings;
    LoadSettings(settings, fake.platform);
    EXPECT_EQ(settings.Interface, c.selected) << c.name;
    EXPECT_EQ(StoredSettings(fake),
              "AlwaysRunInTray=0;EnableFreeTimes=0;Interface=" + std::string(c.selected) +
                  ";FromFreeTime=2:0:0;ToFreeTime=7:59:59;MonthStartDay=1;6 "
                  "values")
        << c.name;
    EXPECT_EQ(fake.registry.Get(kHkeyLocalMachine, kRunKey, kRunName), nullptr);
    EXPECT_EQ(fake.registry.openHandles(), 0);
  }
}

TEST(LoadSettings, AStoredListIsUsedAsItIsAndOnlyAnEmptyOneIsBuiltAgain) {
  FakePlatform fake;
  fake.ifTable.rows = {{"Loopback", 0, 0, 24, {}}};
  Settings settings;
  LoadSettings(settings, fake.platform);
  fake.ifTable.rows.push_back({"eth0", 0, 0, 6, {}});
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, "Interface"), ",eth0");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "FromFreeTime", "1:30:0");
  fake.registry.readOnlyRoots.insert(kHkeyLocalMachine);  // any write would be refused
  const int calls = fake.ifTable.calls;
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(settings.Interface, ",eth0");
  EXPECT_EQ(settings.FromFreeTime, "1:30:0");
  EXPECT_EQ(fake.ifTable.calls, calls);  // the table is not read
}

// Only "1" is true; MonthStartDay takes whole numbers from 1 to 28, anything else as 1.
TEST(LoadSettings, ReadsFlagsAndTheMonthStartDay) {
  const std::tuple<const char*, bool, int> cases[] = {
      {"1", true, 1},   {"true", false, 1}, {"-1", false, 1},  {"", false, 1},   {"28", false, 28},
      {"05", false, 5}, {"29", false, 1},   {"7.5", false, 1}, {"+3", false, 1}, {"0", false, 1}};
  for (const auto& [stored, flag, day] : cases) {
    FakePlatform fake;
    for (const char* name : {"AlwaysRunInTray", "EnableFreeTimes", "MonthStartDay"})
      fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, name, stored);
    fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "Interface", ",eth0");
    Settings settings{!flag, "", !flag, "", "", 99};
    LoadSettings(settings, fake.platform);
    EXPECT_EQ(std::make_tuple(settings.AlwaysRunInTray, settings.EnableFreeTimes,
                              int{settings.MonthStartDay}),
              std::make_tuple(flag, flag, day))
        << '"' << stored << '"';
  }
}

TEST(SaveSettings, WritesTheStartupEntryAndDeletesItAgain) {
  FakePlatform fake;
  fake.process.exePath = "C:\\Program Files\\Velquor\\trafimo.exe";
  Settings settings{true, ",eth0", true, "1:0:0", "2:0:0", 12};
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.Get(kHkeyLocalMachine, kRunKey, kRunName)->type, platform::kRegExpandSz);
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kRunKey, kRunName),
            "\"C:\\Program Files\\Velquor\\trafimo\" /s");
  EXPECT_EQ(StoredSettings(fake),
            "AlwaysRunInTray=1;EnableFreeTimes=1;Interface=,eth0;FromFreeTime=1:0:0;ToFreeTime=2:0:"
            "0;MonthStartDay=12;6 values");
  settings.AlwaysRunInTray = false;
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.Get(kHkeyLocalMachine, kRunKey, kRunName), nullptr);
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());  // deleting an absent entry
  EXPECT_EQ(fake.registry.openHandles(), 0);
}

// A standard user: HKEY_LOCAL_MACHINE refuses every write.
TEST(SaveSettings, WhereTheMachineWideKeyIsRefusedTheSettingsAndTheStartupEntryGoPerUser) {
  FakePlatform fake;
  fake.registry.readOnlyRoots.insert(kHkeyLocalMachine);
  fake.ifTable.rows = {{"eth0", 0, 0, 6, {}}};
  Settings settings;
  LoadSettings(settings, fake.platform);  // the first run's save goes per user
  EXPECT_FALSE(fake.registry.KeyExists(kHkeyLocalMachine, kSettingsKey));
  EXPECT_EQ(
      StoredSettings(fake, kHkeyCurrentUser),
      "AlwaysRunInTray=0;EnableFreeTimes=0;Interface=,eth0;FromFreeTime=2:0:0;ToFreeTime=7:59:"
      "59;MonthStartDay=1;6 values");
  Settings next;
  LoadSettings(next, fake.platform);
  EXPECT_EQ(next.Interface, ",eth0");
  EXPECT_EQ(fake.ifTable.calls, 2) << "no second first run";

  settings.AlwaysRunInTray = true;
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.GetText(kHkeyCurrentUser, kRunKey, kRunName),
            "\"C:\\Tools\\trafimo\" /s");
  settings.AlwaysRunInTray = false;
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.Get(kHkeyCurrentUser, kRunKey, kRunName), nullptr);

  // A machine-wide entry an administrator made cannot be removed; nothing can be written at all.
  fake.registry.readOnlyRoots.clear();
  fake.registry.PutText(kHkeyLocalMachine, kRunKey, kRunName, "\"C:\\x\" /s");
  fake.registry.readOnlyRoots = {kHkeyLocalMachine, kHkeyCurrentUser};
  const SaveOutcome outcome = SaveSettings(settings, fake.platform);
  EXPECT_FALSE(outcome.settingsWritten);
  EXPECT_FALSE(outcome.startupEntryWritten);
}

TEST(SaveSettings, AMachineWideSaveRemovesThePerUserCopyAndTheOtherStartupEntry) {
  FakePlatform fake;
  fake.registry.PutText(kHkeyCurrentUser, kSettingsKey, "MonthStartDay", "15");
  fake.registry.PutText(kHkeyCurrentUser, kRunKey, kRunName, "\"C:\\old\" /s");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "MonthStartDay", "3");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "FromFreeTime", "1:30:0");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "Interface", ",eth0");
  Settings settings;
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(settings.MonthStartDay, 15) << "the per-user copy comes first";
  EXPECT_EQ(settings.FromFreeTime, "1:30:0") << "then the machine-wide key";
  settings.AlwaysRunInTray = true;
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_FALSE(fake.registry.KeyExists(kHkeyCurrentUser, kSettingsKey));
  EXPECT_EQ(fake.registry.Get(kHkeyCurrentUser, kRunKey, kRunName), nullptr) << "started once";
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, "MonthStartDay"), "15");
  EXPECT_EQ(fake.registry.openHandles(), 0);
}

TEST(AppExePath, FolderBackslashAndNameWithoutExtension) {
  std::string paths;
  for (const char* path : {"C:\\My.Tools\\trafimo", "C:\\t.v2.exe", "\\\\server\\share\\t.EXE"})
    paths += AppExePath(path) + "|";
  EXPECT_EQ(paths, "C:\\My.Tools\\trafimo|C:\\t.v2|\\\\server\\share\\t|");
}

// The message's words are checked where a person reads them (startup_e2e.sh).
TEST(Startup, ASecondInstanceTellsTheUserAndEndsWithoutLoadingOrWriting) {
  FakePlatform fake;
  fake.ifTable.rows = {{"eth0", 0, 0, 6, {}}};
  Settings settings;
  EXPECT_THROW(RefuseSecondInstanceThenLoadSettings(true, settings, fake.platform),
               testing::ProcessEnded);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, AlreadyRunningMessage());
  EXPECT_EQ(fake.messages.shown[0].title, "Velquor Trafimo");
  EXPECT_EQ(fake.messages.shown[0].style, platform::kMbOk | platform::kMbIconInformation);
  EXPECT_EQ(fake.ifTable.calls, 0);
  EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, "Software"));
  // The only instance loads silently.
  RefuseSecondInstanceThenLoadSettings(false, settings, fake.platform);
  EXPECT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(settings.Interface, ",eth0");
}

TEST(Startup, TheMutexSaysAnotherInstanceRunsWhenItExistsOrIsDenied) {
  const std::pair<std::uint32_t, bool> cases[] = {
      {0, false}, {183, true}, {platform::kErrorAccessDenied, true}, {6, false}, {1450, false}};
  for (const auto& [error, another] : cases)
    EXPECT_EQ(MutexErrorMeansAnotherInstance(error), another) << error;
}

TEST(Startup, WithoutItsTrayWindowTheProgramSaysSoAndEnds) {
  FakePlatform fake;
  EXPECT_THROW(EndForLackOfTrayWindow(fake.platform), testing::ProcessEnded);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].title, "Velquor Trafimo");
  EXPECT_EQ(fake.messages.shown[0].style, platform::kMbOk | platform::kMbIconStop);
  EXPECT_NE(fake.messages.shown[0].text.find("notification-area window"), std::string::npos);
}

TEST(Startup, OnlyTheEmptinessOfTheCommandLineMatters) {
  EXPECT_TRUE(IsCommandLineEmpty(" \t "));
  EXPECT_FALSE(IsCommandLineEmpty(" /S "));
}

TEST(IsInterfaceSelected, SelectsWholeEntriesOnly) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {",A,Ethernet,B", "Ethernet", true},
      {",Ethernet Adapter", "Ethernet", false},
      {",WAN Miniport", "Miniport", false},
      {",Adapter #2,Adapter", "Adapter", true},
      {",Ethernet", "ethernet", false},
      {"", "A", false},
      {",", "", true},
      {",A,B", "", false}};
  for (const auto& [list, description, selected] : cases)
    EXPECT_EQ(IsInterfaceSelected(list, description), selected) << list << " / " << description;
}

}  // namespace
}  // namespace trafimo
