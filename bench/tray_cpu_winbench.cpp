// The tray program's cost as the user's machine sees it, against tray_minimal_winbench.exe (the
// same hidden window, icon and one-second timer with nothing behind it), both started the same
// way: the time from the start to the icon being held by the shell, and the processor time
// (user + kernel) spent over a stretch of ticking once the icon is there. Prints both figures
// of each program and the ratios.
//   tray_cpu_winbench [SECONDS=60] [PROGRAM=trafimo.exe] [BASELINE=tray_minimal_winbench.exe]
// The programs are looked up next to this one. The tray program is started with /s, so that
// only the tray window opens. Under Wine, GetProcessTimes does not see into other processes, so
// the processor time is read from the Linux process behind the program (/proc through drive Z:,
// found by its command line and this prefix); on Windows GetProcessTimes gives it.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Measured {
  bool ok = false;
  double startToIconMs = 0;
  double cpuMs = 0;  // over the ticking stretch
  int linuxPid = 0;
};

double Milliseconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) / 10000.0;
}

std::string ReadWholeFile(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    text.append(buffer, got);
  CloseHandle(file);
  return text;
}

// Fields of /proc/N/stat after the command name: index 0 is the state (field 3).
std::vector<std::string> StatFields(const std::string& stat) {
  std::vector<std::string> fields;
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return fields;
  std::string field;
  for (std::size_t i = close + 2; i <= stat.size(); ++i) {
    if (i == stat.size() || stat[i] == ' ') {
      fields.push_back(field);
      field.clear();
    } else {
      field += stat[i];
    }
  }
  return fields;
}

// The Linux process running `exeName` in this Wine prefix, the most recently started; 0 when
// not under Wine or not found.
int FindLinuxPid(const std::string& exeName) {
  char prefix[MAX_PATH] = {};
  if (GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH) == 0) return 0;
  const std::string wantedPrefix = std::string("WINEPREFIX=") + prefix;
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int best = 0;
  unsigned long long bestStart = 0;
  do {
    const std::string name = entry.cFileName;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string dir = "Z:\\proc\\" + name + "\\";
    const std::string commandLine = ReadWholeFile(dir + "cmdline");
    if (commandLine.find(exeName) == std::string::npos) continue;
    const std::string environment = ReadWholeFile(dir + "environ");
    if (std::string(environment.c_str(), std::strlen(environment.c_str())) != wantedPrefix &&
        environment.find(std::string(1, '\0') + wantedPrefix + std::string(1, '\0')) ==
            std::string::npos)
      continue;
    const auto fields = StatFields(ReadWholeFile(dir + "stat"));
    if (fields.size() < 20) continue;
    const unsigned long long start = std::strtoull(fields[19].c_str(), nullptr, 10);
    if (best == 0 || start > bestStart) {
      best = std::atoi(name.c_str());
      bestStart = start;
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return best;
}

// Processor time of the program so far: from Linux under Wine, else from Windows.
double CpuMs(HANDLE process, int linuxPid) {
  if (linuxPid != 0) {
    const auto fields =
        StatFields(ReadWholeFile("Z:\\proc\\" + std::to_string(linuxPid) + "\\stat"));
    if (fields.size() > 12) {
      constexpr double kMsPerClockTick = 10.0;  // USER_HZ 100
      return (std::strtod(fields[11].c_str(), nullptr) + std::strtod(fields[12].c_str(), nullptr)) *
             kMsPerClockTick;
    }
  }
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return Milliseconds(kernel) + Milliseconds(user);
}

bool IconHeld(const char* windowClass) {
  const HWND window = FindWindowA(windowClass, nullptr);
  if (window == nullptr) return false;
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = window;
  probe.uID = 1;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

double Now(const LARGE_INTEGER& frequency) {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

Measured Run(const std::string& path, const char* arguments, const char* windowClass, int seconds) {
  Measured result;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::string commandLine = "\"" + path + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const double started = Now(frequency);
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    std::printf("could not start %s\n", path.c_str());
    return result;
  }
  bool held = false;
  while (Now(frequency) - started < 30000) {
    if (IconHeld(windowClass)) {
      held = true;
      break;
    }
    Sleep(2);
  }
  if (held) {
    result.startToIconMs = Now(frequency) - started;
    const int linuxPid = FindLinuxPid(path.substr(path.find_last_of("\\/") + 1));
    const double cpuBefore = CpuMs(process.hProcess, linuxPid);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    result.cpuMs = CpuMs(process.hProcess, linuxPid) - cpuBefore;
    result.linuxPid = linuxPid;
    result.ok = WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
  } else {
    std::printf("%s: no icon within 30 s\n", path.c_str());
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  Sleep(2500);  // let the shell forget the icon before the next start
  return result;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string NextToThis(const char* name) {
  char own[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, own, MAX_PATH);
  std::string path = own;
  path.erase(path.find_last_of("\\/") + 1);
  return path + name;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const std::string program = argc > 2 ? argv[2] : NextToThis("trafimo.exe");
  const std::string baseline = argc > 3 ? argv[3] : NextToThis("tray_minimal_winbench.exe");

  // Start times vary with what the system just did: take the median of several alternating
  // starts; the processor time comes from one long run of each.
  constexpr int kStarts = 4;
  std::vector<double> minimalStarts, trayStarts;
  Measured minimal, tray;
  for (int i = 0; i < kStarts; ++i) {
    const bool last = i == kStarts - 1;
    if (last) std::printf("ticking for %d s each\n", seconds);
    minimal = Run(baseline, "", "TrafimoMinimalTray", last ? seconds : 1);
    tray = Run(program, "/s", "VelquorTrafimoTray", last ? seconds : 1);
    if (!minimal.ok || !tray.ok) {
      std::printf("a run failed\n");
      return 1;
    }
    minimalStarts.push_back(minimal.startToIconMs);
    trayStarts.push_back(tray.startToIconMs);
  }
  minimal.startToIconMs = Median(minimalStarts);
  tray.startToIconMs = Median(trayStarts);
  std::printf("%-22s %14s %18s\n", "", "start to icon", "CPU while ticking");
  std::printf("%-22s %14s %15d s\n", "", "(median)", seconds);
  std::printf("%-22s %11.1f ms %15.1f ms\n", "minimal tray program", minimal.startToIconMs,
              minimal.cpuMs);
  std::printf("%-22s %11.1f ms %15.1f ms\n", "trafimo.exe", tray.startToIconMs, tray.cpuMs);
  std::printf("%-22s %13.2fx %17.2fx\n", "ratio", tray.startToIconMs / minimal.startToIconMs,
              minimal.cpuMs > 0 ? tray.cpuMs / minimal.cpuMs : 0.0);
  std::printf("CPU read from %s\n", tray.linuxPid != 0 ? "the Linux processes" : "GetProcessTimes");
  std::printf("CPU per tick: trafimo %.3f ms, minimal %.3f ms\n", tray.cpuMs / seconds,
              minimal.cpuMs / seconds);
  return 0;
}
