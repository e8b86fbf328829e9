// The program's entry point: Main refuses a second instance, loads the settings and loads the
// windows; the message loop then runs until the process ends.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>

#include "about/frm_about_win.h"
#include "meter/frm_message_win.h"
#include "platform/handles_win.h"
#include "platform/platform_win.h"
#include "report/frm_monthly_usage_win.h"
#include "startup/app_context_win.h"
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
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  const auto setContext = reinterpret_cast<SetContextFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
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

// Steps 3 and 4 of the start: the settings dialog when the command line is empty, then the
// hidden tray window, whose load may open the meter (or only bring that dialog forward).
void LoadWindows(AppContext& context, bool commandLineEmpty) {
  if (commandLineEmpty) ShowSettingsDialog(context);
  static frmTray tray;
  if (!tray.Load(context)) EndForLackOfTrayWindow(context.platform);
}

// The hooks through which the windows open one another.
void WireWindowHooks(AppContext& context) {
  context.showMeterSummary = [&context](
                                 const std::string& strCostNow, const std::string& strCostToday,
                                 const std::string& strCostThisMonth, int intSeconds, bool hold) {
    ShowMeterSummary(context, strCostNow, strCostToday, strCostThisMonth, intSeconds, hold);
  };
  context.refreshMeters = [](const std::string& costNow, const std::string& costToday,
                             const std::string& costThisMonth) {
    RefreshMeterValues(costNow, costToday, costThisMonth);
  };
  context.showSettings = [&context] { ShowSettingsDialog(context); };
  context.bringSettingsForwardIfVisible = [] { return BringSettingsForwardIfVisible(); };
  context.showMonthlyUsage = [&context] { ShowMonthlyUsage(context); };
  context.showAbout = [&context] { ShowAbout(context); };
}

int RunMessageLoop() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (TranslateSettingsDialogMessage(message) || MonthlyUsageDialogMessage(message) ||
        AboutDialogMessage(message))
      continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

void Main(AppContext& context, std::string_view commandLine) {
  RefuseSecondInstanceThenLoadSettings(AnotherInstanceRunning(), context.settings,
                                       context.platform);
  WireWindowHooks(context);
  LoadWindows(context, IsCommandLineEmpty(commandLine));
}

}  // namespace trafimo::win

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  using namespace trafimo;
  win::OptIntoPerMonitorDpi();
  win::InitCommonControls();
  static win::RealPlatform realPlatform;
  // The hooks are wired as the windows that provide them arrive.
  static win::AppContext context{realPlatform.get(),
                                 Globals::settings,
                                 Globals::flags,
                                 nullptr,
                                 nullptr,
                                 nullptr,
                                 {},
                                 {},
                                 {},
                                 {},
                                 {},
                                 {}};
  win::Main(context, commandLine != nullptr ? commandLine : "");
  return win::RunMessageLoop();
}
