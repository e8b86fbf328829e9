// The baseline of the tray benchmark: the least a tray program of this kind does. A hidden
// window adds one notification-area icon and, on a one-second timer, gives the shell the same
// kind of tip update the tray window gives it, without reading or counting anything.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

namespace {

constexpr const char* kClassName = "TrafimoMinimalTray";
constexpr UINT_PTR kTimer = 1;
constexpr UINT kIntervalMs = 1000;
constexpr UINT kCallbackMessage = WM_MOUSEMOVE;

NOTIFYICONDATAA g_icon{};

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      std::strcpy(g_icon.szTip, "Current - 0.00 MB");
      Shell_NotifyIconA(NIM_MODIFY, &g_icon);
      return 0;
    case WM_DESTROY:
      Shell_NotifyIconA(NIM_DELETE, &g_icon);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &Procedure;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);
  const HWND window =
      CreateWindowExA(0, kClassName, "Tray", WS_OVERLAPPED, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  g_icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  g_icon.hWnd = window;
  g_icon.uID = 1;
  g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_icon.uCallbackMessage = kCallbackMessage;
  g_icon.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  std::strcpy(g_icon.szTip, "Trafimo");
  Shell_NotifyIconA(NIM_ADD, &g_icon);
  SetTimer(window, kTimer, kIntervalMs, nullptr);
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
