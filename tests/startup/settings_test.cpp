// The start: loading and saving the settings (machine-wide, or per user where that is refused),
// the first run's interface selection, the start-up entry and the single-instance refusal.
#include <gtest/gtest.h>

#include "accounting/data_plan.h"
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

// The seven values under `root`, "name=value;" each.
std::string StoredSettings(FakePlatform& fake, platform::RegKeyHandle root = kHkeyLocalMachine) {
  std::string stored;
  for (const char* name : {"AlwaysRunInTray", "EnableFreeTimes", "Interface", "FromFreeTime",
                           "ToFreeTime", "MonthStartDay", "AutomaticInterfaces"})
    stored += std::string(name) + "=" + fake.registry.GetText(root, kSettingsKey, name) + ";";
  return stored;
}

// The first run counts each byte once: on a Windows 11 laptop the Wi-Fi, Ethernet and Bluetooth
// adapters, not their filter modules, WAN Miniports, tunnels or virtual adapters, nor a row
// without a description. It stores the list with the defaults, marked as its own choice.
TEST(LoadSettings, AFirstRunSelectsTheRealAdaptersAndStoresThemWithTheDefaults) {
  const std::tuple<std::vector<FakeRow>, bool, const char*> cases[] = {
      {testing::LoadIfTableFile("iftable-windows11-laptop.tsv"), true,
       ",Intel(R) Wi-Fi 6E AX211 160MHz,Realtek PCIe GbE Family Controller,Bluetooth Device "
       "(Personal Area Network)"},
      // Adapters of their own by their flags, left out by their kinds.
      {{{"lo", 0, 0, 24},
        {"Teredo", 0, 0, 131},
        {"PPP", 0, 0, 23},
        {"eth0"},
        {"eth0-Filter", 0, 0, 6, {}, true, true}},
       true,
       ",eth0"},
      // Without GetIfTable2 every row but the loopback, whatever its flags.
      {{{"lo", 0, 0, 24, {}, false, false}, {"Filter, 2", 0, 0, 6, {}, true, false}, {""}},
       false,
       ",Filter, 2"}};
  for (const auto& [rows, hasIfTable2, selected] : cases) {
    FakePlatform fake;
    fake.ifTable.rows = rows;
    fake.ifTable.hasIfTable2 = hasIfTable2;
    Settings settings;
    LoadSettings(settings, fake.platform);
    EXPECT_EQ(settings.Interface, selected);
    EXPECT_EQ(StoredSettings(fake),
              "AlwaysRunInTray=0;EnableFreeTimes=0;Interface=" + std::string(selected) +
                  ";FromFreeTime=2:0:0;ToFreeTime=7:59:59;MonthStartDay=1;AutomaticInterfaces=1;");
    EXPECT_TRUE(settings.AutomaticInterfaces);
  }
}

// Only "1" is true (a list stored without the automatic mark was chosen by hand); MonthStartDay
// takes whole numbers from 1 to 28, anything else as 1.
TEST(LoadSettings, ReadsFlagsAndTheMonthStartDay) {
  const std::tuple<const char*, bool, int> cases[] = {
      {"1", true, 1}, {"true", false, 1}, {"28", false, 28}, {"29", false, 1}};
  for (const auto& [stored, flag, day] : cases) {
    FakePlatform fake;
    for (const char* name :
         {"AlwaysRunInTray", "EnableFreeTimes", "MonthStartDay", "AutomaticInterfaces"})
      fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, name, stored);
    fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "Interface", ",eth0");
    Settings settings{!flag, "", !flag, "", "", 99, !flag};
    LoadSettings(settings, fake.platform);
    EXPECT_EQ(std::make_tuple(settings.AlwaysRunInTray, settings.EnableFreeTimes,
                              int{settings.MonthStartDay}, settings.Interface,
                              settings.AutomaticInterfaces),
              std::make_tuple(flag, flag, day, std::string(",eth0"), flag))
        << '"' << stored << '"';
  }
}

// The allowance is whole bytes up to 999999.99 GB and its warn-at a whole percent below 100;
// anything else reads as no allowance and 80. A save writes them back as read.
TEST(LoadSettings, ReadsTheAllowanceAndItsWarnAtAndSavesThem) {
  const std::string largest = std::to_string(kLargestAllowance);
  const std::tuple<std::string, std::uint64_t, const char*, int> cases[] = {
      {"53687091200", 53687091200, "90", 90},
      {"0", 0, "0", 0},
      {"-1", 0, "100", 80},
      {"12.5", 0, "8.5", 80},
      {largest, kLargestAllowance, "99", 99},
      {largest + "0", 0, "", 80},
      {" 5", 0, "x", 80}};
  for (const auto& [allowance, bytes, warnAt, percent] : cases) {
    FakePlatform fake;
    fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "Interface", ",eth0");
    fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "MonthlyAllowance", allowance);
    fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "AllowanceWarnAt", warnAt);
    Settings settings;
    LoadSettings(settings, fake.platform);
    EXPECT_EQ(settings.MonthlyAllowance, bytes) << allowance;
    EXPECT_EQ(settings.AllowanceWarnAt, percent) << warnAt;
    SaveSettings(settings, fake.platform);
    EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, "MonthlyAllowance") + " " +
                  fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, "AllowanceWarnAt"),
              std::to_string(bytes) + " " + std::to_string(percent));
  }
}

TEST(SaveSettings, WritesTheSettingsAndTheStartupEntryAndDeletesItAgain) {
  FakePlatform fake;
  fake.process.exePath = "C:\\Program Files\\Velquor\\trafimo.exe";
  Settings settings{true, ",eth0", true, "1:0:0", "2:0:0", 12, false};
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kRunKey, kRunName),
            "\"C:\\Program Files\\Velquor\\trafimo\" /s");
  EXPECT_EQ(StoredSettings(fake),
            "AlwaysRunInTray=1;EnableFreeTimes=1;Interface=,eth0;"
            "FromFreeTime=1:0:0;ToFreeTime=2:0:0;MonthStartDay=12;AutomaticInterfaces=0;");
  settings.AlwaysRunInTray = false;
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.Get(kHkeyLocalMachine, kRunKey, kRunName), nullptr);
}

// A standard user: HKEY_LOCAL_MACHINE refuses every write, so the first run's save goes per user
// and the next start reads it back instead of running a first run again.
TEST(SaveSettings, WhereTheMachineWideKeyIsRefusedTheSettingsGoPerUser) {
  FakePlatform fake;
  fake.registry.readOnlyRoots.insert(kHkeyLocalMachine);
  fake.ifTable.rows = {{"eth0"}};
  Settings settings;
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(StoredSettings(fake, kHkeyCurrentUser),
            "AlwaysRunInTray=0;EnableFreeTimes=0;Interface=,eth0;FromFreeTime=2:0:0;"
            "ToFreeTime=7:59:59;MonthStartDay=1;AutomaticInterfaces=1;");
  fake.ifTable.rows.push_back({"wlan0", 0, 0, 71});
  Settings next;
  LoadSettings(next, fake.platform);
  EXPECT_EQ(next.Interface, ",eth0");
}

// The per-user copy is read first, then the machine-wide key; a machine-wide save removes it.
TEST(SaveSettings, APerUserCopyIsReadFirstAndAMachineWideSaveRemovesIt) {
  FakePlatform fake;
  fake.registry.PutText(kHkeyCurrentUser, kSettingsKey, "MonthStartDay", "15");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "MonthStartDay", "3");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "FromFreeTime", "1:30:0");
  fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "Interface", ",eth0");
  Settings settings;
  LoadSettings(settings, fake.platform);
  EXPECT_EQ(settings.MonthStartDay, 15) << "the per-user copy comes first";
  EXPECT_EQ(settings.FromFreeTime, "1:30:0") << "then the machine-wide key";
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_FALSE(fake.registry.KeyExists(kHkeyCurrentUser, kSettingsKey));
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, "MonthStartDay"), "15");
}

// "/export FILE" in any letter case, the file quoted or the rest of the line.
TEST(Startup, AnExportCommandLineNamesItsFile) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"/export C:\\u.csv", "C:\\u.csv"},
      {" /EXPORT  \"C:\\My Files\\u.csv\"  ", "C:\\My Files\\u.csv"},
      {"/Export D:\\a b.csv ", "D:\\a b.csv"},
      {"/export", ""},
      {"/exported x", std::nullopt},
      {"/s", std::nullopt}};
  for (const auto& [line, path] : cases)
    EXPECT_EQ(ExportPathOf(line), path) << line;
}

TEST(Startup, TheMutexSaysAnotherInstanceRunsWhenItExistsOrIsDenied) {
  const std::pair<std::uint32_t, bool> cases[] = {
      {0, false}, {183, true}, {platform::kErrorAccessDenied, true}, {6, false}};
  for (const auto& [error, another] : cases)
    EXPECT_EQ(MutexErrorMeansAnotherInstance(error), another) << error;
}

// Without its notification-area window the program would hold the mutex with no way out.
TEST(Startup, WithoutItsTrayWindowTheProgramSaysSoAndEnds) {
  FakePlatform fake;
  EXPECT_THROW(EndForLackOfTrayWindow(fake.platform), testing::ProcessEnded);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].title, "Velquor Trafimo");
  EXPECT_NE(fake.messages.shown[0].text.find("notification-area window"), std::string::npos);
}

}  // namespace
}  // namespace trafimo
