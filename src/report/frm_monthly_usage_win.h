// The monthly totals window (frmMonthlyUsage): the stored traffic of one year, month by month,
// in MB or GB. One shared instance, shown modeless.
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
  FrmMonthlyUsage(platform::Platform& platform, TrayWindowLink& tray);
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

  void Create();
  void Layout();  // places the frame and the controls at the window's DPI, with fonts to match
  void Load();
  void ShowRows();
  void OnCommand(int id, int code);

  TrayWindowLink& tray_;
  report::MonthlyUsageReport report_;
  std::unique_ptr<Frame> frame_;
  FontSet fonts_;
};

}  // namespace trafimo::win
