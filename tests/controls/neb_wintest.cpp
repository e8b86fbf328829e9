#include "controls/neb_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

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

TEST(NebControlWin, TypedCharactersGoThroughTheFilter) {
  const std::vector<std::tuple<int, int, const char*, const char*>> cases = {{5, 2, "12.5", "12.5"},
                                                                             {5, 2, ".", "0."},
                                                                             {5, 2, "1a 2,-", "12"},
                                                                             {2, 0, "123.", "12"},
                                                                             {5, 2, "12\b3", "13"}};
  for (const auto& [integerSize, decimalSize, keys, text] : cases) {
    Host host(integerSize, decimalSize);
    host.Type(keys);
    EXPECT_EQ(host.Text(), text) << keys;
    EXPECT_FALSE(host.box.neb().SkipNextChange());
  }
}

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

TEST(NebControlWin, KeepsTheMinimumHeightWithTheEditFillingIt) {
  Host host(5, 2, 8);
  RECT frame{}, edit{};
  GetWindowRect(host.box.hwnd(), &frame);
  GetWindowRect(host.box.edit(), &edit);
  EXPECT_EQ(frame.bottom - frame.top, TwipsToPixels(300, host.box.Dpi()));
  EXPECT_TRUE(EqualRect(&frame, &edit));
}

TEST(NebControlWin, DisabledBoxDrawsGreyText) {
  Host host(5, 2);
  HDC dc = CreateCompatibleDC(nullptr);
  const auto textColourAsked = [&](UINT message) {
    SendMessageA(host.box.hwnd(), message, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(host.box.edit()));
    return GetTextColor(dc);
  };
  for (const bool enabled : {false, true}) {
    host.box.SetEnabled(enabled);
    EXPECT_EQ(IsWindowEnabled(host.box.edit()), enabled);
    EXPECT_EQ(textColourAsked(enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC),
              GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  }
  DeleteDC(dc);
}

}  // namespace
}  // namespace trafimo::win
