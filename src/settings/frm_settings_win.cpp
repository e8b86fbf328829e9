#include "settings/frm_settings_win.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "accounting/accounting.h"
#include "ifstats/ip_helper.h"
#include "res/resource_ids.h"

namespace trafimo::win {

namespace {

enum class Kind { CheckBox, Label, BoldLabel, ListBox, NumericBox, Frame, Button, DefaultButton };

// One control of the dialog: position in twips relative to the dialog, or to fraFreeTimes when
// `inFrame`; `tab` is the tab order.
struct ControlLayout {
  const char* name;
  Kind kind;
  const char* caption;
  int left, top, width, height;
  int tab;
  bool inFrame;
  int id;
  int box;  // index into the numeric boxes, -1 for other controls
};

constexpr int kFrameLeft = 1980;
constexpr int kFrameTop = 2940;

constexpr ControlLayout kLayout[] = {
    {"chkAlwaysRunInTray", Kind::CheckBox, "&Run this program on Windows start up", 225, 150, 4155,
     390, 0, false, IDC_SETTINGS_ALWAYS_RUN_IN_TRAY, -1},
    {"Label1", Kind::Label, "Select the Network Interfaces to monitor", 210, 675, 1740, 525, 1,
     false, IDC_SETTINGS_LABEL + 1, -1},
    {"lstInterfaces", Kind::ListBox, "", 2010, 675, 5100, 1410, 2, false, IDC_SETTINGS_INTERFACES,
     -1},
    {"Label5", Kind::Label, "(Loopback interface is not used in Internet traffic)", 2070, 2160,
     5115, 195, 22, false, IDC_SETTINGS_LABEL + 5, -1},
    {"Label7", Kind::Label, "Month Start day", 210, 2505, 1470, 330, 3, false,
     IDC_SETTINGS_LABEL + 7, -1},
    {"nebMonthStartDay", Kind::NumericBox, "", 1995, 2490, 405, 300, 4, false,
     IDC_SETTINGS_MONTH_START_DAY, kBoxMonthStartDay},
    {"Label8", Kind::Label, "(Start day of monthly billing cycle)", 2445, 2520, 2505, 285, 25,
     false, IDC_SETTINGS_LABEL + 8, -1},
    {"Label2", Kind::Label, "Don't track between these times", 210, 3015, 1515, 375, 5, false,
     IDC_SETTINGS_LABEL + 2, -1},
    {"chkEnableFreeTimes", Kind::CheckBox, "Enable", 2085, 2955, 795, 210, 6, false,
     IDC_SETTINGS_ENABLE_FREE_TIMES, -1},
    {"fraFreeTimes", Kind::Frame, "", kFrameLeft, kFrameTop, 5265, 930, 17, false,
     IDC_SETTINGS_FREE_TIMES_FRAME, -1},
    {"cmdClearLog", Kind::Button, "Clear all data", 240, 4035, 1710, 330, 23, false,
     IDC_SETTINGS_CLEAR_LOG, -1},
    {"cmdOk", Kind::DefaultButton, "&Ok", 4545, 4080, 1245, 315, 15, false, IDOK, -1},
    {"cmdCancel", Kind::Button, "&Cancel", 5910, 4080, 1245, 315, 16, false, IDCANCEL, -1},
    // Inside fraFreeTimes.
    {"Label3", Kind::Label, "From", 360, 315, 360, 255, 7, true, IDC_SETTINGS_LABEL + 3, -1},
    {"nebFromFreeTimeHH", Kind::NumericBox, "", 825, 300, 465, 300, 8, true, IDC_SETTINGS_FROM_HH,
     kBoxFromHH},
    {"lblColon(0)", Kind::BoldLabel, ":", 1305, 345, 165, 210, 18, true, IDC_SETTINGS_LABEL + 10,
     -1},
    {"nebFromFreeTimeMM", Kind::NumericBox, "", 1410, 300, 465, 300, 9, true, IDC_SETTINGS_FROM_MM,
     kBoxFromMM},
    {"lblColon(1)", Kind::BoldLabel, ":", 1905, 345, 165, 210, 21, true, IDC_SETTINGS_LABEL + 11,
     -1},
    {"nebFromFreeTimeSS", Kind::NumericBox, "", 1995, 300, 465, 300, 10, true, IDC_SETTINGS_FROM_SS,
     kBoxFromSS},
    {"Label4", Kind::Label, "To", 2910, 315, 315, 255, 11, true, IDC_SETTINGS_LABEL + 4, -1},
    {"nebToFreeTimeHH", Kind::NumericBox, "", 3225, 300, 465, 300, 12, true, IDC_SETTINGS_TO_HH,
     kBoxToHH},
    {"lblColon(2)", Kind::BoldLabel, ":", 3720, 345, 165, 210, 20, true, IDC_SETTINGS_LABEL + 12,
     -1},
    {"nebToFreeTimeMM", Kind::NumericBox, "", 3825, 300, 465, 300, 13, true, IDC_SETTINGS_TO_MM,
     kBoxToMM},
    {"lblColon(3)", Kind::BoldLabel, ":", 4320, 345, 105, 210, 19, true, IDC_SETTINGS_LABEL + 13,
     -1},
    {"nebToFreeTimeSS", Kind::NumericBox, "", 4410, 300, 465, 300, 14, true, IDC_SETTINGS_TO_SS,
     kBoxToSS},
    {"Label6", Kind::Label, "(24 hour format)", 4035, 645, 1110, 255, 24, true,
     IDC_SETTINGS_LABEL + 6, -1},
};

constexpr SettingsBox kTimeBoxes[] = {kBoxFromHH, kBoxFromMM, kBoxFromSS,
                                      kBoxToHH,   kBoxToMM,   kBoxToSS};

// The controls in the order they are created: by tab order, which is also the order a dialog's
// keyboard handling walks; the frame comes last so that it lies beneath everything it holds.
std::vector<const ControlLayout*> CreationOrder() {
  std::vector<const ControlLayout*> order;
  for (const ControlLayout& control : kLayout)
    order.push_back(&control);
  std::stable_sort(order.begin(), order.end(), [](const ControlLayout* a, const ControlLayout* b) {
    const bool aFrame = a->kind == Kind::Frame;
    const bool bFrame = b->kind == Kind::Frame;
    if (aFrame != bFrame) return bFrame;
    return a->tab < b->tab;
  });
  return order;
}

HFONT MakeFont(UINT dpi, bool bold) {
  // "MS Sans Serif" 8.25 point, as the numeric boxes' records hold it.
  const int height = -static_cast<int>(std::lround(8.25 * dpi / 72.0));
  return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

bool IsChecked(HWND checkBox) {
  return SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

frmSettings& SettingsDialog() {
  static frmSettings dialog;
  return dialog;
}

void ShowSettingsDialog(AppContext& context) {
  SettingsDialog().Show(context);
}

bool BringSettingsForwardIfVisible() {
  return SettingsDialog().BringForwardIfVisible();
}

bool TranslateSettingsDialogMessage(MSG& message) {
  return SettingsDialog().PreTranslateMessage(message);
}

void frmSettings::Show(AppContext& context) {
  if (hwnd() != nullptr) {
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    BringForwardIfVisible();
    return;
  }
  context_ = &context;
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
  RECT frame{0, 0, TwipsX(kSettingsClientWidthTwips), TwipsY(kSettingsClientHeightTwips)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;
  SetWindowPos(hwnd(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

  boxes_.clear();
  boxes_.resize(kBoxCount);

  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const ControlLayout* control : CreationOrder()) {
    // Placed and given their fonts by Layout, at the window's DPI.
    const int left = 0, top = 0, width = 0, height = 0;
    HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->id));

    if (control->kind == Kind::NumericBox) {
      auto box = std::make_unique<NebControl>(context_->platform.messages);
      const controls::PropertyRecord record =
          settings::NebInstanceRecord(settings::kNebInstances[control->box]);
      box->Create(hwnd(), control->id, left, top, width, height, &record);
      boxes_[control->box] = std::move(box);
      continue;
    }

    const char* className = "BUTTON";
    DWORD controlStyle = WS_CHILD | WS_VISIBLE;
    DWORD controlExStyle = 0;
    switch (control->kind) {
      case Kind::CheckBox:
        controlStyle |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
      case Kind::Label:
      case Kind::BoldLabel:
        className = "STATIC";
        controlStyle |= SS_LEFT;
        break;
      case Kind::ListBox:
        className = "LISTBOX";
        controlStyle |=
            LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP;
        controlExStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::Frame:
        // Beneath everything it holds, and never painted over the controls on its edge.
        controlStyle |= BS_GROUPBOX | WS_CLIPSIBLINGS;
        break;
      case Kind::Button:
        controlStyle |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
      case Kind::DefaultButton:
        controlStyle |= BS_DEFPUSHBUTTON | WS_TABSTOP;
        break;
      case Kind::NumericBox:
        break;
    }
    CreateWindowExA(controlExStyle, className, control->caption, controlStyle, left, top, width,
                    height, hwnd(), id, instance, nullptr);
  }
  Layout();
  return true;
}

void frmSettings::Layout() {
  font_.reset(MakeFont(Dpi(), false));
  boldFont_.reset(MakeFont(Dpi(), true));
  for (const ControlLayout& control : kLayout) {
    HWND window = Item(control.id);
    if (window == nullptr) continue;
    SetWindowPos(window, nullptr, TwipsX(control.left + (control.inFrame ? kFrameLeft : 0)),
                 TwipsY(control.top + (control.inFrame ? kFrameTop : 0)), TwipsX(control.width),
                 TwipsY(control.height), SWP_NOZORDER | SWP_NOACTIVATE);
    // The numeric boxes keep their own fonts, from their records.
    if (control.kind == Kind::NumericBox) continue;
    const HFONT font = control.kind == Kind::BoldLabel ? boldFont_.get() : font_.get();
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

void frmSettings::FocusFirstControl() {
  HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
  if (first != nullptr) SetFocus(first);
}

void frmSettings::Load() {
  // 1. The dialog reads the interface table for its own use.
  CInterfaces interfaces;
  {
    CIpHelper reader(context_->platform.ifTable, context_->platform.messages,
                     context_->platform.process);
    try {
      interfaces = reader.Interfaces();
    } catch (const std::exception&) {
      // A table that cannot be read leaves the list empty.
    }
  }
  // 2. The tray window's icon; at a start without arguments the dialog opens before the tray
  // window exists, and then takes the program icon, which is the same picture.
  HICON icon = context_->appIcon;
  if (icon == nullptr) {
    icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TRAFIMO));
  }
  if (icon != nullptr) {
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  const settings::SettingsForm form = settings::LoadSettingsForm(context_->settings, interfaces);
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
  const settings::OkResult result =
      settings::PressOk(ReadForm(), context_->settings, context_->platform, hwnd());
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
    }
  }
}

void frmSettings::OnClearLog() {
  AppContext& context = *context_;
  // The tray window's CallFormLoad zeroes its counters; before the tray window is loaded there
  // are none to zero.
  settings::ClearAllData(context.platform, hwnd(), [&context] {
    if (context.accounting != nullptr) context.accounting->CallFormLoad();
  });
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
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd(), focus)) focusBeforeDeactivation_ = focus;
      } else if (focusBeforeDeactivation_ != nullptr && IsWindow(focusBeforeDeactivation_) &&
                 IsChild(hwnd(), focusBeforeDeactivation_)) {
        SetFocus(focusBeforeDeactivation_);
      } else {
        FocusFirstControl();
      }
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
  focusBeforeDeactivation_ = nullptr;
}

}  // namespace trafimo::win
