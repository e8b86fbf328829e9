#include "settings/frm_settings_win.h"

#include <exception>
#include <string>

#include "accounting/accounting.h"
#include "ifstats/ip_helper.h"

namespace trafimo::win {

namespace {

constexpr int kFrameLeft = 1980;
// The allowance's row lies between the month start day and the free times, which are lower by
// as much as the dialog is taller.
constexpr int kAllowanceRowTop = 2940;
constexpr int kBelowAllowance = 450;
constexpr int kFrameTop = 2940 + kBelowAllowance;

// A place given relative to fraFreeTimes.
constexpr TwipsRect InFrame(int left, int top, int width, int height) {
  return {kFrameLeft + left, kFrameTop + top, width, height};
}

enum SettingsFont { kNormalFont, kBoldFont };
constexpr FontSpec kFonts[] = {{"MS Sans Serif", 825}, {"MS Sans Serif", 825, true}};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kCheckBox = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kList =
    kChild | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP;
// The numeric boxes are created by NebControl (no class here) and keep their records' fonts.
constexpr const char* kNumericBox = nullptr;

// In tab order. Each text fits its box at 100 %, 125 % and 150 % in the fonts Windows has: two
// lines of "Don't track between these times", "From" and "(24 hour format)" whole, the colons in
// the gaps between the boxes. The frame comes last, so that it lies beneath everything it holds and
// is never painted over the controls on its edge.
// clang-format off
constexpr ControlSpec kControls[] = {
    {IDC_SETTINGS_ALWAYS_RUN_IN_TRAY, "BUTTON", "&Run this program on Windows start up", kCheckBox, {225, 150, 4155, 390}},
    {IDC_SETTINGS_LABEL + 1, "STATIC", "Select the Network Interfaces to monitor", kLabel, {210, 675, 1740, 525}},
    {IDC_SETTINGS_INTERFACES, "LISTBOX", "", kList, {2010, 675, 5100, 1410}, kNormalFont, WS_EX_CLIENTEDGE},
    {IDC_SETTINGS_LABEL + 7, "STATIC", "Month Start day", kLabel, {210, 2505, 1470, 330}},
    {IDC_SETTINGS_MONTH_START_DAY, kNumericBox, "", 0, {1995, 2490, 405, 300}, kNoFont},
    {IDC_SETTINGS_LABEL + 14, "STATIC", "Monthly allowance", kLabel, {210, kAllowanceRowTop + 15, 1740, 255}},
    {IDC_SETTINGS_ALLOWANCE, kNumericBox, "", 0, {1995, kAllowanceRowTop, 1005, 300}, kNoFont},
    {IDC_SETTINGS_LABEL + 15, "STATIC", "GB", kLabel, {3045, kAllowanceRowTop + 45, 330, 255}},
    {IDC_SETTINGS_LABEL + 16, "STATIC", "Warn at", kLabel, {3585, kAllowanceRowTop + 45, 780, 255}},
    {IDC_SETTINGS_WARN_AT, kNumericBox, "", 0, {4380, kAllowanceRowTop, 405, 300}, kNoFont},
    {IDC_SETTINGS_LABEL + 17, "STATIC", "%", kLabel, {4830, kAllowanceRowTop + 45, 240, 255}},
    {IDC_SETTINGS_LABEL + 18, "STATIC", "(0 for none)", kLabel, {5190, kAllowanceRowTop + 45, 1500, 255}},
    {IDC_SETTINGS_LABEL + 2, "STATIC", "Don't track between these times", kLabel, {210, 3015 + kBelowAllowance, 1515, 420}},
    {IDC_SETTINGS_ENABLE_FREE_TIMES, "BUTTON", "Enable", kCheckBox, {2085, 2955 + kBelowAllowance, 795, 210}},
    {IDC_SETTINGS_LABEL + 3, "STATIC", "From", kLabel, InFrame(330, 315, 450, 255)},
    {IDC_SETTINGS_FROM_HH, kNumericBox, "", 0, InFrame(825, 300, 465, 300), kNoFont},
    {IDC_SETTINGS_FROM_MM, kNumericBox, "", 0, InFrame(1410, 300, 465, 300), kNoFont},
    {IDC_SETTINGS_FROM_SS, kNumericBox, "", 0, InFrame(1995, 300, 465, 300), kNoFont},
    {IDC_SETTINGS_LABEL + 4, "STATIC", "To", kLabel, InFrame(2910, 315, 315, 255)},
    {IDC_SETTINGS_TO_HH, kNumericBox, "", 0, InFrame(3225, 300, 465, 300), kNoFont},
    {IDC_SETTINGS_TO_MM, kNumericBox, "", 0, InFrame(3825, 300, 465, 300), kNoFont},
    {IDC_SETTINGS_TO_SS, kNumericBox, "", 0, InFrame(4410, 300, 465, 300), kNoFont},
    {IDOK, "BUTTON", "&Ok", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, {4545, 4080 + kBelowAllowance, 1245, 315}},
    {IDCANCEL, "BUTTON", "&Cancel", kButton, {5910, 4080 + kBelowAllowance, 1245, 315}},
    {IDC_SETTINGS_LABEL + 10, "STATIC", ":", kLabel, InFrame(1305, 345, 90, 210), kBoldFont},
    {IDC_SETTINGS_LABEL + 13, "STATIC", ":", kLabel, InFrame(4305, 345, 90, 210), kBoldFont},
    {IDC_SETTINGS_LABEL + 12, "STATIC", ":", kLabel, InFrame(3720, 345, 90, 210), kBoldFont},
    {IDC_SETTINGS_LABEL + 11, "STATIC", ":", kLabel, InFrame(1890, 345, 90, 210), kBoldFont},
    {IDC_SETTINGS_LABEL + 5, "STATIC", "(Loopback interface is not used in Internet traffic)", kLabel, {2070, 2160, 5115, 195}},
    {IDC_SETTINGS_CLEAR_LOG, "BUTTON", "Clear all data", kButton, {240, 4035 + kBelowAllowance, 1710, 330}},
    {IDC_SETTINGS_LABEL + 6, "STATIC", "(24 hour format)", kLabel, InFrame(3870, 645, 1305, 255)},
    {IDC_SETTINGS_LABEL + 8, "STATIC", "(Start day of monthly billing cycle)", kLabel, {2445, 2520, 2505, 285}},
    {IDC_SETTINGS_FREE_TIMES_FRAME, "BUTTON", "", kChild | BS_GROUPBOX | WS_CLIPSIBLINGS, {kFrameLeft, kFrameTop, 5265, 930}},
};
// clang-format on

// The numeric boxes' control ids, in the order of SettingsBox.
constexpr int kBoxIds[kBoxCount] = {
    IDC_SETTINGS_MONTH_START_DAY, IDC_SETTINGS_FROM_HH,   IDC_SETTINGS_FROM_MM,
    IDC_SETTINGS_FROM_SS,         IDC_SETTINGS_TO_HH,     IDC_SETTINGS_TO_MM,
    IDC_SETTINGS_TO_SS,           IDC_SETTINGS_ALLOWANCE, IDC_SETTINGS_WARN_AT};

constexpr SettingsBox kTimeBoxes[] = {kBoxFromHH, kBoxFromMM, kBoxFromSS,
                                      kBoxToHH,   kBoxToMM,   kBoxToSS};

int BoxOf(int id) {
  for (int box = 0; box < kBoxCount; ++box)
    if (kBoxIds[box] == id) return box;
  return -1;
}

bool IsChecked(HWND checkBox) {
  return SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

frmSettings::frmSettings(platform::Platform& platform, Settings& settings, TrayWindowLink& tray)
    : platform_(platform), settings_(settings), tray_(tray) {}

void frmSettings::Show() {
  if (hwnd() != nullptr) {
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    BringForwardIfVisible();
    return;
  }
  if (!CreateWindowAndControls()) return;
  Load();
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
  FocusFirstControl();
}

bool frmSettings::BringForwardIfVisible() {
  if (hwnd() == nullptr || !IsWindowVisible(hwnd())) return false;
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  BringWindowToTop(hwnd());
  SetForegroundWindow(hwnd());
  return true;
}

bool frmSettings::PreTranslateMessage(MSG& message) {
  return hwnd() != nullptr && IsDialogMessageA(hwnd(), &message) != FALSE;
}

void frmSettings::Close() {
  if (hwnd() != nullptr) DestroyWindow(hwnd());
}

NebControl* frmSettings::Box(SettingsBox box) const {
  return static_cast<std::size_t>(box) < boxes_.size() ? boxes_[box].get() : nullptr;
}

bool frmSettings::CreateWindowAndControls() {
  RegisterClassOnce(kSettingsClassName);
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  if (CreateBound(exStyle, kSettingsClassName, kSettingsCaption, style, 0, 0, 100, 100, nullptr,
                  nullptr) == nullptr) {
    return false;
  }
  // The size follows the window's real DPI, so it is set once the window exists.
  SizeAndCentreOnWorkArea(hwnd(), kSettingsClientWidthTwips, kSettingsClientHeightTwips, Dpi());

  boxes_.clear();
  boxes_.resize(kBoxCount);
  CreateControls(hwnd(), kControls);
  for (const ControlSpec& control : kControls) {
    const int box = BoxOf(control.id);
    if (box < 0) continue;
    // Created in tab order among the others: each box goes after the control before it.
    auto neb = std::make_unique<NebControl>(platform_.messages);
    const controls::PropertyRecord record =
        settings::NebInstanceRecord(settings::kNebInstances[box]);
    neb->Create(hwnd(), control.id, 0, 0, 0, 0, &record);
    boxes_[static_cast<std::size_t>(box)] = std::move(neb);
  }
  PutInTabOrder();
  Layout();
  return true;
}

void frmSettings::PutInTabOrder() {
  HWND previous = HWND_TOP;
  for (const ControlSpec& control : kControls) {
    HWND child = Item(control.id);
    if (child == nullptr) continue;
    SetWindowPos(child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = child;
  }
}

void frmSettings::Layout() {
  fonts_.Make(kFonts, Dpi());
  LayOutControls(hwnd(), kControls, Dpi(), fonts_);
}

void frmSettings::FocusFirstControl() {
  HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
  if (first != nullptr) SetFocus(first);
}

void frmSettings::Load() {
  // 1. The dialog reads the interface table for its own use.
  CInterfaces interfaces;
  {
    CIpHelper reader(platform_.ifTable, platform_.messages, platform_.process);
    try {
      interfaces = reader.Interfaces();
    } catch (const std::exception&) {
      // A table that cannot be read leaves the list empty.
    }
  }
  // 2. The program's icon.
  SetWindowIcons(hwnd(), tray_.ProgramIcon(), tray_.ProgramIcon());
  const settings::SettingsForm form = settings::LoadSettingsForm(settings_, interfaces);
  // 3.-5.
  SendMessageA(Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY), BM_SETCHECK,
               form.alwaysRunInTray ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageA(Item(IDC_SETTINGS_ENABLE_FREE_TIMES), BM_SETCHECK,
               form.enableFreeTimes ? BST_CHECKED : BST_UNCHECKED, 0);
  EnableFreeTimes(form.enableFreeTimes);
  // 6.-7.
  const double times[] = {form.from.hours, form.from.minutes, form.from.seconds,
                          form.to.hours,   form.to.minutes,   form.to.seconds};
  for (std::size_t i = 0; i < std::size(kTimeBoxes); ++i)
    Box(kTimeBoxes[i])->SetValue(times[i]);
  Box(kBoxMonthStartDay)->SetValue(form.monthStartDay);
  Box(kBoxAllowance)->SetValue(form.allowanceGb);
  Box(kBoxWarnAt)->SetValue(form.warnAt);
  // 8.-9. The list in table order, each entry selected when it is a whole entry of the list.
  HWND list = Item(IDC_SETTINGS_INTERFACES);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const settings::SettingsForm::Entry& entry : form.interfaces) {
    const LRESULT index =
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
    if (index >= 0) SendMessageA(list, LB_SETSEL, entry.selected ? TRUE : FALSE, index);
  }
}

void frmSettings::EnableFreeTimes(bool enabled) {
  EnableWindow(Item(IDC_SETTINGS_FREE_TIMES_FRAME), enabled ? TRUE : FALSE);
  for (SettingsBox box : kTimeBoxes)
    Box(box)->SetEnabled(enabled);
}

settings::SettingsForm frmSettings::ReadForm() const {
  settings::SettingsForm form;
  form.alwaysRunInTray = IsChecked(Item(IDC_SETTINGS_ALWAYS_RUN_IN_TRAY));
  form.enableFreeTimes = IsChecked(Item(IDC_SETTINGS_ENABLE_FREE_TIMES));
  form.monthStartDay = Box(kBoxMonthStartDay)->Value();
  form.from = {Box(kBoxFromHH)->Value(), Box(kBoxFromMM)->Value(), Box(kBoxFromSS)->Value()};
  form.to = {Box(kBoxToHH)->Value(), Box(kBoxToMM)->Value(), Box(kBoxToSS)->Value()};
  form.allowanceGb = Box(kBoxAllowance)->Value();
  form.warnAt = Box(kBoxWarnAt)->Value();
  HWND list = Item(IDC_SETTINGS_INTERFACES);
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    const bool selected = SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
    form.interfaces.push_back({text, selected});
  }
  return form;
}

void frmSettings::OnOk() {
  const settings::OkResult result = settings::PressOk(ReadForm(), settings_, platform_, hwnd());
  // A message may have been up meanwhile: the dialog may be gone (Exit from the tray menu).
  if (hwnd() == nullptr) return;
  if (result.close) {
    Close();
    return;
  }
  if (result.focus) {
    switch (*result.focus) {
      case settings::SettingsFocus::MonthStartDay:
        Box(kBoxMonthStartDay)->Focus();
        break;
      case settings::SettingsFocus::FromHours:
        Box(kBoxFromHH)->Focus();
        break;
      case settings::SettingsFocus::ToHours:
        Box(kBoxToHH)->Focus();
        break;
      case settings::SettingsFocus::Allowance:
        Box(kBoxAllowance)->Focus();
        break;
      case settings::SettingsFocus::WarnAt:
        Box(kBoxWarnAt)->Focus();
        break;
    }
  }
}

void frmSettings::OnClearLog() {
  // The tray window's CallFormLoad zeroes its counters; before the tray window is loaded there
  // are none to zero.
  settings::ClearAllData(platform_, hwnd(), [this] { tray_.CallFormLoad(); });
}

LRESULT frmSettings::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (code != BN_CLICKED) break;
      switch (id) {
        case IDOK:
          OnOk();
          return 0;
        case IDCANCEL:
          Close();
          return 0;
        case IDC_SETTINGS_CLEAR_LOG:
          OnClearLog();
          return 0;
        case IDC_SETTINGS_ENABLE_FREE_TIMES:
          EnableFreeTimes(IsChecked(Item(IDC_SETTINGS_ENABLE_FREE_TIMES)));
          return 0;
        default:
          break;
      }
      break;
    }
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      // The focus leaves with the dialog and comes back to the control that had it.
      focus_.OnActivate(hwnd(), wParam, GetNextDlgTabItem(hwnd(), nullptr, FALSE));
      return 0;
    case WM_DPICHANGED:
      Layout();
      MoveToSuggestedRect(lParam);
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void frmSettings::OnDestroyed() {
  // The boxes' windows went with the dialog's.
  boxes_.clear();
  focus_ = KeyboardFocus{};
}

}  // namespace trafimo::win
