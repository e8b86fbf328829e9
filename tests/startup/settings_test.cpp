#include <gtest/gtest.h>

#include "startup/globals.h"
#include "startup/startup.h"
#include "support/fakes.h"

namespace trafimo {
namespace {

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using testing::FakePlatform;

const std::string kSettingsKey(kSettingsSubKey), kRunKey(kRunSubKey), kRunName(kRunValueName);

std::string Stored(FakePlatform& fake, const char* name) {
  return fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, name);
}

TEST(LoadSettings, FirstRunWritesTheDefaultsAndTheInterfacesWithoutTheLoopback) {
  FakePlatform fake;
  fake.ifTable.rows = {
      {"Ethernet Adapter", 5, 6, 6, {}}, {"Loopback", 7, 8, 24, {}}, {"Wireless, 2", 0, 0, 71, {}}};
  Settings settings;
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(settings.Interface, ",Ethernet Adapter,Wireless, 2");
  std::string stored;
  for (const char* name : {"AlwaysRunInTray", "EnableFreeTimes", "Interface", "FromFreeTime",
                           "ToFreeTime", "MonthStartDay"}) {
    stored += Stored(fake, name) + ";";
    EXPECT_EQ(fake.registry.Get(kHkeyLocalMachine, kSettingsKey, name)->type, 2u) << name;
  }
  EXPECT_EQ(stored, "0;0;,Ethernet Adapter,Wireless, 2;2:0:0;7:59:59;1;");
  EXPECT_EQ(fake.registry.ValueCount(kHkeyLocalMachine, kSettingsKey), 6u);
  EXPECT_EQ(fake.registry.Get(kHkeyLocalMachine, kRunKey, kRunName), nullptr);
  EXPECT_EQ(fake.registry.openHandles(), 0);
}

TEST(LoadSettings, AStoredListIsUsedAsItIsAndOnlyAnEmptyOneIsBuiltAgain) {
  FakePlatform fake;
  fake.ifTable.rows = {{"Loopback", 0, 0, 24, {}}};
  Settings settings;
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(Stored(fake, "Interface"), "");
  fake.ifTable.rows.push_back({"eth0", 0, 0, 6, {}});
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(Stored(fake, "Interface"), ",eth0");
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
      {"1", true, 1},   {"true", false, 1}, {"-1", false, 1},  {"", false, 1},  {"28", false, 28},
      {"05", false, 5}, {"29", false, 1},   {"7.5", false, 1}, {"+3", false, 1}};
  for (const auto& [stored, flag, day] : cases) {
    FakePlatform fake;
    for (const char* name : {"AlwaysRunInTray", "EnableFreeTimes", "MonthStartDay"})
      fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, name, stored);
    fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "Interface", ",eth0");
    Settings settings{!flag, "", !flag, "", "", 99};
    LoadSettings(settings, fake.platform);
    EXPECT_EQ(settings.AlwaysRunInTray, flag) << '"' << stored << '"';
    EXPECT_EQ(settings.EnableFreeTimes, flag) << '"' << stored << '"';
    EXPECT_EQ(settings.MonthStartDay, day) << '"' << stored << '"';
  }
}

TEST(SaveSettings, WritesTheStartupEntryAndDeletesItAgain) {
  FakePlatform fake;
  fake.process.exePath = "C:\\Program Files\\Velquor\\trafimo.exe";
  Settings settings;
  settings.AlwaysRunInTray = true;
  settings.MonthStartDay = 12;
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.Get(kHkeyLocalMachine, kRunKey, kRunName)->type, platform::kRegExpandSz);
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kRunKey, kRunName),
            "\"C:\\Program Files\\Velquor\\trafimo\" /s");
  EXPECT_EQ(Stored(fake, "AlwaysRunInTray"), "1");
  EXPECT_EQ(Stored(fake, "MonthStartDay"), "12");
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
  EXPECT_EQ(fake.registry.ValueCount(kHkeyCurrentUser, kSettingsKey), 6u);
  EXPECT_EQ(fake.registry.Get(kHkeyCurrentUser, kSettingsKey, "Interface")->type, 2u);
  Settings next;
  LoadSettings(next, fake.platform);
  EXPECT_EQ(next.Interface, ",eth0");
  EXPECT_EQ(fake.ifTable.calls, 2) << "no second first run";

  settings.MonthStartDay = 15;
  settings.AlwaysRunInTray = true;
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.GetText(kHkeyCurrentUser, kSettingsKey, "MonthStartDay"), "15");
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
  EXPECT_EQ(Stored(fake, "MonthStartDay"), "15");
  EXPECT_EQ(fake.registry.openHandles(), 0);
}

// The first run counts each byte once: on a Windows 11 laptop the Wi-Fi, Ethernet and Bluetooth
// adapters, not their filter modules, WAN Miniports, tunnels or virtual adapters.
TEST(LoadSettings, AFirstRunSelectsTheRealAdaptersOfTheTable) {
  struct Case {
    const char* name;
    std::vector<testing::FakeRow> rows;
    bool hasIfTable2;
    const char* selected;
  };
  const std::vector<testing::FakeRow> laptop =
      testing::LoadIfTableFile("iftable-windows11-laptop.tsv");
  const Case cases[] = {
      {"laptop", laptop, true,
       ",Intel(R) Wi-Fi 6E AX211 160MHz,Realtek PCIe GbE Family Controller,Bluetooth Device "
       "(Personal Area Network)"},
      {"wine",
       {{"lo", 0, 0, 24, {}, false, false}, {"eth0", 0, 0, 6, {}}, {"wlan0", 0, 0, 71, {}}},
       true,
       ",eth0,wlan0"},
      {"mobile broadband", {{"LTE", 0, 0, 243, {}}, {"5G", 0, 0, 244, {}}}, true, ",LTE,5G"},
      {"no GetIfTable2",
       {{"lo", 0, 0, 24, {}, false, false}, {"Filter", 0, 0, 6, {}, true, false}},
       false,
       ",Filter"}};
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.ifTable.rows = c.rows;
    fake.ifTable.hasIfTable2 = c.hasIfTable2;
    Settings settings;
    LoadSettings(settings, fake.platform);
    EXPECT_EQ(settings.Interface, c.selected) << c.name;
  }
  ASSERT_GT(laptop.size(), 30u);
}

TEST(AppExePath, FolderBackslashAndNameWithoutExtension) {
  std::string paths;
  for (const char* path : {"C:\\My.Tools\\trafimo", "C:\\t.v2.exe", "\\\\server\\share\\t.EXE"})
    paths += AppExePath(path) + "|";
  EXPECT_EQ(paths, "C:\\My.Tools\\trafimo|C:\\t.v2|\\\\server\\share\\t|");
}

TEST(Startup, ASecondInstanceTellsTheUserAndEndsWithoutLoadingOrWriting) {
  FakePlatform fake;
  fake.ifTable.rows = {{"eth0", 0, 0, 6, {}}};
  Settings settings;
  EXPECT_THROW(RefuseSecondInstanceThenLoadSettings(true, settings, fake.platform),
               testing::ProcessEnded);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  const auto& [text, title, style, owner] = fake.messages.shown[0];
  EXPECT_EQ(text,
            "Velquor Trafimo is already running. \r\nWhen the program is running there will be an "
            "icon in the tray(near time) to display trafimo or to invoke the settings. ");
  EXPECT_EQ(title, "Velquor Trafimo");
  EXPECT_EQ(style, platform::kMbOk | platform::kMbIconInformation);
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
  EXPECT_NE(fake.messages.shown[0].text.find("notification-area window"), std::string::npos);
}

TEST(Startup, OnlyTheEmptinessOfTheCommandLineMatters) {
  EXPECT_TRUE(IsCommandLineEmpty("  "));
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
