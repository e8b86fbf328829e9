// The monthly totals window (frmMonthlyUsage): the stored traffic of one year, month by month,
// in MB or GB. One shared instance, shown modeless.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/handles_win.h"
#include "platform/window_win.h"
#include "report/monthly_usage.h"
#include "startup/app_context_win.h"

namespace trafimo::win {

class FrmMonthlyUsage : public Window {
 public:
  explicit FrmMonthlyUsage(AppContext& context);
  ~FrmMonthlyUsage() override;

  // Creates the window and runs the opening steps, or brings the open window forward.
  void Show();
  // Keyboard navigation (Tab, access keys, Escape) for a message of the message loop.
  bool PreTranslate(MSG& msg);

  HWND frame() const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  class Frame;

  void Create();
  void CreateControls();
  void Layout();  // places the frame and the controls at the window's DPI, with fonts to match
  void Load();
  void ShowRows();
  void OnCommand(int id, int code);

  AppContext& context_;
  report::MonthlyUsageReport report_;
  std::unique_ptr<Frame> frame_;
  UniqueFont font_;
  UniqueFont boldFont_;
};

// Shows the one monthly totals window (wire to AppContext::showMonthlyUsage).
void ShowMonthlyUsage(AppContext& context);
// The open monthly totals window, or null.
HWND MonthlyUsageWindow();
// For the message loop: true when the message was a keyboard-navigation message of the open
// monthly totals window and has been handled (do not translate or dispatch it then).
bool MonthlyUsageDialogMessage(MSG& msg);

}  // namespace trafimo::win
