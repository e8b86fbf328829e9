#include "controls/neb_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "support/fakes.h"
#include "support/window_checks_win.h"

namespace trafimo::win {
namespace {

// A top-level window holding one numeric box and a button after it in tab order. Hidden unless
// the test needs the focus: Wine without a window manager waits for a shown window to be
// withdrawn when it is destroyed.
class Host : public Window {
 public:
  testing::FakeMessages messages;
  NebControl box{messages};
  HWND button = nullptr;

  Host(int integerSize, int decimalSize, int boxHeight = 20, bool visible = false) {
    RegisterClassOnce("TrafimoNebTestHost");
    CreateBound(0, "TrafimoNebTestHost", "", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 50,
                50, 300, 200, nullptr, nullptr);
    box.Create(hwnd(), 10, 10, 10, 80, boxHeight);
    box.neb().SetIntegerSize(static_cast<std::int16_t>(integerSize));
    box.neb().SetDecimalSize(static_cast<std::int16_t>(decimalSize));
    SetWindowTextA(box.edit(), "");
    button = CreateWindowExA(0, "BUTTON", "Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 60, 80,
                             24, hwnd(), nullptr, nullptr, nullptr);
  }
  std::string Text() const { return testing::TextOf(box.edit()); }
  void Type(const std::string& keys) {
    for (char c : keys)
      SendMessageA(box.edit(), WM_CHAR, static_cast<unsigned char>(c), 1);
  }
};

TEST(NebControlWin, TypedAndPastedTextGoesThroughTheRules) {
  const std::tuple<int, int, const char*, const char*> cases[] = {
      {5, 2, ".", "0."}, {5, 2, "1a 2,-", "12"}, {2, 0, "123.", "12"}};
  for (const auto& [integerSize, decimalSize, keys, text] : cases) {
    Host host(integerSize, decimalSize);
    host.Type(keys);
    EXPECT_EQ(host.Text(), text) << keys;
  }
  Host host(2, 2);
  ASSERT_TRUE(OpenClipboard(host.hwnd()));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 8);
  std::memcpy(GlobalLock(memory), "123.456", 8);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
  SendMessageA(host.box.edit(), WM_PASTE, 0, 0);
  EXPECT_EQ(host.Text(), "12.45");
}

TEST(NebControlWin, EnterMovesOnAndTheBoxKeepsItsMinimumHeight) {
  Host host(5, 2, 8, true);
  SetForegroundWindow(host.hwnd());
  host.box.Focus();
  host.Type("7\r");
  EXPECT_EQ(GetFocus(), host.button);
  EXPECT_EQ(host.Text(), "7.00") << "leaving the box formatted its text";
  RECT frame{}, edit{};
  GetWindowRect(host.box.hwnd(), &frame);
  GetWindowRect(host.box.edit(), &edit);
  EXPECT_EQ(frame.bottom - frame.top, TwipsToPixels(300, host.box.Dpi()));
  EXPECT_TRUE(EqualRect(&frame, &edit));
}

}  // namespace
}  // namespace trafimo::win
