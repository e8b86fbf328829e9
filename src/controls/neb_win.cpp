#include "controls/neb_win.h"

#include <commctrl.h>

#include <cmath>
#include <string>

namespace trafimo::win {

namespace {

constexpr UINT_PTR kEditSubclassId = 1;
constexpr int kEditId = 1;

// The shift state as the box's key events carry it: 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t ShiftState() {
  std::int16_t shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

}  // namespace

COLORREF NebColourToColorRef(std::uint32_t colour) {
  if ((colour & controls::kSystemColourFlag) != 0) {
    return GetSysColor(static_cast<int>(colour & 0xFFu));
  }
  return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

NebControl::NebControl(platform::Messages& messages, controls::NebEvents* events)
    : neb_(*this, messages, events) {}

NebControl::~NebControl() {
  // Unhook the text box and destroy the windows while this object is still whole.
  if (edit_ != nullptr) RemoveWindowSubclass(edit_, &NebControl::EditProc, kEditSubclassId);
  edit_ = nullptr;
  if (hwnd() != nullptr) DestroyWindow(hwnd());
}

bool NebControl::Create(HWND parent, int id, int x, int y, int width, int height,
                        const controls::PropertyRecord* record) {
  const std::string className(controls::kNebClassName);
  RegisterClassOnce(className.c_str());
  if (CreateBound(WS_EX_CONTROLPARENT, className.c_str(), "",
                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) == nullptr) {
    return false;
  }
  if (record != nullptr) {
    neb_.ReadProperties(*record);
  } else {
    neb_.InitProperties();
  }
  return edit_ != nullptr;
}

void NebControl::Focus() {
  if (edit_ != nullptr) SetFocus(edit_);
}

LRESULT NebControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      RECT client{};
      GetClientRect(hwnd(), &client);
      edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
                              client.right, client.bottom, hwnd(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
                              GetModuleHandleA(nullptr), nullptr);
      if (edit_ == nullptr) return -1;
      SetWindowSubclass(edit_, &NebControl::EditProc, kEditSubclassId,
                        reinterpret_cast<DWORD_PTR>(this));
      AppearanceChanged();
      return 0;
    }
    case WM_DESTROY:
      // The tooltip is owned by the top-level window; it goes with the box.
      if (tooltip_ != nullptr) DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      break;
    case WM_SIZE:
      if (fontDpi_ != Dpi()) AppearanceChanged();  // moved to a screen of another scale
      KeepMinimumHeight(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_SETFOCUS:
      Focus();
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == edit_ && edit_ != nullptr &&
          HIWORD(wParam) == EN_CHANGE) {
        neb_.OnChange();
        return 0;
      }
      break;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

std::optional<ControlColours> NebControl::ColoursOf(HWND control) {
  if (control != edit_ || edit_ == nullptr) return std::nullopt;
  return ControlColours{backBrush_.get(), NebColourToColorRef(neb_.ForeColor()),
                        NebColourToColorRef(neb_.BackColor())};
}

void NebControl::KeepMinimumHeight(int width, int height) {
  const UINT dpi = Dpi();
  const int heightTwips = MulDiv(height, 1440, static_cast<int>(dpi));
  if (controls::NebHeightAfterResize(heightTwips) != heightTwips) {
    RECT frame{};
    GetWindowRect(hwnd(), &frame);
    const int minimum = TwipsToPixels(controls::kNebMinimumHeightTwips, dpi);
    // The control has no frame of its own, so its window and inner heights are the same.
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, minimum,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  if (edit_ != nullptr) MoveWindow(edit_, 0, 0, width, height, TRUE);
}

std::string NebControl::Text() const {
  if (edit_ == nullptr) return {};
  const int length = GetWindowTextLengthA(edit_);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(edit_, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
  return text;
}

void NebControl::SetText(std::string_view text) {
  if (edit_ == nullptr) return;
  const std::string newText(text);
  if (newText == Text()) return;
  // The EDIT sends EN_CHANGE from inside WM_SETTEXT, which runs the validation pass nested.
  SetWindowTextA(edit_, newText.c_str());
}

int NebControl::SelStart() const {
  DWORD start = 0;
  DWORD end = 0;
  if (edit_ != nullptr) {
    SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  }
  return static_cast<int>(start);
}

int NebControl::SelLength() const {
  DWORD start = 0;
  DWORD end = 0;
  if (edit_ != nullptr) {
    SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  }
  return static_cast<int>(end) - static_cast<int>(start);
}

void NebControl::Select(int start, int length) {
  if (edit_ != nullptr) SendMessageA(edit_, EM_SETSEL, start, start + length);
}

void NebControl::SendTab() {
  // Enter moves straight on to the next control in tab order of the top-level window.
  HWND root = GetAncestor(edit_, GA_ROOT);
  if (root == nullptr) return;
  HWND next = GetNextDlgTabItem(root, edit_, FALSE);
  if (next != nullptr && next != edit_) SetFocus(next);
}

platform::OwnerWindow NebControl::Owner() const {
  return hwnd() != nullptr ? GetAncestor(hwnd(), GA_ROOT) : nullptr;
}

void NebControl::AppearanceChanged() {
  if (edit_ == nullptr) return;
  const UINT dpi = Dpi();
  if (!font_ || !(fontShown_ == neb_.Font()) || fontDpi_ != dpi) {
    const controls::NebFont& wanted = neb_.Font();
    UniqueFont font =
        MakeFont({wanted.name.c_str(), static_cast<int>(std::lround(wanted.size * 100)),
                  wanted.bold, wanted.italic},
                 dpi);
    if (font) {
      SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
      font_ = std::move(font);
      fontShown_ = wanted;
      fontDpi_ = dpi;
    }
  }
  if (!backBrush_ || backShown_ != neb_.BackColor()) {
    backBrush_.reset(CreateSolidBrush(NebColourToColorRef(neb_.BackColor())));
    backShown_ = neb_.BackColor();
  }
  ShowToolTip();
  const BOOL enable = neb_.Enabled() ? TRUE : FALSE;
  if ((IsWindowEnabled(hwnd()) != FALSE) != neb_.Enabled()) EnableWindow(hwnd(), enable);
  if ((IsWindowEnabled(edit_) != FALSE) != neb_.Enabled()) EnableWindow(edit_, enable);
  InvalidateRect(edit_, nullptr, TRUE);
}

void NebControl::ShowToolTip() {
  // The tooltip text only comes from the record; a box without one gets no tooltip window.
  if (neb_.ToolTipText().empty() && tooltip_ == nullptr) return;
  const bool added = tooltip_ != nullptr;
  if (!added) {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    if (tooltip_ == nullptr) return;
  }
  std::string text = neb_.ToolTipText();
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(edit_);
  tool.lpszText = text.data();
  SendMessageA(tooltip_, added ? TTM_UPDATETIPTEXTA : TTM_ADDTOOLA, 0,
               reinterpret_cast<LPARAM>(&tool));
}

LRESULT CALLBACK NebControl::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) {
  try {
    return reinterpret_cast<NebControl*>(self)->HandleEditMessage(edit, message, wParam, lParam);
  } catch (...) {
    // No exception may cross into the system's dispatcher.
    return 0;
  }
}

LRESULT NebControl::HandleEditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR: {
      auto key = static_cast<std::int16_t>(wParam & 0xFFFF);
      neb_.OnKeyPress(key);
      if (key == 0) return 0;
      return DefSubclassProc(edit, message, static_cast<WPARAM>(static_cast<std::uint16_t>(key)),
                             lParam);
    }
    case WM_KEYDOWN:
    case WM_KEYUP: {
      auto key = static_cast<std::int16_t>(wParam & 0xFFFF);
      std::int16_t shift = ShiftState();
      if (message == WM_KEYDOWN) {
        neb_.OnKeyDown(key, shift);
      } else {
        neb_.OnKeyUp(key, shift);
      }
      if (key == 0) return 0;
      return DefSubclassProc(edit, message, static_cast<WPARAM>(static_cast<std::uint16_t>(key)),
                             lParam);
    }
    case WM_GETDLGCODE: {
      LRESULT code = DefSubclassProc(edit, message, wParam, lParam);
      // The box takes Enter itself (it moves on to the next control), so a dialog's keyboard
      // handling does not turn it into the default button.
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
          msg->wParam == VK_RETURN) {
        code |= DLGC_WANTALLKEYS;
      }
      return code;
    }
    case WM_SETFOCUS: {
      const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
      neb_.OnGotFocus();
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
      neb_.OnLostFocus();
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, &NebControl::EditProc, kEditSubclassId);
      edit_ = nullptr;
      return DefSubclassProc(edit, message, wParam, lParam);
    default:
      return DefSubclassProc(edit, message, wParam, lParam);
  }
}

}  // namespace trafimo::win
