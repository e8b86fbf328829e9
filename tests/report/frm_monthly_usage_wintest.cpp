#include "report/frm_monthly_usage_win.h"

#include <gtest/gtest.h>

#include <string>

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

struct PixelRect {
  int left, top, width, height;
  bool operator==(const PixelRect&) const = default;
};

void PrintTo(const PixelRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << "}";
}

// A control's place within its parent's client area.
PixelRect PlaceOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

class MonthlyUsageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { context.appIcon = LoadIconA(nullptr, IDI_APPLICATION); }
  void TearDown() override {
    if (HWND window = MonthlyUsageWindow()) DestroyWindow(window);
  }

  HWND Open() {
    ShowMonthlyUsage(context);
    window = MonthlyUsageWindow();
    frame = GetDlgItem(window, IDC_REPORT_FRAME);
    dpi = GetDpiForWindow(window);
    return window;
  }
  HWND Item(int id) const { return GetDlgItem(frame, id); }
  int Px(int twips) const { return MulDiv(twips, static_cast<int>(dpi), 1440); }
  PixelRect Twips(int left, int top, int width, int height) const {
    return {Px(left), Px(top), Px(width), Px(height)};
  }
  std::string Cell(int firstId, int month) const { return TextOf(Item(firstId + month - 1)); }
  void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  void PickYear(int index) {
    SendMessageA(Item(IDC_REPORT_CMB_YEAR), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(frame, WM_COMMAND, MAKEWPARAM(IDC_REPORT_CMB_YEAR, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(IDC_REPORT_CMB_YEAR)));
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

TEST_F(MonthlyUsageWindowTest, IsAFixedCentredWindowOfTheGivenSize) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(TextOf(window), "Monthly Usage");
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, Px(5070));
  EXPECT_EQ(client.bottom, Px(6120));
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)),
            context.appIcon);
}

TEST_F(MonthlyUsageWindowTest, HoldsTheControlsOfItsTableOnFrame1) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(PlaceOf(frame), Twips(45, -45, 4995, 6090));

  struct Expected {
    int id;
    const char* text;
    PixelRect place;
    bool bold;
  };
  const Expected controls[] = {
      {IDC_REPORT_YEAR_LABEL, "Year", Twips(1455, 330, 480, 285), false},
      {IDC_REPORT_HEADER_MONTH, "Month", Twips(240, 870, 1065, 240), true},
      {IDC_REPORT_HEADER_UPLOAD, "Upload ", Twips(1425, 870, 1050, 240), true},
      {IDC_REPORT_HEADER_DOWNLOAD, "Download", Twips(2610, 870, 1050, 180), true},
      {IDC_REPORT_HEADER_TOTAL, "Total ", Twips(3765, 870, 1050, 180), true},
      {IDC_REPORT_MONTH_FIRST, "January", Twips(345, 1395, 900, 240), true},
      {IDC_REPORT_MONTH_FIRST + 11, "December", Twips(345, 5130, 900, 240), true},
      {IDC_REPORT_UPLOAD_FIRST + 6, "-", Twips(1395, 3435, 1035, 165), false},
      {IDC_REPORT_DOWNLOAD_FIRST + 1, "-", Twips(2610, 1740, 1005, 165), false},
      {IDC_REPORT_TOTAL_FIRST + 9, "-", Twips(3780, 4440, 990, 165), false},
      {IDC_REPORT_OPT_MB, "MB", Twips(270, 5715, 570, 210), false},
      {IDC_REPORT_OPT_GB, "GB", Twips(945, 5715, 585, 210), false},
      {IDC_REPORT_CLOSE, "&Close", Twips(3570, 5640, 1290, 360), false},
  };
  for (const Expected& expected : controls) {
    SCOPED_TRACE(expected.text);
    HWND control = Item(expected.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(TextOf(control), expected.text);
    EXPECT_EQ(PlaceOf(control), expected.place);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(font.lfWeight >= FW_BOLD, expected.bold);
  }

  HWND years = Item(IDC_REPORT_CMB_YEAR);
  const PixelRect yearPlace = PlaceOf(years);
  EXPECT_EQ(yearPlace.left, Px(1950));
  EXPECT_EQ(yearPlace.top, Px(285));
  EXPECT_EQ(yearPlace.width, Px(1665));
  EXPECT_EQ(GetWindowLongA(years, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  EXPECT_EQ(SendMessageA(Item(IDC_REPORT_OPT_MB), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(Item(IDC_REPORT_OPT_GB), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(GetWindowLongA(Item(IDC_REPORT_UPLOAD_FIRST), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);
}

TEST_F(MonthlyUsageWindowTest, TableLabelsLieOnTheWindowBackground) {
  ASSERT_NE(Open(), nullptr);
  HDC dc = GetDC(frame);
  const auto brushFor = [&](int id) {
    return reinterpret_cast<HBRUSH>(SendMessageA(frame, WM_CTLCOLORSTATIC,
                                                 reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(Item(id))));
  };
  const HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
  EXPECT_EQ(brushFor(IDC_REPORT_HEADER_TOTAL), window);
  EXPECT_EQ(brushFor(IDC_REPORT_MONTH_FIRST + 3), window);
  EXPECT_EQ(brushFor(IDC_REPORT_DOWNLOAD_FIRST + 11), window);
  EXPECT_NE(brushFor(IDC_REPORT_YEAR_LABEL), window);
  ReleaseDC(frame, dc);
}

TEST_F(MonthlyUsageWindowTest, ShowsTheStoredMonthsOfTheChosenYearInTheChosenUnit) {
  auto& store = fake.userStore.sections;
  store["2025FEB"]["IN"] = "1610612736";
  store["2025FEB"]["OUT"] = "1835008";
  store["2026MAR"]["IN"] = "3145728";
  store["2026APR"]["OUT"] = "1048576";
  ASSERT_NE(Open(), nullptr);

  HWND years = Item(IDC_REPORT_CMB_YEAR);
  ASSERT_EQ(SendMessageA(years, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(years, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(TextOf(years), "2026");
  EXPECT_EQ(Cell(IDC_REPORT_UPLOAD_FIRST, 3), "-");
  EXPECT_EQ(Cell(IDC_REPORT_DOWNLOAD_FIRST, 3), "3 MB");
  EXPECT_EQ(Cell(IDC_REPORT_TOTAL_FIRST, 3), "3 MB");
  EXPECT_EQ(Cell(IDC_REPORT_UPLOAD_FIRST, 4), "1 MB");
  EXPECT_EQ(Cell(IDC_REPORT_DOWNLOAD_FIRST, 4), "-");
  EXPECT_EQ(Cell(IDC_REPORT_TOTAL_FIRST, 4), "-");

  PickYear(0);
  EXPECT_EQ(Cell(IDC_REPORT_UPLOAD_FIRST, 2), "2 MB");
  EXPECT_EQ(Cell(IDC_REPORT_DOWNLOAD_FIRST, 2), "1536 MB");
  EXPECT_EQ(Cell(IDC_REPORT_TOTAL_FIRST, 2), "1538 MB");
  EXPECT_EQ(Cell(IDC_REPORT_DOWNLOAD_FIRST, 3), "-");

  Click(IDC_REPORT_OPT_GB);
  EXPECT_EQ(SendMessageA(Item(IDC_REPORT_OPT_MB), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Cell(IDC_REPORT_UPLOAD_FIRST, 2), "0.00 GB");
  EXPECT_EQ(Cell(IDC_REPORT_DOWNLOAD_FIRST, 2), "1.50 GB");
  EXPECT_EQ(Cell(IDC_REPORT_TOTAL_FIRST, 2), "1.50 GB");
  EXPECT_EQ(Cell(IDC_REPORT_TOTAL_FIRST, 12), "-");
  EXPECT_EQ(fake.userStore.writes, 0);
}

TEST_F(MonthlyUsageWindowTest, IsOneWindowBroughtForwardAndRebuiltAfterClosing) {
  fake.userStore.sections["2026JAN"]["IN"] = "1048576";
  ASSERT_NE(Open(), nullptr);
  const HWND first = window;
  fake.userStore.sections["2026JAN"]["IN"] = "2097152";

  ShowMonthlyUsage(context);  // already open: the opening steps do not run again
  EXPECT_EQ(MonthlyUsageWindow(), first);
  EXPECT_EQ(Cell(IDC_REPORT_DOWNLOAD_FIRST, 1), "1 MB");

  Click(IDC_REPORT_CLOSE);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(MonthlyUsageWindow(), nullptr);

  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(Cell(IDC_REPORT_DOWNLOAD_FIRST, 1), "2 MB");
}

TEST_F(MonthlyUsageWindowTest, ADpiChangeTakesTheSuggestedPlaceAndKeepsTheLayout) {
  ASSERT_NE(Open(), nullptr);
  RECT outer;
  GetWindowRect(window, &outer);
  RECT suggested{10, 20, 10 + outer.right - outer.left, 20 + outer.bottom - outer.top};
  SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  RECT moved;
  GetWindowRect(window, &moved);
  EXPECT_EQ(moved.left, 10);
  EXPECT_EQ(moved.top, 20);
  EXPECT_EQ(PlaceOf(frame), Twips(45, -45, 4995, 6090));
  EXPECT_EQ(PlaceOf(Item(IDC_REPORT_TOTAL_FIRST + 11)), Twips(3780, 5130, 990, 165));
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Item(IDC_REPORT_HEADER_MONTH), WM_GETFONT, 0, 0)),
             sizeof font, &font);
  EXPECT_GE(font.lfWeight, FW_BOLD);
}

TEST_F(MonthlyUsageWindowTest, TabAndEscapeWorkThroughTheMessageLoopHook) {
  ASSERT_NE(Open(), nullptr);
  const auto key = [](HWND target, WPARAM vk) {
    MSG message{target, WM_KEYDOWN, vk, 0, 0, {}};
    return MonthlyUsageDialogMessage(message);
  };
  SetFocus(Item(IDC_REPORT_CMB_YEAR));
  EXPECT_TRUE(key(Item(IDC_REPORT_CMB_YEAR), VK_TAB));
  EXPECT_EQ(GetFocus(), Item(IDC_REPORT_OPT_MB));
  EXPECT_TRUE(key(Item(IDC_REPORT_OPT_MB), VK_TAB));
  EXPECT_EQ(GetFocus(), Item(IDC_REPORT_CLOSE));

  EXPECT_TRUE(key(Item(IDC_REPORT_CLOSE), VK_ESCAPE));
  EXPECT_EQ(MonthlyUsageWindow(), nullptr);
  EXPECT_FALSE(key(nullptr, VK_TAB));  // no window open: the loop handles the message itself
}

struct RealFormatCase {
  double bytes;
  report::Unit unit;
  const char* whole;
  const char* fraction;  // after the user's decimal separator; none for MB
  const char* unitText;
};

class RealLocaleFormatTest : public ::testing::TestWithParam<RealFormatCase> {};

// The system's number formatting rounds the unrounded quotient and never groups.
TEST_P(RealLocaleFormatTest, FormatsWithTheUsersDecimalSeparator) {
  char separator[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  const RealFormatCase& c = GetParam();
  std::string expected = c.whole;
  if (c.fraction[0] != '\0') expected += separator + std::string(c.fraction);
  expected += c.unitText;
  Win32Locale locale;
  EXPECT_EQ(report::FormatBytes(locale, report::Currency::FromBytes(c.bytes), c.unit), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Report, RealLocaleFormatTest,
    ::testing::Values(RealFormatCase{1835008, report::Unit::MB, "2", "", " MB"},
                      RealFormatCase{1835008, report::Unit::GB, "0", "00", " GB"},
                      RealFormatCase{1610612736, report::Unit::MB, "1536", "", " MB"},
                      RealFormatCase{1610612736, report::Unit::GB, "1", "50", " GB"},
                      RealFormatCase{1, report::Unit::GB, "0", "00", " GB"},
                      RealFormatCase{1099511627776.0, report::Unit::MB, "1048576", "", " MB"},
                      RealFormatCase{1084479242, report::Unit::GB, "1", "01", " GB"}));

}  // namespace
}  // namespace trafimo::win
