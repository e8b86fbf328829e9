#include "report/frm_monthly_usage_win.h"

#include <array>
#include <string>

#include "report/report_ids.h"

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
constexpr TwipsRect kFrame1{45, -45, 4995, 6090};
constexpr TwipsRect kTable{195, 720, 4680, 4815};
constexpr int kHeaderLineY = 1260;
constexpr std::array<int, 3> kColumnLinesX{1350, 2535, 3705};

enum ReportFont { kNormalFont, kBoldFont };
constexpr FontSpec kFonts[] = {{"MS Sans Serif", 800}, {"MS Sans Serif", 800, true}};

constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;
constexpr DWORD kCombo = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kOption = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
// The year list's height includes its drop-down part.
constexpr int kDropDownExtra = 2400;

// clang-format off
constexpr ControlSpec kControls[] = {
    {IDC_REPORT_YEAR_LABEL,      "STATIC",   "Year",     kLabel,             {1455, 330, 480, 285}},
    {IDC_REPORT_CMB_YEAR,        "COMBOBOX", "",         kCombo,             {1950, 285, 1665, 315 + kDropDownExtra}},
    {IDC_REPORT_HEADER_MONTH,    "STATIC",   "Month",    kLabel | SS_CENTER, {240, 870, 1065, 240}, kBoldFont},
    {IDC_REPORT_HEADER_UPLOAD,   "STATIC",   "Upload ",  kLabel | SS_CENTER, {1425, 870, 1050, 240}, kBoldFont},
    {IDC_REPORT_HEADER_DOWNLOAD, "STATIC",   "Download", kLabel | SS_CENTER, {2610, 870, 1050, 240}, kBoldFont},
    {IDC_REPORT_HEADER_TOTAL,    "STATIC",   "Total ",   kLabel | SS_CENTER, {3765, 870, 1050, 240}, kBoldFont},
    {IDC_REPORT_OPT_MB,          "BUTTON",   "MB",       kOption | WS_TABSTOP | WS_GROUP, {270, 5715, 570, 210}},
    {IDC_REPORT_OPT_GB,          "BUTTON",   "GB",       kOption,            {945, 5715, 585, 210}},
    {IDC_REPORT_CLOSE,           "BUTTON",   "&Close",   kButton,            {3570, 5640, 1290, 360}},
};
// clang-format on

// The twelve rows of four columns: month name, upload, download and total, at these tops. Each
// cell is a line of its font high, and "September" fits its column, at 100 %, 125 % and 150 %.
constexpr std::array<int, 12> kRowTops{1395, 1740, 2070, 2415, 2745, 3090,
                                       3435, 3765, 4110, 4440, 4785, 5130};
struct Column {
  int firstId;
  DWORD align;
  int font;
  int left, width, height;
};
constexpr Column kColumns[] = {
    {IDC_REPORT_MONTH_FIRST, SS_LEFT, kBoldFont, 345, 960, 240},
    {IDC_REPORT_UPLOAD_FIRST, SS_RIGHT, kNormalFont, 1395, 1035, 240},
    {IDC_REPORT_DOWNLOAD_FIRST, SS_RIGHT, kNormalFont, 2610, 1005, 240},
    {IDC_REPORT_TOTAL_FIRST, SS_RIGHT, kNormalFont, 3780, 990, 240},
};

// The controls above, then the table's cells row by row.
const std::vector<ControlSpec>& Controls() {
  static const std::vector<ControlSpec> table = [] {
    std::vector<ControlSpec> all(std::begin(kControls), std::end(kControls));
    for (const Column& column : kColumns)
      for (std::size_t row = 0; row < kRowTops.size(); ++row)
        all.push_back({column.firstId + static_cast<int>(row),
                       "STATIC",
                       "",
                       kLabel | column.align,
                       {column.left, kRowTops[row], column.width, column.height},
                       column.font});
    return all;
  }();
  return table;
}

bool IsTableLabel(int id) {
  if (id >= IDC_REPORT_HEADER_MONTH && id <= IDC_REPORT_HEADER_TOTAL) return true;
  for (const Column& column : kColumns) {
    if (id >= column.firstId && id < column.firstId + 12) return true;
  }
  return false;
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
      default:
        return Window::HandleMessage(message, wParam, lParam);
    }
  }

  void OnPaint(HDC dc) override {
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
  }
};

FrmMonthlyUsage::FrmMonthlyUsage(platform::Platform& platform, TrayWindowLink& tray)
    : tray_(tray), report_(platform.userStore, platform.locale, platform.clock) {}

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

  frame_ = std::make_unique<Frame>();
  if (frame_->Create(hwnd())) CreateControls(frame(), Controls());
  Layout();
  SizeAndCentreOnWorkArea(hwnd(), kClientWidth, kClientHeight, Dpi());
  Load();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

void FrmMonthlyUsage::Layout() {
  const RECT r = PixelsOf(kFrame1, Dpi());
  MoveWindow(frame(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  fonts_.Make(kFonts, Dpi());
  LayOutControls(frame(), Controls(), Dpi(), fonts_);
}

std::optional<ControlColours> FrmMonthlyUsage::ColoursOf(HWND control) {
  // The table's labels lie on its window-background rectangle.
  if (!IsTableLabel(GetDlgCtrlID(control))) return std::nullopt;
  return ControlColours{GetSysColorBrush(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT),
                        GetSysColor(COLOR_WINDOW)};
}

void FrmMonthlyUsage::Load() {
  SetWindowIcons(hwnd(), tray_.ProgramIcon(), tray_.ProgramIcon());
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
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace trafimo::win
