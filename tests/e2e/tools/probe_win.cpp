// probe_win.exe: looks at the desktop the way a person would, for the end-to-end scripts.
//   probe_win list [--all]            top-level windows: handle, process, visibility, class,
//                                     title and rectangle (hidden ones too with --all)
//   probe_win wait TITLE [CLASS] [S]  waits up to S seconds (10) for a visible window
//   probe_win gone TITLE [CLASS] [S]  waits up to S seconds (10) until no such window is visible
//   probe_win msgbox TITLE            a message box's title, text, buttons and whether it has an
//                                     icon; text escaped on one line (\r, \n, \\, \xHH)
//   probe_win press TITLE BUTTON      presses the button captioned BUTTON ("&" ignored)
//   probe_win controls TITLE          the child controls: id, class, text, style, rectangle
//   probe_win procs NAME              running processes with that executable name
//   probe_win iftable                 the interface table: type and description per row
//   probe_win place TITLE ID          a control's rectangle on the screen
//   probe_win items TITLE ID          a list box's entries: index, selection, rectangle on the
//                                     screen (of the visible ones) and text
//   probe_win deny-writes KEY         makes HKLM\... or HKCU\... KEY refuse writes to everyone, as
//                                     HKEY_LOCAL_MACHINE refuses a standard user
//   probe_win allow-writes KEY        removes those refusals again
// Exit status 0 when the request succeeded, 1 when not, 2 for a wrong command line.
#include <windows.h>
#include <aclapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

std::string WithoutAmpersands(std::string text) {
  std::erase(text, '&');
  return text;
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

HWND FindVisible(const std::string& title, const std::string& className) {
  for (HWND window : Windows(nullptr))
    if (IsWindowVisible(window) && TextOf(window) == title &&
        (className.empty() || ClassOf(window) == className))
      return window;
  return nullptr;
}

void PrintWindow(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  std::printf("hwnd=%p pid=%lu visible=%d class=\"%s\" title=\"%s\" rect=%ld,%ld,%ld,%ld\n",
              static_cast<void*>(window), static_cast<unsigned long>(process),
              IsWindowVisible(window) ? 1 : 0, ClassOf(window).c_str(),
              Escaped(TextOf(window)).c_str(), rect.left, rect.top, rect.right, rect.bottom);
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

int MessageBoxReport(const std::string& title) {
  HWND box = FindVisible(title, "#32770");
  if (box == nullptr) return std::fprintf(stderr, "no message box \"%s\"\n", title.c_str()), 1;
  std::printf("title=%s\ntext=%s\n", Escaped(TextOf(box)).c_str(),
              Escaped(TextOf(GetDlgItem(box, 0xFFFF))).c_str());
  bool icon = false;
  for (HWND child : Windows(box)) {
    const std::string kind = ClassOf(child);
    if (!IsWindowVisible(child)) continue;
    if (_stricmp(kind.c_str(), "Button") == 0)
      std::printf("button=%s\n", WithoutAmpersands(TextOf(child)).c_str());
    icon |= _stricmp(kind.c_str(), "Static") == 0 &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageA(child, STM_GETICON, 0, 0) != 0;
  }
  std::printf("icon=%d\n", icon ? 1 : 0);
  return 0;
}

int Press(const std::string& title, const std::string& caption) {
  HWND window = FindVisible(title, "");
  for (HWND child : window ? Windows(window) : std::vector<HWND>{}) {
    if (_stricmp(ClassOf(child).c_str(), "Button") != 0 ||
        WithoutAmpersands(TextOf(child)) != caption)
      continue;
    PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                 reinterpret_cast<LPARAM>(child));
    return 0;
  }
  std::fprintf(stderr, "no button \"%s\" in \"%s\"\n", caption.c_str(), title.c_str());
  return 1;
}

int Controls(const std::string& title) {
  HWND window = FindVisible(title, "");
  if (window == nullptr) return 1;
  for (HWND child : Windows(window)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("id=%d class=\"%s\" text=\"%s\" style=0x%08lX visible=%d rect=%ld,%ld,%ld,%ld\n",
                GetDlgCtrlID(child), ClassOf(child).c_str(), Escaped(TextOf(child)).c_str(),
                static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)),
                IsWindowVisible(child) ? 1 : 0, rect.left, rect.top, rect.right, rect.bottom);
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

HWND ControlOf(const std::string& title, const std::string& id) {
  HWND window = FindVisible(title, "");
  return window == nullptr ? nullptr : GetDlgItem(window, std::atoi(id.c_str()));
}

int Place(const std::string& title, const std::string& id) {
  HWND control = ControlOf(title, id);
  RECT rect{};
  if (control == nullptr || !GetWindowRect(control, &rect)) return 1;
  std::printf("rect=%ld,%ld,%ld,%ld\n", rect.left, rect.top, rect.right, rect.bottom);
  return 0;
}

int Items(const std::string& title, const std::string& id) {
  HWND list = ControlOf(title, id);
  if (list == nullptr) return 1;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  RECT client{};
  GetClientRect(list, &client);
  for (LRESULT i = 0; i < count; ++i) {
    const auto index = static_cast<WPARAM>(i);
    // Wide: Wine hands an "A" request of another process the list's wide text.
    std::wstring wide(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1,
                      L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()));
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
    // Only the part inside the list's client area can be clicked.
    RECT item{}, shown{};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    if (IntersectRect(&shown, &item, &client))
      MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&shown), 2);
    std::printf("index=%d selected=%d rect=%ld,%ld,%ld,%ld text=\"%s\"\n", static_cast<int>(i),
                SendMessageA(list, LB_GETSEL, index, 0) > 0 ? 1 : 0, shown.left, shown.top,
                shown.right, shown.bottom, Escaped(text).c_str());
  }
  return 0;
}

// Opens "HKLM\\..." or "HKCU\\..." (created when missing) to read and change its DACL.
HKEY OpenForSecurity(const std::string& path) {
  const std::size_t slash = path.find('\\');
  const std::string root = path.substr(0, slash);
  HKEY hive = root == "HKLM" ? HKEY_LOCAL_MACHINE : root == "HKCU" ? HKEY_CURRENT_USER : nullptr;
  HKEY key = nullptr;
  if (hive == nullptr || slash == std::string::npos ||
      RegCreateKeyExA(hive, path.substr(slash + 1).c_str(), 0, nullptr, 0, READ_CONTROL | WRITE_DAC,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

// Adds a deny ACE for KEY_SET_VALUE | KEY_CREATE_SUB_KEY to everyone, or removes every deny ACE.
int SetWriteRefusal(const std::string& path, bool deny) {
  HKEY key = OpenForSecurity(path);
  if (key == nullptr) return std::fprintf(stderr, "cannot open %s\n", path.c_str()), 1;
  PACL current = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &current,
                  nullptr, &descriptor);
  PACL changed = nullptr;
  if (deny) {
    char everyone[] = "EVERYONE";
    EXPLICIT_ACCESSA refusal{};
    refusal.grfAccessPermissions = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    refusal.grfAccessMode = DENY_ACCESS;
    refusal.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    BuildTrusteeWithNameA(&refusal.Trustee, everyone);
    SetEntriesInAclA(1, &refusal, current, &changed);
  } else {
    const DWORD size = current != nullptr ? current->AclSize : sizeof(ACL);
    changed = static_cast<PACL>(LocalAlloc(LPTR, size));
    InitializeAcl(changed, size, ACL_REVISION);
    for (DWORD i = 0; current != nullptr && i < current->AceCount; ++i) {
      ACE_HEADER* ace = nullptr;
      if (GetAce(current, i, reinterpret_cast<void**>(&ace)) &&
          ace->AceType != ACCESS_DENIED_ACE_TYPE)
        AddAce(changed, ACL_REVISION, MAXDWORD, ace, ace->AceSize);
    }
  }
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
  const auto arg = [&](std::size_t i, const char* fallback) {
    return i < args.size() ? args[i] : std::string(fallback);
  };
  const std::string command = arg(0, ""), first = arg(1, "");
  const std::size_t count = args.size();
  int status = 2;
  if (command == "list") {
    status = 0;
    for (HWND window : Windows(nullptr))
      if (first == "--all" || IsWindowVisible(window)) PrintWindow(window);
  } else if ((command == "wait" || command == "gone") && count >= 2) {
    status = Wait(first, arg(2, ""), std::atof(arg(3, "10").c_str()), command == "wait");
  } else if (command == "msgbox" && count >= 2) {
    status = MessageBoxReport(first);
  } else if (command == "press" && count >= 3) {
    status = Press(first, args[2]);
  } else if (command == "controls" && count >= 2) {
    status = Controls(first);
  } else if (command == "procs" && count >= 2) {
    status = Processes(first);
  } else if (command == "iftable") {
    status = InterfaceTable();
  } else if (args[0] == "place" && args.size() >= 3) {
    status = Place(args[1], args[2]);
  } else if (args[0] == "items" && args.size() >= 3) {
    status = Items(args[1], args[2]);
  } else if ((command == "deny-writes" || command == "allow-writes") && count >= 2) {
    status = SetWriteRefusal(first, command == "deny-writes");
  }
  if (status == 2) std::fprintf(stderr, "usage: see the top of probe_win.cpp\n");
  std::fflush(stdout);
  return status;
}
