// The tray window and the browser switches, on the Wine prefix's own registry.
#include "tray/frm_tray_win.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/platform_win.h"
#include "support/fakes.h"
#include "tray/browser_switches.h"
#include "tray/tray_ids.h"

namespace trafimo::win {
namespace {

const std::string kMain(kIEMainSubKey), kImages(kIEImagesValue), kFlash(kIEFlashSubKey),
    kFlags(kIEFlashFlagsValue);

struct RawValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};

std::optional<RawValue> ReadRaw(HKEY root, const std::string& subKey, const std::string& name) {
  RawValue value{0, std::vector<BYTE>(1024)};
  DWORD size = 1024;
  if (RegGetValueA(root, subKey.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                   value.data.data(), &size) != ERROR_SUCCESS)
    return {};
  value.data.resize(size);
  return value;
}

bool KeyExists(HKEY root, const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Both switches as a fresh prefix has them, before and after each test: no images value, no
// Flash key.
struct BrowserSwitchesCleared {
  BrowserSwitchesCleared() { Clear(); }
  ~BrowserSwitchesCleared() { Clear(); }
  static void Clear() {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kMain.c_str(), kImages.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFlash.c_str());
  }
};

// The real registry, noting the data lengths given for the images value: Windows stores a NUL
// that follows the data in a string value whether or not the writer counted it.
class ImagesLengthRegistry : public Win32Registry {
 public:
  std::vector<std::uint32_t> imagesSizes;
  long SetValue(platform::RegKeyHandle key, std::string_view valueName, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override {
    if (valueName == kImages) imagesSizes.push_back(size);
    return Win32Registry::SetValue(key, valueName, type, data, size);
  }
};

// Counts the ends of the process; the stand-in leaves the window procedure by an exception.
struct RecordingProcess : testing::FakeProcess {
  int ends = 0;
  [[noreturn]] void EndNow() override {
    ++ends;
    FakeProcess::EndNow();
  }
};

// The per-user store in the registry, counting the writes the program makes.
struct CountingStore : platform::RegistryUserStore {
  using RegistryUserStore::RegistryUserStore;
  int writes = 0;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    ++writes;
    return RegistryUserStore::Write(section, key, value);
  }
};

// Whether the shell knows the icon of (window, 1): modifying an unknown icon fails.
bool IconPresent(HWND window) {
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = 1;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
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

  void Store(const char* section, const char* key, const char* value) {
    if (value) userStore.RegistryUserStore::Write(section, key, value);
  }
  std::string Stored(const char* section, const char* key) {
    return userStore.Read(section, key, "<missing>");
  }
  void Load() {
    tray = std::make_unique<frmTray>();
    ASSERT_TRUE(tray->Load(context));
  }
  bool IsChecked(UINT command) {
    return (GetMenuState(tray->TrayMenu(), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  void Command(UINT command) { SendMessageA(tray->hwnd(), WM_COMMAND, MAKEWPARAM(command, 0), 0); }
  void Notify(UINT mouseEvent) { SendMessageA(tray->hwnd(), WM_MOUSEMOVE, 0, mouseEvent); }
  void Tick() { SendMessageA(tray->hwnd(), WM_TIMER, 1, 0); }

  BrowserSwitchesCleared cleared;
  ImagesLengthRegistry registry;
  testing::FakePlatform fake;
  CountingStore userStore{registry};
  RecordingProcess process;
  platform::Platform platform{registry,    userStore,     fake.ifTable, fake.clock,
                              fake.locale, fake.messages, process,      fake.shell};
  Settings settings;
  SharedFlags flags;
  std::vector<std::string> summaries, refreshes, opened;
  // Each summary as one line: the three totals, then the seconds and whether the window holds.
  AppContext context{
      platform,
      settings,
      flags,
      nullptr,
      nullptr,
      nullptr,
      [this](const std::string& a, const std::string& b, const std::string& c, int s, bool h) {
        summaries.push_back(a + "|" + b + "|" + c + "|" + std::to_string(s) + (h ? "|hold" : ""));
      },
      [this](const std::string& a, const std::string& b, const std::string& c) {
        refreshes.push_back(a + "|" + b + "|" + c);
      },
      [] { return false; },
      [this] { opened.push_back("settings"); },
      [this] { opened.push_back("monthly"); },
      [this] { opened.push_back("about"); }};
  std::unique_ptr<frmTray> tray;
};

TEST_F(TrayWindow, ImagesSwitchOnOnlyForYesInAnyCase) {
  const std::vector<std::pair<std::optional<std::string>, bool>> cases = {
      {std::string("Yes\0", 4), true}, {std::string("YES\0", 4), true},
      {std::string("yes"), true},      {std::string("No\0", 3), false},
      {std::string("1\0", 2), false},  {std::string("\0", 1), false},
      {std::string(), false},          {std::nullopt, false}};
  for (const auto& [stored, on] : cases) {
    BrowserSwitchesCleared::Clear();
    if (stored)
      RegSetKeyValueA(HKEY_CURRENT_USER, kMain.c_str(), kImages.c_str(), REG_SZ, stored->data(),
                      static_cast<DWORD>(stored->size()));
    EXPECT_EQ(GetIEImages(registry), on) << stored.value_or("<none>");
  }
}

TEST_F(TrayWindow, ExistingFlashKeyReadsOffAndIsLeftUnchanged) {
  const DWORD other = 1;
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kFlash.c_str(), kFlags.c_str(), REG_DWORD, &other, 4);
  EXPECT_FALSE(GetIEFlash(registry));
  SetIEFlash(registry, false);
  EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, kFlash, kFlags)->data, (std::vector<BYTE>{1, 0, 0, 0}));
}

struct LoadCase {
  const char* name;
  const char* showMode;  // nullptr: not stored, as the two below
  const char* level;
  const char* visible;
  bool kb;
  int transLevel;
  bool summaryShown;
};

// ctest names the cases by what this prints.
void PrintTo(const LoadCase& c, std::ostream* os) {
  *os << c.name;
}

class TrayLoad : public TrayWindow, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(TrayLoad, ReadsTheStoredChoices) {
  const LoadCase& c = GetParam();
  Store("Settings", "ShowMode", c.showMode);
  Store("Transparency", "TransLevel", c.level);
  Store("screen", "visible", c.visible);
  Store("Settings", "ClickThough", "1");
  flags.ClickThrough = true;
  Load();
  EXPECT_EQ(IsChecked(IDM_TRAY_SHOW_MODE_1), c.kb);
  EXPECT_EQ(IsChecked(IDM_TRAY_SHOW_MODE_2), !c.kb);
  EXPECT_EQ(flags.TransLevel, c.transLevel);
  EXPECT_FALSE(flags.ClickThrough);
  EXPECT_FALSE(IsChecked(IDM_TRAY_SET_CLICK_THROUGH));
  EXPECT_EQ(Stored("Settings", "ClickThough"), "1") << "loading writes no choice";
  const std::string summary = c.kb ? "0 KB|0 KB|0 KB|5|hold" : "0.00 MB|0.00 MB|0.00 MB|5|hold";
  EXPECT_EQ(summaries, std::vector<std::string>(c.summaryShown ? 1 : 0, summary));
}

INSTANTIATE_TEST_SUITE_P(
    Stored, TrayLoad,
    ::testing::Values(LoadCase{"NothingStored", nullptr, nullptr, nullptr, false, 0, true},
                      LoadCase{"KbLevel3Hidden", "1", "3", "False", true, 3, false},
                      LoadCase{"MbLevel5Shown", "2", "5", "True", false, 5, true},
                      // values the menu never stores: MB, opaque
                      LoadCase{"UnknownUnitAndLevel", "3", "6", "maybe", false, 0, true},
                      LoadCase{"Unreadable", "abc", "-1", "0", false, 0, false}));

TEST_F(TrayWindow, HiddenWindowAndTheIconRecordAsAdded) {
  Load();
  char caption[32] = {};
  GetWindowTextA(tray->hwnd(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Tray");
  EXPECT_FALSE(IsWindowVisible(tray->hwnd()));
  EXPECT_EQ(context.accounting, &tray->accounting());
  EXPECT_EQ(context.trayWindow, tray->hwnd());
  EXPECT_NE(context.appIcon, nullptr);

  const NOTIFYICONDATAA& record = tray->IconRecord();
  EXPECT_TRUE(IconPresent(tray->hwnd()));
  EXPECT_EQ(record.cbSize, sizeof(void*) == 8 ? 104u : 88u);
  EXPECT_EQ(record.hWnd, tray->hwnd());
  EXPECT_EQ(record.uID, 1u);
  EXPECT_EQ(record.uFlags, 7u);
  EXPECT_EQ(record.uCallbackMessage, 0x0200u);
  EXPECT_EQ(std::string(record.szTip, 64), std::string("Trafimo\0", 8) + std::string(56, ' '));
  ICONINFO info{};  // the small size the notification area asks for
  ASSERT_TRUE(GetIconInfo(record.hIcon, &info));
  BITMAP mask{};
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  EXPECT_EQ(mask.bmWidth, GetSystemMetrics(SM_CXSMICON));
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
}

TEST_F(TrayWindow, TicksWriteTheTipAndRefreshOpenMeters) {
  Load();
  Tick();  // the baseline
  fake.ifTable.rows[0].inOctets += 3 * 1048576;
  flags.MeterWindowOpen = true;
  Tick();
  EXPECT_STREQ(tray->IconRecord().szTip, "Current - 3.00 MB");
  EXPECT_EQ(refreshes, std::vector<std::string>{"3.00 MB|3.00 MB|3.00 MB"});
}

TEST_F(TrayWindow, LeftReleaseShowsTheSummaryAndOtherMouseEventsDoNothing) {
  Store("screen", "visible", "False");
  Load();
  for (const UINT ignored : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK,
                             WM_MBUTTONUP, WM_RBUTTONDBLCLK})
    Notify(ignored);
  EXPECT_TRUE(summaries.empty());
  Notify(WM_LBUTTONUP);
  EXPECT_EQ(summaries, std::vector<std::string>{"0.00 MB|0.00 MB|0.00 MB|5"});
}

TEST_F(TrayWindow, RightReleaseSetsTheChecksAtEveryOpening) {
  Store("screen", "visible", "False");
  Load();
  for (const bool on : {true, false}) {
    SetIEImages(registry, on);
    SetIEFlash(registry, !on);
    flags.TransLevel = on ? 4 : 0;
    flags.ClickThrough = on;
    SetTimer(nullptr, 0, 100, &CloseMenu);
    Notify(WM_RBUTTONUP);
    EXPECT_EQ(IsChecked(IDM_TRAY_ENABLE_IE_IMAGES), on);
    EXPECT_EQ(IsChecked(IDM_TRAY_ENABLE_IE_FLASH), !on);
    for (UINT level = 0; level <= 5; ++level)
      EXPECT_EQ(IsChecked(IDM_TRAY_TRANSPARENCY_LEVEL_0 + level), level == flags.TransLevel);
    EXPECT_EQ(IsChecked(IDM_TRAY_SET_CLICK_THROUGH), on);
  }
  EXPECT_EQ(GetMenuDefaultItem(tray->TrayMenu(), FALSE, 0), static_cast<UINT>(IDM_TRAY_EXIT));
}

TEST_F(TrayWindow, MenuHoldsEveryItemInOrder) {
  Load();
  // Captions with their commands; "-" a separator, "Set Transparency" the submenu.
  // clang-format off
  const std::vector<std::pair<std::string, UINT>> top = {
      {"&About Velquor Trafimo", IDM_TRAY_ABOUT}, {"-", 0}, {"Settings...", IDM_TRAY_SETTINGS},
      {"&Monthly Totals ...", IDM_TRAY_MONTHLY_USAGE}, {"-", 0},
      {"Make form ClickThrough (Win 2K & WinXP)", IDM_TRAY_SET_CLICK_THROUGH},
      {"Set Transparency (Win 2K & WinXP)", -1u}, {"-", 0},
      {"Show in KiloBytes (KB)", IDM_TRAY_SHOW_MODE_1}, {"Show in MegaBytes (MB)", IDM_TRAY_SHOW_MODE_2},
      {"-", 0}, {"Enable IE Flash", IDM_TRAY_ENABLE_IE_FLASH}, {"Enable IE Images", IDM_TRAY_ENABLE_IE_IMAGES},
      {"-", 0}, {"E&xit", IDM_TRAY_EXIT}};
  const std::vector<std::pair<std::string, UINT>> levels = {
      {"Normal", IDM_TRAY_TRANSPARENCY_LEVEL_0}, {"Level 1", IDM_TRAY_TRANSPARENCY_LEVEL_1},
      {"Level 2", IDM_TRAY_TRANSPARENCY_LEVEL_2}, {"Level 3", IDM_TRAY_TRANSPARENCY_LEVEL_3},
      {"Level 4", IDM_TRAY_TRANSPARENCY_LEVEL_4}, {"Level 5", IDM_TRAY_TRANSPARENCY_LEVEL_5}};
  // clang-format on
  const auto itemsOf = [](HMENU menu) {
    std::vector<std::pair<std::string, UINT>> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      char text[128] = {};
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU;
      info.dwTypeData = text;
      info.cch = sizeof text;
      GetMenuItemInfoA(menu, i, TRUE, &info);
      const bool separator = info.fType & MFT_SEPARATOR;
      EXPECT_TRUE(separator || !(info.fState & (MFS_DISABLED | MFS_GRAYED))) << text;
      items.emplace_back(separator ? "-" : text, separator ? 0 : info.hSubMenu ? -1u : info.wID);
    }
    return items;
  };
  EXPECT_EQ(itemsOf(tray->TrayMenu()), top);
  EXPECT_EQ(itemsOf(GetSubMenu(tray->TrayMenu(), 6)), levels);
}

TEST_F(TrayWindow, CommandsInvertTheirChecksAndStoreTheChoice) {
  Load();
  for (const bool on : {true, false, true}) {
    Command(IDM_TRAY_SET_CLICK_THROUGH);
    EXPECT_EQ(IsChecked(IDM_TRAY_SET_CLICK_THROUGH), on);
    EXPECT_EQ(flags.ClickThrough, on);
    EXPECT_EQ(Stored("Settings", "ClickThough"), on ? "1" : "0");
    Command(on ? IDM_TRAY_SHOW_MODE_1 : IDM_TRAY_SHOW_MODE_2);
    EXPECT_EQ(IsChecked(IDM_TRAY_SHOW_MODE_1), on);
    EXPECT_EQ(IsChecked(IDM_TRAY_SHOW_MODE_2), !on);
    EXPECT_EQ(Stored("Settings", "ShowMode"), on ? "1" : "2");
    Command(IDM_TRAY_ENABLE_IE_IMAGES);  // unchecked before the first: "yes" in lower case
    EXPECT_EQ(IsChecked(IDM_TRAY_ENABLE_IE_IMAGES), on);
    const auto images = ReadRaw(HKEY_CURRENT_USER, kMain, kImages);
    ASSERT_TRUE(images.has_value());
    EXPECT_EQ(images->type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(std::string(images->data.begin(), images->data.end()).c_str(), on ? "yes" : "no");
    Command(IDM_TRAY_ENABLE_IE_FLASH);  // checked: Flash on, the key deleted
    EXPECT_EQ(IsChecked(IDM_TRAY_ENABLE_IE_FLASH), on);
    EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, kFlash), !on);
    const auto flashFlags = ReadRaw(HKEY_LOCAL_MACHINE, kFlash, kFlags);
    if (!on) {
      ASSERT_TRUE(flashFlags.has_value());
      EXPECT_EQ(flashFlags->type, static_cast<DWORD>(REG_DWORD));
      EXPECT_EQ(flashFlags->data, (std::vector<BYTE>{0x00, 0x04, 0x00, 0x00}));
    }
  }
  EXPECT_EQ(registry.imagesSizes, (std::vector<std::uint32_t>{3, 2, 3}));
  // A level is stored and taken, and no level item keeps a check.
  for (const UINT level : {3u, 0u, 5u}) {
    Command(IDM_TRAY_TRANSPARENCY_LEVEL_0 + level);
    EXPECT_EQ(flags.TransLevel, level);
    EXPECT_EQ(Stored("Transparency", "TransLevel"), std::to_string(level));
    for (UINT other = 0; other <= 5; ++other)
      EXPECT_FALSE(IsChecked(IDM_TRAY_TRANSPARENCY_LEVEL_0 + other));
  }
  for (const UINT command : {IDM_TRAY_ABOUT, IDM_TRAY_SETTINGS, IDM_TRAY_MONTHLY_USAGE})
    Command(command);
  EXPECT_EQ(opened, (std::vector<std::string>{"about", "settings", "monthly"}));
}

TEST_F(TrayWindow, ExitRemovesTheIconAndEndsWithoutWriting) {
  Load();
  Tick();
  const int writes = userStore.writes;
  Command(IDM_TRAY_EXIT);
  EXPECT_EQ(process.ends, 1);
  EXPECT_FALSE(IconPresent(tray->hwnd()));
  EXPECT_EQ(userStore.writes, writes);
}

TEST_F(TrayWindow, IconComesBackAfterAShellRestartAndGoesWithTheWindow) {
  Load();
  const HWND window = tray->hwnd();
  NOTIFYICONDATAA record = tray->IconRecord();
  Shell_NotifyIconA(NIM_DELETE, &record);  // as a restarted shell has forgotten it
  SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(IconPresent(window));
  SendMessageA(window, WM_CLOSE, 0, 0);  // closed by the system
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IconPresent(window));
  EXPECT_EQ(process.ends, 0);
}

}  // namespace
}  // namespace trafimo::win
