#include "platform/window_win.h"

#include "platform/handles_win.h"

namespace trafimo::win {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// GetDpiForWindow exists from Windows 10 1607; older systems report the screen's DPI.
UINT DpiOf(HWND hwnd) {
  static const auto getDpiForWindow =
      FindFunction<GetDpiForWindowFn>(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
  if (hwnd != nullptr && getDpiForWindow != nullptr) {
    if (const UINT dpi = getDpiForWindow(hwnd); dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

Window::~Window() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
}

bool Window::RegisterClassOnce(const char* className, HICON icon, HBRUSH background, UINT style) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &existing)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &Window::StaticWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = background != nullptr ? background : GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = className;
  return RegisterClassExA(&wc) != 0;
}

UINT Window::Dpi() const {
  return announcedDpi_ != 0 ? announcedDpi_ : DpiOf(hwnd_);
}
int Window::TwipsX(int twips) const {
  return TwipsToPixels(twips, Dpi());
}
int Window::TwipsY(int twips) const {
  return TwipsToPixels(twips, Dpi());
}

HWND Window::CreateBound(DWORD exStyle, const char* className, const char* caption, DWORD style,
                         int x, int y, int width, int height, HWND parent, HMENU menu) {
  return CreateWindowExA(exStyle, className, caption, style, x, y, width, height, parent, menu,
                         GetModuleHandleA(nullptr), this);
}

void Window::MoveToSuggestedRect(LPARAM lParam) {
  const auto* suggested = reinterpret_cast<const RECT*>(lParam);
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(hwnd_, &paint);
      OnPaint(dc);
      EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: {
      const std::optional<ControlColours> colours = ColoursOf(reinterpret_cast<HWND>(lParam));
      if (!colours) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (colours->text) SetTextColor(dc, *colours->text);
      if (colours->textBack)
        SetBkColor(dc, *colours->textBack);
      else
        SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(colours->background);
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  // The scale the window is moved to, as the message announces it, is the one it lays itself
  // out at from now on.
  if (message == WM_DPICHANGED && LOWORD(wParam) != 0) self->announcedDpi_ = LOWORD(wParam);

  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // No exception may cross into the system's dispatcher; the message counts as handled.
    result = 0;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->announcedDpi_ = 0;
    self->OnDestroyed();
  }
  return result;
}

}  // namespace trafimo::win
