#include "settings/frm_settings_win.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fakes.h"
#include "support/window_checks_win.h"

namespace trafimo::win {
namespace {

using testing::TextOf;

const std::string kSettingsKey(kSettingsSubKey);

// The dialog on a stand-in platform whose message boxes answer from a script.
class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.ifTable.rows = {{"Ethernet Adapter", 0, 0, 6, std::nullopt},
                         {"Loopback", 0, 0, 24, std::nullopt},
                         {"Wi-Fi", 0, 0, 6, std::nullopt}};
    settings.Interface = ",Ethernet Adapter";
  }
  void TearDown() override { dialog.Close(); }

  void Open() {
    dialog.Show();
    ASSERT_NE(dialog.hwnd(), nullptr);
    SetForegroundWindow(dialog.hwnd());
  }
  HWND Item(int id) const { return GetDlgItem(dialog.hwnd(), id); }
  void Click(int id) {
    SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
  }
  void SetBox(SettingsBox box, const char* text) { SetWindowTextA(dialog.Box(box)->edit(), text); }
  std::string Stored(const char* name) const {
    return fake.registry.GetText(platform::kHkeyLocalMachine, kSettingsKey, name);
  }
  // A key as the message loop meets it: offered to the dialog first, else dispatched.
  void PressKey(WPARAM key) {
    MSG message{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
    do {
      if (!dialog.PreTranslateMessage(message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    } while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  }

  testing::FakePlatform fake;
  testing::FakeTray tray;
  Settings settings;
  frmSettings dialog{fake.platform, settings, tray};
};

TEST_F(SettingsDialogTest, IsLaidOutAt96And144DpiWithTheTimesEnabledByTheirCheckBox) {
  settings.EnableFreeTimes = true;
  Open();
  EXPECT_EQ(TextOf(dialog.hwnd()), "Settings");
  EXPECT_EQ(testing::BigIconOf(dialog.hwnd()), tray.icon);
  EXPECT_EQ(SendMessageA(dialog.hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
  testing::ExpectCentredOnWorkArea(dialog.hwnd());
  for (const UINT dpi : {96u, 144u}) {
    SCOPED_TRACE(dpi);
    if (dpi != 96) testing::MoveToDpi(dialog.hwnd(), dpi);
    testing::ExpectLaidOut(dialog.hwnd());
    testing::ExpectTabCycle(dialog.hwnd());
  }
  SendMessageA(Item(IDC_SETTINGS_ENABLE_FREE_TIMES), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowEnabled(dialog.Box(kBoxToSS)->edit()));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_SETTINGS_FREE_TIMES_FRAME)));
  EXPECT_TRUE(IsWindowEnabled(dialog.Box(kBoxMonthStartDay)->edit()));
}

TEST_F(SettingsDialogTest, OkRefusesWithAMessageOwnedByTheDialogAndTheFocusOnTheBox) {
  settings.EnableFreeTimes = true;
  Open();
  struct Round {
    const char* day;
    const char* fromHours;
    const char* toSeconds;
    std::string_view message;
    SettingsBox focus;
  };
  const Round rounds[] = {
      {"29", "24", "60", "Month start day should be between 1 and 28", kBoxMonthStartDay},
      {"28", "24", "60", "Invalid From time", kBoxFromHH},
      {"28", "23", "60", "Invalid To time", kBoxToHH}};
  for (const Round& round : rounds) {
    SetBox(kBoxMonthStartDay, round.day);
    SetBox(kBoxFromHH, round.fromHours);
    SetBox(kBoxToSS, round.toSeconds);
    SetFocus(Item(IDCANCEL));
    fake.messages.shown.clear();
    Click(IDOK);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, round.message);
    EXPECT_EQ(fake.messages.shown[0].owner, dialog.hwnd());
    EXPECT_EQ(GetFocus(), dialog.Box(round.focus)->edit()) << round.message;
  }
  EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, kSettingsKey));
}

TEST_F(SettingsDialogTest, ADialogClosedBehindItsMessageIsNotTouchedAfterwards) {
  Open();
  SetBox(kBoxMonthStartDay, "29");
  HWND window = dialog.hwnd();
  fake.messages.whileShown = [&](const testing::FakeMessages::Shown&) { Click(IDCANCEL); };
  Click(IDOK);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(SettingsDialogTest, FocusStartsOnTheFirstControlAndComesBackOnActivation) {
  Open();
  EXPECT_EQ(GetFocus(), Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY));
  HWND edit = dialog.Box(kBoxMonthStartDay)->edit();
  SetFocus(edit);
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
  SetActiveWindow(other);
  EXPECT_NE(GetFocus(), edit);
  SetActiveWindow(dialog.hwnd());
  EXPECT_EQ(GetFocus(), edit);
  DestroyWindow(other);
}

TEST_F(SettingsDialogTest, OkStoresTheFormAndTheStartUpEntryFollowsTheCheckBox) {
  Open();
  SendMessageA(Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY), BM_SETCHECK, BST_CHECKED, 0);
  HWND list = Item(IDC_SETTINGS_INTERFACES);
  EXPECT_GT(SendMessageA(list, LB_GETSEL, 0, 0), 0) << "the stored entry is selected";
  SendMessageA(list, LB_SETSEL, FALSE, 0);
  SendMessageA(list, LB_SETSEL, TRUE, 2);
  SetBox(kBoxToMM, "-0");
  Click(IDOK);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(Stored("Interface"), ",Wi-Fi");
  EXPECT_EQ(Stored("ToFreeTime"), "7:0:59");
  EXPECT_EQ(Stored("AlwaysRunInTray"), "1");
  EXPECT_EQ(fake.registry.GetText(platform::kHkeyLocalMachine, std::string(kRunSubKey),
                                  std::string(kRunValueName)),
            "\"C:\\Tools\\trafimo\" /s");
  EXPECT_EQ(settings.Interface, ",Wi-Fi");
}

TEST_F(SettingsDialogTest, ClearAllDataAsksAndOnYesErasesAndZeroesTheCounters) {
  fake.userStore.Write("Today", "IN", "4000");
  Open();
  SetBox(kBoxMonthStartDay, "17");
  fake.messages.answers = {platform::kIdNo, platform::kIdYes};
  Click(IDC_SETTINGS_CLEAR_LOG);
  EXPECT_TRUE(fake.userStore.Has("Today", "IN"));
  EXPECT_EQ(tray.formLoads, 0);
  Click(IDC_SETTINGS_CLEAR_LOG);
  EXPECT_FALSE(fake.userStore.Has("Today", "IN"));
  EXPECT_EQ(tray.formLoads, 1);
  EXPECT_EQ(fake.messages.shown[1].owner, dialog.hwnd());
  EXPECT_EQ(TextOf(dialog.Box(kBoxMonthStartDay)->edit()), "17") << "the dialog stays as it was";
}

TEST_F(SettingsDialogTest, KeyboardThroughTheMessageLoopAndShowingAgain) {
  Open();
  SetFocus(dialog.Box(kBoxMonthStartDay)->edit());
  PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), Item(IDC_SETTINGS_ENABLE_FREE_TIMES)) << "Tab skips the disabled times";
  SetBox(kBoxMonthStartDay, "9");
  dialog.Show();  // shown again while open: only brought forward
  EXPECT_EQ(TextOf(dialog.Box(kBoxMonthStartDay)->edit()), "9");
  EXPECT_TRUE(dialog.BringForwardIfVisible());
  PressKey(VK_ESCAPE);
  EXPECT_EQ(dialog.hwnd(), nullptr) << "Esc is Cancel, which changes nothing";
  EXPECT_FALSE(dialog.BringForwardIfVisible());
  EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, kSettingsKey));
  Open();
  SetFocus(Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY));
  PressKey(VK_RETURN);
  EXPECT_EQ(dialog.hwnd(), nullptr) << "Enter is OK";
  EXPECT_EQ(Stored("MonthStartDay"), "1");
}

}  // namespace
}  // namespace trafimo::win
