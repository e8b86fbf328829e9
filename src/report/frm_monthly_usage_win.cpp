#include "report/frm_monthly_usage_win.h"

#include <array>
#include <string>

#include "report/report_ids.h"
#include "platform/shared_form_win.h"

namespace trafimo::win {

namespace {

constexpr const char* kClassName = "TrafimoMonthlyUsage";
constexpr const char* kFrameClassName = "TrafimoMonthlyUsageFrame";
constexpr const char* kCaption = "Monthly Usage";
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// Sizes and places in twips. The client area, and Frame1 within it; everything else is
// relative to the frame.
constexpr int kClientWidth = 5070;
constexpr int kClientHeight = 6120;
struct TwipsRect {
  int left, top, width, height;
};
constexpr TwipsRect kFrame1{45, -45, 4995, 6090};
constexpr TwipsRect kTable{195, 720, 4680, 4815};
constexpr int kHeaderLineY = 1260;
constexpr std::array<int, 3> kColumnLinesX{1350, 2535, 3705};

// Plain controls use the window's colours; the table's labels lie on its background.
enum class Look { Plain, Table, TableBold };

struct ControlLayout {
  int id;
  const char* className;
  const char* text;
  DWORD style;
  Look look;
  TwipsRect place;
};

constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;
constexpr DWORD kCombo = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kOption = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;

// clang-format off
constexpr std::array<ControlLayout, 9> kControls{{
    {IDC_REPORT_YEAR_LABEL,      "STATIC",   "Year",     kLabel,             Look::Plain,     {1455, 330, 480, 285}},
    {IDC_REPORT_CMB_YEAR,        "COMBOBOX", "",         kCombo,             Look::Plain,     {1950, 285, 1665, 315}},
    {IDC_REPORT_HEADER_MONTH,    "STATIC",   "Month",    kLabel | SS_CENTER, Look::TableBold, {240, 870, 1065, 240}},
    {IDC_REPORT_HEADER_UPLOAD,   "STATIC",   "Upload ",  kLabel | SS_CENTER, Look::TableBold, {1425, 870, 1050, 240}},
    {IDC_REPORT_HEADER_DOWNLOAD, "STATIC",   "Download", kLabel | SS_CENTER, Look::TableBold, {2610, 870, 1050, 180}},
    {IDC_REPORT_HEADER_TOTAL,    "STATIC",   "Total ",   kLabel | SS_CENTER, Look::TableBold, {3765, 870, 1050, 180}},
    {IDC_REPORT_OPT_MB,          "BUTTON",   "MB",       kOption | WS_TABSTOP | WS_GROUP, Look::Plain, {270, 5715, 570, 210}},
    {IDC_REPORT_OPT_GB,          "BUTTON",   "GB",       kOption,            Look::Plain,     {945, 5715, 585, 210}},
    {IDC_REPORT_CLOSE,           "BUTTON",   "&Close",   kButton,            Look::Plain,     {3570, 5640, 1290, 360}},
}};
// clang-format on

// The twelve rows: month name, upload, download and total, at these tops.
constexpr std::array<int, 12> kRowTops{1395, 1740, 2070, 2415, 2745, 3090,
                                       3435, 3765, 4110, 4440, 4785, 5130};
struct ColumnLayout {
  int firstId;
  DWORD align;
  Look look;
  int left, width, height;
};
constexpr std::array<ColumnLayout, 4> kColumns{{
    {IDC_REPORT_MONTH_FIRST, SS_LEFT, Look::TableBold, 345, 900, 240},
    {IDC_REPORT_UPLOAD_FIRST, SS_RIGHT, Look::Table, 1395, 1035, 165},
    {IDC_REPORT_DOWNLOAD_FIRST, SS_RIGHT, Look::Table, 2610, 1005, 165},
    {IDC_REPORT_TOTAL_FIRST, SS_RIGHT, Look::Table, 3780, 990, 165},
}};
// Extra height of the year list's drop-down part.
constexpr int kDropDownExtra = 2400;

bool IsTableLabel(int id) {
  if (id >= IDC_REPORT_HEADER_MONTH && id <= IDC_REPORT_HEADER_TOTAL) return true;
  for (const ColumnLayout& column : kColumns) {
    if (id >= column.firstId && id < column.firstId + 12) return true;
  }
  return false;
}

UniqueFont CreateSansSerif(UINT dpi, bool bold) {
  return UniqueFont(CreateFontA(-MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0,
                                bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "MS Sans Serif"));
}

SharedForm<FrmMonthlyUsage>& Instance() {
  static SharedForm<FrmMonthlyUsage> instance;
  return instance;
}

}  // namespace

// Frame1: holds the controls, draws its etched border and the table's background and lines,
// and passes its controls' notifications on to the window.
class FrmMonthlyUsage::Frame : public Window {
 public:
  bool Create(HWND parent) {
    RegisterClassOnce(kFrameClassName);
    return CreateBound(WS_EX_CONTROLPARENT, kFrameClassName, "",
                       WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_REPORT_FRAME))) != nullptr;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_COMMAND:
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
        return SendMessageA(GetParent(hwnd()), message, wParam, lParam);
      case WM_PAINT:
        Paint();
        return 0;
      default:
        return Window::HandleMessage(message, wParam, lParam);
    }
  }

 private:
  void Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    RECT client;
    GetClientRect(hwnd(), &client);
    DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);

    const RECT table{TwipsX(kTable.left), TwipsY(kTable.top), TwipsX(kTable.left + kTable.width),
                     TwipsY(kTable.top + kTable.height)};
    FillRect(dc, &table, GetSysColorBrush(COLOR_WINDOW));
    UniqueHandle<HPEN, GdiTraits> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT)));
    SelectedObject selected(dc, pen.get());
    const int lineY = TwipsY(kHeaderLineY);
    MoveToEx(dc, table.left, lineY, nullptr);
    LineTo(dc, table.right, lineY);
    for (const int x : kColumnLinesX) {
      MoveToEx(dc, TwipsX(x), table.top, nullptr);
      LineTo(dc, TwipsX(x), table.bottom);
    }
    EndPaint(hwnd(), &paint);
  }
};

FrmMonthlyUsage::FrmMonthlyUsage(AppContext& context)
    : context_(context),
      report_(context.platform.userStore, context.platform.locale, context.platform.clock) {}

FrmMonthlyUsage::~FrmMonthlyUsage() {
  if (hwnd() != nullptr) DestroyWindow(hwnd());
}

HWND FrmMonthlyUsage::frame() const {
  return frame_ ? frame_->hwnd() : nullptr;
}

void FrmMonthlyUsage::Show() {
  if (hwnd() == nullptr) {
    Create();
    return;
  }
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool FrmMonthlyUsage::PreTranslate(MSG& msg) {
  return hwnd() != nullptr && IsDialogMessageA(hwnd(), &msg);
}

void FrmMonthlyUsage::Create() {
  RegisterClassOnce(kClassName);
  if (CreateBound(0, kClassName, kCaption, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                  nullptr, nullptr) == nullptr)
    return;

  CreateControls();
  Layout();
  // The client area in twips at this window's DPI, centred on the screen.
  RECT bounds{0, 0, TwipsX(kClientWidth), TwipsY(kClientHeight)};
  AdjustWindowRectEx(&bounds, kWindowStyle, FALSE, 0);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  SetWindowPos(hwnd(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  Load();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void FrmMonthlyUsage::CreateControls() {
  frame_ = std::make_unique<Frame>();
  if (!frame_->Create(hwnd())) return;
  const auto add = [&](int id, const char* className, const char* text, DWORD style) {
    CreateWindowExA(0, className, text, style, 0, 0, 0, 0, frame(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                    nullptr);
  };
  for (const ControlLayout& control : kControls)
    add(control.id, control.className, control.text, control.style);
  for (const ColumnLayout& column : kColumns) {
    for (std::size_t row = 0; row < kRowTops.size(); ++row)
      add(column.firstId + static_cast<int>(row), "STATIC", "", kLabel | column.align);
  }
}

void FrmMonthlyUsage::Layout() {
  // New fonts first: the controls never hold a deleted one.
  UniqueFont font = CreateSansSerif(Dpi(), false);
  UniqueFont boldFont = CreateSansSerif(Dpi(), true);
  const auto place = [&](HWND control, TwipsRect twips, Look look) {
    MoveWindow(control, TwipsX(twips.left), TwipsY(twips.top), TwipsX(twips.width),
               TwipsY(twips.height), TRUE);
    const bool bold = look == Look::TableBold;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(bold ? boldFont.get() : font.get()),
                 TRUE);
  };
  MoveWindow(frame(), TwipsX(kFrame1.left), TwipsY(kFrame1.top), TwipsX(kFrame1.width),
             TwipsY(kFrame1.height), TRUE);
  for (const ControlLayout& control : kControls) {
    TwipsRect twips = control.place;
    if (control.id == IDC_REPORT_CMB_YEAR) twips.height += kDropDownExtra;
    place(GetDlgItem(frame(), control.id), twips, control.look);
  }
  for (const ColumnLayout& column : kColumns) {
    for (std::size_t row = 0; row < kRowTops.size(); ++row) {
      place(GetDlgItem(frame(), column.firstId + static_cast<int>(row)),
            {column.left, kRowTops[row], column.width, column.height}, column.look);
    }
  }
  font_ = std::move(font);
  boldFont_ = std::move(boldFont);
}

void FrmMonthlyUsage::Load() {
  SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(context_.appIcon));
  SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(context_.appIcon));

  report_.Open();
  HWND years = GetDlgItem(frame(), IDC_REPORT_CMB_YEAR);
  SendMessageA(years, CB_RESETCONTENT, 0, 0);
  for (const std::string& year : report_.years())
    SendMessageA(years, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(year.c_str()));
  for (std::size_t month = 0; month < 12; ++month) {
    SetWindowTextA(GetDlgItem(frame(), IDC_REPORT_MONTH_FIRST + static_cast<int>(month)),
                   report_.monthNames()[month].c_str());
  }
  CheckRadioButton(frame(), IDC_REPORT_OPT_MB, IDC_REPORT_OPT_GB, IDC_REPORT_OPT_MB);
  SendMessageA(years, CB_SETCURSEL, report_.selectedYear(), 0);
  ShowRows();
}

void FrmMonthlyUsage::ShowRows() {
  for (std::size_t month = 0; month < 12; ++month) {
    const report::MonthRow& row = report_.rows()[month];
    const int offset = static_cast<int>(month);
    SetWindowTextA(GetDlgItem(frame(), IDC_REPORT_UPLOAD_FIRST + offset), row.upload.c_str());
    SetWindowTextA(GetDlgItem(frame(), IDC_REPORT_DOWNLOAD_FIRST + offset), row.download.c_str());
    SetWindowTextA(GetDlgItem(frame(), IDC_REPORT_TOTAL_FIRST + offset), row.total.c_str());
  }
}

void FrmMonthlyUsage::OnCommand(int id, int code) {
  switch (id) {
    case IDC_REPORT_CMB_YEAR:
      if (code == CBN_SELCHANGE) {
        const LRESULT index = SendMessageA(GetDlgItem(frame(), id), CB_GETCURSEL, 0, 0);
        if (index != CB_ERR) {
          report_.SelectYear(static_cast<std::size_t>(index));
          ShowRows();
        }
      }
      break;
    case IDC_REPORT_OPT_MB:
    case IDC_REPORT_OPT_GB:
      if (code == BN_CLICKED) {
        report_.SelectUnit(id == IDC_REPORT_OPT_MB ? report::Unit::MB : report::Unit::GB);
        ShowRows();
      }
      break;
    case IDC_REPORT_CLOSE:
    case IDCANCEL:
      if (code == BN_CLICKED) DestroyWindow(hwnd());
      break;
    default:
      break;
  }
}

LRESULT FrmMonthlyUsage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor with another DPI: the same twips at the new DPI.
      Layout();
      MoveToSuggestedRect(lParam);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      // The table's labels lie on its window-background rectangle.
      if (!IsTableLabel(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)))) break;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_WINDOW));
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void ShowMonthlyUsage(AppContext& context) {
  Instance().Show(context);
}

HWND MonthlyUsageWindow() {
  return Instance().hwnd();
}

bool MonthlyUsageDialogMessage(MSG& msg) {
  return Instance().PreTranslate(msg);
}

}  // namespace trafimo::win
