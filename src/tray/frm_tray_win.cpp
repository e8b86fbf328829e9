#include "tray/frm_tray_win.h"

#include <array>
#include <span>

#include "platform/toolkit_win.h"
#include "res/resource_ids.h"
#include "tray/browser_switches.h"
#include "tray/tray_ids.h"
#include "tray/tray_state.h"

namespace trafimo::win {

namespace {

constexpr const char* kClassName = "VelquorTrafimoTray";
constexpr const char* kCaption = "Tray";
constexpr const char* kTaskbarCreatedMessage = "TaskbarCreated";

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1IntervalMs = 1000;
// Adds the icon again while the shell does not take it (at logon, before the shell is ready).
constexpr UINT_PTR kIconRetryTimer = 2;
constexpr UINT kIconRetryIntervalMs = 1000;

constexpr UINT kTrayIconId = 1;
constexpr UINT kTrayIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7
constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;                // 0x0200
constexpr const char* kInitialTip = "Trafimo";

constexpr int kSummarySeconds = 5;

constexpr std::array<UINT, 6> kTransparencyLevelCommands = {
    IDM_TRAY_TRANSPARENCY_LEVEL_0, IDM_TRAY_TRANSPARENCY_LEVEL_1, IDM_TRAY_TRANSPARENCY_LEVEL_2,
    IDM_TRAY_TRANSPARENCY_LEVEL_3, IDM_TRAY_TRANSPARENCY_LEVEL_4, IDM_TRAY_TRANSPARENCY_LEVEL_5};
constexpr UINT kShowModeKbCommand = IDM_TRAY_SHOW_MODE_1;
constexpr UINT kShowModeMbCommand = IDM_TRAY_SHOW_MODE_2;

// Per-user store: sections and keys of the display choices.
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kClickThroughKey = "ClickThough";
constexpr const char* kShowModeKey = "ShowMode";
constexpr const char* kTransparencySection = "Transparency";
constexpr const char* kTransLevelKey = "TransLevel";
constexpr const char* kScreenSection = "screen";
constexpr const char* kVisibleKey = "visible";

HICON LoadProgramIcon(int width, int height) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAFIMO),
                                       IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

}  // namespace

frmTray::frmTray(platform::Platform& platform, Settings& settings, SharedFlags& flags,
                 MeterWindows& meters)
    : platform_(platform),
      settings_(settings),
      flags_(flags),
      meters_(meters),
      windowIcon_(LoadProgramIcon(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON))) {}

frmTray::~frmTray() {
  if (hwnd() != nullptr) KillTimer(hwnd(), kTimer1);
  icon_.Remove();
}

HWND frmTray::TrayHandle() const {
  return hwnd();
}

HICON frmTray::ProgramIcon() const {
  return windowIcon_.get();
}

void frmTray::CallFormLoad() {
  if (accounting_) accounting_->CallFormLoad();
}

TodayTotals frmTray::Today() const {
  if (!accounting_) return {};
  return {accounting_->DateToday, accounting_->CostToday};
}

bool frmTray::Load(WindowOpener& windows) {
  windows_ = &windows;
  // The class keeps the shared copy of the icon, which is never destroyed.
  RegisterClassOnce(kClassName,
                    LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAFIMO)));
  // At 0, 0, on the primary monitor, whose scale the notification area has.
  if (CreateBound(0, kClassName, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 100,
                  nullptr, nullptr) == nullptr)
    return false;
  FitIconToScale();
  taskbarCreated_ = RegisterWindowMessageA(kTaskbarCreatedMessage);
  // Started elevated, the system's message filter keeps the shell's broadcast from this window.
  ChangeWindowMessageFilterEx(hwnd(), taskbarCreated_, MSGFLT_ALLOW, nullptr);

  menuResource_.reset(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU)));
  trayMenu_ = GetSubMenu(menuResource_.get(), 0);

  platform::UserStore& store = platform_.userStore;
  accounting_ = std::make_unique<TrafficAccounting>(platform_, settings_, flags_);

  // The load sequence, in its order.
  accounting_->LoadShowMode();
  accounting_->ShowMode = UsableShowMode(accounting_->ShowMode);
  const bool meterOpen = ParseVisibleFlag(store.Read(kScreenSection, kVisibleKey, "True"));
  SetShowModeChecks(accounting_->ShowMode);
  accounting_->LoadMonthKey();
  flags_.TransLevel = ParseTransLevel(store.Read(kTransparencySection, kTransLevelKey, "0"));
  flags_.ClickThrough = false;
  accounting_->LoadCostThisMonth();
  accounting_->LoadCostToday();

  iconRecord_ = NOTIFYICONDATAA{};
  // The record's full size: it carries the 128-character tip of three lines and notifications.
  iconRecord_.cbSize = sizeof(NOTIFYICONDATAA);
  iconRecord_.hWnd = hwnd();
  iconRecord_.uID = kTrayIconId;
  iconRecord_.uFlags = kTrayIconFlags;
  iconRecord_.uCallbackMessage = kTrayCallbackMessage;
  iconRecord_.hIcon = trayIcon_.get();
  WriteTipField(iconRecord_.szTip, kInitialTip);
  icon_.Show();

  if (meterOpen) ShowSummary(true);

  SetTimer(hwnd(), kTimer1, kTimer1IntervalMs, nullptr);
  return true;
}

void frmTray::ShowTip(const std::string& tip) {
  WriteTipField(iconRecord_.szTip, tip);
  icon_.Update();
}

void frmTray::RefreshMeters(const std::string& costNow, const std::string& costToday,
                            const std::string& costThisMonth, const MonthStanding& standing) {
  meters_.RefreshMeterValues(costNow, costToday, costThisMonth, standing);
}

void frmTray::ShowNotification(const std::string& text, bool allowanceUsedUp) {
  WriteTipField(iconRecord_.szInfoTitle, platform::kApplicationTitle);
  WriteTipField(iconRecord_.szInfo, text);
  iconRecord_.dwInfoFlags = allowanceUsedUp ? NIIF_WARNING : NIIF_INFO;
  iconRecord_.uFlags = kTrayIconFlags | NIF_INFO;
  icon_.Update();
  // Later changes of the record carry the tip alone, or the notification would come again.
  iconRecord_.uFlags = kTrayIconFlags;
}

LRESULT frmTray::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (taskbarCreated_ != 0 && message == taskbarCreated_) {
    // The shell (re)started and forgot every icon, or the scale changed.
    FitIconToScale();
    icon_.Show();
    return 0;
  }
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimer1 && accounting_) accounting_->SampleTraffic(*this);
      if (wParam == kIconRetryTimer) icon_.Show();
      return 0;
    case WM_POWERBROADCAST:
      // Back from sleep: a reading at once, before adapters that were re-initialised move on.
      if (wParam == PBT_APMRESUMEAUTOMATIC && accounting_) accounting_->SampleTraffic(*this);
      return TRUE;
    case WM_DPICHANGED:
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
      FitIconToScale();
      break;
    case kTrayCallbackMessage:
      OnTrayNotification(lParam);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0) OnCommand(LOWORD(wParam));
      return 0;
    case WM_ENDSESSION:
      if (wParam != FALSE) icon_.Remove();
      return 0;
    case WM_CLOSE:
      icon_.Remove();
      break;  // DefWindowProc destroys the window
    case WM_DESTROY:
      KillTimer(hwnd(), kTimer1);
      icon_.Remove();
      PostQuitMessage(0);  // nothing runs without the tray window
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void frmTray::OnTrayNotification(LPARAM mouseEvent) {
  switch (static_cast<UINT>(mouseEvent)) {
    case WM_LBUTTONUP:
      ShowSummary(false);
      break;
    case WM_RBUTTONUP:
      OpenTrayMenu();
      break;
    default:
      break;
  }
}

void frmTray::ShowSummary(bool hold) {
  // A visible settings dialog only comes forward.
  if (windows_ != nullptr && windows_->BringSettingsForwardIfVisible()) return;
  TrafficAccounting& a = *accounting_;
  const std::string now = a.FormatBytes(a.CostNow.Total);
  const std::string today = a.FormatBytes(a.CostToday.Total);
  const std::string month = a.FormatBytes(a.CostThisMonth.Total);
  meters_.ShowMeterSummary(now, today, month, a.MeterStanding(), kSummarySeconds, hold);
}

void frmTray::OpenTrayMenu() {
  platform::Registry& registry = platform_.registry;
  SetCheck(IDM_TRAY_ENABLE_IE_IMAGES, GetIEImages(registry));
  SetCheck(IDM_TRAY_ENABLE_IE_FLASH, GetIEFlash(registry));
  for (const UINT command : kTransparencyLevelCommands)
    SetCheck(command, false);
  if (flags_.TransLevel < kTransparencyLevelCommands.size())
    SetCheck(kTransparencyLevelCommands[flags_.TransLevel], true);
  SetCheck(IDM_TRAY_SET_CLICK_THROUGH, flags_.ClickThrough);

  SetForegroundWindow(hwnd());
  POINT cursor{};
  GetCursorPos(&cursor);
  SetMenuDefaultItem(trayMenu_, IDM_TRAY_EXIT, FALSE);
  // The chosen command runs before the menu call is finished with, as the handler's order needs.
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(trayMenu_, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                     cursor.x, cursor.y, 0, hwnd(), nullptr));
  if (chosen != 0) OnCommand(chosen);
  PostMessageA(hwnd(), WM_NULL, 0, 0);
}

void frmTray::OnCommand(UINT command) {
  platform::UserStore& store = platform_.userStore;
  for (std::size_t level = 0; level < kTransparencyLevelCommands.size(); ++level) {
    if (command == kTransparencyLevelCommands[level]) {
      flags_.TransLevel = static_cast<std::uint8_t>(level);
      store.Write(kTransparencySection, kTransLevelKey, std::to_string(level));
      return;
    }
  }
  switch (command) {
    case IDM_TRAY_ABOUT:
      if (windows_ != nullptr) windows_->ShowAbout();
      break;
    case IDM_TRAY_SETTINGS:
      if (windows_ != nullptr) windows_->ShowSettings();
      break;
    case IDM_TRAY_MONTHLY_USAGE:
      if (windows_ != nullptr) windows_->ShowMonthlyUsage();
      break;
    case IDM_TRAY_SET_CLICK_THROUGH: {
      const bool checked = ToggleCheck(command);
      flags_.ClickThrough = checked;
      store.Write(kSettingsSection, kClickThroughKey, checked ? "1" : "0");
      break;
    }
    case kShowModeKbCommand:
    case kShowModeMbCommand: {
      const float showMode = command == kShowModeKbCommand ? 1.0f : 2.0f;
      accounting_->ShowMode = showMode;
      SetShowModeChecks(showMode);
      store.Write(kSettingsSection, kShowModeKey, command == kShowModeKbCommand ? "1" : "2");
      break;
    }
    case IDM_TRAY_ENABLE_IE_FLASH:
      SetIEFlash(platform_.registry, ToggleCheck(command));
      break;
    case IDM_TRAY_ENABLE_IE_IMAGES:
      SetIEImages(platform_.registry, ToggleCheck(command));
      break;
    case IDM_TRAY_EXIT:
      icon_.Remove();
      platform_.process.EndNow();
    default:
      break;
  }
}

bool frmTray::ToggleCheck(UINT command) {
  const bool checked = (GetMenuState(trayMenu_, command, MF_BYCOMMAND) & MF_CHECKED) == 0;
  SetCheck(command, checked);
  return checked;
}

void frmTray::SetCheck(UINT command, bool checked) {
  CheckMenuItem(trayMenu_, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void frmTray::SetShowModeChecks(float showMode) {
  SetCheck(kShowModeKbCommand, false);
  SetCheck(kShowModeMbCommand, false);
  if (showMode == 1) SetCheck(kShowModeKbCommand, true);
  if (showMode == 2) SetCheck(kShowModeMbCommand, true);
}

bool frmTray::AddIcon() {
  return Shell_NotifyIconA(NIM_ADD, &iconRecord_) != FALSE;
}

bool frmTray::ModifyIcon() {
  return Shell_NotifyIconA(NIM_MODIFY, &iconRecord_) != FALSE;
}

bool frmTray::DeleteIcon() {
  return Shell_NotifyIconA(NIM_DELETE, &iconRecord_) != FALSE;
}

void frmTray::RunRetryTimer(bool running) {
  if (hwnd() == nullptr) return;
  if (running)
    SetTimer(hwnd(), kIconRetryTimer, kIconRetryIntervalMs, nullptr);
  else
    KillTimer(hwnd(), kIconRetryTimer);
}

void frmTray::FitIconToScale() {
  const int size = SmallIconSize(Dpi());
  if (size == trayIconSize_ && trayIcon_) return;
  UniqueIcon icon(LoadProgramIcon(size, size));
  if (!icon) return;
  std::swap(trayIcon_, icon);  // the old one goes once the shell has the new one
  trayIconSize_ = size;
  iconRecord_.hIcon = trayIcon_.get();
  SetWindowIcons(hwnd(), windowIcon_.get(), trayIcon_.get());
  icon_.Update();
}

}  // namespace trafimo::win
