#include "about/frm_about_win.h"

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "about/about.h"
#include "about/about_ids.h"

namespace trafimo::win {

namespace {

constexpr const char* kClassName = "TrafimoAbout";
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME;

constexpr int kClientWidth = 3810;
constexpr int kClientHeight = 2670;
constexpr TwipsRect kShape1{90, 90, 3675, 2535};
constexpr int kLine1Y = 1140;  // between the banner and the product line
constexpr int kLine1Left = 105;
constexpr int kLine1Right = 3735;

// The banner's own size, drawn at this size at 96 DPI and scaled with the window's DPI.
constexpr int kBannerWidth = 242;
constexpr int kBannerHeight = 67;

enum AboutFont { kTitleFont, kVisitFont, kLinkFont, kButtonFont };
constexpr FontSpec kFonts[] = {{"MS Sans Serif", 1200, true},
                               {"Arial", 825, true, true},
                               {"MS Sans Serif", 825, true, false, true},
                               {"MS Sans Serif", 825}};

// In tab order: cmdClose, Picture1, lblApp, Label1, Label2. The link's text is set on load.
constexpr ControlSpec kControls[] = {
    {IDC_ABOUT_CLOSE,
     "BUTTON",
     "&Close",
     WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
     {1215, 2085, 1395, 435},
     kButtonFont},
    {IDC_ABOUT_PICTURE,
     "STATIC",
     "",
     WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY,
     {105, 105, 3630, 975},
     kTitleFont},
    {IDC_ABOUT_APP,
     "STATIC",
     "",
     WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
     {135, 1200, 3570, 345},
     kTitleFont},
    {IDC_ABOUT_LINK,
     "STATIC",
     "",
     WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_NOTIFY,
     {120, 1740, 3585, 255},
     kLinkFont},
    {IDC_ABOUT_VISIT,
     "STATIC",
     "For more information visit :",
     WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
     {105, 1500, 3630, 195},
     kVisitFont},
};

constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kAppColour = RGB(0, 0, 0);

}  // namespace

VersionRecord ReadVersionRecord() {
  // From the program's own resources: its file name may be one this code page cannot spell.
  VersionRecord record;
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
  HGLOBAL loaded = resource != nullptr ? LoadResource(nullptr, resource) : nullptr;
  const void* block = loaded != nullptr ? LockResource(loaded) : nullptr;
  const DWORD size = resource != nullptr ? SizeofResource(nullptr, resource) : 0;
  if (block == nullptr || size == 0) return record;
  // Laid out as GetFileVersionInfo lays it out: the block, "FE2X", and room for the 8-bit texts
  // VerQueryValueA makes of the record's UTF-16 ones.
  std::vector<char> data(2 * static_cast<std::size_t>(size) + 4, '\0');
  std::memcpy(data.data(), block, size);
  std::memcpy(data.data() + size, "FE2X", 4);
  // version.dll is none of the system's known libraries: it is loaded from the system folder
  // when it is needed, not imported, which would find one put into the program's folder first.
  using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  const UniqueLibrary library = LoadSystemLibrary("version.dll");
  const auto queryValue = FindFunction<VerQueryValueFn>(library.get(), "VerQueryValueA");
  if (queryValue == nullptr) return record;

  void* value = nullptr;
  UINT length = 0;
  if (queryValue(data.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    record.major = HIWORD(fixed->dwFileVersionMS);
    record.minor = LOWORD(fixed->dwFileVersionMS);
  }

  // The product name in the record's first language, or in US English.
  std::vector<std::string> blocks;
  if (queryValue(data.data(), "\\VarFileInfo\\Translation", &value, &length) &&
      length >= 2 * sizeof(WORD)) {
    const auto* translation = static_cast<const WORD*>(value);
    char block[16];
    wsprintfA(block, "%04x%04x", translation[0], translation[1]);
    blocks.emplace_back(block);
  }
  blocks.emplace_back("040904b0");
  blocks.emplace_back("040904e4");
  for (const std::string& block : blocks) {
    const std::string query = "\\StringFileInfo\\" + block + "\\ProductName";
    if (queryValue(data.data(), query.c_str(), &value, &length) && length > 0) {
      record.productName = static_cast<const char*>(value);
      break;
    }
  }
  return record;
}

FrmAbout::FrmAbout(platform::Shell& shell, TrayWindowLink& tray) : shell_(shell), tray_(tray) {}

FrmAbout::~FrmAbout() {
  if (hwnd() != nullptr) DestroyWindow(hwnd());
}

void FrmAbout::Show() {
  if (hwnd() == nullptr) {
    Create();
    return;
  }
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool FrmAbout::PreTranslate(MSG& msg) {
  return hwnd() != nullptr && IsDialogMessageA(hwnd(), &msg);
}

void FrmAbout::Create() {
  RegisterClassOnce(kClassName);
  // Owned by the hidden tray window, so it has no task bar button.
  if (CreateBound(kWindowExStyle, kClassName, "", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100,
                  100, tray_.TrayHandle(), nullptr) == nullptr)
    return;

  banner_ = UniqueBitmap(
      static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT_BANNER),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  CreateControls(hwnd(), kControls);
  Layout();
  SizeAndCentreOnWorkArea(hwnd(), kClientWidth, kClientHeight, Dpi());
  Load();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(GetDlgItem(hwnd(), IDC_ABOUT_CLOSE));
}

void FrmAbout::Layout() {
  fonts_.Make(kFonts, Dpi());
  LayOutControls(hwnd(), kControls, Dpi(), fonts_);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void FrmAbout::Load() {
  SetWindowIcons(hwnd(), tray_.ProgramIcon(), tray_.ProgramIcon());
  SetWindowTextA(GetDlgItem(hwnd(), IDC_ABOUT_LINK),
                 about::AddressLabel(about::kProductPageAddress).c_str());
  const VersionRecord version = ReadVersionRecord();
  SetWindowTextA(hwnd(), about::AboutCaption(version.productName).c_str());
  SetWindowTextA(GetDlgItem(hwnd(), IDC_ABOUT_APP),
                 about::VersionLine(version.productName, version.major, version.minor).c_str());
}

void FrmAbout::Link2Net(const std::string& address) {
  about::Link2Net(shell_, reinterpret_cast<platform::WindowHandle>(tray_.TrayHandle()), address);
}

void FrmAbout::OnPaint(HDC dc) {
  UniqueHandle<HPEN, GdiTraits> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT)));
  SelectedObject selectedPen(dc, pen.get());
  SelectedObject selectedBrush(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, TwipsX(kShape1.left), TwipsY(kShape1.top), TwipsX(kShape1.left + kShape1.width),
            TwipsY(kShape1.top + kShape1.height));
  MoveToEx(dc, TwipsX(kLine1Left), TwipsY(kLine1Y), nullptr);
  LineTo(dc, TwipsX(kLine1Right), TwipsY(kLine1Y));
}

std::optional<ControlColours> FrmAbout::ColoursOf(HWND control) {
  const int id = GetDlgCtrlID(control);
  return ControlColours{GetSysColorBrush(COLOR_BTNFACE),
                        id == IDC_ABOUT_LINK  ? kLinkColour
                        : id == IDC_ABOUT_APP ? kAppColour
                                              : GetSysColor(COLOR_BTNTEXT),
                        GetSysColor(COLOR_BTNFACE)};
}

void FrmAbout::DrawBanner(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (!banner_) return;
  HDC source = CreateCompatibleDC(item.hDC);
  if (source == nullptr) return;
  {
    SelectedObject selected(source, banner_.get());
    const int dpi = static_cast<int>(Dpi());
    SetStretchBltMode(item.hDC, HALFTONE);
    StretchBlt(item.hDC, item.rcItem.left, item.rcItem.top, MulDiv(kBannerWidth, dpi, 96),
               MulDiv(kBannerHeight, dpi, 96), source, 0, 0, kBannerWidth, kBannerHeight, SRCCOPY);
  }
  DeleteDC(source);
}

LRESULT FrmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_ABOUT_LINK:
          if (HIWORD(wParam) == STN_CLICKED) Link2Net(std::string(about::kProductPageAddress));
          return 0;
        case IDC_ABOUT_PICTURE:
          if (HIWORD(wParam) == STN_CLICKED) Link2Net(std::string(about::kHomePageAddress));
          return 0;
        case IDC_ABOUT_CLOSE:
        case IDCANCEL:
          if (HIWORD(wParam) == BN_CLICKED) DestroyWindow(hwnd());
          return 0;
        default:
          return 0;
      }
    case WM_SETCURSOR:
      // The link label shows the hand pointer.
      if (reinterpret_cast<HWND>(wParam) == GetDlgItem(hwnd(), IDC_ABOUT_LINK)) {
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        return TRUE;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID == IDC_ABOUT_PICTURE) {
        DrawBanner(*item);
        return TRUE;
      }
      break;
    }
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
