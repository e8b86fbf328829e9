#include "report/frm_monthly_usage_win.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/handles_win.h"
#include "platform/platform_win.h"
#include "report/report_ids.h"
#include "report/usage_export.h"
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
  void Command(int id, int code = BN_CLICKED) { testing::Command(frame, id, code); }
  bool PreTranslate(int id, WPARAM key) {
    MSG message{Item(id), WM_KEYDOWN, key, 0, 0, {}};
    return report.PreTranslate(message);
  }

  testing::FakePlatform fake;
  testing::FakeTray tray;
  Settings settings;
  FrmMonthlyUsage report{fake.platform, settings, tray};
  HWND frame = nullptr;
};

// Both views; the days of November with the largest days (six digits in MB) and wide dates, whose
// cells fit the places of their headers. End and Up reach November's row, a step up from the
// last; Enter opens its days (history_e2e's, on this month's row).
TEST_F(MonthlyUsageWindowTest, IsLaidOutAt100125And150PercentCentredWithTheProgramsIcon) {
  for (int day = 10; day <= 30; ++day)
    fake.userStore.sections["Days"]["2026-11-" + std::to_string(day)] = "943718400000,94371840000";
  Open();
  testing::ExpectProgramsWindow(report.hwnd(), tray.icon);
  testing::AtEachDpi(report.hwnd(), [&] {
    for (const bool days : {false, true}) {
      for (const WPARAM key : {VK_END, VK_UP, VK_RETURN})
        EXPECT_TRUE(!days || PreTranslate(IDC_REPORT_ROWS, key));
      testing::ExpectLaidOut(report.hwnd(), IDC_REPORT_FRAME);  // its top edge hidden above
      HWND list = Item(IDC_REPORT_DAYS);
      WindowDc dc(list);
      SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
      for (WPARAM i = 0; days && i < 30; ++i) {
        char line[256] = {};  // the cells, tab-separated
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        std::istringstream cells(line);
        std::string cell;
        SIZE size{};
        RECT place{};
        for (int header = IDC_REPORT_DAYS_HEADER_DATE; std::getline(cells, cell, '\t'); ++header) {
          GetTextExtentPoint32A(dc.get(), cell.c_str(), static_cast<int>(cell.size()), &size);
          GetClientRect(Item(header), &place);
          EXPECT_LE(size.cx, place.right) << cell;
        }
      }
      Command(IDC_REPORT_BACK);
    }
  });
}

// A double click on a month's row opens its days (their rows are the report's); a year picked
// fills its months, in GB once GB is chosen. An export that cannot be written says so in a box of
// this window. Escape closes.
TEST_F(MonthlyUsageWindowTest, AMonthsDaysAYearInGbAndTheExportsFailure) {
  fake.userStore.sections["2025FEB"]["IN"] = "1610612736";
  fake.userStore.sections["2026DEC"]["IN"] = "3145728";
  Open();
  HWND rows = Item(IDC_REPORT_ROWS);
  RECT april{};
  GetWindowRect(Item(IDC_REPORT_MONTH_FIRST + 3), &april);
  MapWindowPoints(nullptr, rows, reinterpret_cast<POINT*>(&april), 2);
  SendMessageA(rows, WM_LBUTTONDBLCLK, 0, MAKELPARAM(april.left + 2, april.top + 2));
  EXPECT_EQ(TextOf(Item(IDC_REPORT_DAYS_TITLE)), "April 2026");
  Command(IDC_REPORT_BACK);
  SendMessageA(Item(IDC_REPORT_CMB_YEAR), CB_SETCURSEL, 0, 0);
  Command(IDC_REPORT_CMB_YEAR, CBN_SELCHANGE);
  EXPECT_EQ(TextOf(Item(IDC_REPORT_DOWNLOAD_FIRST + 1)), "1536 MB");
  Command(IDC_REPORT_OPT_GB);
  EXPECT_EQ(TextOf(Item(IDC_REPORT_DOWNLOAD_FIRST + 1)), "1.50 GB");
  fake.files.writesFail = true;
  Command(IDC_REPORT_EXPORT);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].owner, report.hwnd());
  EXPECT_EQ(fake.messages.shown[0].text, report::ExportFailedMessage(*fake.files.chosenPath));
  EXPECT_TRUE(PreTranslate(IDC_REPORT_CLOSE, VK_ESCAPE));
  EXPECT_EQ(report.hwnd(), nullptr);
}

}  // namespace
}  // namespace trafimo::win
