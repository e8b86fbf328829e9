// The pieces every window of the program is built from: a layout table in twips and the one
// function that creates and places its controls at the window's DPI, the one font factory, and
// helpers to size and centre a window and to set its icons.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "platform/handles_win.h"

namespace trafimo::win {

struct TwipsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

// Both edges converted, so that neighbours stay apart at every DPI.
RECT PixelsOf(const TwipsRect& twips, UINT dpi);

// A font of a face and a size in hundredths of a point (825 is 8.25 points).
struct FontSpec {
  const char* face;
  int hundredthsOfPoint;
  bool bold = false, italic = false, underline = false;
};
UniqueFont MakeFont(const FontSpec& font, UINT dpi);

// A window's fonts, made again for each DPI; controls name them by index.
class FontSet {
 public:
  // New fonts first, then the old ones go: the controls never hold a deleted font.
  void Make(std::span<const FontSpec> specs, UINT dpi);
  HFONT operator[](int index) const;

 private:
  std::vector<UniqueFont> fonts_;
};

inline constexpr int kNoFont = -1;  // the control keeps a font of its own

// One control of a layout table; the table's order is the tab order.
struct ControlSpec {
  int id;
  const char* className;  // null: a control the window creates itself (only placed here)
  const char* text;
  DWORD style;
  TwipsRect place;
  int font = 0;  // index into the window's FontSet, or kNoFont
  DWORD exStyle = 0;
};

// Creates the table's controls as children of `parent`, in its order; LayOutControls places them.
void CreateControls(HWND parent, std::span<const ControlSpec> table);
// Places each control of the table at `dpi` and gives it its font.
void LayOutControls(HWND parent, std::span<const ControlSpec> table, UINT dpi,
                    const FontSet& fonts);

// Keeps the control that has the keyboard while its window is inactive and gives it back when the
// window is active again, as a dialog does (WM_ACTIVATE's handling); when none had it, or it is
// hidden now, `fallback` takes it.
class KeyboardFocus {
 public:
  void OnActivate(HWND window, WPARAM wParam, HWND fallback);

 private:
  HWND saved_ = nullptr;
};

// The primary monitor's work area as it is now (GetMonitorInfo; SPI_GETWORKAREA may be read once
// per process and cached, as Wine does).
RECT PrimaryWorkArea();

// Sizes the window for a client area in twips at `dpi` and centres it on the work area of the
// primary monitor.
void SizeAndCentreOnWorkArea(HWND window, int clientWidthTwips, int clientHeightTwips, UINT dpi);

// The window's big and small icons.
void SetWindowIcons(HWND window, HICON big, HICON small);

// The width and height of a small icon (a caption's, the notification area's) at `dpi`.
int SmallIconSize(UINT dpi);

}  // namespace trafimo::win
