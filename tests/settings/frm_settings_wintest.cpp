#include "settings/frm_settings_win.h"

#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/window_checks_win.h"

namespace trafimo::win {
namespace {

using testing::TextOf;

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.ifTable.rows = {
        {"Ethernet Adapter", 0, 0, 6, {}}, {"Loopback", 0, 0, 24, {}}, {"Wi-Fi", 0, 0, 6, {}}};
    settings.Interface = ",Ethernet Adapter";
    dialog.Show();
    ASSERT_NE(dialog.hwnd(), nullptr);
    SetForegroundWindow(dialog.hwnd());
  }
  void TearDown() override { dialog.Close(); }
  HWND Edit(SettingsBox box) const { return dialog.Box(box)->edit(); }
  void Click(int id) { testing::Command(dialog.hwnd(), id); }
  // A key as the message loop meets it: offered to the dialog first, else dispatched.
  void PressKey(WPARAM key) {
    MSG message{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
    do {
      if (!dialog.PreTranslateMessage(message)) DispatchMessageA(&message);
    } while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  }

  testing::FakePlatform fake;
  testing::FakeTray tray;
  Settings settings;
  frmSettings dialog{fake.platform, settings, tray};
};

// With free times off, their boxes are disabled (and Tab, in the layout's checks, skips them).
TEST_F(SettingsDialogTest, IsLaidOutAt100125And150PercentAndItsFocusComesBackOnActivation) {
  testing::ExpectProgramsWindow(dialog.hwnd(), tray.icon);
  testing::AtEachDpi(dialog.hwnd(), [&] { testing::ExpectLaidOut(dialog.hwnd()); });
  EXPECT_FALSE(IsWindowEnabled(Edit(kBoxToSS)));
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog.hwnd(), IDC_SETTINGS_ALWAYS_RUN_IN_TRAY));
  SetFocus(Edit(kBoxMonthStartDay));
  HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr,
                               nullptr, nullptr);
  SetActiveWindow(other);
  SetActiveWindow(dialog.hwnd());
  EXPECT_EQ(GetFocus(), Edit(kBoxMonthStartDay));
  DestroyWindow(other);
}

// Enter is OK (what OK stores is the scripts'). The refusal's text and owner are the form's test,
// its modal message logon_e2e's; the box it names takes the focus. A dialog closed while its
// message is up is not touched afterwards.
TEST_F(SettingsDialogTest, EnterIsOkARefusalFocusesItsBoxAndAClosedDialogIsNotTouched) {
  SendMessageA(GetDlgItem(dialog.hwnd(), IDC_SETTINGS_ENABLE_FREE_TIMES), BM_CLICK, 0, 0);
  SetWindowTextA(Edit(kBoxFromHH), "24");
  PressKey(VK_RETURN);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(GetFocus(), Edit(kBoxFromHH));
  HWND window = dialog.hwnd();
  fake.messages.whileShown = [&](const testing::FakeMessages::Shown&) { Click(IDCANCEL); };
  Click(IDOK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, std::string(kSettingsSubKey)));
}

// "Clear all data" zeroes the tray's counters and leaves the dialog as it was; shown again while
// open, it is only brought forward, not loaded again. Enter in a box moves on, to the allowance;
// a text put in a box by any means, as a paste does, goes through the box's rules (cut to its two
// digits). Escape is Cancel.
TEST_F(SettingsDialogTest, ClearAllDataZeroesTheCountersAndEscapeIsCancel) {
  SetWindowTextA(Edit(kBoxMonthStartDay), "17");
  fake.messages.answers = {platform::kIdYes};
  Click(IDC_SETTINGS_CLEAR_LOG);
  EXPECT_EQ(tray.formLoads, 1);
  dialog.Show();
  EXPECT_EQ(TextOf(Edit(kBoxMonthStartDay)), "17");
  SetFocus(Edit(kBoxMonthStartDay));
  PressKey(VK_RETURN);
  EXPECT_EQ(GetFocus(), Edit(kBoxAllowance));
  SetWindowTextA(Edit(kBoxMonthStartDay), "1234");
  EXPECT_EQ(TextOf(Edit(kBoxMonthStartDay)), "12");
  PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_FALSE(dialog.BringForwardIfVisible());
  EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, std::string(kSettingsSubKey)));
}

}  // namespace
}  // namespace trafimo::win
