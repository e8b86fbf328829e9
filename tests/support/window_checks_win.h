// Layout properties of a real window, checked the same way for every window of the program.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "startup/window_links_win.h"

namespace trafimo::testing {

// The tray window as the other windows see it.
struct FakeTray : win::TrayWindowLink {
  HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  int formLoads = 0;
  HWND handle = nullptr;
  TodayTotals today;
  HWND TrayHandle() const override { return handle; }
  HICON ProgramIcon() const override { return icon; }
  void CallFormLoad() override { ++formLoads; }
  TodayTotals Today() const override { return today; }
};

// The window has the program's icon and is centred on the primary monitor's work area.
void ExpectProgramsWindow(HWND window, HICON icon);

// Every visible control lies inside its parent's client area, is not empty, and a hit test at
// its centre finds it (nothing covers it); group boxes, which lie beneath what they hold, only
// need to be inside. Controls that hold controls are checked the same way. `overhanging` names
// a control laid out on purpose over its parent's edge. Every text fits (ExpectTextsFit), and
// Tab, from the first tab stop on, visits every enabled, visible tab stop exactly once before it
// comes back to the first.
void ExpectLaidOut(HWND window, int overhanging = 0);

// Every text of a static control or push button, measured with its own font as the control
// draws it (a static wrapped at its width unless it does not wrap), fits inside the control.
// The font must be the face it asks for: a face the system lacks falls back to another one,
// whose letters are not the ones Windows measures.
void ExpectTextsFit(HWND window);

// Runs `check` at 96, 120 and 144 DPI, the window moved from one to the next as the system moves
// it (WM_DPICHANGED with the window's rectangle scaled).
void AtEachDpi(HWND window, const std::function<void()>& check);

std::string TextOf(HWND window);

// The WM_COMMAND that control `id` of `window` sends its parent (`code` 0: a menu's command).
void Command(HWND window, int id, int code = BN_CLICKED);

}  // namespace trafimo::testing
