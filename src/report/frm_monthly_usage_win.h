// The monthly totals window (frmMonthlyUsage): the stored traffic of one year, month by month,
// in MB or GB; a month's days with bars; the usage file exported. One shared instance, shown
// modeless.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/toolkit_win.h"
#include "platform/window_win.h"
#include "report/monthly_usage.h"
#include "startup/window_links_win.h"

namespace trafimo::win {

class FrmMonthlyUsage : public Window {
 public:
  FrmMonthlyUsage(platform::Platform& platform, const Settings& settings, TrayWindowLink& tray);
  ~FrmMonthlyUsage() override;

  // Creates the window and runs the opening steps, or brings the open window forward.
  void Show();
  // Keyboard navigation (Tab, access keys, Escape) for a message of the message loop.
  bool PreTranslate(MSG& msg);

  HWND frame() const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  std::optional<ControlColours> ColoursOf(HWND control) override;

 private:
  class Frame;
  class MonthRows;

  void Create();
  void Layout();  // places the frame and the controls at the window's DPI, with fonts to match
  void Load();
  void ShowRows();
  void ShowView();  // the controls of the year or of the days, filled
  void SelectMonth(std::size_t month);
  void OpenDays();
  // The control of the view shown that takes the keyboard: the month rows or the days.
  HWND FirstControl() const;
  void Export();
  void DrawDay(const DRAWITEMSTRUCT& item);
  void OnCommand(int id, int code);

  platform::Platform& platform_;
  TrayWindowLink& tray_;
  report::MonthlyUsageReport report_;
  std::unique_ptr<Frame> frame_;
  std::unique_ptr<MonthRows> rows_;
  FontSet fonts_;
  KeyboardFocus focus_;
};

}  // namespace trafimo::win
