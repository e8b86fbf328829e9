// tray_probe_win.exe: what the notification area shows, for the end-to-end scripts.
//   tray_probe_win icons            every icon shown in the notification area: its tip
//                                   and the centre of its place on the screen, one per line:
//                                   tip=TEXT<TAB>x=X<TAB>y=Y
//   tray_probe_win watch S PREFIX   for up to S seconds, every tip as it changes (tip=TEXT), until
//                                   one begins with PREFIX
//   tray_probe_win present CLASS    whether the shell holds icon 1 of the window of that class
// Exit status 0 when the request succeeded, 1 when not, 2 for a wrong command line.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The tooltip windows of a process.
std::vector<HWND> TooltipWindowsOf(DWORD processId) {
  std::pair<DWORD, std::vector<HWND>> search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& [process, found] = *reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

struct Icon {
  std::string tip;
  long x, y;
};

// The icons the notification area's tooltips know, read through the shell's own memory.
std::vector<Icon> ReadIcons() {
  std::vector<Icon> icons;
  const HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  if (tray == nullptr) return icons;
  DWORD shellProcess = 0;
  GetWindowThreadProcessId(tray, &shellProcess);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shellProcess);
  if (process == nullptr) return icons;
  // Memory inside the shell's process for the tool record and its text.
  constexpr SIZE_T kTextSize = 1024;
  const auto release = [process](void* at) { VirtualFreeEx(process, at, 0, MEM_RELEASE); };
  const auto remote = [&](SIZE_T size) {
    return std::unique_ptr<void, decltype(release)>(
        VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE), release);
  };
  const auto remoteInfo = remote(sizeof(TTTOOLINFOA)), remoteText = remote(kTextSize);
  for (const HWND tooltip : TooltipWindowsOf(shellProcess)) {
    const auto count = static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      TTTOOLINFOA info{};
      info.cbSize = sizeof info;
      info.lpszText = static_cast<char*>(remoteText.get());
      const char empty[1] = {0};
      WriteProcessMemory(process, remoteText.get(), empty, sizeof empty, nullptr);
      WriteProcessMemory(process, remoteInfo.get(), &info, sizeof info, nullptr);
      if (!SendMessageA(tooltip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i),
                        reinterpret_cast<LPARAM>(remoteInfo.get())))
        continue;
      ReadProcessMemory(process, remoteInfo.get(), &info, sizeof info, nullptr);
      char text[kTextSize] = {};
      if (info.lpszText == remoteText.get())
        ReadProcessMemory(process, remoteText.get(), text, sizeof text - 1, nullptr);
      RECT place = info.rect;
      const bool isWindow = info.uFlags & TTF_IDISHWND;
      // The shell keeps the tool of a removed icon, with no place.
      if (!isWindow && IsRectEmpty(&place)) continue;
      if (isWindow)
        GetWindowRect(reinterpret_cast<HWND>(info.uId), &place);
      else
        MapWindowPoints(info.hwnd, nullptr, reinterpret_cast<POINT*>(&place), 2);
      icons.push_back({text, (place.left + place.right) / 2, (place.top + place.bottom) / 2});
    }
  }
  CloseHandle(process);
  return icons;
}

int Icons() {
  const std::vector<Icon> icons = ReadIcons();
  for (const Icon& icon : icons)
    std::printf("tip=%s\tx=%ld\ty=%ld\n", icon.tip.c_str(), icon.x, icon.y);
  return icons.empty() ? 1 : 0;
}

int Watch(double seconds, const std::string& prefix) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  std::vector<std::string> seen;
  while (GetTickCount64() < end) {
    for (const Icon& icon : ReadIcons()) {
      if (std::find(seen.begin(), seen.end(), icon.tip) != seen.end()) continue;
      seen.push_back(icon.tip);
      std::printf("tip=%s\n", icon.tip.c_str());
      std::fflush(stdout);
      if (icon.tip.rfind(prefix, 0) == 0) return 0;
    }
    Sleep(10);
  }
  return 1;
}

int Present(const char* windowClass) {
  const HWND window = FindWindowA(windowClass, nullptr);
  if (window == nullptr) return 1;
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = 1;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  const int status = command == "icons"                 ? Icons()
                     : command == "watch" && argc > 3   ? Watch(std::atof(argv[2]), argv[3])
                     : command == "present" && argc > 2 ? Present(argv[2])
                                                        : 2;
  if (status == 2) std::fprintf(stderr, "usage: see the top of tray_probe_win.cpp\n");
  std::fflush(stdout);
  return status;
}
