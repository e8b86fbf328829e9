#include "meter/frm_message_win.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "meter/meter_ids.h"

namespace trafimo::win {

namespace {

using meter::Part;

constexpr char kCaption[] = "Velquor Trafimo 1.3";
constexpr char kPanelName[] = "fraSummaryConnected";

std::vector<frmMessage*>& AllMeters() {
  static std::vector<frmMessage*> all;
  return all;
}

int IndexOf(Part part) {
  return static_cast<int>(part);
}

bool IsSwatch(Part part) {
  return IndexOf(part) >= IndexOf(Part::picTransparent0) &&
         IndexOf(part) <= IndexOf(Part::picTransparent5);
}

// Arial 8.25 pt (bold or not) at the window's DPI.
HFONT MakeFont(const char* face, int weight, UINT dpi) {
  LOGFONTA font{};
  font.lfHeight = -MulDiv(825, static_cast<int>(dpi), 7200);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

}  // namespace

frmMessage::frmMessage(AppContext& app)
    : app_(app), state_(app.platform.clock, app.platform.userStore, app.flags) {
  AllMeters().push_back(this);
}

frmMessage::~frmMessage() {
  auto& all = AllMeters();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  if (hwnd() != nullptr) {
    if (mblnDragging_) EndDrag();
    state_.CloseStep();
  }
}

std::vector<frmMessage*> frmMessage::OpenWindows() {
  std::vector<frmMessage*> open;
  for (frmMessage* meter : AllMeters())
    if (meter->hwnd() != nullptr && !meter->state_.closed()) open.push_back(meter);
  return open;
}

HWND frmMessage::Part(meter::Part part) const {
  return parts_[static_cast<std::size_t>(part)];
}

bool frmMessage::Create() {
  RegisterClassOnce(kMeterClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE));
  // Borderless, captionless and, as a tool window, not in the task bar. PositionWindow sizes it.
  if (CreateBound(WS_EX_TOOLWINDOW, kMeterClassName, kMeterWindowName, WS_POPUP | WS_CLIPCHILDREN,
                  0, 0, 1, 1, nullptr, nullptr) == nullptr)
    return false;
  CreateParts();
  SetTimer(hwnd(), kMeterTimer1, kMeterTimer1Interval, nullptr);

  state_.OnCreate();
  SetTransparency();
  // The swatch colours are in place from CreateParts; the statics ask for them when painting.
  return true;
}

HBITMAP frmMessage::LoadPicture(int id, int width, int height, meter::Part part) const {
  const int dpi = static_cast<int>(Dpi());
  const meter::Size size =
      meter::PictureSize(width, height, dpi, meter::PartPixels(part, dpi, dpi));
  return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                         IMAGE_BITMAP, size.width, size.height,
                                         LR_LOADMAP3DCOLORS));
}

void frmMessage::CreateParts() {
  for (int level = 0; level < meter::kSwatchCount; ++level)
    swatchBrushes_[static_cast<std::size_t>(level)].reset(
        CreateSolidBrush(RGB(meter::SwatchRed(level), 0, 0)));

  struct PartLook {
    meter::Part part;
    DWORD style;
    const char* text;
  };
  const DWORD label = SS_NOPREFIX;
  const PartLook looks[] = {
      {Part::Label1, label | SS_LEFT, kCaption},
      {Part::picTransparent0, SS_LEFT, ""},
      {Part::picTransparent1, SS_LEFT, ""},
      {Part::picTransparent2, SS_LEFT, ""},
      {Part::picTransparent3, SS_LEFT, ""},
      {Part::picTransparent4, SS_LEFT, ""},
      {Part::picTransparent5, SS_LEFT, ""},
      {Part::picHold, SS_BITMAP, ""},
      {Part::picExit, SS_BITMAP, ""},
      {Part::Label2Now, label | SS_CENTER, "Now"},
      {Part::Label2Today, label | SS_CENTER, "Today"},
      {Part::Label2ThisMonth, label | SS_CENTER, "This Month"},
      {Part::lblCostNow, label | SS_CENTER, ""},
      {Part::lblCostToday, label | SS_CENTER, ""},
      {Part::lblCostThisMonth, label | SS_CENTER, ""},
  };
  // Statics without SS_NOTIFY let the mouse through to this window, which finds the part.
  for (const PartLook& look : looks) {
    parts_[static_cast<std::size_t>(look.part)] = CreateWindowExA(
        0, "STATIC", look.text, WS_CHILD | WS_VISIBLE | look.style, 0, 0, 0, 0, hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMeterPartIdBase + IndexOf(look.part))),
        GetModuleHandleA(nullptr), nullptr);
  }
  ApplyDpi();
}

void frmMessage::ApplyDpi() {
  const UINT dpi = Dpi();
  // The new fonts and pictures go to the parts before the old ones are deleted.
  UniqueFont bold(MakeFont("Arial", FW_BOLD, dpi));
  UniqueFont header(MakeFont("MS Sans Serif", FW_NORMAL, dpi));
  for (int i = IndexOf(Part::Label1); i < meter::kPartCount; ++i) {
    const auto part = static_cast<meter::Part>(i);
    HWND control = Part(part);
    const meter::Rect r = meter::PartPixels(part, static_cast<int>(dpi), static_cast<int>(dpi));
    SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    const bool isHeader =
        part == Part::Label2Now || part == Part::Label2Today || part == Part::Label2ThisMonth;
    const bool isBold = part == Part::Label1 || part == Part::lblCostNow ||
                        part == Part::lblCostToday || part == Part::lblCostThisMonth;
    if (isHeader || isBold)
      SendMessageA(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(isBold ? bold.get() : header.get()), TRUE);
  }
  boldFont_ = std::move(bold);
  headerFont_ = std::move(header);

  UniqueBitmap nohold(LoadPicture(IDB_METER_NOHOLD, 16, 16, Part::picHold));
  UniqueBitmap hold(LoadPicture(IDB_METER_HOLD, 16, 16, Part::picHold));
  UniqueBitmap exit(LoadPicture(IDB_METER_EXIT, 16, 14, Part::picExit));
  UniqueBitmap exitDown(LoadPicture(IDB_METER_EXIT_DOWN, 16, 14, Part::picExit));
  std::swap(imgNohold_, nohold);
  std::swap(imgHold_, hold);
  std::swap(picExitPicture_, exit);
  std::swap(picExitPictureDown_, exitDown);
  SetHoldPicture(state_.mblnHold());
  SetExitPicture(exitUnderMouse_);
}

void frmMessage::ShowSummary(const std::string& strCostNow, const std::string& strCostToday,
                             const std::string& strCostThisMonth, int intSeconds) {
  SetValues(strCostNow, strCostToday, strCostThisMonth);
  fraActiveFrame_ = kPanelName;
  state_.ShowSummary(intSeconds);
  SetHoldPicture(false);
  if (PositionWindow()) {
    state_.MarkShown();
    ShowWindow(hwnd(), SW_SHOW);
  }
  state_.EndShowSummary();
}

namespace {

meter::WorkArea WorkAreaOf(HMONITOR monitor) {
  MONITORINFO info{sizeof info, {}, {}, 0};
  if (!GetMonitorInfoA(monitor, &info)) return {};
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

// GetMonitorInfo is current; SPI_GETWORKAREA may be read once per process and cached (Wine).
meter::WorkArea PrimaryWorkArea() {
  return WorkAreaOf(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

std::vector<meter::WorkArea> MonitorWorkAreas() {
  std::vector<meter::WorkArea> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM found) -> BOOL {
        reinterpret_cast<std::vector<meter::WorkArea>*>(found)->push_back(WorkAreaOf(monitor));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace

bool frmMessage::PositionWindow() {
  const meter::WorkArea area = PrimaryWorkArea();

  for (const frmMessage* other : OpenWindows()) {
    if (other != this && std::string(other->fraActiveFrame()) == fraActiveFrame_) {
      Close();
      return false;
    }
  }

  SetExitPicture(false);
  const int dpi = static_cast<int>(Dpi());
  const meter::Rect r = meter::PlaceWindow(area, dpi, dpi);
  SetWindowPos(hwnd(), nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  follower_.Placed(area);
  return true;
}

void frmMessage::FollowWorkArea(bool displayChanged) {
  if (mblnDragging_) return;
  const meter::WorkArea primary = PrimaryWorkArea();  // the one call of most ticks
  if (!displayChanged && !follower_.Changed(primary)) return;
  RECT window{};
  GetWindowRect(hwnd(), &window);
  const int dpi = static_cast<int>(Dpi());
  const meter::Rect now{window.left, window.top, window.right - window.left,
                        window.bottom - window.top};
  if (const auto moved = follower_.Follow(now, primary, MonitorWorkAreas(), dpi, dpi))
    SetWindowPos(hwnd(), nullptr, moved->left, moved->top, moved->width, moved->height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMessage::Set_Hold() {
  state_.Set_Hold();
  SetHoldPicture(true);
}

void frmMessage::SetTransparency() {
  if (hwnd() == nullptr) return;
  const auto style = static_cast<std::uint32_t>(GetWindowLongA(hwnd(), GWL_EXSTYLE));
  const meter::TransparencyPlan plan = state_.PlanTransparency(style);
  for (const std::uint32_t write : plan.styleWrites)
    SetWindowLongA(hwnd(), GWL_EXSTYLE, static_cast<LONG>(write));
  if (plan.alpha) SetLayeredWindowAttributes(hwnd(), 0, *plan.alpha, LWA_ALPHA);
}

void frmMessage::SetValues(const std::string& costNow, const std::string& costToday,
                           const std::string& costThisMonth) {
  SetWindowTextA(Part(Part::lblCostNow), costNow.c_str());
  SetWindowTextA(Part(Part::lblCostToday), costToday.c_str());
  SetWindowTextA(Part(Part::lblCostThisMonth), costThisMonth.c_str());
}

void frmMessage::Close() {
  if (hwnd() == nullptr) return;
  if (mblnDragging_) EndDrag();
  state_.CloseStep();
  KillTimer(hwnd(), kMeterTimer1);
  DestroyWindow(hwnd());  // may delete this
}

void frmMessage::ReleaseToWindow() {
  if (hwnd() == nullptr) {
    delete this;
    return;
  }
  selfOwned_ = true;
}

void frmMessage::OnDestroyed() {
  if (selfOwned_) delete this;
}

void frmMessage::SetHoldPicture(bool pinned) {
  SendMessageA(Part(Part::picHold), STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(pinned ? imgHold_.get() : imgNohold_.get()));
}

void frmMessage::SetExitPicture(bool underMouse) {
  exitUnderMouse_ = underMouse;
  HBITMAP picture = underMouse ? picExitPictureDown_.get() : picExitPicture_.get();
  if (reinterpret_cast<HBITMAP>(SendMessageA(Part(Part::picExit), STM_GETIMAGE, IMAGE_BITMAP, 0)) !=
      picture)
    SendMessageA(Part(Part::picExit), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(picture));
}

HBITMAP frmMessage::Picture(int resourceId) const {
  switch (resourceId) {
    case IDB_METER_NOHOLD:
      return imgNohold_.get();
    case IDB_METER_HOLD:
      return imgHold_.get();
    case IDB_METER_EXIT:
      return picExitPicture_.get();
    case IDB_METER_EXIT_DOWN:
      return picExitPictureDown_.get();
    default:
      return nullptr;
  }
}

void frmMessage::StartDrag() {
  GetCursorPos(&dragAnchorCursor_);
  RECT window{};
  GetWindowRect(hwnd(), &window);
  dragAnchorWindow_ = {window.left, window.top};
  mblnDragging_ = true;
  SetCapture(hwnd());
}

void frmMessage::EndDrag() {
  mblnDragging_ = false;
  if (GetCapture() == hwnd()) ReleaseCapture();
  RECT window{};
  GetWindowRect(hwnd(), &window);
  if (window.left != dragAnchorWindow_.x || window.top != dragAnchorWindow_.y) follower_.Dragged();
}

void frmMessage::OnButtonDown(int x, int y, bool left) {
  const int dpi = static_cast<int>(Dpi());
  const std::optional<meter::Part> part = meter::PartAt(x, y, dpi, dpi);
  pressedPart_ = -1;
  if (!part) return;
  if (*part == Part::Label1) {
    StartDrag();
  } else if (*part == Part::picExit) {
    Close();  // on the press; may delete this
  } else if (left && (IsSwatch(*part) || *part == Part::picHold)) {
    pressedPart_ = IndexOf(*part);
  }
}

void frmMessage::OnButtonUp(int x, int y, bool left) {
  if (mblnDragging_) EndDrag();
  if (!left || pressedPart_ < 0) return;
  const int pressed = pressedPart_;
  pressedPart_ = -1;
  const int dpi = static_cast<int>(Dpi());
  const std::optional<meter::Part> part = meter::PartAt(x, y, dpi, dpi);
  if (!part || IndexOf(*part) != pressed) return;
  if (*part == Part::picHold) {
    SetHoldPicture(state_.ClickPin());
  } else {
    state_.ClickSwatch(IndexOf(*part) - IndexOf(Part::picTransparent0));
    SetTransparency();
  }
}

void frmMessage::OnMouseMove(int x, int y) {
  if (mblnDragging_) {
    POINT cursor{};
    GetCursorPos(&cursor);
    SetWindowPos(hwnd(), nullptr, dragAnchorWindow_.x + (cursor.x - dragAnchorCursor_.x),
                 dragAnchorWindow_.y + (cursor.y - dragAnchorCursor_.y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  const int dpi = static_cast<int>(Dpi());
  SetExitPicture(meter::PartAt(x, y, dpi, dpi) == Part::picExit);
  if (!trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
  }
}

void frmMessage::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd(), &paint);
  const int dpi = static_cast<int>(Dpi());
  const meter::Rect strip = meter::PartPixels(Part::picTitel, dpi, dpi);
  const RECT stripRect{strip.left, strip.top, strip.right(), strip.bottom()};
  FillRect(dc, &stripRect, GetSysColorBrush(COLOR_ACTIVECAPTION));

  // The frame's edge on the sides and bottom (its top lies above the window).
  RECT client{};
  GetClientRect(hwnd(), &client);
  DrawEdge(dc, &client, EDGE_ETCHED, BF_LEFT | BF_RIGHT | BF_BOTTOM);

  // A line under the strip and between the three columns.
  auto line = [&](int x1, int y1, int x2, int y2) {
    const RECT r{meter::TwipsToPixels(x1, dpi), meter::TwipsToPixels(y1, dpi),
                 meter::TwipsToPixels(x2, dpi) + 1, meter::TwipsToPixels(y2, dpi) + 1};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  };
  const int top = meter::kPanelTop;
  line(45, 420 + top, 4005, 420 + top);
  line(1312, 435 + top, 1312, 930 + top);
  line(2640, 435 + top, 2640, 930 + top);
  EndPaint(hwnd(), &paint);
}

LRESULT frmMessage::ColourStatic(HDC dc, HWND control) {
  const int index = GetDlgCtrlID(control) - kMeterPartIdBase;
  if (index < 0 || index >= meter::kPartCount) return 0;
  const auto part = static_cast<meter::Part>(index);
  if (IsSwatch(part))
    return reinterpret_cast<LRESULT>(
        swatchBrushes_[static_cast<std::size_t>(index - IndexOf(Part::picTransparent0))].get());
  SetBkMode(dc, TRANSPARENT);
  if (part == Part::Label1) {
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_ACTIVECAPTION));
  }
  if (part == Part::picExit) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT frmMessage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam != kMeterTimer1) break;
      SetTransparency();
      if (state_.TickCloses()) {
        Close();  // may delete this
        return 0;
      }
      FollowWorkArea(false);
      return 0;
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
      FollowWorkArea(true);
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      OnButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), message == WM_LBUTTONDOWN);
      return 0;  // `this` may be gone
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      OnButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), message == WM_LBUTTONUP);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      SetExitPicture(false);
      return 0;
    case WM_CAPTURECHANGED:
      if (mblnDragging_) EndDrag();
      return 0;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DPICHANGED: {
      // Moved to a screen of another scale: the parts follow, the window takes the new size.
      ApplyDpi();
      MoveToSuggestedRect(lParam);
      InvalidateRect(hwnd(), nullptr, TRUE);
      FollowWorkArea(true);
      return 0;
    }
    case WM_DESTROY:
      KillTimer(hwnd(), kMeterTimer1);
      mblnDragging_ = false;
      state_.CloseStep();
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void ShowMeterSummary(AppContext& app, const std::string& strCostNow,
                      const std::string& strCostToday, const std::string& strCostThisMonth,
                      int intSeconds, bool hold) {
  if (app.bringSettingsForwardIfVisible && app.bringSettingsForwardIfVisible()) return;
  auto* window = new frmMessage(app);
  if (!window->Create()) {
    delete window;
    return;
  }
  window->ShowSummary(strCostNow, strCostToday, strCostThisMonth, intSeconds);
  if (hold && window->hwnd() != nullptr) window->Set_Hold();
  window->ReleaseToWindow();
}

void RefreshMeterValues(const std::string& costNow, const std::string& costToday,
                        const std::string& costThisMonth) {
  for (frmMessage* meter : frmMessage::OpenWindows())
    meter->SetValues(costNow, costToday, costThisMonth);
}

}  // namespace trafimo::win
