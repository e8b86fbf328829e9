// A small base for the program's windows: binds the C++ object to its HWND at WM_NCCREATE,
// forwards messages to a member handler and unbinds at WM_NCDESTROY.
#pragma once

#include <windows.h>

#include <optional>

namespace trafimo::win {

// How a child control is painted, as a WM_CTLCOLOR* answer gives it.
struct ControlColours {
  HBRUSH background;                 // the control's background
  std::optional<COLORREF> text;      // the text colour; the system's when absent
  std::optional<COLORREF> textBack;  // behind the text; transparent when absent
};

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

  // Registers `className` once per process with this class's window procedure.
  static bool RegisterClassOnce(const char* className, HICON icon = nullptr,
                                HBRUSH background = nullptr, UINT style = 0);

  // Twips to pixels at this window's DPI (96 before the window exists).
  int TwipsX(int twips) const;
  int TwipsY(int twips) const;
  UINT Dpi() const;

 protected:
  // Creates the window with this object bound to it.
  HWND CreateBound(DWORD exStyle, const char* className, const char* caption, DWORD style, int x,
                   int y, int width, int height, HWND parent, HMENU menu);

  // WM_DPICHANGED: takes the place and size the system suggests for the new DPI (lParam).
  void MoveToSuggestedRect(LPARAM lParam);

  // Messages not handled return DefWindowProcA's result. WM_PAINT goes to OnPaint, the
  // WM_CTLCOLOR* messages of the children to ColoursOf.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Draws into the window's paint DC.
  virtual void OnPaint(HDC /*dc*/) {}
  // The colours of a child control; the system's when absent.
  virtual std::optional<ControlColours> ColoursOf(HWND /*control*/) { return std::nullopt; }
  // Called after WM_NCDESTROY, when the HWND is gone.
  virtual void OnDestroyed() {}

 private:
  static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  UINT announcedDpi_ = 0;  // the last WM_DPICHANGED's, once one came
};

// Converts twips at a DPI, rounding to the nearest pixel.
inline int TwipsToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

}  // namespace trafimo::win
