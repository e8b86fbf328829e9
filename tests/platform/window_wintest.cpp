#include "platform/window_win.h"

#include <gtest/gtest.h>

namespace trafimo::win {
namespace {

class Probe : public Window {
 public:
  int creates = 0;
  bool destroyed = false;
  bool Create() {
    RegisterClassOnce("TrafimoWindowProbe");
    return CreateBound(0, "TrafimoWindowProbe", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                       nullptr, nullptr) != nullptr;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CREATE) ++creates;
    if (message == WM_APP) throw 42;  // must not escape into the dispatcher
    return Window::HandleMessage(message, wParam, lParam);
  }
  void OnDestroyed() override { destroyed = true; }
};

TEST(Window, BindsAtCreationAndUnbindsWhenDestroyed) {
  Probe probe;
  ASSERT_TRUE(probe.Create());
  EXPECT_EQ(probe.creates, 1);
  EXPECT_EQ(reinterpret_cast<Probe*>(GetWindowLongPtrA(probe.hwnd(), GWLP_USERDATA)), &probe);
  EXPECT_EQ(SendMessageA(probe.hwnd(), WM_APP, 0, 0), 0);
  DestroyWindow(probe.hwnd());
  EXPECT_TRUE(probe.destroyed);
  EXPECT_EQ(probe.hwnd(), nullptr);
}

TEST(Window, TwipsFollowTheDpi) {
  EXPECT_EQ(TwipsToPixels(4050, 96), 270);
  EXPECT_EQ(TwipsToPixels(4050, 144), 405);
  EXPECT_EQ(TwipsToPixels(885, 144), 89);  // 88.5 rounds up
}

}  // namespace
}  // namespace trafimo::win
