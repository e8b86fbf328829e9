#include "platform/toolkit_win.h"

#include "platform/window_win.h"

namespace trafimo::win {

RECT PixelsOf(const TwipsRect& twips, UINT dpi) {
  return {TwipsToPixels(twips.left, dpi), TwipsToPixels(twips.top, dpi),
          TwipsToPixels(twips.left + twips.width, dpi),
          TwipsToPixels(twips.top + twips.height, dpi)};
}

UniqueFont MakeFont(const FontSpec& font, UINT dpi) {
  return UniqueFont(CreateFontA(-MulDiv(font.hundredthsOfPoint, static_cast<int>(dpi), 7200), 0, 0,
                                0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline,
                                FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, font.face));
}

void FontSet::Make(std::span<const FontSpec> specs, UINT dpi) {
  std::vector<UniqueFont> fonts;
  for (const FontSpec& font : specs)
    fonts.push_back(MakeFont(font, dpi));
  fonts_.swap(fonts);
}

HFONT FontSet::operator[](int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < fonts_.size()
             ? fonts_[static_cast<std::size_t>(index)].get()
             : nullptr;
}

void CreateControls(HWND parent, std::span<const ControlSpec> table) {
  for (const ControlSpec& control : table) {
    if (control.className == nullptr) continue;
    CreateWindowExA(control.exStyle, control.className, control.text, control.style, 0, 0, 0, 0,
                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                    GetModuleHandleA(nullptr), nullptr);
  }
}

void LayOutControls(HWND parent, std::span<const ControlSpec> table, UINT dpi,
                    const FontSet& fonts) {
  for (const ControlSpec& control : table) {
    HWND child = GetDlgItem(parent, control.id);
    if (child == nullptr) continue;
    const RECT r = PixelsOf(control.place, dpi);
    SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (control.font != kNoFont)
      SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[control.font]), TRUE);
  }
}

void KeyboardFocus::OnActivate(HWND window, WPARAM wParam, HWND fallback) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window, focus)) saved_ = focus;
  } else if (saved_ != nullptr && IsWindow(saved_) && IsChild(window, saved_) &&
             IsWindowVisible(saved_)) {
    SetFocus(saved_);
  } else if (fallback != nullptr) {
    SetFocus(fallback);
  }
}

RECT PrimaryWorkArea() {
  MONITORINFO monitor{sizeof monitor, {}, {}, 0};
  GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  return monitor.rcWork;
}

void SizeAndCentreOnWorkArea(HWND window, int clientWidthTwips, int clientHeightTwips, UINT dpi) {
  RECT frame{0, 0, TwipsToPixels(clientWidthTwips, dpi), TwipsToPixels(clientHeightTwips, dpi)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
  const RECT work = PrimaryWorkArea();
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetWindowIcons(HWND window, HICON big, HICON small) {
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

int SmallIconSize(UINT dpi) {
  // GetSystemMetricsForDpi exists from Windows 10 1607; before it, the size of the system's scale.
  using ForDpiFn = int(WINAPI*)(int, UINT);
  static const auto forDpi =
      FindFunction<ForDpiFn>(GetModuleHandleA("user32.dll"), "GetSystemMetricsForDpi");
  return forDpi != nullptr ? forDpi(SM_CXSMICON, dpi) : GetSystemMetrics(SM_CXSMICON);
}

}  // namespace trafimo::win
