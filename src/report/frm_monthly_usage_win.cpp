#include "report/frm_monthly_usage_win.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "report/report_ids.h"
#include "report/usage_export.h"

namespace trafimo::win {

namespace {

constexpr const char* kClassName = "TrafimoMonthlyUsage";
constexpr const char* kFrameClassName = "TrafimoMonthlyUsageFrame";
constexpr const char* kRowsClassName = "TrafimoMonthlyUsageRows";
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
// A month's row is selected as a band across the table around its labels.
constexpr int kBandAbove = 60;
constexpr int kBandHeight = 330;

// The days view: a list below the header line, one day a line, its cells drawn in the places of
// their headers, and the bar beside the total (clear of the list's scroll bar).
constexpr TwipsRect kDayList{195, 1275, 4680, 4260};
constexpr int kDayHeight = 255;
struct DayColumn {
  int headerId;
  const char* header;
  int left, width;
};
constexpr DayColumn kDayColumns[] = {
    {IDC_REPORT_DAYS_HEADER_DATE, "Date", 255, 930},
    {IDC_REPORT_DAYS_HEADER_UPLOAD, "Upload", 1230, 870},
    {IDC_REPORT_DAYS_HEADER_DOWNLOAD, "Download", 2145, 870},
    {IDC_REPORT_DAYS_HEADER_TOTAL, "Total", 3060, 870},
};
constexpr int kBarLeft = 4005;
constexpr int kBarWidth = 555;
constexpr int kBarMargin = 45;  // above and below the bar

enum ReportFont { kNormalFont, kBoldFont };
constexpr FontSpec kFonts[] = {{"MS Sans Serif", 800}, {"MS Sans Serif", 800, true}};

constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;
constexpr DWORD kCombo = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kOption = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
constexpr DWORD kDayListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL |
                                LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
// The year list's height includes its drop-down part.
constexpr int kDropDownExtra = 2400;

// The days view's title, list and headers follow the year list: the list comes first in the Tab
// order when it is shown. The month rows (made by the window) lie beneath the table's labels.
// clang-format off
constexpr ControlSpec kControls[] = {
    {IDC_REPORT_YEAR_LABEL,      "STATIC",   "Year",     kLabel,             {1455, 330, 480, 285}},
    {IDC_REPORT_CMB_YEAR,        "COMBOBOX", "",         kCombo,             {1950, 285, 1665, 315 + kDropDownExtra}},
    {IDC_REPORT_DAYS_TITLE,      "STATIC",   "",         kLabel | SS_CENTER, {195, 330, 4680, 285}, kBoldFont},
    {IDC_REPORT_DAYS,            "LISTBOX",  "",         kDayListStyle,      kDayList},
    {IDC_REPORT_ROWS,            nullptr,    "",         0,                  kTable, kNoFont},
    {IDC_REPORT_HEADER_MONTH,    "STATIC",   "Month",    kLabel | SS_CENTER, {240, 870, 1065, 240}, kBoldFont},
    {IDC_REPORT_HEADER_UPLOAD,   "STATIC",   "Upload ",  kLabel | SS_CENTER, {1425, 870, 1050, 240}, kBoldFont},
    {IDC_REPORT_HEADER_DOWNLOAD, "STATIC",   "Download", kLabel | SS_CENTER, {2610, 870, 1050, 240}, kBoldFont},
    {IDC_REPORT_HEADER_TOTAL,    "STATIC",   "Total ",   kLabel | SS_CENTER, {3765, 870, 1050, 240}, kBoldFont},
    {IDC_REPORT_OPT_MB,          "BUTTON",   "MB",       kOption | WS_TABSTOP | WS_GROUP, {270, 5715, 570, 210}},
    {IDC_REPORT_OPT_GB,          "BUTTON",   "GB",       kOption,            {945, 5715, 585, 210}},
    {IDC_REPORT_SHOW_DAYS,       "BUTTON",   "&Days",    kButton,            {1620, 5640, 900, 360}},
    {IDC_REPORT_BACK,            "BUTTON",   "&Back",    kButton,            {1620, 5640, 900, 360}},
    {IDC_REPORT_EXPORT,          "BUTTON",   "&Export...", kButton,          {2595, 5640, 900, 360}},
    {IDC_REPORT_CLOSE,           "BUTTON",   "&Close",   kButton,            {3570, 5640, 1290, 360}},
};
// clang-format on

// The controls of each view; the rest are shown in both.
constexpr int kYearViewIds[] = {IDC_REPORT_YEAR_LABEL,    IDC_REPORT_CMB_YEAR,
                                IDC_REPORT_ROWS,          IDC_REPORT_HEADER_MONTH,
                                IDC_REPORT_HEADER_UPLOAD, IDC_REPORT_HEADER_DOWNLOAD,
                                IDC_REPORT_HEADER_TOTAL,  IDC_REPORT_SHOW_DAYS};
constexpr int kDaysViewIds[] = {IDC_REPORT_DAYS_TITLE,
                                IDC_REPORT_DAYS,
                                IDC_REPORT_DAYS_HEADER_DATE,
                                IDC_REPORT_DAYS_HEADER_UPLOAD,
                                IDC_REPORT_DAYS_HEADER_DOWNLOAD,
                                IDC_REPORT_DAYS_HEADER_TOTAL,
                                IDC_REPORT_BACK};

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

// The controls above, the days view's headers, then the table's cells row by row.
const std::vector<ControlSpec>& Controls() {
  static const std::vector<ControlSpec> table = [] {
    std::vector<ControlSpec> all(std::begin(kControls), std::end(kControls));
    for (const DayColumn& column : kDayColumns)
      all.push_back({column.headerId,
                     "STATIC",
                     column.header,
                     kLabel | SS_CENTER,
                     {column.left, 870, column.width, 240},
                     kBoldFont});
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
  return (id >= IDC_REPORT_HEADER_MONTH && id <= IDC_REPORT_HEADER_TOTAL) ||
         (id >= IDC_REPORT_DAYS_HEADER_DATE && id <= IDC_REPORT_DAYS_HEADER_TOTAL) ||
         (id >= IDC_REPORT_MONTH_FIRST && id < IDC_REPORT_TOTAL_FIRST + 12);
}

// The month row a cell of the table belongs to (0 is January); nothing for other controls.
std::optional<std::size_t> RowOfCell(int id) {
  for (const Column& column : kColumns) {
    if (id >= column.firstId && id < column.firstId + 12)
      return static_cast<std::size_t>(id - column.firstId);
  }
  return std::nullopt;
}

// The table's background and lines, in the frame's pixels at `dpi`: the header line, and the
// lines between the year's columns (the days' stand apart by their places alone).
void PaintTable(HDC dc, UINT dpi, bool days) {
  const RECT table = PixelsOf(kTable, dpi);
  FillRect(dc, &table, GetSysColorBrush(COLOR_WINDOW));
  UniqueHandle<HPEN, GdiTraits> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT)));
  SelectedObject selected(dc, pen.get());
  const int lineY = TwipsToPixels(kHeaderLineY, dpi);
  MoveToEx(dc, table.left, lineY, nullptr);
  LineTo(dc, table.right, lineY);
  if (days) return;
  for (const int x : kColumnLinesX) {
    MoveToEx(dc, TwipsToPixels(x, dpi), table.top, nullptr);
    LineTo(dc, TwipsToPixels(x, dpi), table.bottom);
  }
}

// A month's band in the coordinates of the rows beneath the table.
RECT BandOf(std::size_t month, UINT dpi) {
  const RECT table = PixelsOf(kTable, dpi);
  RECT band = PixelsOf({kTable.left, kRowTops[month] - kBandAbove, kTable.width, kBandHeight}, dpi);
  OffsetRect(&band, -table.left, -table.top);
  return band;
}

}  // namespace

// Frame1: holds the controls, draws its etched border and the table's background and lines,
// and passes its controls' notifications on to the window.
class FrmMonthlyUsage::Frame : public Window {
 public:
  explicit Frame(FrmMonthlyUsage& owner) : owner_(owner) {}
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
      case WM_DRAWITEM:
      case WM_MEASUREITEM:
        return SendMessageA(GetParent(hwnd()), message, wParam, lParam);
      default:
        return Window::HandleMessage(message, wParam, lParam);
    }
  }

  void OnPaint(HDC dc) override {
    RECT client;
    GetClientRect(hwnd(), &client);
    DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
    PaintTable(dc, owner_.Dpi(), owner_.report_.view() == report::View::Days);
  }

 private:
  FrmMonthlyUsage& owner_;
};

// The twelve month rows as one control beneath the table's labels: it shows the selected month
// as a band, takes the keyboard (arrows, Home, End, Enter) and the mouse (a click selects, a
// double click opens the month's days).
class FrmMonthlyUsage::MonthRows : public Window {
 public:
  explicit MonthRows(FrmMonthlyUsage& owner) : owner_(owner) {}
  bool Create(HWND parent) {
    RegisterClassOnce(kRowsClassName, nullptr, GetSysColorBrush(COLOR_WINDOW), CS_DBLCLKS);
    return CreateBound(0, kRowsClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                       0, 0, 0, 0, parent,
                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_REPORT_ROWS))) != nullptr;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_GETDLGCODE: {
        // Enter opens the month instead of going to the window.
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        const bool enter = key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
        return DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
      }
      case WM_KEYDOWN:
        OnKey(wParam);
        return 0;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        SetFocus(hwnd());
        for (std::size_t month = 0; month < kRowTops.size(); ++month) {
          const RECT band = BandOf(month, owner_.Dpi());
          if (!PtInRect(&band, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) continue;
          owner_.SelectMonth(month);
          if (message == WM_LBUTTONDBLCLK) owner_.OpenDays();
        }
        return 0;
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
        InvalidateRect(hwnd(), nullptr, TRUE);
        return 0;
      default:
        return Window::HandleMessage(message, wParam, lParam);
    }
  }

  void OnPaint(HDC dc) override {
    const UINT dpi = owner_.Dpi();
    const RECT table = PixelsOf(kTable, dpi);
    POINT origin{};
    SetViewportOrgEx(dc, -table.left, -table.top, &origin);
    PaintTable(dc, dpi, false);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    RECT band = BandOf(owner_.report_.selectedMonth(), dpi);
    FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    if (GetFocus() == hwnd()) DrawFocusRect(dc, &band);
  }

 private:
  void OnKey(WPARAM key) {
    const std::size_t month = owner_.report_.selectedMonth();
    switch (key) {
      case VK_UP:
        if (month > 0) owner_.SelectMonth(month - 1);
        break;
      case VK_DOWN:
        if (month + 1 < kRowTops.size()) owner_.SelectMonth(month + 1);
        break;
      case VK_HOME:
        owner_.SelectMonth(0);
        break;
      case VK_END:
        owner_.SelectMonth(kRowTops.size() - 1);
        break;
      case VK_RETURN:
        owner_.OpenDays();
        break;
      default:
        break;
    }
  }

  FrmMonthlyUsage& owner_;
};

FrmMonthlyUsage::FrmMonthlyUsage(platform::Platform& platform, const Settings& settings,
                                 TrayWindowLink& tray)
    : platform_(platform),
      tray_(tray),
      report_(platform.userStore, platform.locale, platform.clock, settings,
              [&tray] { return tray.Today(); }) {}

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

  frame_ = std::make_unique<Frame>(*this);
  rows_ = std::make_unique<MonthRows>(*this);
  if (frame_->Create(hwnd())) {
    CreateControls(frame(), Controls());
    if (rows_->Create(frame()))
      SetWindowPos(rows_->hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  Layout();
  SizeAndCentreOnWorkArea(hwnd(), kClientWidth, kClientHeight, Dpi());
  Load();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(FirstControl());
}

HWND FrmMonthlyUsage::FirstControl() const {
  return report_.view() == report::View::Days ? GetDlgItem(frame(), IDC_REPORT_DAYS)
                                              : rows_->hwnd();
}

void FrmMonthlyUsage::Layout() {
  const RECT r = PixelsOf(kFrame1, Dpi());
  MoveWindow(frame(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  fonts_.Make(kFonts, Dpi());
  LayOutControls(frame(), Controls(), Dpi(), fonts_);
  SendMessageA(GetDlgItem(frame(), IDC_REPORT_DAYS), LB_SETITEMHEIGHT, 0, TwipsY(kDayHeight));
}

std::optional<ControlColours> FrmMonthlyUsage::ColoursOf(HWND control) {
  // The table's labels lie on its window-background rectangle, the selected month's on its band.
  const int id = GetDlgCtrlID(control);
  if (!IsTableLabel(id)) return std::nullopt;
  if (RowOfCell(id) == report_.selectedMonth())
    return ControlColours{GetSysColorBrush(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
                          GetSysColor(COLOR_HIGHLIGHT)};
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
  ShowView();
}

void FrmMonthlyUsage::ShowView() {
  const bool days = report_.view() == report::View::Days;
  const auto show = [this](int id, bool shown) {
    ShowWindow(GetDlgItem(frame(), id), shown ? SW_SHOWNA : SW_HIDE);
  };
  for (const int id : kYearViewIds)
    show(id, !days);
  for (const Column& column : kColumns)
    for (std::size_t row = 0; row < kRowTops.size(); ++row)
      show(column.firstId + static_cast<int>(row), !days);
  for (const int id : kDaysViewIds)
    show(id, days);
  if (!days) {
    ShowRows();
  } else {
    SetWindowTextA(GetDlgItem(frame(), IDC_REPORT_DAYS_TITLE), report_.DaysTitle().c_str());
    HWND list = GetDlgItem(frame(), IDC_REPORT_DAYS);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    LRESULT today = -1;
    for (const report::DayRow& day : report_.days()) {
      // The texts, for whoever reads the list (a screen reader); the window draws the row.
      const std::string text =
          day.dateText + '\t' + day.upload + '\t' + day.download + '\t' + day.total;
      const LRESULT index =
          SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      if (day.today) today = index;
    }
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(today), 0);
  }
  RedrawWindow(frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FrmMonthlyUsage::SelectMonth(std::size_t month) {
  report_.SelectMonth(month);
  RedrawWindow(frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FrmMonthlyUsage::OpenDays() {
  report_.OpenDays();
  ShowView();
  SetFocus(FirstControl());
}

void FrmMonthlyUsage::Export() {
  const std::optional<std::string> path =
      platform_.files.AskSavePath(hwnd(), report::kUsageFileName);
  if (!path || platform_.files.WriteWholeFile(*path, report_.UsageFile())) return;
  platform_.messages.Show(hwnd(), report::ExportFailedMessage(*path), platform::kApplicationTitle,
                          platform::kMbOk | platform::kMbIconExclamation);
}

void FrmMonthlyUsage::DrawDay(const DRAWITEMSTRUCT& item) {
  const std::vector<report::DayRow>& days = report_.days();
  if (item.CtlID != IDC_REPORT_DAYS || item.itemID >= days.size()) return;
  const report::DayRow& day = days[item.itemID];
  HDC dc = item.hDC;
  const RECT& row = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  // The list's pixels from the frame's.
  const auto x = [this](int twips) { return TwipsX(twips) - TwipsX(kDayList.left); };

  SelectedObject font(dc, fonts_[kNormalFont]);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::string* const texts[] = {&day.dateText, &day.upload, &day.download, &day.total};
  for (std::size_t i = 0; i < std::size(kDayColumns); ++i) {
    const DayColumn& column = kDayColumns[i];
    RECT cell{x(column.left), row.top, x(column.left + column.width), row.bottom};
    DrawTextA(dc, texts[i]->c_str(), -1, &cell,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (i == 0 ? DT_LEFT : DT_RIGHT));
  }
  if (day.bar > 0) {
    const int width = std::max(
        1, static_cast<int>(std::lround(day.bar * (x(kBarLeft + kBarWidth) - x(kBarLeft)))));
    const RECT bar{x(kBarLeft), row.top + TwipsY(kBarMargin), x(kBarLeft) + width,
                   row.bottom - TwipsY(kBarMargin)};
    FillRect(dc, &bar, GetSysColorBrush(selected ? COLOR_HIGHLIGHTTEXT : COLOR_HIGHLIGHT));
  }
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &row);
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
        ShowView();
      }
      break;
    case IDC_REPORT_SHOW_DAYS:
      if (code == BN_CLICKED) OpenDays();
      break;
    case IDC_REPORT_BACK:
      if (code == BN_CLICKED) {
        report_.Back();
        ShowView();
        SetFocus(FirstControl());
      }
      break;
    case IDC_REPORT_EXPORT:
      if (code == BN_CLICKED) Export();
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
    case WM_ACTIVATE:
      focus_.OnActivate(hwnd(), wParam, FirstControl());
      return 0;
    case WM_DRAWITEM:
      DrawDay(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
          static_cast<UINT>(TwipsY(kDayHeight));
      return TRUE;
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
