#include "meter/frm_message_win.h"

#include <windowsx.h>

#include <gtest/gtest.h>

#include "meter/meter_ids.h"
#include "support/fakes.h"
#include "support/window_checks_win.h"

namespace trafimo::win {
namespace {

using meter::Part;
using testing::TextOf;

RECT ClientRectOf(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class MeterWindow : public ::testing::Test {
 protected:
  MeterWindow() { fake.clock.Set(2026, 12, 6, 12, 0, 0); }
  void TearDown() override { meters.CloseAll(); }

  frmMessage* Open(bool hold = false) {
    meters.ShowMeterSummary("1.2 MB", "34.5 MB", "6.7 GB", 5, hold);
    const auto open = meters.OpenWindows();
    return open.empty() ? nullptr : open.back();
  }
  static void Tick(frmMessage* meter) { SendMessageA(meter->hwnd(), WM_TIMER, kMeterTimer1, 0); }
  static LONG ExStyle(frmMessage* meter) { return GetWindowLongA(meter->hwnd(), GWL_EXSTYLE); }
  static int Alpha(frmMessage* meter) {
    BYTE alpha = 0;
    DWORD how = 0;
    const bool layered = GetLayeredWindowAttributes(meter->hwnd(), nullptr, &alpha, &how);
    return layered && (how & LWA_ALPHA) ? alpha : -1;
  }
  static HBITMAP Shown(frmMessage* meter, Part part) {
    return reinterpret_cast<HBITMAP>(
        SendMessageA(meter->Part(part), STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
  static LPARAM CentreOf(frmMessage* meter, Part part) {
    const RECT r = ClientRectOf(meter->Part(part));
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  static void Click(frmMessage* meter, Part part) {
    SendMessageA(meter->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(meter, part));
    SendMessageA(meter->hwnd(), WM_LBUTTONUP, 0, CentreOf(meter, part));
  }
  std::string Visible() { return fake.userStore.Read("screen", "visible", "<missing>"); }

  testing::FakePlatform fake;
  SharedFlags flags;
  MeterWindows meters{fake.platform, flags};
};

TEST_F(MeterWindow, SitsTopmostAtTheWorkAreasCornerWithItsPicturesInsideTheirBoxes) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  MONITORINFO monitor{sizeof monitor, {}, {}, 0};
  GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const UINT dpi = meter->Dpi();
  RECT window{};
  GetWindowRect(meter->hwnd(), &window);
  const meter::Rect expected = meter::PlaceWindow(
      {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom},
      static_cast<int>(dpi), static_cast<int>(dpi));
  EXPECT_EQ((meter::Rect{window.left, window.top, window.right - window.left,
                         window.bottom - window.top}),
            expected);
  EXPECT_NE(ExStyle(meter) & WS_EX_TOPMOST, 0);
  EXPECT_NE(ExStyle(meter) & WS_EX_TOOLWINDOW, 0) << "not in the task bar";
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostThisMonth)), "6.7 GB");
  for (const Part picture : {Part::picHold, Part::picExit}) {
    const RECT shown = ClientRectOf(meter->Part(picture));
    const meter::Rect box =
        meter::PartPixels(picture, static_cast<int>(dpi), static_cast<int>(dpi));
    EXPECT_TRUE(shown.left >= box.left && shown.top >= box.top && shown.right <= box.right() &&
                shown.bottom <= box.bottom())
        << "picture " << static_cast<int>(picture) << " sticks out of its box";
  }
}

TEST_F(MeterWindow, TheTickAndASwatchSetTheLevelAndAPinnedMeterStaysUntilTheCloseButton) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND window = meter->hwnd();
  flags.TransLevel = 3;
  flags.ClickThrough = true;
  Tick(meter);
  EXPECT_EQ(Alpha(meter), 130);
  EXPECT_NE(ExStyle(meter) & WS_EX_TRANSPARENT, 0);
  Click(meter, meter::SwatchPart(0));
  EXPECT_EQ(fake.userStore.Read("Transparency", "TransLevel", "?"), "0");
  EXPECT_EQ(ExStyle(meter) & WS_EX_LAYERED, 0);

  Click(meter, Part::picHold);
  EXPECT_EQ(Visible(), "True");
  EXPECT_EQ(Shown(meter, Part::picHold), meter->Picture(IDB_METER_HOLD));
  meters.ShowMeterSummary("9 B", "9 B", "9 B", 5, false);
  EXPECT_EQ(meters.OpenWindows(), std::vector<frmMessage*>{meter}) << "a second one is refused";
  fake.clock.Advance(600);
  Tick(meter);
  ASSERT_TRUE(IsWindow(window)) << "pinned";
  SendMessageA(window, WM_MOUSEMOVE, 0, CentreOf(meter, Part::picExit));
  EXPECT_EQ(Shown(meter, Part::picExit), meter->Picture(IDB_METER_EXIT_DOWN)) << "lit";
  SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, CentreOf(meter, Part::picExit));
  EXPECT_FALSE(IsWindow(window)) << "closed on the press, with any button";
  EXPECT_EQ(Visible(), "False");
  EXPECT_TRUE(meters.OpenWindows().empty());
}

TEST_F(MeterWindow, TheTitleDragsTheWindowAndTheCloseTimeEndsADragCleanly) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND window = meter->hwnd();
  RECT before{};
  GetWindowRect(window, &before);
  const LPARAM title = CentreOf(meter, Part::Label1);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, title);
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON,
               MAKELPARAM(GET_X_LPARAM(title) + 40, GET_Y_LPARAM(title) + 20));
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_EQ(after.left - before.left, 40);
  EXPECT_EQ(after.top - before.top, 20);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(meter, Part::Label1));
  ASSERT_EQ(GetCapture(), window);
  fake.clock.Advance(6);
  Tick(meter);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace trafimo::win
