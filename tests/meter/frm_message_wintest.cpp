#include "meter/frm_message_win.h"

#include <windowsx.h>

#include <gtest/gtest.h>

#include <utility>

#include "meter/meter_ids.h"
#include "support/fakes.h"
#include "support/window_checks_win.h"

namespace trafimo::win {
namespace {

using meter::Part;

class MeterWindow : public ::testing::Test {
 protected:
  MeterWindow() { fake.clock.Set(2026, 12, 6, 12, 0, 0); }
  void TearDown() override { meters.CloseAll(); }
  frmMessage* Open() {
    meters.ShowMeterSummary("1.2 MB", "34.5 MB", "6.7 GB", {}, 5, false);
    return meters.OpenWindows().empty() ? nullptr : meters.OpenWindows().back();
  }
  static void Tick(frmMessage* meter) { SendMessageA(meter->hwnd(), WM_TIMER, kMeterTimer1, 0); }
  static LONG ExStyle(frmMessage* meter) { return GetWindowLongA(meter->hwnd(), GWL_EXSTYLE); }
  static HBITMAP Shown(frmMessage* meter, Part part) {
    return reinterpret_cast<HBITMAP>(
        SendMessageA(meter->Part(part), STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
  // The part's place in the window's client area, and a message at its centre.
  static meter::Rect PlaceOf(frmMessage* meter, Part part) {
    RECT r{};
    GetWindowRect(meter->Part(part), &r);
    MapWindowPoints(nullptr, meter->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  static void Send(frmMessage* meter, UINT message, Part part, int dx = 0, int dy = 0) {
    const meter::Rect r = PlaceOf(meter, part);
    SendMessageA(meter->hwnd(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(r.left + r.width / 2 + dx, r.top + r.height / 2 + dy));
  }
  static void Click(frmMessage* meter, Part part) {
    Send(meter, WM_LBUTTONDOWN, part), Send(meter, WM_LBUTTONUP, part);
  }
  std::string Visible() { return fake.userStore.Read("screen", "visible", "<missing>"); }

  testing::FakePlatform fake;
  SharedFlags flags;
  MeterWindows meters{fake.platform, flags};
};

TEST_F(MeterWindow, SitsTopmostAtTheCornerItsPicturesAndTextsInTheirBoxesAndTheLevelsApply) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  const RECT work = PrimaryWorkArea();
  const int dpi = static_cast<int>(meter->Dpi());
  RECT window{};
  GetWindowRect(meter->hwnd(), &window);
  EXPECT_EQ((meter::Rect{window.left, window.top, window.right - window.left,
                         window.bottom - window.top}),
            meter::PlaceWindow({work.left, work.top, work.right, work.bottom}, dpi, dpi));
  EXPECT_NE(ExStyle(meter) & WS_EX_TOPMOST, 0);
  EXPECT_NE(ExStyle(meter) & WS_EX_TOOLWINDOW, 0) << "not in the task bar";
  for (const Part picture : {Part::picHold, Part::picExit}) {
    const meter::Rect shown = PlaceOf(meter, picture), box = meter::PartPixels(picture, dpi, dpi);
    EXPECT_TRUE(shown.left >= box.left && shown.top >= box.top && shown.right() <= box.right() &&
                shown.bottom() <= box.bottom())
        << "picture " << static_cast<int>(picture) << " sticks out of its box";
  }
  flags.TransLevel = 3;
  flags.ClickThrough = true;
  Tick(meter);
  BYTE alpha = 0;
  GetLayeredWindowAttributes(meter->hwnd(), nullptr, &alpha, nullptr);
  EXPECT_EQ(alpha, 130);
  EXPECT_NE(ExStyle(meter) & WS_EX_TRANSPARENT, 0);
  Click(meter, meter::SwatchPart(0));
  EXPECT_EQ(fake.userStore.Read("Transparency", "TransLevel", "?"), "0");
  EXPECT_EQ(ExStyle(meter) & WS_EX_LAYERED, 0);
  // This Month in the colour of where it stands against the allowance, with its tip.
  EXPECT_EQ(meter->MonthColour(), GetSysColor(COLOR_INFOTEXT));
  meters.RefreshMeterValues("1 B", "2 B", "3 B", {MonthStanding::Level::Over, "Month\nleft"});
  EXPECT_EQ(meter->MonthColour(), RGB(0xC0, 0, 0));
  EXPECT_EQ(meter->MonthTip(), "Month\nleft");
  testing::AtEachDpi(meter->hwnd(), [&] { testing::ExpectTextsFit(meter->hwnd()); });
}

TEST_F(MeterWindow, APinnedMeterStaysUntilTheCloseButtonAndASecondOneIsRefused) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND window = meter->hwnd();
  Click(meter, Part::picHold);
  EXPECT_EQ(Visible(), "True");
  EXPECT_EQ(Shown(meter, Part::picHold), meter->Picture(IDB_METER_HOLD));
  meters.ShowMeterSummary("9 B", "9 B", "9 B", {}, 5, false);
  EXPECT_EQ(meters.OpenWindows(), std::vector<frmMessage*>{meter});
  fake.clock.Advance(600);
  Tick(meter);
  ASSERT_TRUE(IsWindow(window)) << "pinned";
  // Windows shows a copy of a picture with alpha and hands the copy back on the next change.
  HBITMAP copy = CreateBitmap(16, 14, 1, 32, nullptr);
  SendMessageA(meter->Part(Part::picExit), STM_SETIMAGE, IMAGE_BITMAP,
               reinterpret_cast<LPARAM>(copy));
  Send(meter, WM_MOUSEMOVE, Part::picExit);
  EXPECT_EQ(Shown(meter, Part::picExit), meter->Picture(IDB_METER_EXIT_DOWN)) << "lit";
  EXPECT_EQ(GetObjectType(copy), 0u) << "the copy handed back is destroyed";
  EXPECT_NE(GetObjectType(meter->Picture(IDB_METER_EXIT)), 0u) << "the meter's own stays";
  Send(meter, WM_RBUTTONDOWN, Part::picExit);
  EXPECT_FALSE(IsWindow(window)) << "closed on the press, with any button";
  EXPECT_EQ(Visible(), "False");
  EXPECT_TRUE(meters.OpenWindows().empty());
}

TEST_F(MeterWindow, TheTitleDragsTheWindowAndTheCloseTimeEndsADragCleanly) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND window = meter->hwnd();
  RECT before{}, after{};
  GetWindowRect(window, &before);
  Send(meter, WM_LBUTTONDOWN, Part::Label1);
  Send(meter, WM_MOUSEMOVE, Part::Label1, 40, 20);
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  GetWindowRect(window, &after);
  EXPECT_EQ(std::pair(after.left - before.left, after.top - before.top), std::pair(40L, 20L));
  Send(meter, WM_LBUTTONDOWN, Part::Label1);
  ASSERT_EQ(GetCapture(), window);
  fake.clock.Advance(6);
  Tick(meter);
  EXPECT_FALSE(IsWindow(window)) << "closed after its five seconds";
  EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace trafimo::win
