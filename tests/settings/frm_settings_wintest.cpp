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
  HWND Item(int id) const { return GetDlgItem(dialog.hwnd(), id); }
  HWND Edit(SettingsBox box) const { return dialog.Box(box)->edit(); }
  void Click(int id) {
    SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
  }
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

TEST_F(SettingsDialogTest, IsLaidOutAt100125And150PercentAndItsFocusComesBackOnActivation) {
  testing::ExpectProgramsWindow(dialog.hwnd(), tray.icon);
  testing::AtEachDpi(dialog.hwnd(), [&] { testing::ExpectLaidOut(dialog.hwnd()); });
  EXPECT_FALSE(IsWindowEnabled(Edit(kBoxToSS))) << "free times off";
  EXPECT_EQ(GetFocus(), Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY));
  SetFocus(Edit(kBoxMonthStartDay));
  HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr,
                               nullptr, nullptr);
  SetActiveWindow(other);
  SetActiveWindow(dialog.hwnd());
  EXPECT_EQ(GetFocus(), Edit(kBoxMonthStartDay));
  DestroyWindow(other);
}

// Which refusal comes first is the form's; the box it names takes the focus.
TEST_F(SettingsDialogTest, ARefusalFocusesItsBoxAndAClosedDialogIsNotTouchedAfterwards) {
  SendMessageA(Item(IDC_SETTINGS_ENABLE_FREE_TIMES), BM_CLICK, 0, 0);
  SetWindowTextA(Edit(kBoxFromHH), "24");
  Click(IDOK);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Invalid From time");
  EXPECT_EQ(fake.messages.shown[0].owner, dialog.hwnd());
  EXPECT_EQ(GetFocus(), Edit(kBoxFromHH));
  HWND window = dialog.hwnd();
  fake.messages.whileShown = [&](const testing::FakeMessages::Shown&) { Click(IDCANCEL); };
  Click(IDOK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, std::string(kSettingsSubKey)));
}

TEST_F(SettingsDialogTest, EnterIsOkAndStoresTheForm) {
  SetWindowTextA(Edit(kBoxToMM), "-0");
  PressKey(VK_RETURN);  // Enter is OK
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(fake.registry.GetText(platform::kHkeyLocalMachine, std::string(kSettingsSubKey),
                                  "ToFreeTime"),
            "7:0:59");
}

TEST_F(SettingsDialogTest, ClearAllDataZeroesTheCountersAndEscapeIsCancel) {
  SetWindowTextA(Edit(kBoxMonthStartDay), "17");
  fake.messages.answers = {platform::kIdYes};
  Click(IDC_SETTINGS_CLEAR_LOG);
  EXPECT_EQ(tray.formLoads, 1) << "the counters are zeroed";
  EXPECT_EQ(TextOf(Edit(kBoxMonthStartDay)), "17") << "the dialog stays as it was";
  dialog.Show();  // shown again while open: only brought forward, not loaded again
  EXPECT_EQ(TextOf(Edit(kBoxMonthStartDay)), "17");
  SetFocus(Edit(kBoxWarnAt));
  PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), Item(IDC_SETTINGS_ENABLE_FREE_TIMES)) << "Tab skips the disabled times";
  SetFocus(Edit(kBoxMonthStartDay));
  PressKey(VK_RETURN);
  EXPECT_EQ(GetFocus(), Edit(kBoxAllowance)) << "Enter in a box moves on, to the allowance";
  // A text put in a box by any means, as a paste does, goes through the box's rules.
  SetWindowTextA(Edit(kBoxMonthStartDay), "1234");
  EXPECT_EQ(TextOf(Edit(kBoxMonthStartDay)), "12") << "cut to the box's two digits";
  PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_FALSE(dialog.BringForwardIfVisible());
  EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, std::string(kSettingsSubKey)));
}

}  // namespace
}  // namespace trafimo::win
