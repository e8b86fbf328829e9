#include "tray/frm_tray_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"
#include "support/window_checks_win.h"
#include "tray/browser_switches.h"
#include "tray/tray_ids.h"

namespace trafimo::win {
namespace {

int IconWidth(HICON icon) {
  ICONINFO info{};
  BITMAP mask{};
  if (GetIconInfo(icon, &info)) GetObjectA(info.hbmMask, sizeof mask, &mask);
  DeleteObject(info.hbmColor), DeleteObject(info.hbmMask);
  return mask.bmWidth;
}

// Whether the shell knows the icon of (window, 1): modifying an unknown icon fails.
bool IconPresent(HWND window) {
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE, probe.hWnd = window, probe.uID = 1;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

// The windows the tray menu opens (chosen end to end), and whether the settings dialog is up.
struct OpenedWindows : WindowOpener {
  bool settingsVisible = false;
  void ShowSettings() override {}
  bool BringSettingsForwardIfVisible() override { return settingsVisible; }
  void ShowMonthlyUsage() override {}
  void ShowAbout() override {}
};

class TrayWindow : public ::testing::Test {
 protected:
  TrayWindow() {
    settings.Interface = ",eth";
    fake.ifTable.rows = {{"eth", 1000, 500, 6, {}}};
    fake.userStore.sections["screen"]["visible"] = "False";
  }
  void TearDown() override {
    meters.CloseAll();
    MSG quit;  // the tray window's end posts it
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
  void Load() { ASSERT_TRUE(tray.Load(windows)); }
  bool IsChecked(UINT command) {
    return (GetMenuState(tray.TrayMenu(), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  // A menu command; a notification of the icon (the mouse event in lParam).
  void Command(int command) { testing::Command(tray.hwnd(), command, 0); }
  void Notify(UINT mouseEvent) { SendMessageA(tray.hwnd(), WM_MOUSEMOVE, 0, mouseEvent); }

  testing::FakePlatform fake;
  Settings settings;
  SharedFlags flags;
  MeterWindows meters{fake.platform, flags};
  OpenedWindows windows;
  frmTray tray{fake.platform, settings, flags, meters};
};

// The icon appears (logon_e2e); its record has the size that carries notifications. Back from
// sleep, the window reads at once, without waiting for its timer; the meter left pinned, opened at
// the load, is refreshed.
TEST_F(TrayWindow, LoadTakesTheStoredChoicesAndAResumeReadsAtOnce) {
  fake.userStore.sections["Settings"]["ShowMode"] = "1";
  fake.userStore.sections["screen"]["visible"] = "True";
  Load();
  EXPECT_EQ(tray.IconRecord().cbSize, sizeof(NOTIFYICONDATAA));
  EXPECT_TRUE(IsChecked(IDM_TRAY_SHOW_MODE_1));
  ASSERT_EQ(meters.OpenWindows().size(), 1u) << "the meter left pinned opens";
  SendMessageA(tray.hwnd(), WM_TIMER, 1, 0);  // the baseline
  fake.ifTable.rows[0].inOctets += 3 * 1024;
  fake.clock.monotonicMs += 1000;
  SendMessageA(tray.hwnd(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_STREQ(tray.IconRecord().szTip, "Current - 3 KB\nIn 3 KB/s, Out 0 B/s");
  EXPECT_EQ(testing::TextOf(meters.OpenWindows()[0]->Part(meter::Part::lblCostNow)), "3 KB");
}

// A release opens the meter (logon_e2e's click) unless the settings dialog is up, which only
// comes forward. The menu checks what is in use, Flash on while its compatibility key is missing;
// a switch inverts its check and stores it: click-through in the per-user store, inline images as
// REG_SZ "yes"/"no" without a counted NUL, Flash off as the key with 0x400.
TEST_F(TrayWindow, TheMenuChecksWhatIsInUseAndItsSwitchesStoreTheirChoice) {
  Load();
  windows.settingsVisible = true;
  Notify(WM_LBUTTONUP);
  EXPECT_TRUE(meters.OpenWindows().empty());
  flags.TransLevel = 4;
  SetTimer(nullptr, 0, 100, &CloseMenu);
  Notify(WM_RBUTTONUP);
  EXPECT_TRUE(IsChecked(IDM_TRAY_TRANSPARENCY_LEVEL_4));
  EXPECT_FALSE(IsChecked(IDM_TRAY_TRANSPARENCY_LEVEL_0));
  for (const bool on : {true, false}) {
    for (const int command :
         {IDM_TRAY_SET_CLICK_THROUGH, IDM_TRAY_ENABLE_IE_IMAGES, IDM_TRAY_ENABLE_IE_FLASH})
      Command(command);
    EXPECT_EQ(fake.userStore.Read("Settings", "ClickThough", "-"), on ? "1" : "0");
    const auto* images = fake.registry.Get(platform::kHkeyCurrentUser, std::string(kIEMainSubKey),
                                           std::string(kIEImagesValue));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(std::string(images->data.begin(), images->data.end()), on ? "yes" : "no");
    const auto* flash = fake.registry.Get(platform::kHkeyLocalMachine, std::string(kIEFlashSubKey),
                                          std::string(kIEFlashFlagsValue));
    EXPECT_EQ((flash != nullptr && flash->data == std::vector<std::uint8_t>{0, 4, 0, 0}), on);
  }
  Command(IDM_TRAY_TRANSPARENCY_LEVEL_0 + 3);
  EXPECT_EQ(fake.userStore.Read("Transparency", "TransLevel", "-"), "3");
}

// Exit (history_e2e's end) takes the icon away and writes nothing; the stand-in's end leaves the
// window procedure by an exception. A restarted shell, which has forgotten the icon, gets it again;
// on the primary monitor at 150 % it is the small icon of 144 DPI; closing the window removes it.
TEST_F(TrayWindow, ExitEndsWithoutWritingAndTheIconFollowsTheShellTheScaleAndTheWindow) {
  Load();
  SendMessageA(tray.hwnd(), WM_TIMER, 1, 0);
  const int writes = fake.userStore.writes;
  Command(IDM_TRAY_EXIT);
  EXPECT_FALSE(IconPresent(tray.hwnd()));
  EXPECT_EQ(fake.userStore.writes, writes);
  frmTray again{fake.platform, settings, flags, meters};
  ASSERT_TRUE(again.Load(windows));
  NOTIFYICONDATAA record = again.IconRecord();
  Shell_NotifyIconA(NIM_DELETE, &record);
  SendMessageA(again.hwnd(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(IconPresent(again.hwnd()));
  RECT suggested{0, 0, 150, 150};
  SendMessageA(again.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(IconWidth(again.IconRecord().hIcon), GetSystemMetricsForDpi(SM_CXSMICON, 144));
  HWND window = again.hwnd();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IconPresent(window));
}

}  // namespace
}  // namespace trafimo::win
