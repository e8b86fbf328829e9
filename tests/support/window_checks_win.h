// Layout properties of a real window, checked the same way for every window of the program.
#pragma once

#include <windows.h>

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

// The window's big icon is the program's.
inline HICON BigIconOf(HWND window) {
  return reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
}

// The window is centred on the primary monitor's work area (to the pixel).
void ExpectCentredOnWorkArea(HWND window);

// Every visible control lies inside its parent's client area, is not empty, and a hit test at
// its centre finds it (nothing covers it); group boxes, which lie beneath what they hold, only
// need to be inside. Controls that hold controls are checked the same way. `overhanging` names
// a control laid out on purpose over its parent's edge.
void ExpectLaidOut(HWND window, int overhanging = 0);

// Every text of a static control, measured with its own font as the control draws it (wrapped
// at its width unless it does not wrap), fits inside the control. The font must be the face it
// asks for: a face the system lacks falls back to another one, whose letters are not the ones
// Windows measures.
void ExpectTextsFit(HWND window);

// Tab, from the first tab stop on, visits every enabled, visible tab stop exactly once before it
// comes back to the first.
void ExpectTabCycle(HWND window);

// Moves the window from a screen of `from` DPI to one of `dpi` as the system does (WM_DPICHANGED
// with the window's rectangle scaled) and returns the client size it takes.
SIZE MoveToDpi(HWND window, UINT dpi, UINT from = 96);

std::string TextOf(HWND window);

}  // namespace trafimo::testing
