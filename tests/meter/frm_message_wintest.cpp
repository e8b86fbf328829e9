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
    fake.clock.Set(2026, 12, 6, 12, 0, 0);
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
  // The part's place in the window's client area, and a message at its centre.
  meter::Rect PlaceOf(Part part) {
    RECT r{};
    GetWindowRect(meter->Part(part), &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  void Send(UINT message, Part part) {
    const meter::Rect r = PlaceOf(part);
    SendMessageA(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(r.left + r.width / 2, r.top + r.height / 2));
  }
  void Click(Part part) { Send(WM_LBUTTONDOWN, part), Send(WM_LBUTTONUP, part); }

  testing::FakePlatform fake;
  SharedFlags flags;
  MeterWindows meters{fake.platform, flags};
  frmMessage* meter = nullptr;
  HWND window = nullptr;
};

TEST_F(MeterWindow, SitsTopmostItsPicturesAndTextsInTheirBoxesAndTheLevelsApply) {
  // Its place at the corner is PlaceWindow's, and logon_e2e's at the task bar.
  const int dpi = static_cast<int>(meter->Dpi());
  EXPECT_NE(ExStyle() & WS_EX_TOPMOST, 0);
  EXPECT_NE(ExStyle() & WS_EX_TOOLWINDOW, 0) << "not in the task bar";
  for (const Part picture : {Part::picHold, Part::picExit}) {
    const meter::Rect shown = PlaceOf(picture), box = meter::PartPixels(picture, dpi, dpi);
    EXPECT_TRUE(shown.left >= box.left && shown.top >= box.top && shown.right() <= box.right() &&
                shown.bottom() <= box.bottom())
        << "picture " << static_cast<int>(picture) << " sticks out of its box";
  }
  // The tray menu's choices reach an open meter with its next tick; a swatch sets the level.
  flags.TransLevel = 3;
  flags.ClickThrough = true;
  Tick();
  EXPECT_NE(ExStyle() & WS_EX_LAYERED, 0);
  EXPECT_NE(ExStyle() & WS_EX_TRANSPARENT, 0);
  Click(meter::SwatchPart(0));
  EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);
  // This Month in the colour of where it stands against the allowance, with its tip.
  EXPECT_EQ(meter->MonthColour(), GetSysColor(COLOR_INFOTEXT));
  meters.RefreshMeterValues("1 B", "2 B", "3 B", {MonthStanding::Level::Over, "Month\nleft"});
  EXPECT_EQ(meter->MonthColour(), RGB(0xC0, 0, 0));
  EXPECT_EQ(meter->MonthTip(), "Month\nleft");
  testing::AtEachDpi(window, [&] { testing::ExpectTextsFit(window); });
}

TEST_F(MeterWindow, APinnedMeterStaysUntilTheCloseButtonAndASecondOneIsRefused) {
  Click(Part::picHold);
  EXPECT_EQ(Shown(Part::picHold), meter->Picture(IDB_METER_HOLD));
  meters.ShowMeterSummary("9 B", "9 B", "9 B", {}, 5, false);
  EXPECT_EQ(meters.OpenWindows(), std::vector<frmMessage*>{meter});
  fake.clock.Advance(600);
  Tick();
  ASSERT_TRUE(IsWindow(window)) << "pinned";
  // Windows shows a copy of a picture with alpha and hands the copy back on the next change.
  HBITMAP copy = CreateBitmap(16, 14, 1, 32, nullptr);
  SendMessageA(meter->Part(Part::picExit), STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(copy));
  Send(WM_MOUSEMOVE, Part::picExit);
  EXPECT_EQ(Shown(Part::picExit), meter->Picture(IDB_METER_EXIT_DOWN)) << "lit";
  EXPECT_EQ(GetObjectType(copy), 0u) << "the copy handed back is destroyed";
  EXPECT_NE(GetObjectType(meter->Picture(IDB_METER_EXIT)), 0u) << "the meter's own stays";
  Send(WM_RBUTTONDOWN, Part::picExit);
  EXPECT_FALSE(IsWindow(window)) << "closed on the press, with any button";
  EXPECT_EQ(fake.userStore.Read("screen", "visible", "<missing>"), "False");
  EXPECT_TRUE(meters.OpenWindows().empty());
}

// A press on the title starts a drag (a person's drag is shown end to end).
TEST_F(MeterWindow, TheCloseTimeEndsADragCleanly) {
  Send(WM_LBUTTONDOWN, Part::Label1);
  ASSERT_EQ(GetCapture(), window);
  fake.clock.Advance(6);
  Tick();
  EXPECT_FALSE(IsWindow(window)) << "closed after its five seconds";
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace trafimo::win
