// What the program's windows share at run time: the platform, the shared settings and flags,
// the tray window's counters and icon, and the ways to open the other windows. main wires the
// hooks, so each window only knows the hook it calls.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/platform.h"
#include "startup/globals.h"

namespace trafimo {
class TrafficAccounting;
}

namespace trafimo::win {

struct AppContext {
  platform::Platform& platform;
  Settings& settings;
  SharedFlags& flags;

  TrafficAccounting* accounting = nullptr;  // the tray window's counters, once it is loaded
  HWND trayWindow = nullptr;                // the tray window (owner of shell requests)
  HICON appIcon = nullptr;                  // the tray window's icon, for every dialog

  // Opens a meter window (or only brings a visible settings dialog forward).
  std::function<void(const std::string& strCostNow, const std::string& strCostToday,
                     const std::string& strCostThisMonth, int intSeconds, bool hold)>
      showMeterSummary;
  // Rewrites the three values of every open meter window.
  std::function<void(const std::string& costNow, const std::string& costToday,
                     const std::string& costThisMonth)>
      refreshMeters;
  // Brings the settings dialog to the front when it is visible; false when it is not.
  std::function<bool()> bringSettingsForwardIfVisible;
  std::function<void()> showSettings;      // the one settings dialog, modeless
  std::function<void()> showMonthlyUsage;  // the one monthly totals window, modeless
  std::function<void()> showAbout;         // the one about window, modeless
};

}  // namespace trafimo::win
