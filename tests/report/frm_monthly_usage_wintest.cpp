#include "report/frm_monthly_usage_win.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

#include "platform/platform_win.h"
#include "report/report_ids.h"
#include "support/fakes.h"

namespace trafimo::win {
namespace {

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

using Place = std::array<LONG, 4>;  // left, top, width, height

// A control's place within its parent's client area.
Place PlaceOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool IsBold(HWND control) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfWeight >= FW_BOLD;
}

class MonthlyUsageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { context.appIcon = LoadIconA(nullptr, IDI_APPLICATION); }
  void TearDown() override { DestroyWindow(MonthlyUsageWindow()); }

  HWND Open() {
    ShowMonthlyUsage(context);
    window = MonthlyUsageWindow();
    frame = GetDlgItem(window, IDC_REPORT_FRAME);
    dpi = GetDpiForWindow(window);
    return window;
  }
  HWND Item(int id) const { return GetDlgItem(frame, id); }
  int Px(int twips) const { return MulDiv(twips, static_cast<int>(dpi), 1440); }
  Place Twips(const Place& twips) const {
    return {Px(twips[0]), Px(twips[1]), Px(twips[2]), Px(twips[3])};
  }
  report::MonthRow Row(int month) const {
    return {TextOf(Item(IDC_REPORT_UPLOAD_FIRST + month - 1)),
            TextOf(Item(IDC_REPORT_DOWNLOAD_FIRST + month - 1)),
            TextOf(Item(IDC_REPORT_TOTAL_FIRST + month - 1))};
  }
  LRESULT Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0); }
  // A key as the message loop hands it on.
  bool Key(int id, WPARAM vk) const {
    MSG message{Item(id), WM_KEYDOWN, vk, 0, 0, {}};
    return MonthlyUsageDialogMessage(message);
  }

  testing::FakePlatform fake;
  Settings settings;
  SharedFlags flags;
  // Every member named, so that the aggregate is complete without the hooks.
  AppContext context{
      fake.platform, settings, flags, nullptr, nullptr, nullptr, {}, {}, {}, {}, {}, {}};
  HWND window = nullptr;
  HWND frame = nullptr;
  UINT dpi = 96;
};

TEST_F(MonthlyUsageWindowTest, IsAFixedCentredWindowWithItsTableOnFrame1) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(TextOf(window), "Monthly Usage");
  EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX));
  EXPECT_TRUE(IsWindowVisible(window));
  RECT client, outer;
  GetClientRect(window, &client);
  EXPECT_EQ((std::array{client.right, client.bottom}), (std::array<LONG, 2>{Px(5070), Px(6120)}));
  GetWindowRect(window, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)),
            context.appIcon);

  struct Expected {
    int id;
    const char* text;
    Place twips;
    bool bold;
  };
  const Expected controls[] = {
      {IDC_REPORT_YEAR_LABEL, "Year", {1455, 330, 480, 285}, false},
      {IDC_REPORT_HEADER_MONTH, "Month", {240, 870, 1065, 240}, true},
      {IDC_REPORT_HEADER_UPLOAD, "Upload ", {1425, 870, 1050, 240}, true},
      {IDC_REPORT_HEADER_DOWNLOAD, "Download", {2610, 870, 1050, 180}, true},
      {IDC_REPORT_HEADER_TOTAL, "Total ", {3765, 870, 1050, 180}, true},
      {IDC_REPORT_MONTH_FIRST, "January", {345, 1395, 900, 240}, true},
      {IDC_REPORT_TOTAL_FIRST + 9, "-", {3780, 4440, 990, 165}, false},
      {IDC_REPORT_OPT_MB, "MB", {270, 5715, 570, 210}, false},
      {IDC_REPORT_OPT_GB, "GB", {945, 5715, 585, 210}, false},
      {IDC_REPORT_CLOSE, "&Close", {3570, 5640, 1290, 360}, false},
  };
  EXPECT_EQ(PlaceOf(frame), Twips({45, -45, 4995, 6090}));
  for (const Expected& expected : controls) {
    SCOPED_TRACE(expected.text);
    EXPECT_EQ(TextOf(Item(expected.id)), expected.text);
    EXPECT_EQ(PlaceOf(Item(expected.id)), Twips(expected.twips));
    EXPECT_EQ(IsBold(Item(expected.id)), expected.bold);
  }
  HWND years = Item(IDC_REPORT_CMB_YEAR);
  Place yearPlace = PlaceOf(years);
  yearPlace[3] = 0;  // a drop-down list's height is its own
  EXPECT_EQ(yearPlace, Twips({1950, 285, 1665, 0}));
  EXPECT_EQ(GetWindowLongA(years, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  EXPECT_EQ(GetWindowLongA(Item(IDC_REPORT_UPLOAD_FIRST), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
}

TEST_F(MonthlyUsageWindowTest, ShowsTheChosenYearAndUnitAndIsOneWindow) {
  fake.userStore.sections["2025FEB"]["IN"] = "1610612736";
  fake.userStore.sections["2026MAR"]["IN"] = "3145728";
  ASSERT_NE(Open(), nullptr);
  HWND years = Item(IDC_REPORT_CMB_YEAR);
  EXPECT_EQ(TextOf(years), "2026");
  EXPECT_EQ(Checked(IDC_REPORT_OPT_MB), BST_CHECKED);
  EXPECT_EQ(Row(3), (report::MonthRow{"-", "3 MB", "3 MB"}));

  SendMessageA(years, CB_SETCURSEL, 0, 0);
  SendMessageA(frame, WM_COMMAND, MAKEWPARAM(IDC_REPORT_CMB_YEAR, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(years));
  EXPECT_EQ(Row(2), (report::MonthRow{"-", "1536 MB", "1536 MB"}));
  SendMessageA(Item(IDC_REPORT_OPT_GB), BM_CLICK, 0, 0);
  EXPECT_EQ(Checked(IDC_REPORT_OPT_MB), BST_UNCHECKED);
  EXPECT_EQ(Row(2), (report::MonthRow{"-", "1.50 GB", "1.50 GB"}));

  // Shown again while open: brought forward, the opening steps do not run again.
  ShowMonthlyUsage(context);
  EXPECT_EQ(MonthlyUsageWindow(), window);
  EXPECT_EQ(Row(2).download, "1.50 GB");

  // Escape works through the hook in the message loop.
  EXPECT_TRUE(Key(IDC_REPORT_CLOSE, VK_ESCAPE));
  EXPECT_EQ(MonthlyUsageWindow(), nullptr);
  EXPECT_FALSE(Key(IDC_REPORT_CLOSE, VK_TAB));  // no window: the loop handles the message itself

  // Opened anew after closing: the latest year in MB again; "&Close" unloads it too.
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(Row(3).download, "3 MB");
  SendMessageA(Item(IDC_REPORT_CLOSE), BM_CLICK, 0, 0);
  EXPECT_EQ(MonthlyUsageWindow(), nullptr);
}

// The system's number formatting rounds the unrounded quotient, never groups and takes the tiny
// quotients of a few bytes.
TEST(RealLocaleFormat, FormatsWithTheUsersDecimalSeparator) {
  char separator[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  const std::tuple<double, report::Unit, std::string> cases[] = {
      {1835008, report::Unit::MB, "2 MB"},
      {1610612736, report::Unit::GB, "1.50 GB"},
      {1099511627776.0, report::Unit::MB, "1048576 MB"},
      {1084479242, report::Unit::GB, "1.01 GB"},
      {1, report::Unit::GB, "0.00 GB"}};
  Win32Locale locale;
  for (auto [bytes, unit, expected] : cases) {
    if (const auto point = expected.find('.'); point != std::string::npos)
      expected.replace(point, 1, separator);
    EXPECT_EQ(report::FormatBytes(locale, report::Currency::FromBytes(bytes), unit), expected);
  }
}

}  // namespace
}  // namespace trafimo::win
