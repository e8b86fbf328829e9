#include "settings/frm_settings_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accounting/accounting.h"
#include "support/fakes.h"

namespace trafimo::win {
namespace {

const std::string kSettingsKey(kSettingsSubKey);
const std::string kRunKey(kRunSubKey);
const std::string kRunValue(kRunValueName);

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The dialog on a stand-in platform whose message boxes answer from a script.
class SettingsDialogTest : public ::testing::Test {
 protected:
  testing::FakePlatform fake;
  Settings settings;
  SharedFlags flags;
  AppContext context{
      fake.platform, settings, flags, nullptr, nullptr, nullptr, {}, {}, {}, {}, {}, {}};
  frmSettings& dialog = SettingsDialog();

  void SetUp() override {
    fake.ifTable.rows = {{"Ethernet Adapter", 0, 0, 6, std::nullopt},
                         {"Loopback", 0, 0, 24, std::nullopt},
                         {"Wi-Fi", 0, 0, 6, std::nullopt}};
    settings.Interface = ",Ethernet Adapter";
    context.appIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  }
  void TearDown() override { dialog.Close(); }

  void Open() {
    ShowSettingsDialog(context);
    ASSERT_NE(dialog.hwnd(), nullptr);
    SetForegroundWindow(dialog.hwnd());
  }
  HWND Item(int id) const { return GetDlgItem(dialog.hwnd(), id); }
  void Click(int id) {
    SendMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(Item(id)));
  }
  void SetBox(SettingsBox box, const char* text) { SetWindowTextA(dialog.Box(box)->edit(), text); }
  void SetCheck(int id, bool checked) {
    SendMessageA(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  std::string Stored(const char* name) const {
    return fake.registry.GetText(platform::kHkeyLocalMachine, kSettingsKey, name);
  }
};

TEST_F(SettingsDialogTest, LayoutCaptionsAndTabOrder) {
  settings.EnableFreeTimes = true;
  Open();
  HWND window = dialog.hwnd();
  const UINT dpi = dialog.Dpi();
  EXPECT_EQ(TextOf(window), "Settings");
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) << "fixed size";
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, TwipsToPixels(7290, dpi));
  EXPECT_EQ(client.bottom, TwipsToPixels(4515, dpi));
  RECT frame{};
  RECT work{};
  GetWindowRect(window, &frame);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)),
            context.appIcon);

  struct Placed {
    HWND control;
    int left, top, width, height;
    const char* caption;
  };
  // clang-format off
  const Placed placed[] = {
      {Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY), 225, 150, 4155, 390, "&Run this program on Windows start up"},
      {Item(IDC_SETTINGS_INTERFACES), 2010, 675, 5100, 1410, ""},
      {dialog.Box(kBoxMonthStartDay)->hwnd(), 1995, 2490, 405, 300, ""},
      {Item(IDC_SETTINGS_ENABLE_FREE_TIMES), 2085, 2955, 795, 210, "Enable"},
      {Item(IDC_SETTINGS_FREE_TIMES_FRAME), 1980, 2940, 5265, 930, ""},
      {dialog.Box(kBoxToSS)->hwnd(), 1980 + 4410, 2940 + 300, 465, 300, ""},
      {Item(IDC_SETTINGS_CLEAR_LOG), 240, 4035, 1710, 330, "Clear all data"},
      {Item(IDOK), 4545, 4080, 1245, 315, "&Ok"},
      {Item(IDCANCEL), 5910, 4080, 1245, 315, "&Cancel"},
      {Item(IDC_SETTINGS_LABEL + 6), 1980 + 4035, 2940 + 645, 1110, 255, "(24 hour format)"}};
  // clang-format on
  for (const Placed& p : placed) {
    ASSERT_NE(p.control, nullptr) << p.caption;
    RECT r{};
    GetWindowRect(p.control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, TwipsToPixels(p.left, dpi)) << p.left;
    EXPECT_EQ(r.top, TwipsToPixels(p.top, dpi)) << p.left;
    EXPECT_EQ(r.right - r.left, TwipsToPixels(p.width, dpi)) << p.left;
    EXPECT_EQ(r.bottom - r.top, TwipsToPixels(p.height, dpi)) << p.left;
    EXPECT_EQ(TextOf(p.control), p.caption);
  }
  EXPECT_TRUE(GetWindowLongA(Item(IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
  EXPECT_EQ(SendMessageA(window, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));

  // clang-format off
  const std::vector<HWND> tabOrder = {
      Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY), Item(IDC_SETTINGS_INTERFACES),
      dialog.Box(kBoxMonthStartDay)->edit(), Item(IDC_SETTINGS_ENABLE_FREE_TIMES),
      dialog.Box(kBoxFromHH)->edit(), dialog.Box(kBoxFromMM)->edit(), dialog.Box(kBoxFromSS)->edit(),
      dialog.Box(kBoxToHH)->edit(), dialog.Box(kBoxToMM)->edit(), dialog.Box(kBoxToSS)->edit(),
      Item(IDOK), Item(IDCANCEL), Item(IDC_SETTINGS_CLEAR_LOG)};
  // clang-format on
  for (std::size_t i = 0; i < tabOrder.size(); ++i) {
    EXPECT_EQ(GetNextDlgTabItem(window, tabOrder[i], FALSE), tabOrder[(i + 1) % tabOrder.size()])
        << "after tab stop " << i;
  }
}

TEST_F(SettingsDialogTest, LoadShowsTheSettingsAndTheCheckBoxEnablesTheTimes) {
  settings.AlwaysRunInTray = true;
  settings.FromFreeTime = "7:5:0";
  settings.ToFreeTime = "23:59";
  settings.MonthStartDay = 12;
  Open();
  HWND list = Item(IDC_SETTINGS_INTERFACES);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3) << "the loopback is listed too";
  EXPECT_GT(SendMessageA(list, LB_GETSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageA(list, LB_GETSEL, 1, 0), 0);
  EXPECT_EQ(SendMessageA(list, LB_GETSEL, 2, 0), 0);
  EXPECT_EQ(SendMessageA(Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY), BM_GETCHECK, 0, 0), BST_CHECKED);

  const std::vector<std::string> shown = {"12", "7", "5", "0", "23", "59", "0"};
  for (int box = 0; box < kBoxCount; ++box)
    EXPECT_EQ(TextOf(dialog.Box(static_cast<SettingsBox>(box))->edit()), shown[box]) << box;
  EXPECT_FALSE(IsWindowEnabled(dialog.Box(kBoxFromHH)->edit()));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_SETTINGS_FREE_TIMES_FRAME)));
  EXPECT_TRUE(IsWindowEnabled(dialog.Box(kBoxMonthStartDay)->edit()));

  SendMessageA(Item(IDC_SETTINGS_ENABLE_FREE_TIMES), BM_CLICK, 0, 0);
  for (SettingsBox box : {kBoxFromHH, kBoxFromMM, kBoxFromSS, kBoxToHH, kBoxToMM, kBoxToSS})
    EXPECT_TRUE(IsWindowEnabled(dialog.Box(box)->edit())) << box;
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_SETTINGS_FREE_TIMES_FRAME)));
  EXPECT_EQ(TextOf(dialog.Box(kBoxFromMM)->edit()), "5") << "the values stay";
}

TEST_F(SettingsDialogTest, OkChecksInOrderWithMessageAndFocus) {
  Open();
  struct Round {
    const char* day;
    bool freeTimes;
    const char* from[3];
    const char* to[3];
    std::string_view message;  // empty: accepted
    SettingsBox focus;
  };
  // clang-format off
  const Round rounds[] = {
      {"0", true, {"24", "0", "0"}, {"7", "0", "0"}, "Month start day should be between 1 and 28", kBoxMonthStartDay},
      {"29", false, {"2", "0", "0"}, {"7", "0", "0"}, "Month start day should be between 1 and 28", kBoxMonthStartDay},
      {"28", true, {"24", "0", "0"}, {"7", "0", "0"}, "Invalid From time", kBoxFromHH},
      {"28", true, {"7", "60", "0"}, {"7", "0", "0"}, "Invalid From time", kBoxFromHH},
      {"28", true, {"23", "59", "59"}, {"7", "0", "60"}, "Invalid To time", kBoxToHH},
      {"28", true, {"23", "59", "59"}, {"23", "59", "59"}, "", kBoxMonthStartDay}};
  // clang-format on
  for (const Round& round : rounds) {
    SCOPED_TRACE(round.message.empty() ? "accepted" : round.message);
    ASSERT_NE(dialog.hwnd(), nullptr);
    SetCheck(IDC_SETTINGS_ENABLE_FREE_TIMES, round.freeTimes);
    Click(IDC_SETTINGS_ENABLE_FREE_TIMES);
    SetBox(kBoxMonthStartDay, round.day);
    for (int i = 0; i < 3; ++i) {
      SetBox(static_cast<SettingsBox>(kBoxFromHH + i), round.from[i]);
      SetBox(static_cast<SettingsBox>(kBoxToHH + i), round.to[i]);
    }
    SetFocus(Item(IDCANCEL));
    fake.messages.shown.clear();
    Click(IDOK);
    if (round.message.empty()) {
      EXPECT_TRUE(fake.messages.shown.empty());
      EXPECT_EQ(dialog.hwnd(), nullptr) << "OK closed the dialog";
      EXPECT_EQ(Stored("MonthStartDay"), "28");
      EXPECT_EQ(Stored("ToFreeTime"), "23:59:59");
      continue;
    }
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, round.message);
    EXPECT_EQ(fake.messages.shown[0].title, "Velquor Trafimo");
    EXPECT_EQ(fake.messages.shown[0].style, platform::kMbOk | platform::kMbIconInformation);
    EXPECT_EQ(GetFocus(), dialog.Box(round.focus)->edit());
    EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, kSettingsKey));
  }
}

TEST_F(SettingsDialogTest, MessagesAreOwnedAndTheDialogClosedBehindOneIsNotTouched) {
  Open();
  SetBox(kBoxMonthStartDay, "29");
  HWND window = dialog.hwnd();
  fake.messages.whileShown = [&](const testing::FakeMessages::Shown& box) {
    EXPECT_EQ(box.owner, window);
    Click(IDCANCEL);  // the dialog goes while its message is up
  };
  Click(IDOK);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(window));

  fake.messages.shown.clear();
  fake.messages.whileShown = nullptr;
  Open();
  fake.messages.answers = {platform::kIdNo};
  Click(IDC_SETTINGS_CLEAR_LOG);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].owner, dialog.hwnd());
}

TEST_F(SettingsDialogTest, FocusStartsOnTheFirstControlAndComesBackOnActivation) {
  Open();
  EXPECT_EQ(GetFocus(), Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY));
  HWND edit = dialog.Box(kBoxMonthStartDay)->edit();
  SetFocus(edit);
  // Another window of the program is activated, then the dialog again.
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
  SetActiveWindow(other);
  EXPECT_NE(GetFocus(), edit);
  SetActiveWindow(dialog.hwnd());
  EXPECT_EQ(GetFocus(), edit) << "focus on id " << GetDlgCtrlID(GetFocus());
  DestroyWindow(other);
}

TEST_F(SettingsDialogTest, OkStoresTheFormAndTheStartUpEntryFollowsTheCheckBox) {
  Open();
  SetCheck(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY, true);
  SendMessageA(Item(IDC_SETTINGS_INTERFACES), LB_SETSEL, FALSE, -1);
  SetBox(kBoxFromHH, "25");
  SetBox(kBoxToHH, "7");
  SetBox(kBoxToMM, "5");
  SetBox(kBoxToSS, "0");
  Click(IDOK);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(Stored("Interface"), ",") << "nothing selected";
  EXPECT_EQ(Stored("FromFreeTime"), "25:0:0") << "free times off: not checked";
  EXPECT_EQ(Stored("ToFreeTime"), "7:5:0");
  EXPECT_EQ(Stored("AlwaysRunInTray"), "1");
  EXPECT_EQ(fake.registry.GetText(platform::kHkeyLocalMachine, kRunKey, kRunValue),
            "\"C:\\Tools\\trafimo\" /s");
  EXPECT_EQ(settings.Interface, ",");

  Open();
  HWND list = Item(IDC_SETTINGS_INTERFACES);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(SendMessageA(list, LB_GETSEL, i, 0), 0) << "a stored \",\" selects nothing";
  SendMessageA(list, LB_SETSEL, TRUE, 2);
  SetCheck(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY, false);
  Click(IDOK);
  EXPECT_EQ(Stored("Interface"), ",Wi-Fi");
  EXPECT_EQ(fake.registry.Get(platform::kHkeyLocalMachine, kRunKey, kRunValue), nullptr);
}

// What the next tick shows in the meter window.
struct ShownTotals : TickDisplay {
  std::vector<std::string> totals;
  void ShowTip(const std::string&) override {}
  void RefreshMeters(const std::string& n, const std::string& t, const std::string& m) override {
    totals = {n, t, m};
  }
};

TEST_F(SettingsDialogTest, ClearAllDataNoKeepsYesErasesAndZeroes) {
  TrafficAccounting accounting(fake.platform, settings, flags);
  accounting.LoadShowMode();
  accounting.LoadMonthKey();
  accounting.LoadCostToday();
  const TrafficTotals counted{40'000'000'000, 10'000'000'000, 50'000'000'000};
  accounting.CostNow = accounting.CostToday = accounting.CostThisMonth = counted;
  context.accounting = &accounting;
  fake.userStore.Write("Today", "IN", "4000");
  flags.MeterWindowOpen = true;
  Open();
  SetBox(kBoxMonthStartDay, "17");

  fake.messages.answers = {platform::kIdNo};
  Click(IDC_SETTINGS_CLEAR_LOG);
  EXPECT_TRUE(fake.userStore.Has("Today", "IN"));
  EXPECT_EQ(accounting.CostToday, counted);

  fake.messages.answers = {platform::kIdYes};
  Click(IDC_SETTINGS_CLEAR_LOG);
  EXPECT_FALSE(fake.userStore.Has("Today", "IN"));
  ASSERT_EQ(fake.messages.shown.size(), 2u);
  EXPECT_EQ(fake.messages.shown[1].style,
            platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefButton2);
  ShownTotals shown;
  accounting.SampleTraffic(shown);
  const std::string zero = accounting.FormatBytes(0);
  ASSERT_NE(accounting.FormatBytes(counted.Total), zero);
  EXPECT_EQ(shown.totals, std::vector<std::string>(3, zero));
  EXPECT_NE(dialog.hwnd(), nullptr) << "the dialog stays open";
  EXPECT_EQ(TextOf(dialog.Box(kBoxMonthStartDay)->edit()), "17") << "its controls stay";
  context.accounting = nullptr;
}

// A key as the message loop meets it: offered to the dialog first, else dispatched.
void PressKey(HWND target, WPARAM key) {
  MSG message{target, WM_KEYDOWN, key, 1, 0, {}};
  do {
    if (!TranslateSettingsDialogMessage(message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  } while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(SettingsDialogTest, KeyboardThroughTheMessageLoop) {
  Open();
  HWND month = dialog.Box(kBoxMonthStartDay)->edit();
  SetFocus(month);
  PressKey(month, VK_TAB);
  EXPECT_EQ(GetFocus(), Item(IDC_SETTINGS_ENABLE_FREE_TIMES)) << "Tab skips the disabled times";
  SetFocus(month);
  PressKey(month, VK_RETURN);
  EXPECT_EQ(GetFocus(), Item(IDC_SETTINGS_ENABLE_FREE_TIMES)) << "Enter in a box moves on";
  SetBox(kBoxMonthStartDay, "9");
  PressKey(GetFocus(), VK_ESCAPE);
  EXPECT_EQ(dialog.hwnd(), nullptr) << "Esc is Cancel, which changes nothing";
  EXPECT_EQ(settings.MonthStartDay, 1);
  EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, kSettingsKey));

  Open();
  SetFocus(Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY));
  PressKey(GetFocus(), VK_RETURN);
  EXPECT_EQ(dialog.hwnd(), nullptr) << "Enter elsewhere is OK";
  EXPECT_EQ(Stored("MonthStartDay"), "1");
}

TEST_F(SettingsDialogTest, ShowingAgainOnlyBringsItForward) {
  EXPECT_FALSE(BringSettingsForwardIfVisible());
  Open();
  HWND first = dialog.hwnd();
  SetBox(kBoxMonthStartDay, "3");
  ShowSettingsDialog(context);
  EXPECT_EQ(dialog.hwnd(), first);
  EXPECT_EQ(TextOf(dialog.Box(kBoxMonthStartDay)->edit()), "3") << "not loaded again";
  EXPECT_TRUE(BringSettingsForwardIfVisible());
  SendMessageA(first, WM_CLOSE, 0, 0);
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_FALSE(BringSettingsForwardIfVisible());
}

}  // namespace
}  // namespace trafimo::win
