#include "support/window_checks_win.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "platform/handles_win.h"

namespace trafimo::testing {

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

void Command(HWND window, int id, int code) {
  HWND control = GetDlgItem(window, id);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

namespace {

// The visible descendants of `window`, each parent before its children; hidden with its parent,
// a control is left out.
std::vector<HWND> VisibleDescendants(HWND window) {
  std::vector<HWND> found;
  const auto add = [](HWND child, LPARAM list) -> BOOL {
    if (IsWindowVisible(child)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
  };
  EnumChildWindows(window, add, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool IsClass(HWND control, const char* name) {
  char found[16] = {};
  GetClassNameA(control, found, sizeof found);
  return _stricmp(found, name) == 0;
}

}  // namespace

void ExpectTextsFit(HWND window) {
  for (HWND child : VisibleDescendants(window)) {
    const std::string text = TextOf(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE), kind = style & SS_TYPEMASK;
    // A push button's text stands on one line inside its raised edges; a label wraps at its width
    // unless it is of a kind that does not wrap.
    const bool button = IsClass(child, "Button") && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
    const bool label = IsClass(child, "Static") &&
                       (kind <= SS_RIGHT || kind == SS_LEFTNOWORDWRAP || kind == SS_SIMPLE);
    if (text.empty() || !(button || label)) continue;
    win::WindowDc dc(child);
    const auto font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    win::SelectedObject selected(dc.get(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    LOGFONTA asked{};
    GetObjectA(font, sizeof asked, &asked);
    char used[LF_FACESIZE] = {};
    GetTextFaceA(dc.get(), sizeof used, used);
    RECT client{}, needed{};
    GetClientRect(child, &client);
    if (button) client.right -= 4 * GetSystemMetrics(SM_CXEDGE);
    if (button) client.bottom -= 2 * GetSystemMetrics(SM_CYEDGE);
    needed.right = client.right;
    DrawTextA(dc.get(), text.c_str(), -1, &needed,
              DT_CALCRECT | DT_EXPANDTABS |
                  (label && kind <= SS_RIGHT ? DT_WORDBREAK : DT_SINGLELINE) |
                  (label && (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0));
    EXPECT_TRUE(font == nullptr || _stricmp(asked.lfFaceName, used) == 0)
        << "\"" << text << "\" is drawn in " << used << ", not in " << asked.lfFaceName;
    EXPECT_TRUE(needed.right <= client.right && needed.bottom <= client.bottom)
        << "\"" << text << "\" needs " << needed.right << " x " << needed.bottom
        << " pixels, its box is " << client.right << " x " << client.bottom;
  }
}

void ExpectLaidOut(HWND window, int overhanging) {
  std::set<HWND> stops, visited;
  for (HWND child : VisibleDescendants(window)) {
    HWND parent = GetParent(child);
    const int id = GetDlgCtrlID(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (IsWindowEnabled(child) && (style & WS_TABSTOP)) stops.insert(child);
    RECT client{}, r{};
    GetClientRect(parent, &client);
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(r.right > r.left && r.bottom > r.top) << "control " << id << " is empty";
    EXPECT_TRUE(id == overhanging ||
                (r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom))
        << "control " << id << " (" << TextOf(child) << ") sticks out of its parent";
    // A group box lies beneath what it holds.
    if (IsClass(child, "Button") && (style & BS_TYPEMASK) == BS_GROUPBOX) continue;
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(ChildWindowFromPointEx(parent, centre, CWP_SKIPINVISIBLE), child)
        << "control " << id << " (" << TextOf(child) << ") is covered";
  }
  ExpectTextsFit(window);
  ASSERT_FALSE(stops.empty());
  HWND first = GetNextDlgTabItem(window, nullptr, FALSE), at = first;
  for (; at != nullptr && visited.insert(at).second; at = GetNextDlgTabItem(window, at, FALSE))
    EXPECT_TRUE(stops.count(at)) << "Tab stops at control " << GetDlgCtrlID(at);
  EXPECT_EQ(at, first) << "Tab visits control " << GetDlgCtrlID(at) << " twice";
  EXPECT_EQ(visited, stops);
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
