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

// The seven values stored machine-wide, "name=value;" each.
std::string StoredSettings(FakePlatform& fake) {
  std::string stored;
  for (const char* name : {"AlwaysRunInTray", "EnableFreeTimes", "Interface", "FromFreeTime",
                           "ToFreeTime", "MonthStartDay", "AutomaticInterfaces"})
    stored += name + ("=" + fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, name)) + ";";
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

// Each value reads as what is stored, or as its default where that is no value of its kind: only
// "1" is true (a list stored without the automatic mark was chosen by hand), MonthStartDay is a
// whole number from 1 to 28, the allowance whole bytes up to 999999.99 GB (else none) and its
// warn-at a whole percent below 100 (else 80). A save writes back what was read.
TEST(LoadSettings, ReadsEachValueOrItsDefaultAndSavesItBack) {
  const std::string largest = std::to_string(kLargestAllowance);
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"AlwaysRunInTray", "1", "1"},
      {"AlwaysRunInTray", "true", "0"},
      {"EnableFreeTimes", "1", "1"},
      {"EnableFreeTimes", "true", "0"},
      {"AutomaticInterfaces", "1", "1"},
      {"AutomaticInterfaces", "true", "0"},
      {"FromFreeTime", "1:0:0", "1:0:0"},
      {"ToFreeTime", "", "7:59:59"},
      {"MonthStartDay", "28", "28"},
      {"MonthStartDay", "29", "1"},
      {"MonthlyAllowance", "53687091200", "53687091200"},
      {"MonthlyAllowance", "-1", "0"},
      {"MonthlyAllowance", "12.5", "0"},
      {"MonthlyAllowance", largest, largest},
      {"MonthlyAllowance", largest + "0", "0"},
      {"MonthlyAllowance", " 5", "0"},
      {"AllowanceWarnAt", "0", "0"},
      {"AllowanceWarnAt", "99", "99"},
      {"AllowanceWarnAt", "100", "80"},
      {"AllowanceWarnAt", "8.5", "80"}};
  for (const auto& [name, stored, read] : cases) {
    FakePlatform fake;
    fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, "Interface", ",eth0");
    fake.registry.PutText(kHkeyLocalMachine, kSettingsKey, name, stored);
    Settings settings{true, "", true, "", "", 99, true, 1, 1};  // none of what is read
    LoadSettings(settings, fake.platform);
    SaveSettings(settings, fake.platform);
    EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kSettingsKey, name), read)
        << name << " \"" << stored << '"';
  }
}

TEST(SaveSettings, WritesTheStartupEntryAndDeletesItAgain) {
  FakePlatform fake;
  Settings settings{.AlwaysRunInTray = true, .Interface = ",eth0"};
  EXPECT_TRUE(SaveSettings(settings, fake.platform).ok());
  EXPECT_EQ(fake.registry.GetText(kHkeyLocalMachine, kRunKey, kRunName),
            "\"C:\\Tools\\trafimo\" /s");
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
  EXPECT_EQ(fake.registry.GetText(kHkeyCurrentUser, kSettingsKey, "Interface"), ",eth0");
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
