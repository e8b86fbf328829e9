#include <gtest/gtest.h>

#include "startup/globals.h"
#include "startup/startup.h"
#include "support/fakes.h"

namespace trafimo {
namespace {

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

TEST(SaveSettings, RefusedWritesAreReportedAndTheSettingsStayInMemory) {
  FakePlatform fake;
  fake.registry.PutText(kHkeyLocalMachine, kRunKey, kRunName, "\"C:\\x\" /s");
  fake.registry.readOnlyRoots.insert(kHkeyLocalMachine);
  fake.ifTable.rows = {{"eth0", 0, 0, 6, {}}};
  Settings settings;
  LoadSettings(settings, fake.platform);  // the first run's save is refused
  EXPECT_EQ(settings.Interface, ",eth0");
  EXPECT_FALSE(fake.registry.KeyExists(kHkeyLocalMachine, kSettingsKey));
  settings.FromFreeTime = "3:0:0";
  const SaveOutcome outcome = SaveSettings(settings, fake.platform);
  EXPECT_FALSE(outcome.settingsWritten);
  EXPECT_FALSE(outcome.startupEntryWritten);  // the entry could not be removed
  EXPECT_EQ(settings.FromFreeTime, "3:0:0");
  // One failing value still lets the others through.
  fake.registry.readOnlyRoots.clear();
  fake.registry.failSetValues = 1;
  EXPECT_FALSE(SaveSettings(settings, fake.platform).settingsWritten);
  EXPECT_EQ(fake.registry.ValueCount(kHkeyLocalMachine, kSettingsKey), 5u);
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
