// probe_win.exe: looks at the desktop the way a person would, for the end-to-end scripts.
//   probe_win list                    the visible top-level windows: class, title, the
//                                     layered alpha ("-" when not layered), whether it has the
//                                     keyboard and the rectangle
//   probe_win wait TITLE [CLASS] [S]  waits up to S seconds (20) for a visible window
//   probe_win gone TITLE [CLASS] [S]  waits up to S seconds (20) until no such window is visible
//   probe_win controls TITLE          the child controls, the window's own first: id, class,
//                                     text, rectangle on the screen; after a list box its
//                                     entries: selection, rectangle of the visible part, text
//   probe_win icons                   the notification area's icons: "tip=TEXT<TAB>x=X<TAB>y=Y",
//                                     the centre of its place on the screen
//   probe_win deny-writes KEY         makes HKLM\... KEY refuse writes to everyone, as
//                                     HKEY_LOCAL_MACHINE refuses a standard user
// Line breaks in texts are shown as \r and \n. Exit status 0 when the request succeeded, 1 when
// not, 2 for a wrong command line.
#include <windows.h>
#include <commctrl.h>
#include <sddl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Line breaks shown as \r and \n.
std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text)
    out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out;
}

std::string TextOf(HWND window) {
  char text[4096] = {};
  // WM_GETTEXT works across processes for the standard controls and top-level windows.
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return Escaped(text);
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string RectOf(RECT r) {
  return "rect=" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.right) + "," + std::to_string(r.bottom);
}

// The descendants of `parent`, its own children first, or every top-level window when it is null.
std::vector<HWND> Windows(HWND parent) {
  std::vector<HWND> windows;
  const auto add = [](HWND window, LPARAM found) -> BOOL {
    return reinterpret_cast<std::vector<HWND>*>(found)->push_back(window), TRUE;
  };
  if (parent == nullptr) return EnumWindows(add, reinterpret_cast<LPARAM>(&windows)), windows;
  EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&windows));
  std::stable_partition(windows.begin(), windows.end(),
                        [parent](HWND child) { return GetParent(child) == parent; });
  return windows;
}

HWND FindVisible(const std::string& title, const std::string& className = "") {
  for (HWND window : Windows(nullptr))
    if (IsWindowVisible(window) && TextOf(window) == title &&
        (className.empty() || ClassOf(window) == className))
      return window;
  return nullptr;
}

int List() {
  for (HWND window : Windows(nullptr)) {
    RECT rect{};
    DWORD how = 0;
    BYTE alpha = 0;
    const bool layered = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) &&
                         GetLayeredWindowAttributes(window, nullptr, &alpha, &how) &&
                         (how & LWA_ALPHA);
    if (IsWindowVisible(window) && GetWindowRect(window, &rect))
      std::printf("class=\"%s\" title=\"%s\" alpha=%s foreground=%d %s\n", ClassOf(window).c_str(),
                  TextOf(window).c_str(), layered ? std::to_string(alpha).c_str() : "-",
                  window == GetForegroundWindow(), RectOf(rect).c_str());
  }
  return 0;
}

int Wait(const std::string& title, const std::string& className, double seconds, bool present) {
  for (const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);;
       Sleep(100)) {
    if ((FindVisible(title, className) != nullptr) == present) return 0;
    if (GetTickCount64() >= until) return 1;
  }
}

// A list box's entries: selection, the rectangle of their visible part, text.
void PrintItems(HWND list) {
  RECT client{};
  GetClientRect(list, &client);
  for (WPARAM i = 0; i < static_cast<WPARAM>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
    // Wide: Wine hands an "A" request of another process the list's wide text.
    wchar_t wide[1024] = {};
    char text[1024] = {};
    if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 1024)
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    RECT item{}, shown{};
    SendMessageA(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
    if (IntersectRect(&shown, &item, &client))
      MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&shown), 2);
    std::printf("item of=%d selected=%d %s text=\"%s\"\n", GetDlgCtrlID(list),
                SendMessageA(list, LB_GETSEL, i, 0) > 0, RectOf(shown).c_str(), text);
  }
}

int Controls(HWND window) {
  for (HWND child : window ? Windows(window) : std::vector<HWND>{}) {
    RECT rect{};
    GetWindowRect(child, &rect);
    std::printf("id=%d class=\"%s\" text=\"%s\" %s\n", GetDlgCtrlID(child), ClassOf(child).c_str(),
                TextOf(child).c_str(), RectOf(rect).c_str());
    if (_stricmp(ClassOf(child).c_str(), "ListBox") == 0) PrintItems(child);
  }
  return window ? 0 : 1;
}

// The icons the notification area's tooltips know, read through the shell's own memory.
int Icons() {
  DWORD shell = 0;
  GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), &shell);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shell);
  if (shell == 0 || process == nullptr) return 1;
  constexpr SIZE_T kTextSize = 1024;
  auto* remoteInfo = static_cast<char*>(VirtualAllocEx(
      process, nullptr, sizeof(TTTOOLINFOA) + kTextSize, MEM_COMMIT, PAGE_READWRITE));
  char* remoteText = remoteInfo + sizeof(TTTOOLINFOA);
  for (HWND tooltip : Windows(nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(tooltip, &owner);
    if (owner != shell || _stricmp(ClassOf(tooltip).c_str(), TOOLTIPS_CLASSA) != 0) continue;
    for (int i = 0; i < static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0)); ++i) {
      TTTOOLINFOA info{};
      info.cbSize = sizeof info;
      info.lpszText = remoteText;
      char text[kTextSize] = {};
      WriteProcessMemory(process, remoteText, text, 1, nullptr);
      WriteProcessMemory(process, remoteInfo, &info, sizeof info, nullptr);
      if (!SendMessageA(tooltip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(remoteInfo))) continue;
      ReadProcessMemory(process, remoteInfo, &info, sizeof info, nullptr);
      if (info.lpszText == remoteText)
        ReadProcessMemory(process, remoteText, text, sizeof text - 1, nullptr);
      RECT place = info.rect;
      if (IsRectEmpty(&place)) continue;  // the tool of a removed icon
      MapWindowPoints(info.hwnd, nullptr, reinterpret_cast<POINT*>(&place), 2);
      std::printf("tip=%s\tx=%ld\ty=%ld\n", Escaped(text).c_str(), (place.left + place.right) / 2,
                  (place.top + place.bottom) / 2);
    }
  }
  VirtualFreeEx(process, remoteInfo, 0, MEM_RELEASE);
  CloseHandle(process);
  return 0;
}

// Gives "HKLM\..." (created when missing) a DACL that refuses KEY_SET_VALUE | KEY_CREATE_SUB_KEY
// to everyone and allows the rest.
int DenyWrites(const std::string& path) {
  HKEY key = nullptr;
  PSECURITY_DESCRIPTOR refusal = nullptr;
  const bool done = path.rfind("HKLM\\", 0) == 0 &&
                    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.substr(5).c_str(), 0, nullptr, 0,
                                    WRITE_DAC, nullptr, &key, nullptr) == ERROR_SUCCESS &&
                    ConvertStringSecurityDescriptorToSecurityDescriptorA(
                        "D:(D;CI;0x6;;;WD)(A;CI;KA;;;WD)", SDDL_REVISION_1, &refusal, nullptr) &&
                    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, refusal) == ERROR_SUCCESS;
  LocalFree(refusal);
  if (key) RegCloseKey(key);
  return done ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const auto arg = [&](int i, const char* fallback = "") {
    return std::string(i < argc ? argv[i] : fallback);
  };
  const std::string command = arg(1), first = arg(2);
  const int status = command == "list" ? List()
                     : command == "wait" || command == "gone"
                         ? Wait(first, arg(3), std::atof(arg(4, "20").c_str()), command == "wait")
                     : command == "controls"    ? Controls(FindVisible(first))
                     : command == "icons"       ? Icons()
                     : command == "deny-writes" ? DenyWrites(first)
                                                : 2;
  if (status == 2) std::fprintf(stderr, "usage: see the top of probe_win.cpp\n");
  std::fflush(stdout);
  return status;
}
