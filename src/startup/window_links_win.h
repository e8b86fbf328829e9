// What the program's windows ask of one another. Main builds the windows and hands each the
// links it uses.
#pragma once

#include <windows.h>

#include "accounting/day_records.h"

namespace trafimo::win {

// What the other windows ask of the hidden tray window.
class TrayWindowLink {
 public:
  virtual ~TrayWindowLink() = default;
  // The tray window, owner of the shell requests; null before it is loaded.
  virtual HWND TrayHandle() const = 0;
  // The program's icon, for every window.
  virtual HICON ProgramIcon() const = 0;
  // Zeroes the counters and reads the stores again ("Clear all data"); nothing before the load.
  virtual void CallFormLoad() = 0;
  // The live Today counter with the day stamp it belongs to; nothing counted before the load.
  virtual TodayTotals Today() const = 0;
};

// The windows the tray menu opens, one shared instance each.
class WindowOpener {
 public:
  virtual ~WindowOpener() = default;
  virtual void ShowSettings() = 0;
  // Brings the settings dialog to the front when it is visible; false when it is not.
  virtual bool BringSettingsForwardIfVisible() = 0;
  virtual void ShowMonthlyUsage() = 0;
  virtual void ShowAbout() = 0;
};

}  // namespace trafimo::win
