#include "meter/frm_message_win.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "meter/meter_ids.h"

namespace trafimo::win {

namespace {

using meter::Part;

constexpr char kCaption[] = "Velquor Trafimo 1.3";
constexpr char kPanelName[] = "fraSummaryConnected";
// This Month past the early warning and past the allowance: dark enough to read on the face.
constexpr COLORREF kAmber = RGB(0xB0, 0x5A, 0x00);
constexpr COLORREF kRed = RGB(0xC0, 0x00, 0x00);
constexpr UINT_PTR kMonthTipId = 1;

int IndexOf(Part part) {
  return static_cast<int>(part);
}

bool IsSwatch(Part part) {
  return IndexOf(part) >= IndexOf(Part::picTransparent0) &&
         IndexOf(part) <= IndexOf(Part::picTransparent5);
}

// The values and the caption in bold Arial, the column headers in MS Sans Serif, 8.25 pt.
enum MeterFont { kBoldFont, kHeaderFont };
constexpr FontSpec kFonts[] = {{"Arial", 825, true}, {"MS Sans Serif", 825}};

// The parts as a layout table: their places come from the meter's portable layout.
std::vector<ControlSpec> PartTable() {
  struct PartLook {
    meter::Part part;
    DWORD style;
    const char* text;
    int font;
  };
  const DWORD label = SS_NOPREFIX;
  const PartLook looks[] = {
      {Part::Label1, label | SS_LEFT, kCaption, kBoldFont},
      {Part::picTransparent0, SS_LEFT, "", kNoFont},
      {Part::picTransparent1, SS_LEFT, "", kNoFont},
      {Part::picTransparent2, SS_LEFT, "", kNoFont},
      {Part::picTransparent3, SS_LEFT, "", kNoFont},
      {Part::picTransparent4, SS_LEFT, "", kNoFont},
      {Part::picTransparent5, SS_LEFT, "", kNoFont},
      {Part::picHold, SS_BITMAP, "", kNoFont},
      {Part::picExit, SS_BITMAP, "", kNoFont},
      {Part::Label2Now, label | SS_CENTER, "Now", kHeaderFont},
      {Part::Label2Today, label | SS_CENTER, "Today", kHeaderFont},
      {Part::Label2ThisMonth, label | SS_CENTER, "This Month", kHeaderFont},
      {Part::lblCostNow, label | SS_CENTER, "", kBoldFont},
      {Part::lblCostToday, label | SS_CENTER, "", kBoldFont},
      {Part::lblCostThisMonth, label | SS_CENTER, "", kBoldFont},
  };
  std::vector<ControlSpec> table;
  // Statics without SS_NOTIFY let the mouse through to this window, which finds the part.
  for (const PartLook& look : looks) {
    const meter::Rect r = meter::PartTwips(look.part);
    table.push_back({kMeterPartIdBase + IndexOf(look.part),
                     "STATIC",
                     look.text,
                     WS_CHILD | WS_VISIBLE | look.style,
                     {r.left, r.top, r.width, r.height},
                     look.font});
  }
  return table;
}

const std::vector<ControlSpec>& Parts() {
  static const std::vector<ControlSpec> table = PartTable();
  return table;
}

meter::WorkArea AsWorkArea(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

std::vector<meter::WorkArea> MonitorWorkAreas() {
  std::vector<meter::WorkArea> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM found) -> BOOL {
        MONITORINFO info{sizeof info, {}, {}, 0};
        if (GetMonitorInfoA(monitor, &info))
          reinterpret_cast<std::vector<meter::WorkArea>*>(found)->push_back(
              AsWorkArea(info.rcWork));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace

frmMessage::frmMessage(MeterWindows& owner, platform::Platform& platform, SharedFlags& flags)
    : owner_(owner), state_(platform.clock, platform.userStore, flags) {}

frmMessage::~frmMessage() {
  if (hwnd() != nullptr) {
    if (mblnDragging_) EndDrag();
    state_.CloseStep();
  }
}

HWND frmMessage::Part(meter::Part part) const {
  return parts_[static_cast<std::size_t>(part)];
}

bool frmMessage::Create() {
  RegisterClassOnce(kMeterClassName, nullptr, GetSysColorBrush(COLOR_BTNFACE));
  // Borderless, captionless, topmost from its creation (a hidden window does not always take
  // HWND_TOPMOST) and, as a tool window, not in the task bar. PositionWindow sizes it.
  if (CreateBound(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kMeterClassName, kMeterWindowName,
                  WS_POPUP | WS_CLIPCHILDREN, 0, 0, 1, 1, nullptr, nullptr) == nullptr)
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
  CreateControls(hwnd(), Parts());
  for (const ControlSpec& part : Parts())
    parts_[static_cast<std::size_t>(part.id - kMeterPartIdBase)] = GetDlgItem(hwnd(), part.id);
  tips_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, hwnd(), nullptr,
                              GetModuleHandleA(nullptr), nullptr));
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = hwnd();
  tool.uId = kMonthTipId;
  tool.lpszText = const_cast<char*>("");
  SendMessageA(tips_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tips_.get(), TTM_ACTIVATE, FALSE, 0);
  ApplyDpi();
}

void frmMessage::PlaceMonthTip() {
  if (!tips_) return;
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = hwnd();
  tool.uId = kMonthTipId;
  const HWND label = Part(Part::lblCostThisMonth);
  GetWindowRect(label, &tool.rect);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&tool.rect), 2);
  SendMessageA(tips_.get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
  tool.lpszText = const_cast<char*>(monthTip_.c_str());
  SendMessageA(tips_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  // A width of its own makes the tip take its text's line breaks.
  SendMessageA(tips_.get(), TTM_SETMAXTIPWIDTH, 0, MulDiv(400, static_cast<int>(Dpi()), 96));
  SendMessageA(tips_.get(), TTM_ACTIVATE, monthTip_.empty() ? FALSE : TRUE, 0);
}

COLORREF frmMessage::MonthColour() const {
  switch (monthLevel_) {
    case MonthStanding::Level::Warned:
      return kAmber;
    case MonthStanding::Level::Over:
      return kRed;
    case MonthStanding::Level::Within:
      break;
  }
  return GetSysColor(COLOR_INFOTEXT);
}

void frmMessage::ApplyDpi() {
  fonts_.Make(kFonts, Dpi());
  LayOutControls(hwnd(), Parts(), Dpi(), fonts_);

  UniqueBitmap nohold(LoadPicture(IDB_METER_NOHOLD, 16, 16, Part::picHold));
  UniqueBitmap hold(LoadPicture(IDB_METER_HOLD, 16, 16, Part::picHold));
  UniqueBitmap exit(LoadPicture(IDB_METER_EXIT, 16, 14, Part::picExit));
  UniqueBitmap exitDown(LoadPicture(IDB_METER_EXIT_DOWN, 16, 14, Part::picExit));
  std::swap(imgNohold_, nohold);
  std::swap(imgHold_, hold);
  std::swap(picExitPicture_, exit);
  std::swap(picExitPictureDown_, exitDown);
  SetHoldPicture(state_.mblnHold());  // the old pictures go once the new ones are shown
  ShowPicture(Part::picExit, exitUnderMouse_ ? picExitPictureDown_.get() : picExitPicture_.get());
  PlaceMonthTip();
}

void frmMessage::ShowSummary(const std::string& strCostNow, const std::string& strCostToday,
                             const std::string& strCostThisMonth, const MonthStanding& standing,
                             int intSeconds, bool activate) {
  SetValues(strCostNow, strCostToday, strCostThisMonth, standing);
  fraActiveFrame_ = kPanelName;
  state_.ShowSummary(intSeconds);
  SetHoldPicture(false);
  if (PositionWindow()) {
    state_.MarkShown();
    ShowWindow(hwnd(), activate ? SW_SHOW : SW_SHOWNOACTIVATE);
  }
  state_.EndShowSummary();
}

bool frmMessage::PositionWindow() {
  const meter::WorkArea area = AsWorkArea(PrimaryWorkArea());

  for (const frmMessage* other : owner_.OpenWindows()) {
    if (other != this && std::string(other->fraActiveFrame()) == fraActiveFrame_) {
      Close();
      return false;
    }
  }

  SetExitPicture(false);
  const int dpi = static_cast<int>(Dpi());
  const meter::Rect r = meter::PlaceWindow(area, dpi, dpi);
  SetWindowPos(hwnd(), nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  follower_.Placed(area);
  return true;
}

void frmMessage::FollowWorkArea(bool displayChanged) {
  if (mblnDragging_) return;
  const meter::WorkArea primary = AsWorkArea(PrimaryWorkArea());  // the one call of most ticks
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
                           const std::string& costThisMonth, const MonthStanding& standing) {
  SetWindowTextA(Part(Part::lblCostNow), costNow.c_str());
  SetWindowTextA(Part(Part::lblCostToday), costToday.c_str());
  SetWindowTextA(Part(Part::lblCostThisMonth), costThisMonth.c_str());
  if (standing.level != monthLevel_) {
    monthLevel_ = standing.level;
    InvalidateRect(Part(Part::lblCostThisMonth), nullptr, TRUE);
  }
  if (standing.tip != monthTip_) {
    monthTip_ = standing.tip;
    PlaceMonthTip();
  }
}

void frmMessage::Close() {
  if (hwnd() == nullptr) return;
  if (mblnDragging_) EndDrag();
  state_.CloseStep();
  KillTimer(hwnd(), kMeterTimer1);
  DestroyWindow(hwnd());
}

void frmMessage::ShowPicture(meter::Part part, HBITMAP picture) {
  HBITMAP& shown = part == Part::picHold ? holdShown_ : exitShown_;
  const auto previous = reinterpret_cast<HBITMAP>(
      SendMessageA(Part(part), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
  // A picture with alpha is copied by the control, and the copy comes back here: it is ours to
  // destroy. The pictures this window gave come back as they were and stay.
  if (previous != nullptr && previous != shown) DeleteObject(previous);
  shown = picture;
}

void frmMessage::SetHoldPicture(bool pinned) {
  ShowPicture(Part::picHold, pinned ? imgHold_.get() : imgNohold_.get());
}

void frmMessage::SetExitPicture(bool underMouse) {
  exitUnderMouse_ = underMouse;
  HBITMAP picture = underMouse ? picExitPictureDown_.get() : picExitPicture_.get();
  if (exitShown_ != picture) ShowPicture(Part::picExit, picture);
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

void frmMessage::StartDrag(int x, int y) {
  // The pointer on the screen as the message saw it; the window moves under it while dragged.
  dragAnchorCursor_ = {x, y};
  ClientToScreen(hwnd(), &dragAnchorCursor_);
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
    StartDrag(x, y);
  } else if (*part == Part::picExit) {
    Close();  // on the press
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
    POINT cursor{x, y};
    ClientToScreen(hwnd(), &cursor);
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

void frmMessage::OnPaint(HDC dc) {
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
}

std::optional<ControlColours> frmMessage::ColoursOf(HWND control) {
  const int index = GetDlgCtrlID(control) - kMeterPartIdBase;
  if (index < 0 || index >= meter::kPartCount) return std::nullopt;
  const auto part = static_cast<meter::Part>(index);
  if (IsSwatch(part))
    return ControlColours{
        swatchBrushes_[static_cast<std::size_t>(index - IndexOf(Part::picTransparent0))].get(),
        std::nullopt, std::nullopt};
  if (part == Part::Label1)
    return ControlColours{GetSysColorBrush(COLOR_ACTIVECAPTION), GetSysColor(COLOR_CAPTIONTEXT),
                          std::nullopt};
  if (part == Part::picExit)
    return ControlColours{GetSysColorBrush(COLOR_WINDOW), std::nullopt, std::nullopt};
  if (part == Part::lblCostThisMonth)
    return ControlColours{GetSysColorBrush(COLOR_BTNFACE), MonthColour(), std::nullopt};
  return ControlColours{GetSysColorBrush(COLOR_BTNFACE), GetSysColor(COLOR_INFOTEXT), std::nullopt};
}

LRESULT frmMessage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam != kMeterTimer1) break;
      SetTransparency();
      if (state_.TickCloses()) {
        Close();
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
      return 0;
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
      ShowPicture(Part::picHold, nullptr);  // the controls' copies go with them
      ShowPicture(Part::picExit, nullptr);
      mblnDragging_ = false;
      state_.CloseStep();
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

MeterWindows::MeterWindows(platform::Platform& platform, SharedFlags& flags)
    : platform_(platform), flags_(flags) {}

MeterWindows::~MeterWindows() = default;

void MeterWindows::ShowMeterSummary(const std::string& strCostNow, const std::string& strCostToday,
                                    const std::string& strCostThisMonth,
                                    const MonthStanding& standing, int intSeconds, bool hold) {
  FreeClosed();
  auto window = std::make_unique<frmMessage>(*this, platform_, flags_);
  if (!window->Create()) return;
  frmMessage& meter = *windows_.emplace_back(std::move(window));
  meter.ShowSummary(strCostNow, strCostToday, strCostThisMonth, standing, intSeconds, !hold);
  if (hold && meter.hwnd() != nullptr) meter.Set_Hold();
}

void MeterWindows::RefreshMeterValues(const std::string& costNow, const std::string& costToday,
                                      const std::string& costThisMonth,
                                      const MonthStanding& standing) {
  FreeClosed();
  for (frmMessage* meter : OpenWindows())
    meter->SetValues(costNow, costToday, costThisMonth, standing);
}

std::vector<frmMessage*> MeterWindows::OpenWindows() const {
  std::vector<frmMessage*> open;
  for (const auto& meter : windows_)
    if (meter->hwnd() != nullptr && !meter->closed()) open.push_back(meter.get());
  return open;
}

void MeterWindows::CloseAll() {
  for (frmMessage* meter : OpenWindows())
    meter->Close();
  FreeClosed();
}

void MeterWindows::FreeClosed() {
  std::erase_if(windows_, [](const auto& meter) { return meter->hwnd() == nullptr; });
}

}  // namespace trafimo::win
