#include "tray/frm_tray_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform_win.h"
#include "support/fakes.h"
#include "tray/browser_switches.h"
#include "tray/ie_switches_snapshot_win.h"
#include "tray/tray_ids.h"

namespace trafimo::win {
namespace {

using testing::FakePlatform;

struct Ended {};

// Records the end of the process and leaves the window procedure by an exception.
class RecordingProcess : public platform::Process {
 public:
  int ends = 0;
  [[noreturn]] void EndNow() override {
    ++ends;
    throw Ended{};
  }
  std::string ExePath() override { return "C:\\Tools\\trafimo.exe"; }
};

// The per-user store in the registry, counting the writes the program makes.
class CountingStore : public platform::RegistryUserStore {
 public:
  using RegistryUserStore::RegistryUserStore;
  int writes = 0;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    ++writes;
    return RegistryUserStore::Write(section, key, value);
  }
};

struct SummaryCall {
  std::string now, today, month;
  int seconds;
  bool hold;
};

bool IsChecked(HMENU menu, UINT command) {
  return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// Whether the shell knows the icon of (window, 1): modifying an unknown icon fails.
bool IconPresent(HWND window) {
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = 1;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The tip field as the shell receives it: the text up to the NUL.
std::string TipOf(const NOTIFYICONDATAA& record) {
  return std::string(record.szTip);
}

// The tray window on Wine's registry (per-user store and browser switches) with a scripted
// interface table and clock.
class TrayWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    userStore.EraseAll();
    settings.Interface = ",eth";
    fake.ifTable.rows = {{"eth", 1000, 500, 6, {}}};
  }
  void TearDown() override {
    tray.reset();
    userStore.EraseAll();
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  void Store(const char* section, const char* key, const std::string& value) {
    userStore.RegistryUserStore::Write(section, key, value);
  }
  std::string Stored(const char* section, const char* key) {
    return userStore.Read(section, key, "<missing>");
  }
  std::string MonthKey() { return TrafficAccounting(platform, settings, flags).RegKey(); }
  void Load() {
    tray = std::make_unique<frmTray>();
    ASSERT_TRUE(tray->Load(context));
  }
  HMENU Menu() { return tray->TrayMenu(); }
  LRESULT Command(UINT command) {
    return SendMessageA(tray->hwnd(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
  }
  void Notify(UINT mouseEvent) { SendMessageA(tray->hwnd(), WM_MOUSEMOVE, 0, mouseEvent); }
  void Tick() { SendMessageA(tray->hwnd(), WM_TIMER, 1, 0); }

  testing::IESwitchesSnapshot browserSwitches;
  FakePlatform fake;
  Win32Registry registry;
  CountingStore userStore{registry};
  RecordingProcess process;
  platform::Platform platform{registry,    userStore,     fake.ifTable, fake.clock,
                              fake.locale, fake.messages, process,      fake.shell};
  Settings settings;
  SharedFlags flags;
  std::vector<SummaryCall> summaries;
  std::vector<std::vector<std::string>> refreshes;
  std::vector<std::string> opened;
  AppContext context{
      platform,
      settings,
      flags,
      nullptr,
      nullptr,
      nullptr,
      [this](const std::string& a, const std::string& b, const std::string& c, int s, bool h) {
        summaries.push_back({a, b, c, s, h});
      },
      [this](const std::string& a, const std::string& b, const std::string& c) {
        refreshes.push_back({a, b, c});
      },
      [] { return false; },
      [this] { opened.push_back("settings"); },
      [this] { opened.push_back("monthly"); },
      [this] { opened.push_back("about"); }};
  std::unique_ptr<frmTray> tray;
};

struct LoadCase {
  const char* showMode;  // nullptr: not stored
  const char* level;     // nullptr: not stored
  const char* visible;   // nullptr: not stored
  bool kbChecked, mbChecked;
  int transLevel;
  bool summaryShown;
};

class TrayLoad : public TrayWindow, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(TrayLoad, ReadsTheStoredDisplayChoices) {
  const LoadCase& c = GetParam();
  if (c.showMode) Store("Settings", "ShowMode", c.showMode);
  if (c.level) Store("Transparency", "TransLevel", c.level);
  if (c.visible) Store("screen", "visible", c.visible);
  Store("Settings", "ClickThough", "1");
  flags.ClickThrough = true;
  Load();

  EXPECT_EQ(IsChecked(Menu(), IDM_TRAY_SHOW_MODE_1), c.kbChecked);
  EXPECT_EQ(IsChecked(Menu(), IDM_TRAY_SHOW_MODE_2), c.mbChecked);
  EXPECT_EQ(flags.TransLevel, c.transLevel);
  EXPECT_FALSE(flags.ClickThrough);
  EXPECT_FALSE(IsChecked(Menu(), IDM_TRAY_SET_CLICK_THROUGH));
  const char* unit = c.kbChecked ? "0 KB" : "0.00 MB";
  if (c.summaryShown) {
    ASSERT_EQ(summaries.size(), 1u);
    EXPECT_EQ(summaries[0].now, unit);
    EXPECT_EQ(summaries[0].seconds, 5);
    EXPECT_TRUE(summaries[0].hold);
  } else {
    EXPECT_TRUE(summaries.empty());
  }
  // Loading writes none of the display choices.
  EXPECT_EQ(Stored("Settings", "ClickThough"), "1");
  EXPECT_EQ(Stored("Settings", "ShowMode"), c.showMode ? c.showMode : "<missing>");
  EXPECT_EQ(Stored("Transparency", "TransLevel"), c.level ? c.level : "<missing>");
}

INSTANTIATE_TEST_SUITE_P(Stored, TrayLoad,
                         ::testing::Values(LoadCase{nullptr, nullptr, nullptr, false, true, 0,
                                                    true},
                                           LoadCase{"1", "3", "False", true, false, 3, false},
                                           LoadCase{"2", "5", "True", false, true, 5, true},
                                           LoadCase{"1", "0", "0", true, false, 0, false},
                                           // values the menu never stores: MB, opaque
                                           LoadCase{"3", "6", "True", false, true, 0, true},
                                           LoadCase{"abc", "x", "maybe", false, true, 0, true},
                                           LoadCase{"0", "-1", "", false, true, 0, true}));

TEST_F(TrayWindow, LoadTakesTheCountersFromTheRecords) {
  Store(MonthKey().c_str(), "IN", "3000");
  Store(MonthKey().c_str(), "OUT", "1000");
  Store("Today", "IN", "700");
  Store("Today", "OUT", "300");
  Store("DateToday", "DateToday", TrafficAccounting(platform, settings, flags).GetDateToday());
  Store("Settings", "ShowMode", "1");
  Load();
  EXPECT_EQ(tray->accounting().CostThisMonth.Total, 4000);
  EXPECT_EQ(tray->accounting().CostToday.Total, 1000);
  ASSERT_EQ(summaries.size(), 1u);
  EXPECT_EQ(summaries[0].today, "1 KB");
  EXPECT_EQ(summaries[0].month, "4 KB");
  EXPECT_EQ(context.accounting, &tray->accounting());
  EXPECT_EQ(context.trayWindow, tray->hwnd());
  EXPECT_NE(context.appIcon, nullptr);
}

TEST_F(TrayWindow, HiddenWindowCaptionedTray) {
  Load();
  char caption[32] = {};
  GetWindowTextA(tray->hwnd(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Tray");
  EXPECT_FALSE(IsWindowVisible(tray->hwnd()));
}

TEST_F(TrayWindow, IconRecordAsAdded) {
  Load();
  const NOTIFYICONDATAA& record = tray->IconRecord();
  EXPECT_TRUE(IconPresent(tray->hwnd()));
  EXPECT_EQ(record.cbSize, NOTIFYICONDATAA_V1_SIZE);
  EXPECT_EQ(record.cbSize, sizeof(void*) == 8 ? 104u : 88u);
  EXPECT_EQ(record.hWnd, tray->hwnd());
  EXPECT_EQ(record.uID, 1u);
  EXPECT_EQ(record.uFlags, 7u);
  EXPECT_EQ(record.uCallbackMessage, 0x0200u);
  EXPECT_EQ(std::string(record.szTip, 8), std::string("Trafimo\0", 8));
  EXPECT_EQ(std::string(record.szTip + 8, 56), std::string(56, ' '));

  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(record.hIcon, &info));
  BITMAP mask{};
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmWidth, GetSystemMetrics(SM_CXSMICON));
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
}

TEST_F(TrayWindow, TicksWriteTheTipInTheChosenUnitAndRefreshOpenMeters) {
  Load();
  Tick();  // the baseline
  EXPECT_EQ(TipOf(tray->IconRecord()), "Current - 0.00 MB");
  EXPECT_TRUE(refreshes.empty());

  fake.ifTable.rows[0].inOctets += 3 * 1048576;
  flags.MeterWindowOpen = true;
  Tick();
  EXPECT_EQ(TipOf(tray->IconRecord()), "Current - 3.00 MB");
  ASSERT_EQ(refreshes.size(), 1u);
  EXPECT_EQ(refreshes[0], (std::vector<std::string>{"3.00 MB", "3.00 MB", "3.00 MB"}));

  Command(IDM_TRAY_SHOW_MODE_1);
  Tick();
  EXPECT_EQ(TipOf(tray->IconRecord()), "Current - 3,072 KB");
  EXPECT_EQ(tray->IconRecord().uFlags, 7u);
}

TEST_F(TrayWindow, LeftReleaseShowsTheSummaryAndOtherMouseEventsDoNothing) {
  Store("screen", "visible", "False");
  Load();
  for (const UINT ignored : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK,
                             WM_MBUTTONUP, WM_RBUTTONDBLCLK})
    Notify(ignored);
  EXPECT_TRUE(summaries.empty());
  Notify(WM_LBUTTONUP);
  Notify(WM_LBUTTONUP);
  ASSERT_EQ(summaries.size(), 2u);
  EXPECT_EQ(summaries[1].now, "0.00 MB");
  EXPECT_EQ(summaries[1].seconds, 5);
  EXPECT_FALSE(summaries[1].hold);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

TEST_F(TrayWindow, RightReleaseSetsTheChecksBeforeTheMenuOpens) {
  Store("screen", "visible", "False");
  Load();
  SetIEImages(registry, true);
  SetIEFlash(registry, false);  // the compatibility key exists: Flash off
  flags.TransLevel = 4;
  flags.ClickThrough = true;
  SetTimer(nullptr, 0, 100, &CloseMenu);
  Notify(WM_RBUTTONUP);

  EXPECT_TRUE(IsChecked(Menu(), IDM_TRAY_ENABLE_IE_IMAGES));
  EXPECT_FALSE(IsChecked(Menu(), IDM_TRAY_ENABLE_IE_FLASH));
  for (UINT level = 0; level <= 5; ++level)
    EXPECT_EQ(IsChecked(Menu(), IDM_TRAY_TRANSPARENCY_LEVEL_0 + level), level == 4) << level;
  EXPECT_TRUE(IsChecked(Menu(), IDM_TRAY_SET_CLICK_THROUGH));
  EXPECT_EQ(GetMenuDefaultItem(Menu(), FALSE, 0), static_cast<UINT>(IDM_TRAY_EXIT));

  SetIEImages(registry, false);
  SetIEFlash(registry, true);
  flags.TransLevel = 0;
  SetTimer(nullptr, 0, 100, &CloseMenu);
  Notify(WM_RBUTTONUP);
  EXPECT_FALSE(IsChecked(Menu(), IDM_TRAY_ENABLE_IE_IMAGES));
  EXPECT_TRUE(IsChecked(Menu(), IDM_TRAY_ENABLE_IE_FLASH));
  EXPECT_TRUE(IsChecked(Menu(), IDM_TRAY_TRANSPARENCY_LEVEL_0));
  EXPECT_FALSE(IsChecked(Menu(), IDM_TRAY_TRANSPARENCY_LEVEL_4));
}

TEST_F(TrayWindow, MenuHoldsEveryItemInOrder) {
  Load();
  struct Item {
    const char* caption;  // nullptr: separator
    UINT command;
  };
  const std::vector<Item> top = {
      {"&About Velquor Trafimo", IDM_TRAY_ABOUT},
      {nullptr, 0},
      {"Settings...", IDM_TRAY_SETTINGS},
      {"&Monthly Totals ...", IDM_TRAY_MONTHLY_USAGE},
      {nullptr, 0},
      {"Make form ClickThrough (Win 2K & WinXP)", IDM_TRAY_SET_CLICK_THROUGH},
      {"Set Transparency (Win 2K & WinXP)", 0},
      {nullptr, 0},
      {"Show in KiloBytes (KB)", IDM_TRAY_SHOW_MODE_1},
      {"Show in MegaBytes (MB)", IDM_TRAY_SHOW_MODE_2},
      {nullptr, 0},
      {"Enable IE Flash", IDM_TRAY_ENABLE_IE_FLASH},
      {"Enable IE Images", IDM_TRAY_ENABLE_IE_IMAGES},
      {nullptr, 0},
      {"E&xit", IDM_TRAY_EXIT}};
  const std::vector<Item> levels = {
      {"Normal", IDM_TRAY_TRANSPARENCY_LEVEL_0},  {"Level 1", IDM_TRAY_TRANSPARENCY_LEVEL_1},
      {"Level 2", IDM_TRAY_TRANSPARENCY_LEVEL_2}, {"Level 3", IDM_TRAY_TRANSPARENCY_LEVEL_3},
      {"Level 4", IDM_TRAY_TRANSPARENCY_LEVEL_4}, {"Level 5", IDM_TRAY_TRANSPARENCY_LEVEL_5}};
  const auto check = [](HMENU menu, const std::vector<Item>& items) {
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size()));
    for (UINT i = 0; i < items.size(); ++i) {
      MENUITEMINFOA info{};
      char text[128] = {};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU;
      info.dwTypeData = text;
      info.cch = sizeof text;
      ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &info));
      if (items[i].caption == nullptr) {
        EXPECT_TRUE(info.fType & MFT_SEPARATOR) << i;
        continue;
      }
      EXPECT_STREQ(text, items[i].caption);
      if (info.hSubMenu == nullptr) {
        EXPECT_EQ(info.wID, items[i].command) << text;
      }
      EXPECT_EQ(info.fState & (MFS_DISABLED | MFS_GRAYED), 0u) << text;
    }
  };
  check(Menu(), top);
  check(GetSubMenu(Menu(), 6), levels);
}

TEST_F(TrayWindow, ClickThroughTogglesCheckFlagAndStore) {
  Load();
  for (const bool expected : {true, false, true}) {
    Command(IDM_TRAY_SET_CLICK_THROUGH);
    EXPECT_EQ(IsChecked(Menu(), IDM_TRAY_SET_CLICK_THROUGH), expected);
    EXPECT_EQ(flags.ClickThrough, expected);
    EXPECT_EQ(Stored("Settings", "ClickThough"), expected ? "1" : "0");
  }
}

TEST_F(TrayWindow, TransparencyLevelsStoreTheLevelAndLeaveTheChecks) {
  Load();
  for (UINT level : {3u, 0u, 5u, 1u, 2u, 4u}) {
    Command(IDM_TRAY_TRANSPARENCY_LEVEL_0 + level);
    EXPECT_EQ(flags.TransLevel, level);
    EXPECT_EQ(Stored("Transparency", "TransLevel"), std::to_string(level));
    for (UINT other = 0; other <= 5; ++other)
      EXPECT_FALSE(IsChecked(Menu(), IDM_TRAY_TRANSPARENCY_LEVEL_0 + other));
  }
}

TEST_F(TrayWindow, UnitsSwitchTheCheckTheFormattingAndTheStore) {
  Load();
  Command(IDM_TRAY_SHOW_MODE_1);
  EXPECT_TRUE(IsChecked(Menu(), IDM_TRAY_SHOW_MODE_1));
  EXPECT_FALSE(IsChecked(Menu(), IDM_TRAY_SHOW_MODE_2));
  EXPECT_EQ(Stored("Settings", "ShowMode"), "1");
  EXPECT_EQ(tray->accounting().FormatBytes(2048), "2 KB");
  Command(IDM_TRAY_SHOW_MODE_2);
  EXPECT_FALSE(IsChecked(Menu(), IDM_TRAY_SHOW_MODE_1));
  EXPECT_TRUE(IsChecked(Menu(), IDM_TRAY_SHOW_MODE_2));
  EXPECT_EQ(Stored("Settings", "ShowMode"), "2");
  EXPECT_EQ(tray->accounting().FormatBytes(2 * 1048576), "2.00 MB");
}

TEST_F(TrayWindow, BrowserSwitchesInvertTheCheckAndWriteTheRegistry) {
  using testing::IESwitchesSnapshot;
  const auto imagesText = [] {
    const auto value = testing::ReadRawValue(HKEY_CURRENT_USER, IESwitchesSnapshot::kMain,
                                             IESwitchesSnapshot::kImages);
    return value ? std::string(value->data.begin(), value->data.end()).c_str()
                 : std::string("<missing>");
  };
  const auto flashKeyExists = [] {
    return testing::RegKeyExists(HKEY_LOCAL_MACHINE, IESwitchesSnapshot::kFlash);
  };
  Load();
  for (const bool expected : {true, false, true}) {
    Command(IDM_TRAY_ENABLE_IE_IMAGES);
    EXPECT_EQ(IsChecked(Menu(), IDM_TRAY_ENABLE_IE_IMAGES), expected);
    EXPECT_EQ(imagesText(), expected ? "yes" : "no");
  }
  // Unchecked before: the first click switches Flash on, which deletes an absent key.
  for (const bool expected : {true, false, true}) {
    Command(IDM_TRAY_ENABLE_IE_FLASH);
    EXPECT_EQ(IsChecked(Menu(), IDM_TRAY_ENABLE_IE_FLASH), expected);
    EXPECT_EQ(flashKeyExists(), !expected);
  }
}

TEST_F(TrayWindow, WindowCommandsOpenTheirWindows) {
  Load();
  Command(IDM_TRAY_ABOUT);
  Command(IDM_TRAY_SETTINGS);
  Command(IDM_TRAY_MONTHLY_USAGE);
  EXPECT_EQ(opened, (std::vector<std::string>{"about", "settings", "monthly"}));
}

TEST_F(TrayWindow, ExitRemovesTheIconAndEndsWithoutWriting) {
  Load();
  Tick();
  const int writes = userStore.writes;
  ASSERT_TRUE(IconPresent(tray->hwnd()));
  Command(IDM_TRAY_EXIT);
  EXPECT_EQ(process.ends, 1);
  EXPECT_FALSE(IconPresent(tray->hwnd()));
  EXPECT_EQ(userStore.writes, writes);
  EXPECT_TRUE(opened.empty());
}

TEST_F(TrayWindow, CloseBySystemRemovesTheIcon) {
  Load();
  const HWND window = tray->hwnd();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IconPresent(window));
  EXPECT_EQ(process.ends, 0);
}

TEST_F(TrayWindow, ShellRestartAddsTheIconAgain) {
  Load();
  NOTIFYICONDATAA record = tray->IconRecord();
  Shell_NotifyIconA(NIM_DELETE, &record);  // as a restarted shell has forgotten it
  ASSERT_FALSE(IconPresent(tray->hwnd()));
  SendMessageA(tray->hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(IconPresent(tray->hwnd()));
}

}  // namespace
}  // namespace trafimo::win
