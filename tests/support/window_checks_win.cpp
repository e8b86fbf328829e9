#include "support/window_checks_win.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace trafimo::testing {

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

namespace {

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

bool IsGroupBox(HWND control) {
  char name[16] = {};
  GetClassNameA(control, name, sizeof name);
  return _stricmp(name, "Button") == 0 &&
         (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

void ExpectInside(HWND window, int overhanging) {
  RECT client{};
  GetClientRect(window, &client);
  for (HWND child : ChildrenOf(window)) {
    if (!IsWindowVisible(child)) continue;
    const int id = GetDlgCtrlID(child);
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(r.right > r.left && r.bottom > r.top) << "control " << id << " is empty";
    EXPECT_TRUE(id == overhanging ||
                (r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom))
        << "control " << id << " (" << TextOf(child) << ") sticks out of its parent";
    if (!IsGroupBox(child)) {
      const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      EXPECT_EQ(ChildWindowFromPointEx(window, centre, CWP_SKIPINVISIBLE), child)
          << "control " << id << " (" << TextOf(child) << ") is covered";
    }
    ExpectInside(child, overhanging);
  }
}

void ExpectTabCycle(HWND window) {
  std::set<HWND> stops;
  std::vector<HWND> pending{window};
  while (!pending.empty()) {
    HWND parent = pending.back();
    pending.pop_back();
    for (HWND child : ChildrenOf(parent)) {
      const LONG style = GetWindowLongA(child, GWL_STYLE);
      if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
      if (style & WS_TABSTOP) stops.insert(child);
      pending.push_back(child);
    }
  }
  ASSERT_FALSE(stops.empty());
  HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
  std::set<HWND> visited;
  HWND at = first;
  do {
    EXPECT_TRUE(stops.count(at)) << "Tab stops at control " << GetDlgCtrlID(at);
    EXPECT_TRUE(visited.insert(at).second) << "Tab visits control " << GetDlgCtrlID(at) << " twice";
    at = GetNextDlgTabItem(window, at, FALSE);
  } while (at != first && at != nullptr && visited.size() <= stops.size());
  EXPECT_EQ(visited, stops);
}

}  // namespace

void ExpectTextsFit(HWND window) {
  for (HWND child : ChildrenOf(window)) {
    ExpectTextsFit(child);
    char name[16] = {};
    GetClassNameA(child, name, sizeof name);
    const std::string text = TextOf(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const LONG kind = style & SS_TYPEMASK;
    // A push button's text stands on one line inside its raised edges.
    const bool button =
        _stricmp(name, "Button") == 0 &&
        ((style & BS_TYPEMASK) == BS_PUSHBUTTON || (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
    if (text.empty() || !IsWindowVisible(child) ||
        (!button && (_stricmp(name, "Static") != 0 ||
                     (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT &&
                      kind != SS_LEFTNOWORDWRAP && kind != SS_SIMPLE))))
      continue;
    HDC dc = GetDC(child);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    LOGFONTA asked{};
    GetObjectA(font, sizeof asked, &asked);
    char used[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof used, used);
    RECT client{}, needed{};
    GetClientRect(child, &client);
    if (button) {
      client.right -= 4 * GetSystemMetrics(SM_CXEDGE);
      client.bottom -= 2 * GetSystemMetrics(SM_CYEDGE);
    }
    needed.right = client.right;
    const bool wraps = !button && kind != SS_LEFTNOWORDWRAP && kind != SS_SIMPLE;
    DrawTextA(dc, text.c_str(), -1, &needed,
              DT_CALCRECT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE) |
                  (!button && (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0));
    SelectObject(dc, old);
    ReleaseDC(child, dc);
    EXPECT_TRUE(font == nullptr || _stricmp(asked.lfFaceName, used) == 0)
        << "\"" << text << "\" is drawn in " << used << ", not in " << asked.lfFaceName;
    EXPECT_TRUE(needed.right <= client.right && needed.bottom <= client.bottom)
        << "\"" << text << "\" needs " << needed.right << " x " << needed.bottom
        << " pixels, its box is " << client.right << " x " << client.bottom;
  }
}

void ExpectLaidOut(HWND window, int overhanging) {
  ExpectInside(window, overhanging);
  ExpectTextsFit(window);
  ExpectTabCycle(window);
}

void ExpectProgramsWindow(HWND window, HICON icon) {
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)), icon);
  MONITORINFO monitor{sizeof monitor, {}, {}, 0};
  GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 2);
  EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 2);
}

void AtEachDpi(HWND window, const std::function<void()>& check) {
  for (int from = 96; const int dpi : {96, 120, 144}) {
    SCOPED_TRACE(dpi);
    RECT suggested{};  // the window's rectangle scaled to the new DPI, as the system suggests it
    GetWindowRect(window, &suggested);
    suggested.right = suggested.left + MulDiv(suggested.right - suggested.left, dpi, from);
    suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top, dpi, from);
    if (dpi != std::exchange(from, dpi))
      SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    check();
  }
}

}  // namespace trafimo::testing
