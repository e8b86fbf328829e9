// meter_probe_win.exe: how the open meter window is shown, for the end-to-end scripts.
//   meter_probe_win state   the visible meter window's extended style bits and its layered
//                           alpha: topmost=0|1 layered=0|1 transparent=0|1 alpha=N (alpha=-
//                           when it is not layered)
// Exit status 0 when a meter window was found, 1 when not, 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2 || std::string(argv[1]) != "state") return 2;
  HWND meter = FindWindowA("TrafimoMeter", "frmMessage");
  if (meter == nullptr || !IsWindowVisible(meter)) return 1;
  const LONG exStyle = GetWindowLongA(meter, GWL_EXSTYLE);
  const bool layered = (exStyle & WS_EX_LAYERED) != 0;
  BYTE alpha = 0;
  DWORD how = 0;
  std::printf("topmost=%d layered=%d transparent=%d ", (exStyle & WS_EX_TOPMOST) ? 1 : 0,
              layered ? 1 : 0, (exStyle & WS_EX_TRANSPARENT) ? 1 : 0);
  if (layered && GetLayeredWindowAttributes(meter, nullptr, &alpha, &how) && (how & LWA_ALPHA))
    std::printf("alpha=%d\n", alpha);
  else
    std::printf("alpha=-\n");
  return 0;
}
