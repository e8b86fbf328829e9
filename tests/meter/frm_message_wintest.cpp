#include "meter/frm_message_win.h"

#include <gtest/gtest.h>

#include <string>

#include "meter/meter_ids.h"
#include "support/fakes.h"

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
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < milliseconds) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
}

class MeterWindow : public ::testing::Test {
 protected:
  testing::FakePlatform fake;
  Settings settings;
  SharedFlags flags;
  AppContext app{fake.platform, settings, flags, nullptr, nullptr, nullptr, {}, {}, {}, {}, {}, {}};
  RECT savedWorkArea{};

  void SetUp() override { SystemParametersInfoA(SPI_GETWORKAREA, 0, &savedWorkArea, 0); }
  void TearDown() override {
    for (frmMessage* meter : frmMessage::OpenWindows())
      meter->Close();
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &savedWorkArea, 0);
  }

  frmMessage* Open(bool hold = false) {
    ShowMeterSummary(app, "1.2 MB", "34.5 MB", "6.7 GB", 5, hold);
    const auto open = frmMessage::OpenWindows();
    return open.empty() ? nullptr : open.back();
  }
  static void Tick(frmMessage* meter) { SendMessageA(meter->hwnd(), WM_TIMER, kMeterTimer1, 0); }
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

// ---- Placement ------------------------------------------------------------------------------

struct WorkAreaCase {
  const char* name;
  RECT area;
};

class MeterPlacement : public MeterWindow, public ::testing::WithParamInterface<WorkAreaCase> {};

TEST_P(MeterPlacement, SitsAtTheWorkAreasBottomRightTopmostAndOutOfTheTaskBar) {
  RECT area = GetParam().area;
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0));
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  RECT window{};
  GetWindowRect(meter->hwnd(), &window);
  const UINT dpi = meter->Dpi();
  EXPECT_EQ(window.right - window.left, TwipsToPixels(4050, dpi));
  EXPECT_EQ(window.bottom - window.top, TwipsToPixels(885, dpi));
  EXPECT_EQ(window.bottom, area.bottom);
  EXPECT_EQ(area.right - window.right, TwipsToPixels(250, dpi));

  const LONG style = GetWindowLongA(meter->hwnd(), GWL_STYLE);
  const LONG exStyle = GetWindowLongA(meter->hwnd(), GWL_EXSTYLE);
  EXPECT_TRUE(IsWindowVisible(meter->hwnd()));
  EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0);
  EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);
  EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0);  // not in the task bar
  EXPECT_TRUE(flags.MeterWindowOpen);
}

INSTANTIATE_TEST_SUITE_P(TaskBars, MeterPlacement,
                         ::testing::Values(WorkAreaCase{"Bottom", {0, 0, 1280, 994}},
                                           WorkAreaCase{"Top", {0, 40, 1280, 1024}},
                                           WorkAreaCase{"Left", {90, 0, 1280, 1024}},
                                           WorkAreaCase{"Right", {0, 0, 1200, 1024}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MeterWindow, LaysOutTheTotalsInTwipsAtTheWindowsDpiWithTheGivenFonts) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  const UINT dpi = meter->Dpi();
  // lblCostThisMonth: Left 2655, Top 720 in the panel, which sits at Top -90.
  const RECT value = ClientRectOf(meter->Part(Part::lblCostThisMonth));
  EXPECT_EQ(value.left, TwipsToPixels(2655, dpi));
  EXPECT_EQ(value.top, TwipsToPixels(630, dpi));
  EXPECT_EQ(value.right, TwipsToPixels(2655 + 1380, dpi));
  // Label1: Left 45, Top 45 in the strip at (15, 105).
  const RECT title = ClientRectOf(meter->Part(Part::Label1));
  EXPECT_EQ(title.left, TwipsToPixels(60, dpi));
  EXPECT_EQ(title.top, TwipsToPixels(60, dpi));
  EXPECT_EQ(TextOf(meter->Part(Part::Label1)), "Velquor Trafimo 1.3");
  EXPECT_EQ(TextOf(meter->Part(Part::Label2ThisMonth)), "This Month");

  for (const Part part : {Part::Label1, Part::lblCostNow}) {
    LOGFONTA font{};
    auto* handle = reinterpret_cast<HFONT>(SendMessageA(meter->Part(part), WM_GETFONT, 0, 0));
    ASSERT_NE(GetObjectA(handle, sizeof font, &font), 0);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfHeight, -MulDiv(825, static_cast<int>(dpi), 7200));
  }
}

// ---- Transparency ---------------------------------------------------------------------------

struct LevelCase {
  int level;
  bool clickThrough;
  BYTE alpha;
};

class MeterTransparency : public MeterWindow, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(MeterTransparency, EachLevelIsLayeredWithItsAlphaAndClickThroughAddsTransparent) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  flags.TransLevel = static_cast<std::uint8_t>(GetParam().level);
  flags.ClickThrough = GetParam().clickThrough;
  Tick(meter);
  const LONG exStyle = GetWindowLongA(meter->hwnd(), GWL_EXSTYLE);
  EXPECT_NE(exStyle & WS_EX_LAYERED, 0);
  EXPECT_EQ((exStyle & WS_EX_TRANSPARENT) != 0, GetParam().clickThrough);
  EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);
  BYTE alpha = 0;
  DWORD how = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(meter->hwnd(), nullptr, &alpha, &how));
  EXPECT_EQ(alpha, GetParam().alpha);
  EXPECT_EQ(how & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));

  // Back to level 0: only the layered bit goes.
  flags.TransLevel = 0;
  Tick(meter);
  const LONG opaque = GetWindowLongA(meter->hwnd(), GWL_EXSTYLE);
  EXPECT_EQ(opaque & WS_EX_LAYERED, 0);
  EXPECT_EQ((opaque & WS_EX_TRANSPARENT) != 0, GetParam().clickThrough);
}

INSTANTIATE_TEST_SUITE_P(Levels, MeterTransparency,
                         ::testing::Values(LevelCase{1, false, 220}, LevelCase{2, false, 180},
                                           LevelCase{3, false, 130}, LevelCase{4, false, 100},
                                           LevelCase{5, false, 50}, LevelCase{1, true, 220},
                                           LevelCase{5, true, 50}),
                         [](const auto& info) {
                           return "Level" + std::to_string(info.param.level) +
                                  (info.param.clickThrough ? "ClickThrough" : "");
                         });

TEST_F(MeterWindow, ALevelChosenElsewhereReachesAnOpenMeterWithinASecond) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  flags.TransLevel = 4;
  PumpFor(1100);
  ASSERT_EQ(frmMessage::OpenWindows().size(), 1u);
  BYTE alpha = 0;
  EXPECT_NE(GetWindowLongA(meter->hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  ASSERT_TRUE(GetLayeredWindowAttributes(meter->hwnd(), nullptr, &alpha, nullptr));
  EXPECT_EQ(alpha, 100);
}

TEST_F(MeterWindow, ASwatchClickAppliesAtOnceAndStoresTheLevel) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  Click(meter, meter::SwatchPart(2));
  EXPECT_EQ(flags.TransLevel, 2);
  EXPECT_EQ(fake.userStore.Read("Transparency", "TransLevel", "?"), "2");
  BYTE alpha = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(meter->hwnd(), nullptr, &alpha, nullptr));
  EXPECT_EQ(alpha, 180);
  Click(meter, meter::SwatchPart(0));
  EXPECT_EQ(fake.userStore.Read("Transparency", "TransLevel", "?"), "0");
  EXPECT_EQ(GetWindowLongA(meter->hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

// ---- Close time, pin, close button ----------------------------------------------------------

TEST_F(MeterWindow, ClosesOnTheFirstTickAfterTheCloseTimeAndStoresVisibleFalse) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND window = meter->hwnd();
  for (int second = 1; second <= 5; ++second) {
    fake.clock.Advance(1);
    Tick(meter);
    ASSERT_TRUE(IsWindow(window)) << second;
  }
  fake.clock.Advance(1);
  Tick(meter);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(frmMessage::OpenWindows().empty());
  EXPECT_FALSE(flags.MeterWindowOpen);
  EXPECT_EQ(Visible(), "False");
}

TEST_F(MeterWindow, PinningStoresVisibleTrueAndUnpinningClosesOneSecondLater) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND window = meter->hwnd();
  HWND pin = meter->Part(Part::picHold);
  ASSERT_NE(meter->Picture(IDB_METER_NOHOLD), nullptr);
  ASSERT_NE(meter->Picture(IDB_METER_HOLD), nullptr);
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(pin, STM_GETIMAGE, IMAGE_BITMAP, 0)),
            meter->Picture(IDB_METER_NOHOLD));
  Click(meter, Part::picHold);
  EXPECT_TRUE(meter->mblnHold());
  EXPECT_EQ(Visible(), "True");
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(pin, STM_GETIMAGE, IMAGE_BITMAP, 0)),
            meter->Picture(IDB_METER_HOLD));
  fake.clock.Advance(600);
  Tick(meter);
  ASSERT_TRUE(IsWindow(window));

  Click(meter, Part::picHold);
  EXPECT_FALSE(meter->mblnHold());
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(pin, STM_GETIMAGE, IMAGE_BITMAP, 0)),
            meter->Picture(IDB_METER_NOHOLD));
  fake.clock.Advance(1);
  Tick(meter);
  ASSERT_TRUE(IsWindow(window));
  fake.clock.Advance(1);
  Tick(meter);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Visible(), "False");
}

TEST_F(MeterWindow, OpenedPinnedShowsThePinAndStoresNothingUntilClosedByTheButton) {
  frmMessage* meter = Open(true);
  ASSERT_NE(meter, nullptr);
  EXPECT_TRUE(meter->mblnHold());
  EXPECT_EQ(reinterpret_cast<HBITMAP>(
                SendMessageA(meter->Part(Part::picHold), STM_GETIMAGE, IMAGE_BITMAP, 0)),
            meter->Picture(IDB_METER_HOLD));
  EXPECT_EQ(fake.userStore.writes, 0);
  HWND window = meter->hwnd();
  // The close button reacts to the press, with any button.
  SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, CentreOf(meter, Part::picExit));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Visible(), "False");
  EXPECT_FALSE(flags.MeterWindowOpen);
}

TEST_F(MeterWindow, TheCloseButtonLightsUpUnderTheMouse) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND exit = meter->Part(Part::picExit);
  auto shown = [&] {
    return reinterpret_cast<HBITMAP>(SendMessageA(exit, STM_GETIMAGE, IMAGE_BITMAP, 0));
  };
  ASSERT_NE(meter->Picture(IDB_METER_EXIT), nullptr);
  ASSERT_NE(meter->Picture(IDB_METER_EXIT_DOWN), nullptr);
  EXPECT_EQ(shown(), meter->Picture(IDB_METER_EXIT));
  SendMessageA(meter->hwnd(), WM_MOUSEMOVE, 0, CentreOf(meter, Part::picExit));
  EXPECT_EQ(shown(), meter->Picture(IDB_METER_EXIT_DOWN));
  SendMessageA(meter->hwnd(), WM_MOUSEMOVE, 0, CentreOf(meter, Part::lblCostToday));
  EXPECT_EQ(shown(), meter->Picture(IDB_METER_EXIT));
}

TEST_F(MeterWindow, ASecondMeterIsRefusedAndTheOpenOneKeepsItsCloseTimeAndPin) {
  fake.userStore.Write("screen", "visible", "True");
  frmMessage* meter = Open(true);
  ASSERT_NE(meter, nullptr);
  const platform::LocalTime closeTime = meter->mdtCloseTime();
  fake.clock.Advance(3);
  const int writes = fake.userStore.writes;

  ShowMeterSummary(app, "9 B", "9 B", "9 B", 5, false);
  const auto open = frmMessage::OpenWindows();
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open.front(), meter);
  EXPECT_EQ(meter->mdtCloseTime(), closeTime);
  EXPECT_TRUE(meter->mblnHold());
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostNow)), "1.2 MB");
  EXPECT_TRUE(flags.MeterWindowOpen);
  EXPECT_EQ(fake.userStore.writes, writes);  // the refused window stores nothing
  EXPECT_EQ(Visible(), "True");
  EXPECT_EQ(FindWindowExA(nullptr, FindWindowExA(nullptr, nullptr, kMeterClassName, nullptr),
                          kMeterClassName, nullptr),
            nullptr);
}

TEST_F(MeterWindow, AVisibleSettingsDialogOnlyComesForward) {
  int broughtForward = 0;
  app.bringSettingsForwardIfVisible = [&] {
    ++broughtForward;
    return true;
  };
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(broughtForward, 1);
  EXPECT_FALSE(flags.MeterWindowOpen);
  EXPECT_EQ(fake.userStore.writes, 0);
}

TEST_F(MeterWindow, TheRefreshRewritesTheThreeValues) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostToday)), "34.5 MB");
  RefreshMeterValues("2.0 MB", "35.3 MB", "6.8 GB");
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostNow)), "2.0 MB");
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostToday)), "35.3 MB");
  EXPECT_EQ(TextOf(meter->Part(Part::lblCostThisMonth)), "6.8 GB");
}

// ---- Drag -----------------------------------------------------------------------------------

TEST_F(MeterWindow, DraggingTheTitleMovesTheWindowByTheCursorsTravel) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  RECT before{};
  GetWindowRect(meter->hwnd(), &before);
  SetCursorPos(before.left + 20, before.top + 8);
  SendMessageA(meter->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(meter, Part::Label1));
  EXPECT_TRUE(meter->dragging());
  EXPECT_EQ(GetCapture(), meter->hwnd());
  SetCursorPos(before.left - 80, before.top - 150);
  SendMessageA(meter->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, 0);
  SendMessageA(meter->hwnd(), WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(meter->dragging());
  EXPECT_EQ(GetCapture(), nullptr);
  RECT after{};
  GetWindowRect(meter->hwnd(), &after);
  EXPECT_EQ(after.left, before.left - 100);
  EXPECT_EQ(after.top, before.top - 158);
}

TEST_F(MeterWindow, ReachingTheCloseTimeDuringADragEndsTheDragAndTheCapture) {
  frmMessage* meter = Open();
  ASSERT_NE(meter, nullptr);
  HWND window = meter->hwnd();
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(meter, Part::Label1));
  ASSERT_EQ(GetCapture(), window);
  // The window's own timer keeps ticking while the drag holds the mouse.
  fake.clock.Advance(6);
  PumpFor(1100);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Visible(), "False");
}

}  // namespace
}  // namespace trafimo::win
