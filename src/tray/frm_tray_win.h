// frmTray: the program's hidden main window. It owns the notification-area icon, the tray menu,
// the traffic counters and Timer1, whose tick samples the interface table once a second.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "accounting/accounting.h"
#include "platform/handles_win.h"
#include "meter/frm_message_win.h"
#include "platform/window_win.h"
#include "startup/window_links_win.h"
#include "tray/tray_icon.h"

namespace trafimo::win {

class frmTray : public Window, public TickDisplay, public TrayWindowLink, private NotifyArea {
 public:
  // Everything given must outlive the window.
  frmTray(platform::Platform& platform, Settings& settings, SharedFlags& flags,
          MeterWindows& meters);
  ~frmTray() override;

  // Creates the hidden window and runs the load sequence: display choices and counters from the
  // stores, the icon added, the meter window opened when it was left open, Timer1 started. The
  // tray menu opens `windows`. False when the window could not be created.
  bool Load(WindowOpener& windows);

  // TrayWindowLink.
  HWND TrayHandle() const override;
  HICON ProgramIcon() const override;
  void CallFormLoad() override;
  TodayTotals Today() const override;

  TrafficAccounting& accounting() { return *accounting_; }
  // The icon record as last given to the shell.
  const NOTIFYICONDATAA& IconRecord() const { return iconRecord_; }
  // mnuTrayMenu, the popup the right button opens.
  HMENU TrayMenu() const { return trayMenu_; }

  // TickDisplay: the tick's tooltip and meter refresh.
  void ShowTip(const std::string& tip) override;
  void RefreshMeters(const std::string& costNow, const std::string& costToday,
                     const std::string& costThisMonth, const MonthStanding& standing) override;
  void ShowNotification(const std::string& text, bool allowanceUsedUp) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnTrayNotification(LPARAM mouseEvent);
  void OpenTrayMenu();
  void OnCommand(UINT command);
  void ShowSummary(bool hold);

  bool ToggleCheck(UINT command);
  void SetCheck(UINT command, bool checked);
  void SetShowModeChecks(float showMode);

  // NotifyArea: Shell_NotifyIconA with the icon record, and the timer of the retries.
  bool AddIcon() override;
  bool ModifyIcon() override;
  bool DeleteIcon() override;
  void RunRetryTimer(bool running) override;
  // The icon at the small-icon size of the tray window's scale, the notification area's.
  void FitIconToScale();

  platform::Platform& platform_;
  Settings& settings_;
  SharedFlags& flags_;
  MeterWindows& meters_;
  WindowOpener* windows_ = nullptr;
  std::unique_ptr<TrafficAccounting> accounting_;
  UniqueMenu menuResource_;
  HMENU trayMenu_ = nullptr;  // first popup of menuResource_
  UniqueIcon windowIcon_;     // 32 x 32: the window's and the dialogs' icon
  UniqueIcon trayIcon_;       // the small size the notification area asks for
  int trayIconSize_ = 0;
  NOTIFYICONDATAA iconRecord_{};
  TrayIconLife icon_{*this};
  UINT taskbarCreated_ = 0;
};

}  // namespace trafimo::win
