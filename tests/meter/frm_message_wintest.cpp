#include "meter/frm_message_win.h"

#include <gtest/gtest.h>

#include "meter/meter_ids.h"
#include "support/fakes.h"
#include "support/window_checks_win.h"

namespace trafimo::win {
namespace {

using meter::Part;

// One meter, open for five seconds.
class MeterWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    meters.ShowMeterSummary("1.2 MB", "34.5 MB", "6.7 GB", {}, 5, false);
    ASSERT_EQ(meters.OpenWindows().size(), 1u);
    meter = meters.OpenWindows()[0];
    window = meter->hwnd();
  }
  void TearDown() override { meters.CloseAll(); }
  void Tick() { SendMessageA(window, WM_TIMER, kMeterTimer1, 0); }
  LONG ExStyle() { return GetWindowLongA(window, GWL_EXSTYLE); }
  HBITMAP Shown(Part part) {
    return reinterpret_cast<HBITMAP>(
        SendMessageA(meter->Part(part), STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
  // A message at the centre of the part, in the window's client area.
  void Send(UINT message, Part part) {
    RECT r{};
    GetWindowRect(meter->Part(part), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    SendMessageA(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }
  void Click(Part part) { Send(WM_LBUTTONDOWN, part), Send(WM_LBUTTONUP, part); }

  testing::FakePlatform fake;
  SharedFlags flags;
  MeterWindows meters{fake.platform, flags};
  frmMessage* meter = nullptr;
  HWND window = nullptr;
};

// Topmost, and a tool window, out of the task bar. (Its place at the corner is PlaceWindow's and
// logon_e2e's at the task bar; its pictures' boxes are the layout's test.) The tray menu's choices
// reach an open meter with its next tick; a swatch sets the level. This Month is in the colour of
// where it stands against the allowance, with its tip.
TEST_F(MeterWindow, SitsTopmostTheLevelsApplyAndItsTextsFit) {
  EXPECT_NE(ExStyle() & WS_EX_TOPMOST, 0);
  EXPECT_NE(ExStyle() & WS_EX_TOOLWINDOW, 0) << "not in the task bar";
  flags.TransLevel = 3;
  flags.ClickThrough = true;
  Tick();
  EXPECT_NE(ExStyle() & WS_EX_LAYERED, 0);
  EXPECT_NE(ExStyle() & WS_EX_TRANSPARENT, 0);
  Click(meter::SwatchPart(0));
  EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
  EXPECT_EQ(meter->MonthColour(), GetSysColor(COLOR_INFOTEXT));
  meters.RefreshMeterValues("1 B", "2 B", "3 B", {MonthStanding::Level::Over, "Month\nleft"});
  EXPECT_EQ(meter->MonthColour(), RGB(0xC0, 0, 0));
  EXPECT_EQ(meter->MonthTip(), "Month\nleft");
  testing::AtEachDpi(window, [&] { testing::ExpectTextsFit(window); });
}

// Pinned, it outlasts its time and refuses a second meter. Windows shows a copy of a picture with
// alpha and hands the copy back on the next change: the copy is destroyed, the meter's own stays.
// The close button, lit under the mouse, closes on the press with any button.
TEST_F(MeterWindow, APinnedMeterStaysUntilTheCloseButtonAndASecondOneIsRefused) {
  Click(Part::picHold);
  EXPECT_EQ(Shown(Part::picHold), meter->Picture(IDB_METER_HOLD));
  meters.ShowMeterSummary("9 B", "9 B", "9 B", {}, 5, false);
  EXPECT_EQ(meters.OpenWindows(), std::vector<frmMessage*>{meter});
  fake.clock.Advance(600);
  Tick();
  ASSERT_TRUE(IsWindow(window)) << "pinned";
  HBITMAP copy = CreateBitmap(16, 14, 1, 32, nullptr);
  SendMessageA(meter->Part(Part::picExit), STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(copy));
  Send(WM_MOUSEMOVE, Part::picExit);
  EXPECT_EQ(Shown(Part::picExit), meter->Picture(IDB_METER_EXIT_DOWN)) << "lit";
  EXPECT_EQ(GetObjectType(copy), 0u) << "the copy handed back is destroyed";
  EXPECT_NE(GetObjectType(meter->Picture(IDB_METER_EXIT)), 0u) << "the meter's own stays";
  Send(WM_RBUTTONDOWN, Part::picExit);
  EXPECT_FALSE(IsWindow(window)) << "closed on the press";
  EXPECT_EQ(fake.userStore.Read("screen", "visible", "<missing>"), "False");
  EXPECT_TRUE(meters.OpenWindows().empty());
}

// A press on the title starts a drag (a person's drag is shown end to end); the close time after
// five seconds ends it cleanly.
TEST_F(MeterWindow, TheCloseTimeEndsADragCleanly) {
  Send(WM_LBUTTONDOWN, Part::Label1);
  ASSERT_EQ(GetCapture(), window);
  fake.clock.Advance(6);
  Tick();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace trafimo::win
