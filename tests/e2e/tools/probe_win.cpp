// probe_win.exe: looks at the desktop the way a person would, for the end-to-end scripts.
//   probe_win list                    the visible top-level windows: process, class, title, the
//                                     extended style bits the meter changes, the layered alpha
//                                     ("-" when not layered) and the rectangle on the screen
//   probe_win wait TITLE [CLASS] [S]  waits up to S seconds (10) for a visible window; prints it
//   probe_win gone TITLE [CLASS] [S]  waits up to S seconds (10) until no such window is visible
//   probe_win press TITLE BUTTON      presses the button captioned BUTTON ("&" ignored)
//   probe_win controls TITLE          the child controls, the window's own first: id, class,
//                                     text, visibility, whether it shows an icon, rectangle on
//                                     the screen
//   probe_win items TITLE ID          a list box's entries: index, selection, rectangle on the
//                                     screen (of the visible part) and text
//   probe_win procs NAME              running processes with that executable name
//   probe_win iftable                 the interface table: type and description per row
//   probe_win icons                   the notification area's icons: tip and the centre of its
//                                     place on the screen, "tip=TEXT<TAB>x=X<TAB>y=Y"
//   probe_win watch S PREFIX          for up to S seconds, every tip as it changes (tip=TEXT),
//                                     until one begins with PREFIX
//   probe_win deny-writes KEY         makes HKLM\... or HKCU\... KEY refuse writes to everyone, as
//                                     HKEY_LOCAL_MACHINE refuses a standard user
// Texts are escaped on one line (\r, \n, \\, \xHH). Exit status 0 when the request succeeded, 1
// when not, 2 for a wrong command line.
#include <windows.h>
#include <aclapi.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ifstats/ip_helper.h"
#include "platform/platform_win.h"

namespace {

std::string TextOf(HWND window) {
  char text[4096] = {};
  // WM_GETTEXT works across processes for the standard controls and top-level windows.
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (const unsigned char c : text) {
    char piece[8] = {static_cast<char>(c), 0};
    const char* format = c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\\' ? "\\\\" : "\\x%02X";
    if (c < 0x20 || c == '\\') std::snprintf(piece, sizeof piece, format, c);
    out += piece;
  }
  return out;
}

RECT RectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// The children of `parent`, or every top-level window when it is null.
std::vector<HWND> Windows(HWND parent) {
  std::vector<HWND> windows;
  const auto add = [](HWND window, LPARAM found) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
  };
  if (parent == nullptr)
    EnumWindows(add, reinterpret_cast<LPARAM>(&windows));
  else
    EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND FindVisible(const std::string& title, const std::string& className = "") {
  for (HWND window : Windows(nullptr))
    if (IsWindowVisible(window) && TextOf(window) == title &&
        (className.empty() || ClassOf(window) == className))
      return window;
  return nullptr;
}

void PrintWindow(HWND window) {
  const RECT rect = RectOf(window);
  DWORD process = 0, how = 0;
  GetWindowThreadProcessId(window, &process);
  const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  BYTE alpha = 0;
  const bool layered = (exStyle & WS_EX_LAYERED) &&
                       GetLayeredWindowAttributes(window, nullptr, &alpha, &how) &&
                       (how & LWA_ALPHA);
  std::printf(
      "pid=%lu class=\"%s\" title=\"%s\" topmost=%d layered=%d transparent=%d alpha=%s "
      "rect=%ld,%ld,%ld,%ld\n",
      static_cast<unsigned long>(process), ClassOf(window).c_str(), Escaped(TextOf(window)).c_str(),
      (exStyle & WS_EX_TOPMOST) ? 1 : 0, (exStyle & WS_EX_LAYERED) ? 1 : 0,
      (exStyle & WS_EX_TRANSPARENT) ? 1 : 0, layered ? std::to_string(alpha).c_str() : "-",
      rect.left, rect.top, rect.right, rect.bottom);
}

int Wait(const std::string& title, const std::string& className, double seconds, bool present) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  for (;; Sleep(100)) {
    HWND window = FindVisible(title, className);
    if ((window != nullptr) == present) {
      if (window != nullptr) PrintWindow(window);
      return 0;
    }
    if (GetTickCount64() >= until) return 1;
  }
}

int Press(const std::string& title, std::string caption) {
  HWND window = FindVisible(title);
  for (HWND child : window ? Windows(window) : std::vector<HWND>{}) {
    std::string text = TextOf(child);
    std::erase(text, '&');
    if (_stricmp(ClassOf(child).c_str(), "Button") != 0 || text != caption) continue;
    PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                 reinterpret_cast<LPARAM>(child));
    return 0;
  }
  return std::fprintf(stderr, "no button \"%s\" in \"%s\"\n", caption.c_str(), title.c_str()), 1;
}

int Controls(const std::string& title) {
  HWND window = FindVisible(title);
  if (window == nullptr) return 1;
  // The window's own controls first, then the ones inside them (a box's EDIT may reuse an id).
  std::vector<HWND> children = Windows(window);
  std::stable_partition(children.begin(), children.end(),
                        [window](HWND child) { return GetParent(child) == window; });
  for (HWND child : children) {
    const RECT rect = RectOf(child);
    const bool icon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                      _stricmp(ClassOf(child).c_str(), "Static") == 0 &&
                      SendMessageA(child, STM_GETICON, 0, 0) != 0;
    std::printf("id=%d class=\"%s\" text=\"%s\" visible=%d icon=%d rect=%ld,%ld,%ld,%ld\n",
                GetDlgCtrlID(child), ClassOf(child).c_str(), Escaped(TextOf(child)).c_str(),
                IsWindowVisible(child) ? 1 : 0, icon ? 1 : 0, rect.left, rect.top, rect.right,
                rect.bottom);
  }
  return 0;
}

int Items(const std::string& title, const std::string& id) {
  HWND window = FindVisible(title);
  HWND list = window ? GetDlgItem(window, std::atoi(id.c_str())) : nullptr;
  if (list == nullptr) return 1;
  RECT client{};
  GetClientRect(list, &client);
  for (WPARAM i = 0; i < static_cast<WPARAM>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
    // Wide: Wine hands an "A" request of another process the list's wide text.
    std::wstring wide(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
    // Only the part inside the list's client area can be clicked.
    RECT item{}, shown{};
    SendMessageA(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
    if (IntersectRect(&shown, &item, &client))
      MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&shown), 2);
    std::printf("index=%d selected=%d rect=%ld,%ld,%ld,%ld text=\"%s\"\n", static_cast<int>(i),
                SendMessageA(list, LB_GETSEL, i, 0) > 0 ? 1 : 0, shown.left, shown.top, shown.right,
                shown.bottom, Escaped(text).c_str());
  }
  return 0;
}

int Processes(const std::string& name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 1;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (_stricmp(entry.szExeFile, name.c_str()) == 0)
      std::printf("pid=%lu name=%s\n", static_cast<unsigned long>(entry.th32ProcessID),
                  entry.szExeFile);
  CloseHandle(snapshot);
  return 0;
}

int InterfaceTable() {
  trafimo::win::RealPlatform real;
  trafimo::CIpHelper reader(real.get().ifTable, real.get().messages, real.get().process);
  for (const trafimo::CInterface& row : reader.Interfaces())
    std::printf("%d\t%s\n", row.InterfaceType, row.InterfaceDescription.c_str());
  return 0;
}

struct Icon {
  std::string tip;
  long x, y;
};

// The icons the notification area's tooltips know, read through the shell's own memory.
std::vector<Icon> ReadIcons() {
  std::vector<Icon> icons;
  DWORD shellProcess = 0;
  GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), &shellProcess);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shellProcess);
  if (shellProcess == 0 || process == nullptr) return icons;
  // Memory inside the shell's process for the tool record and its text.
  constexpr SIZE_T kTextSize = 1024;
  const auto release = [process](void* at) { VirtualFreeEx(process, at, 0, MEM_RELEASE); };
  const auto remote = [&](SIZE_T size) {
    return std::unique_ptr<void, decltype(release)>(
        VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE), release);
  };
  const auto remoteInfo = remote(sizeof(TTTOOLINFOA)), remoteText = remote(kTextSize);
  for (HWND tooltip : Windows(nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(tooltip, &owner);
    if (owner != shellProcess || _stricmp(ClassOf(tooltip).c_str(), TOOLTIPS_CLASSA) != 0) continue;
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
        place = RectOf(reinterpret_cast<HWND>(info.uId));
      else
        MapWindowPoints(info.hwnd, nullptr, reinterpret_cast<POINT*>(&place), 2);
      icons.push_back({text, (place.left + place.right) / 2, (place.top + place.bottom) / 2});
    }
  }
  CloseHandle(process);
  return icons;
}

int Watch(double seconds, const std::string& prefix) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  std::vector<std::string> seen;
  for (; GetTickCount64() < end; Sleep(10)) {
    for (const Icon& icon : ReadIcons()) {
      if (std::find(seen.begin(), seen.end(), icon.tip) != seen.end()) continue;
      seen.push_back(icon.tip);
      std::printf("tip=%s\n", icon.tip.c_str());
      std::fflush(stdout);
      if (icon.tip.rfind(prefix, 0) == 0) return 0;
    }
  }
  return 1;
}

// Adds a deny ACE for KEY_SET_VALUE | KEY_CREATE_SUB_KEY to everyone on "HKLM\..." or "HKCU\..."
// (created when missing).
int DenyWrites(const std::string& path) {
  const std::size_t slash = path.find('\\');
  const std::string root = path.substr(0, slash);
  HKEY hive = root == "HKLM" ? HKEY_LOCAL_MACHINE : root == "HKCU" ? HKEY_CURRENT_USER : nullptr;
  HKEY key = nullptr;
  if (hive == nullptr || slash == std::string::npos ||
      RegCreateKeyExA(hive, path.substr(slash + 1).c_str(), 0, nullptr, 0, READ_CONTROL | WRITE_DAC,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return std::fprintf(stderr, "cannot open %s\n", path.c_str()), 1;
  PACL current = nullptr, changed = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &current,
                  nullptr, &descriptor);
  char everyone[] = "EVERYONE";
  EXPLICIT_ACCESSA refusal{};
  refusal.grfAccessPermissions = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
  refusal.grfAccessMode = DENY_ACCESS;
  refusal.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  BuildTrusteeWithNameA(&refusal.Trustee, everyone);
  SetEntriesInAclA(1, &refusal, current, &changed);
  const DWORD result = changed == nullptr
                           ? ERROR_INVALID_ACL
                           : SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION,
                                             nullptr, nullptr, changed, nullptr);
  LocalFree(changed);
  LocalFree(descriptor);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto arg = [&](std::size_t i, const char* fallback = "") {
    return i < args.size() ? args[i] : std::string(fallback);
  };
  const std::string command = arg(0);
  const std::size_t count = args.size();
  int status = 2;
  if (command == "list") {
    status = 0;
    for (HWND window : Windows(nullptr))
      if (IsWindowVisible(window)) PrintWindow(window);
  } else if ((command == "wait" || command == "gone") && count >= 2) {
    status = Wait(args[1], arg(2), std::atof(arg(3, "10").c_str()), command == "wait");
  } else if (command == "press" && count >= 3) {
    status = Press(args[1], args[2]);
  } else if (command == "controls" && count >= 2) {
    status = Controls(args[1]);
  } else if (command == "items" && count >= 3) {
    status = Items(args[1], args[2]);
  } else if (command == "procs" && count >= 2) {
    status = Processes(args[1]);
  } else if (command == "iftable") {
    status = InterfaceTable();
  } else if (command == "icons") {
    const std::vector<Icon> icons = ReadIcons();
    for (const Icon& icon : icons)
      std::printf("tip=%s\tx=%ld\ty=%ld\n", icon.tip.c_str(), icon.x, icon.y);
    status = icons.empty() ? 1 : 0;
  } else if (command == "watch" && count >= 3) {
    status = Watch(std::atof(args[1].c_str()), args[2]);
  } else if (command == "deny-writes" && count >= 2) {
    status = DenyWrites(args[1]);
  }
  if (status == 2) std::fprintf(stderr, "usage: see the top of probe_win.cpp\n");
  std::fflush(stdout);
  return status;
}
