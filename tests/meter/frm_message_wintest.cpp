#include "meter/frm_message_win.h"

#include <gtest/gtest.h>

#include <string>

#include "meter/meter_ids.h"
#include "support/fakes.h"

// Every shown window costs about two seconds to destroy under Wine without a window manager, so
// each test follows one window through several steps.

namespace trafimo::win {
namespace {

using meter::Part;

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

RECT ClientRectOf(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void PumpFor(DWORD milliseconds) {
  MSG msg;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(10))
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&msg);
}

class MeterWindow : public ::testing::Test {
 protected:
  testing::FakePlatform fake;
  Settings settings;
  SharedFlags flags;
  AppContext app{fake.platform, settings, flags, nullptr, nullptr, nullptr, {}, {}, {}, {}, {}, {}};

  void TearDown() override {
    for (frmMessage* meter : frmMessage::OpenWindows())
      meter->Close();
  }

  frmMessage* Open(bool hold = false) {
    ShowMeterSummary(app, "1.2 MB", "34.5 MB", "6.7 GB", 5, hold);
    const auto open = frmMessage::OpenWindows();
    return open.empty() ? nullptr : open.back();
  }
  static void Tick(frmMessage* meter) { SendMessageA(meter->hwnd(), WM_TIMER, kMeterTimer1, 0); }
  static LONG ExStyle(frmMessage* meter) { return GetWindowLongA(meter->hwnd(), GWL_EXSTYLE); }
  // The layered window's alpha, or -1 when it has none.
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
};

// ---- Placement and layout -------------------------------------------------------------------

// Other scales and work areas are covered by the portable placement tests; the window is placed
// in the primary monitor's work area as GetMonitorInfo reports it now.
TEST_F(MeterWindow, SitsAtTheWorkAreasBottomRightTopmostWithItsPartsInTwips) {
  MONITORINFO monitor{sizeof monitor, {}, {}, 0};
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor));
  const RECT area = monitor.rcWork;
  {
    frmMessage* meter = Open();
    ASSERT_NE(meter, nullptr);
    RECT window{};
    GetWindowRect(meter->hwnd(), &window);
    const UINT dpi = meter->Dpi();
    EXPECT_EQ(window.right - window.left, TwipsToPixels(4050, dpi));
    EXPECT_EQ(window.bottom - window.top, TwipsToPixels(885, dpi));
    EXPECT_EQ(window.bottom, area.bottom);
    EXPECT_EQ(area.right - window.right, TwipsToPixels(250, dpi));
    EXPECT_TRUE(IsWindowVisible(meter->hwnd()));
    EXPECT_EQ(GetWindowLongA(meter->hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_NE(ExStyle(meter) & WS_EX_TOPMOST, 0);
    EXPECT_NE(ExStyle(meter) & WS_EX_TOOLWINDOW, 0);  // not in the task bar

    // lblCostThisMonth: Left 2655, Top 720 in the panel, which sits at Top -90.
    const RECT value = ClientRectOf(meter->Part(Part::lblCostThisMonth));
    EXPECT_EQ(value.left, TwipsToPixels(2655, dpi));
    EXPECT_EQ(value.top, TwipsToPixels(630, dpi));
    LOGFONTA font{};
    auto* handle =
        reinterpret_cast<HFONT>(SendMessageA(meter->Part(Part::lblCostNow), WM_GETFONT, 0, 0));
    ASSERT_NE(GetObjectA(handle, sizeof font, &font), 0);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -MulDiv(825, static_cast<int>(dpi), 7200));
    for (const Part picture : {Part::picHold, Part::picExit}) {
      const RECT shown = ClientRectOf(meter->Part(picture));
      const meter::Rect box =
          meter::PartPixels(picture, static_cast<int>(dpi), static_cast<int>(dpi));
      EXPECT_TRUE(shown.left >= box.left && shown.top >= box.top && shown.right <= box.right() &&
                  shown.bottom <= box.bottom())
          << "picture " << static_cast<int>(picture) << " sticks out of its box";
    }
    meter->Close();
  }
}

// ---- Transparency ---------------------------------------------------------------------------

TEST_F(MeterWindow, EachLevelIsLayeredWithItsAlphaFromTheTickASwatchOrTheSharedFlags) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  const int alphas[] = {255, 220, 180, 130, 100, 50};
  // The last pass shows that click-through turned off takes WS_EX_TRANSPARENT away again.
  for (const bool clickThrough : {false, true, false}) {
    flags.ClickThrough = clickThrough;
    for (int level = 1; level <= 5; ++level) {
      SCOPED_TRACE(std::to_string(level) + (clickThrough ? " click-through" : ""));
      flags.TransLevel = static_cast<std::uint8_t>(level);
      Tick(meter);
      EXPECT_EQ((ExStyle(meter) & WS_EX_TRANSPARENT) != 0, clickThrough);
      EXPECT_NE(ExStyle(meter) & WS_EX_TOPMOST, 0);
      EXPECT_EQ(Alpha(meter), alphas[level]);
    }
    // Level 0: only the layered bit goes.
    flags.TransLevel = 0;
    Tick(meter);
    EXPECT_EQ(ExStyle(meter) & WS_EX_LAYERED, 0);
    EXPECT_EQ((ExStyle(meter) & WS_EX_TRANSPARENT) != 0, clickThrough);
  }

  // A swatch applies at once and stores the level.
  Click(meter, meter::SwatchPart(2));
  EXPECT_EQ(flags.TransLevel, 2);
  EXPECT_EQ(fake.userStore.Read("Transparency", "TransLevel", "?"), "2");
  EXPECT_EQ(Alpha(meter), 180);
  Click(meter, meter::SwatchPart(0));
  EXPECT_EQ(fake.userStore.Read("Transparency", "TransLevel", "?"), "0");
  EXPECT_EQ(ExStyle(meter) & WS_EX_LAYERED, 0);

  flags.TransLevel = 4;  // as the tray menu sets it; the window's own timer picks it up
  PumpFor(1100);
  EXPECT_EQ(Alpha(meter), 100);
}

// ---- Close time, pin, close button, refresh -------------------------------------------------

TEST_F(MeterWindow, ClosesOnTheFirstTickAfterItsCloseTimeUnlessPinnedAndRefreshesMeanwhile) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND window = meter->hwnd();
  EXPECT_EQ(meter->mdtCloseTime(), (platform::LocalTime{2026, 12, 6, 12, 0, 5}));
  for (int second = 1; second <= 5; ++second) {
    fake.clock.Advance(1);
    Tick(meter);
    ASSERT_TRUE(IsWindow(window)) << second;
  }
  RefreshMeterValues("2.0 MB", "35.3 MB", "6.8 GB");
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostNow)), "2.0 MB");
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostToday)), "35.3 MB");
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostThisMonth)), "6.8 GB");

  // Pinned at its close time it stays, and "visible" becomes "True".
  ASSERT_NE(meter->Picture(IDB_METER_NOHOLD), meter->Picture(IDB_METER_HOLD));
  Click(meter, Part::picHold);
  EXPECT_TRUE(meter->mblnHold());
  EXPECT_EQ(Visible(), "True");
  EXPECT_EQ(Shown(meter, Part::picHold), meter->Picture(IDB_METER_HOLD));
  fake.clock.Advance(600);
  Tick(meter);
  ASSERT_TRUE(IsWindow(window));

  // Un-pinned, it closes on the first tick more than a second later.
  Click(meter, Part::picHold);
  EXPECT_FALSE(meter->mblnHold());
  EXPECT_EQ(Shown(meter, Part::picHold), meter->Picture(IDB_METER_NOHOLD));
  fake.clock.Advance(1);
  Tick(meter);
  ASSERT_TRUE(IsWindow(window));
  fake.clock.Advance(1);
  Tick(meter);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(flags.MeterWindowOpen);
  EXPECT_EQ(Visible(), "False");
  RefreshMeterValues("1 B", "1 B", "1 B");  // no open window left to refresh
}

TEST_F(MeterWindow, ASecondMeterIsRefusedAndStoresNothingThenTheCloseButtonCloses) {
  fake.userStore.Write("screen", "visible", "True");  // left pinned at the last exit
  frmMessage* meter = Open(true);
  ASSERT_NE(meter, nullptr);
  EXPECT_EQ(Shown(meter, Part::picHold), meter->Picture(IDB_METER_HOLD));
  EXPECT_EQ(fake.userStore.writes, 1);  // opening pinned stores nothing
  const platform::LocalTime closeTime = meter->mdtCloseTime();
  fake.clock.Advance(3);

  ShowMeterSummary(app, "9 B", "9 B", "9 B", 5, false);
  ASSERT_EQ(frmMessage::OpenWindows().size(), 1u);
  EXPECT_EQ(frmMessage::OpenWindows().front(), meter);
  EXPECT_EQ(meter->mdtCloseTime(), closeTime);
  EXPECT_TRUE(meter->mblnHold());
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostNow)), "1.2 MB");
  EXPECT_TRUE(flags.MeterWindowOpen);
  EXPECT_EQ(fake.userStore.writes, 1);  // the refused window stored nothing either

  // The close button lights up under the mouse and closes on the press, with any button,
  // storing "False" once.
  HWND window = meter->hwnd();
  ASSERT_NE(meter->Picture(IDB_METER_EXIT), meter->Picture(IDB_METER_EXIT_DOWN));
  SendMessageA(window, WM_MOUSEMOVE, 0, CentreOf(meter, Part::picExit));
  EXPECT_EQ(Shown(meter, Part::picExit), meter->Picture(IDB_METER_EXIT_DOWN));
  SendMessageA(window, WM_MOUSEMOVE, 0, CentreOf(meter, Part::lblCostToday));
  EXPECT_EQ(Shown(meter, Part::picExit), meter->Picture(IDB_METER_EXIT));
  SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, CentreOf(meter, Part::picExit));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Visible(), "False");
  EXPECT_EQ(fake.userStore.writes, 2);
  EXPECT_FALSE(flags.MeterWindowOpen);
}

TEST_F(MeterWindow, AVisibleSettingsDialogOnlyComesForward) {
  int broughtForward = 0;
  app.bringSettingsForwardIfVisible = [&] { return ++broughtForward > 0; };
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(broughtForward, 1);
  EXPECT_FALSE(flags.MeterWindowOpen);
}

// ---- Drag -----------------------------------------------------------------------------------

TEST_F(MeterWindow, TheTitleDragsTheWindowAndTheCloseTimeEndsADragCleanly) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND window = meter->hwnd();
  RECT before{};
  GetWindowRect(window, &before);
  SetCursorPos(before.left + 20, before.top + 8);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(meter, Part::Label1));
  EXPECT_EQ(GetCapture(), window);
  SetCursorPos(before.left - 80, before.top - 150);
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, 0);
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_EQ(after.left, before.left - 100);
  EXPECT_EQ(after.top, before.top - 158);

  // A second drag outlives the close time: the window's own timer ends it with the capture.
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(meter, Part::Label1));
  ASSERT_EQ(GetCapture(), window);
  fake.clock.Advance(6);
  PumpFor(1100);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Visible(), "False");
}

}  // namespace
}  // namespace trafimo::win
