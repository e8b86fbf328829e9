#include "report/frm_monthly_usage_win.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/platform_win.h"
#include "report/report_ids.h"
#include "support/fakes.h"
#include "support/window_checks_win.h"

namespace trafimo::win {
namespace {

using testing::TextOf;

class MonthlyUsageWindowTest : public ::testing::Test {
 protected:
  void Open() {
    report.Show();
    frame = report.frame();
    ASSERT_NE(report.hwnd(), nullptr);
  }
  HWND Item(int id) const { return GetDlgItem(frame, id); }
  std::string Cell(int firstId, int month) const { return TextOf(Item(firstId + month - 1)); }
  bool PreTranslate(int id, WPARAM key) {
    MSG message{Item(id), WM_KEYDOWN, key, 0, 0, {}};
    return report.PreTranslate(message);
  }

  testing::FakePlatform fake;
  testing::FakeTray tray;
  FrmMonthlyUsage report{fake.platform, tray};
  HWND frame = nullptr;
};

TEST_F(MonthlyUsageWindowTest, IsLaidOutAt100125And150PercentCentredWithTheProgramsIcon) {
  Open();
  EXPECT_EQ(TextOf(report.hwnd()), "Monthly Usage");
  EXPECT_EQ(testing::BigIconOf(report.hwnd()), tray.icon);
  testing::ExpectCentredOnWorkArea(report.hwnd());
  for (UINT from = 96; const UINT dpi : {96u, 120u, 144u}) {
    SCOPED_TRACE(dpi);
    if (dpi != from) testing::MoveToDpi(report.hwnd(), dpi, std::exchange(from, dpi));
    testing::ExpectLaidOut(report.hwnd(), IDC_REPORT_FRAME);  // its top edge hidden above
    testing::ExpectTextsFit(report.hwnd());
    testing::ExpectTabCycle(report.hwnd());
  }
}

// The unit and Close are clicked end to end; the year list is not.
TEST_F(MonthlyUsageWindowTest, TheChosenYearIsShownAndEscapeCloses) {
  fake.userStore.sections["2025FEB"]["IN"] = "1610612736";
  fake.userStore.sections["2026MAR"]["IN"] = "3145728";
  Open();
  HWND years = Item(IDC_REPORT_CMB_YEAR);
  EXPECT_EQ(TextOf(years), "2026");
  SendMessageA(years, CB_SETCURSEL, 0, 0);
  SendMessageA(frame, WM_COMMAND, MAKEWPARAM(IDC_REPORT_CMB_YEAR, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(years));
  EXPECT_EQ(Cell(IDC_REPORT_DOWNLOAD_FIRST, 2), "1536 MB");
  EXPECT_TRUE(PreTranslate(IDC_REPORT_CLOSE, VK_ESCAPE));
  EXPECT_EQ(report.hwnd(), nullptr);
}

}  // namespace
}  // namespace trafimo::win
