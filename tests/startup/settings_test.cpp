#include <gtest/gtest.h>

#include "startup/globals.h"
#include "support/fakes.h"

namespace trafimo {
namespace {

using platform::kHkeyLocalMachine;
using testing::FakePlatform;

const std::string kSettingsKey(kSettingsSubKey);
const std::string kRunKey(kRunSubKey);
const std::string kRunName(kRunValueName);

TEST(LoadSettings, FirstRunWritesTheDefaultsAndTheInterfacesWithoutTheLoopback) {
  FakePlatform fake;
  fake.ifTable.rows = {
      {"Ethernet Adapter", 5, 6, 6, {}}, {"Loopback", 7, 8, 24, {}}, {"Wireless, 2", 0, 0, 71, {}}};
  Settings settings;
  LoadSettings(settings, fake.platform);

  EXPECT_EQ(settings.Interface, ",Ethernet Adapter,Wireless, 2");
  const std::pair<const char*, const char*> expected[] = {
      {"AlwaysRunInTray", "0"},
      {"EnableFreeTimes", "0"},
      {"Interface", ",Ethernet Adapter,Wireless, 2"},
      {"FromFreeTime", "2:0:0"},
      {"ToFreeTime", "7:59:59"},
      {"MonthStartDay", "1"}};
  for (const auto& [name, text] : expected) {
    const auto* value = fake.registry.Get(kHkeyLocalMachine, kSettingsKey, name);
    ASSERT_NE(value, nullptr) << name;
    EXPECT_EQ(value->type, platform::kRegExpandSz) << name;
    EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, name), text) << name;
  }
  EXPECT_EQ(fake.registry.ValueCount(kHkeyLocalMachine, kSettingsKey), 6u);
  EXPECT_EQ(fake.registry.Get(kHkeyLocalMachine, kRunKey, kRunName), nullptr);
  EXPECT_EQ(fake.registry.openHandles(), 0);
}

TEST(LoadSettings, AStoredListIsUsedWithoutReadingTheTableOrWriting) {
  FakePlatform fake;
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "Interface", ",eth0");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "FromFreeTime", "1:30:0");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "MonthStartDay", "15");
  fake.registry.readOnlyRoots.insert(kHkeyLocalMachine);  // any write would be refused
  Settings settings;
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(settings.Interface, ",eth0");
  EXPECT_EQ(settings.FromFreeTime, "1:30:0");
  EXPECT_EQ(settings.ToFreeTime, "7:59:59");
  EXPECT_EQ(settings.MonthStartDay, 15);
  EXPECT_EQ(fake.ifTable.calls, 0);
  EXPECT_EQ(fake.registry.ValueCount(kHkeyLocalMachine, kSettingsKey), 3u);
}

TEST(LoadSettings, OnlyALoopbackLeavesTheListEmptyAndItIsBuiltAgainNextTime) {
  FakePlatform fake;
  fake.ifTable.rows = {{"Loopback", 0, 0, 24, {}}};
  Settings settings;
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(settings.Interface, "");
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, "Interface"), "");
  fake.ifTable.rows.push_back({"eth0", 0, 0, 6, {}});
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, "Interface"), ",eth0");
}

TEST(LoadSettings, AnUnsupportedTableOnTheFirstRunEndsTheProgram) {
  FakePlatform fake;
  fake.ifTable.notSupported = true;
  Settings settings;
  EXPECT_THROW(LoadSettings(settings, fake.platform), testing::ProcessEnded);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "This software is not supported in this operating system");
}

struct StoredTextCase {
  const char* stored;
  bool enableFreeTimes;
  int monthStartDay;
  friend void PrintTo(const StoredTextCase& c, std::ostream* out) {
    *out << '"' << c.stored << '"';
  }
};

class StoredText : public ::testing::TestWithParam<StoredTextCase> {};

TEST_P(StoredText, OnlyOneIsTrueAndOnlyWholeDaysFrom1To28Count) {
  const StoredTextCase& c = GetParam();
  FakePlatform fake;
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "Interface", ",eth0");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "AlwaysRunInTray", c.stored);
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "EnableFreeTimes", c.stored);
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "MonthStartDay", c.stored);
  Settings settings;
  settings.EnableFreeTimes = !c.enableFreeTimes;
  settings.MonthStartDay = 99;
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(settings.AlwaysRunInTray, c.enableFreeTimes) << "'" << c.stored << "'";
  EXPECT_EQ(settings.EnableFreeTimes, c.enableFreeTimes) << "'" << c.stored << "'";
  EXPECT_EQ(settings.MonthStartDay, c.monthStartDay) << "'" << c.stored << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredText,
    ::testing::Values(StoredTextCase{"1", true, 1}, StoredTextCase{"0", false, 1},
                      StoredTextCase{"true", false, 1}, StoredTextCase{"-1", false, 1},
                      StoredTextCase{"", false, 1}, StoredTextCase{" 1", false, 1},
                      StoredTextCase{"28", false, 28}, StoredTextCase{"05", false, 5},
                      StoredTextCase{"29", false, 1}, StoredTextCase{"7.5", false, 1},
                      StoredTextCase{"+3", false, 1}, StoredTextCase{"300", false, 1}));

TEST(SaveSettings, WritesTheStartupEntryAndDeletesItAgain) {
  FakePlatform fake;
  fake.process.exePath = "C:\\Program Files\\Velquor\\trafimo.exe";
  Settings settings;
  settings.Interface = ",eth0";
  settings.AlwaysRunInTray = true;
  settings.MonthStartDay = 12;
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  const auto* entry = fake.registry.Get(kHkeyLocalMachine, kRunKey, kRunName);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->type, platform::kRegExpandSz);
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kRunKey, kRunName),
            "\"C:\\Program Files\\Velquor\\trafimo\" /s");
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, "AlwaysRunInTray"), "1");
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, "MonthStartDay"), "12");

  settings.AlwaysRunInTray = false;
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.Get(kHkeyLocalMachine, kRunKey, kRunName), nullptr);
  // Deleting an entry that is not there is harmless.
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.openHandles(), 0);
}

TEST(SaveSettings, ARefusedWriteIsReportedAndTheSettingsStayInMemory) {
  FakePlatform fake;
  fake.registry.readOnlyRoots.insert(kHkeyLocalMachine);
  fake.ifTable.rows = {{"eth0", 0, 0, 6, {}}};
  Settings settings;
  LoadSettings(settings, fake.platform);  // the first run's save is refused
  EXPECT_EQ(settings.Interface, ",eth0");
  EXPECT_FALSE(fake.registry.KeyExists(kHkeyLocalMachine, kSettingsKey));

  settings.AlwaysRunInTray = true;
  settings.FromFreeTime = "3:0:0";
  const SaveOutcome outcome = SaveSettings(settings, fake.platform);
  EXPECT_FALSE(outcome.settingsWritten);
  EXPECT_FALSE(outcome.startupEntryWritten);
  EXPECT_TRUE(settings.AlwaysRunInTray);
  EXPECT_EQ(settings.FromFreeTime, "3:0:0");
}

TEST(SaveSettings, OneFailingValueStillWritesTheOthers) {
  FakePlatform fake;
  fake.registry.failSetValues = 1;  // "AlwaysRunInTray", the first
  Settings settings;
  settings.Interface = ",eth0";
  const SaveOutcome outcome = SaveSettings(settings, fake.platform);
  EXPECT_FALSE(outcome.settingsWritten);
  EXPECT_TRUE(outcome.startupEntryWritten);
  EXPECT_EQ(fake.registry.ValueCount(kHkeyLocalMachine, kSettingsKey), 5u);
}

TEST(SaveSettings, ARefusedRemovalOfTheStartupEntryIsReported) {
  FakePlatform fake;
  fake.registry.PutText(kHkeyLocalMachine, kRunKey, kRunName, "\"C:\\x\" /s");
  fake.registry.readOnlyRoots.insert(kHkeyLocalMachine);
  Settings settings;
  EXPECT_FALSE(SaveSettings(settings, fake.platform).startupEntryWritten);
}

struct ExePathCase {
  const char* exePath;
  const char* expected;
  friend void PrintTo(const ExePathCase& c, std::ostream* out) { *out << c.exePath; }
};

class AppExePathCases : public ::testing::TestWithParam<ExePathCase> {};

TEST_P(AppExePathCases, FolderBackslashAndNameWithoutExtension) {
  EXPECT_EQ(AppExePath(GetParam().exePath), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AppExePathCases,
    ::testing::Values(ExePathCase{"C:\\Tools\\meter.exe", "C:\\Tools\\meter"},
                      ExePathCase{"C:\\My.Tools\\trafimo", "C:\\My.Tools\\trafimo"},
                      ExePathCase{"C:\\Tools\\trafimo.v2.exe", "C:\\Tools\\trafimo.v2"},
                      ExePathCase{"C:\\trafimo.exe", "C:\\trafimo"},
                      ExePathCase{"\\\\server\\share\\t.EXE", "\\\\server\\share\\t"}));

}  // namespace
}  // namespace trafimo
