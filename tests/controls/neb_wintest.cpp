#include "controls/neb_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "support/fakes.h"

namespace trafimo::win {
namespace {

// A top-level window holding one numeric box and a button after it in tab order.
class Host : public Window {
 public:
  testing::FakeMessages messages;
  NebControl box{messages};
  HWND button = nullptr;

  // Hidden unless the test needs the focus: Wine without a window manager waits for a shown
  // window to be withdrawn when it is destroyed.
  explicit Host(int integerSize, int decimalSize, int boxHeight = 20, bool visible = false) {
    RegisterClassOnce("TrafimoNebTestHost");
    CreateBound(0, "TrafimoNebTestHost", "neb host",
                WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 50, 50, 300, 200, nullptr,
                nullptr);
    box.Create(hwnd(), 10, 10, 10, 80, boxHeight);
    box.neb().SetIntegerSize(static_cast<std::int16_t>(integerSize));
    box.neb().SetDecimalSize(static_cast<std::int16_t>(decimalSize));
    SetWindowTextA(box.edit(), "");
    button =
        CreateWindowExA(0, "BUTTON", "Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 60, 80, 24,
                        hwnd(), reinterpret_cast<HMENU>(20), GetModuleHandleA(nullptr), nullptr);
  }

  std::string Text() const {
    char text[256] = {};
    GetWindowTextA(box.edit(), text, sizeof text);
    return text;
  }
  void Type(const std::string& keys) {
    for (char c : keys)
      SendMessageA(box.edit(), WM_CHAR, static_cast<unsigned char>(c), 1);
  }
};

bool PutOnClipboard(HWND owner, const std::string& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  const bool put = SetClipboardData(CF_TEXT, memory) != nullptr;
  CloseClipboard();
  return put;
}

struct TypedCase {
  int integerSize, decimalSize;
  const char* keys;
  const char* text;
};

class NebTyping : public ::testing::TestWithParam<TypedCase> {};

TEST_P(NebTyping, CharactersReachTheEditThroughTheFilter) {
  const TypedCase& c = GetParam();
  Host host(c.integerSize, c.decimalSize);
  host.Type(c.keys);
  EXPECT_EQ(host.Text(), c.text);
  EXPECT_FALSE(host.box.neb().SkipNextChange());
}

INSTANTIATE_TEST_SUITE_P(Wine, NebTyping,
                         ::testing::Values(TypedCase{5, 2, "12.5", "12.5"},
                                           TypedCase{5, 2, ".", "0."},
                                           TypedCase{5, 2, "1a 2,-", "12"},
                                           TypedCase{2, 0, "123.", "12"},
                                           TypedCase{5, 2, "12\b3", "13"}));

TEST(NebControlWin, PasteThroughTheClipboardIsValidated) {
  Host host(2, 2);
  ASSERT_TRUE(PutOnClipboard(host.hwnd(), "123.456"));
  SendMessageA(host.box.edit(), WM_PASTE, 0, 0);
  EXPECT_EQ(host.Text(), "12.45");
  DWORD start = 0;
  SendMessageA(host.box.edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  EXPECT_EQ(start, 5u) << "the caret ends after the cut text";

  ASSERT_TRUE(PutOnClipboard(host.hwnd(), "letters"));
  SendMessageA(host.box.edit(), EM_SETSEL, 0, -1);
  SendMessageA(host.box.edit(), WM_PASTE, 0, 0);
  EXPECT_EQ(host.Text(), "");
}

TEST(NebControlWin, EnterMovesTheFocusToTheNextControl) {
  Host host(5, 2, 20, true);
  SetForegroundWindow(host.hwnd());
  host.box.Focus();
  ASSERT_EQ(GetFocus(), host.box.edit());
  host.Type("7\r");
  EXPECT_EQ(GetFocus(), host.button);
  EXPECT_EQ(host.Text(), "7.00") << "leaving the box formatted its text";
}

TEST(NebControlWin, KeepsTheMinimumHeightAndTheEditFillsIt) {
  Host host(5, 2, 8);
  const int minimum = TwipsToPixels(300, host.box.Dpi());
  RECT frame{};
  GetWindowRect(host.box.hwnd(), &frame);
  EXPECT_EQ(frame.bottom - frame.top, minimum);
  RECT edit{};
  GetWindowRect(host.box.edit(), &edit);
  EXPECT_EQ(edit.bottom - edit.top, minimum);
  EXPECT_EQ(edit.right - edit.left, frame.right - frame.left);

  SetWindowPos(host.box.hwnd(), nullptr, 0, 0, 120, minimum + 15, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(host.box.edit(), &edit);
  EXPECT_EQ(edit.bottom - edit.top, minimum + 15);
  EXPECT_EQ(edit.right - edit.left, 120);
}

TEST(NebControlWin, DisabledBoxDrawsGreyText) {
  Host host(5, 2);
  HDC dc = CreateCompatibleDC(nullptr);
  const auto textColourAsked = [&](UINT message) {
    SendMessageA(host.box.hwnd(), message, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(host.box.edit()));
    return GetTextColor(dc);
  };

  EXPECT_EQ(textColourAsked(WM_CTLCOLOREDIT), GetSysColor(COLOR_WINDOWTEXT));
  host.box.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(host.box.edit()));
  EXPECT_FALSE(IsWindowEnabled(host.box.hwnd()));
  EXPECT_EQ(textColourAsked(WM_CTLCOLORSTATIC), GetSysColor(COLOR_GRAYTEXT));
  host.box.SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(host.box.edit()));
  EXPECT_EQ(textColourAsked(WM_CTLCOLOREDIT), GetSysColor(COLOR_WINDOWTEXT));
  DeleteDC(dc);
}

TEST(NebControlWin, RecordToolTipIsShownOverTheTextBox) {
  Host host(5, 2);
  NebControl tipped(host.messages);
  controls::PropertyRecord record;
  record.Set("ToolTipText", std::string("Day of the month"));
  ASSERT_TRUE(tipped.Create(host.hwnd(), 11, 10, 100, 80, 20, &record));
  struct Found {
    HWND owner;
    HWND tooltip = nullptr;
  } found{host.hwnd()};  // a popup's owner is the top-level window
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<Found*>(param);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (GetWindow(window, GW_OWNER) == f->owner && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0)
          f->tooltip = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  ASSERT_NE(found.tooltip, nullptr);
  char text[80] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = tipped.hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(tipped.edit());
  tool.lpszText = text;
  SendMessageA(found.tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "Day of the month");
}

}  // namespace
}  // namespace trafimo::win
