// The program's entry point: Main refuses a second instance, loads the settings and loads the
// windows; the message loop then runs until the process ends.
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <string_view>

#include "about/frm_about_win.h"
#include "meter/frm_message_win.h"
#include "platform/handles_win.h"
#include "platform/platform_win.h"
#include "platform/shared_form_win.h"
#include "report/frm_monthly_usage_win.h"
#include "report/usage_export.h"
#include "startup/globals.h"
#include "settings/frm_settings_win.h"
#include "startup/startup.h"
#include "tray/frm_tray_win.h"

namespace trafimo::win {

namespace {

// One instance per logged-on user: the name lives in the session's own namespace.
constexpr char kInstanceMutexName[] = "Local\\Velquor Trafimo single instance";

void OptIntoPerMonitorDpi() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  const auto setContext =
      FindFunction<SetContextFn>(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext");
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, then V1 on systems without V2.
  if (setContext != nullptr && (setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4))) ||
                                setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-3)))))
    return;
  SetProcessDPIAware();
}

void InitCommonControls() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
}

// Held for the whole run; the system releases it when the process ends.
UniqueKernelHandle& InstanceMutex() {
  static UniqueKernelHandle mutex;
  return mutex;
}

bool AnotherInstanceRunning() {
  SetLastError(ERROR_SUCCESS);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
  const DWORD error = GetLastError();
  InstanceMutex().reset(mutex);
  return MutexErrorMeansAnotherInstance(error);
}

// The windows the tray menu opens: one settings dialog, one monthly totals and one about
// window, each created when first shown.
class ProgramWindows : public WindowOpener {
 public:
  ProgramWindows(platform::Platform& platform, Settings& settings, TrayWindowLink& tray)
      : platform_(platform), shared_(settings), tray_(tray), settings_(platform, settings, tray) {}

  void ShowSettings() override { settings_.Show(); }
  bool BringSettingsForwardIfVisible() override { return settings_.BringForwardIfVisible(); }
  void ShowMonthlyUsage() override { monthlyUsage_.Show(platform_, shared_, tray_); }
  void ShowAbout() override { about_.Show(platform_.shell, tray_); }

  // The open windows' keyboard handling (Tab, Enter, Esc, access keys) for a message of the loop.
  bool PreTranslate(MSG& message) {
    return settings_.PreTranslateMessage(message) || monthlyUsage_.PreTranslate(message) ||
           about_.PreTranslate(message);
  }

 private:
  platform::Platform& platform_;
  const Settings& shared_;
  TrayWindowLink& tray_;
  frmSettings settings_;
  SharedForm<FrmMonthlyUsage> monthlyUsage_;
  SharedForm<FrmAbout> about_;
};

int RunMessageLoop(ProgramWindows& windows) {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (windows.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

// The start: refuse a second instance and load the settings, then the settings dialog when the
// command line is empty, then the hidden tray window, whose load may open the meter (or only
// bring that dialog forward); the message loop runs until the process ends. "/export FILE" only
// reads what is stored and writes the file, beside a running copy too.
int Main(std::string_view commandLine) {
  static RealPlatform realPlatform;
  platform::Platform& platform = realPlatform.get();
  if (const std::optional<std::string> path = ExportPathOf(commandLine))
    return report::ExportStoredUsage(platform, *path);
  RefuseSecondInstanceThenLoadSettings(AnotherInstanceRunning(), Globals::settings, platform);

  static MeterWindows meters(platform, Globals::flags);
  static frmTray tray(platform, Globals::settings, Globals::flags, meters);
  static ProgramWindows windows(platform, Globals::settings, tray);
  if (IsCommandLineEmpty(commandLine)) windows.ShowSettings();
  if (!tray.Load(windows)) EndForLackOfTrayWindow(platform);
  return RunMessageLoop(windows);
}

}  // namespace trafimo::win

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  trafimo::win::OptIntoPerMonitorDpi();
  trafimo::win::InitCommonControls();
  return trafimo::win::Main(commandLine != nullptr ? commandLine : "");
}
