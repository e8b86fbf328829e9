#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "meter/meter_layout.h"
#include "meter/meter_state.h"
#include "support/fakes.h"

namespace trafimo::meter {
namespace {

// ---- Placement ------------------------------------------------------------------------------

struct PlacementCase {
  const char* name;
  WorkArea workArea;
  int dpi;
  Rect expected;
};

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, SitsOnTheWorkAreasBottomRightCorner) {
  const PlacementCase& c = GetParam();
  const Rect rect = PlaceWindow(c.workArea, c.dpi, c.dpi);
  EXPECT_EQ(rect, c.expected);
  // Whatever the task bar's side: bottom on the work area's bottom, 250 twips in from its right.
  EXPECT_EQ(rect.bottom(), c.workArea.bottom);
  EXPECT_EQ(c.workArea.right - rect.right(), TwipsToPixels(250, c.dpi));
}

INSTANTIATE_TEST_SUITE_P(
    WorkAreas, Placement,
    ::testing::Values(
        // 4050 x 885 twips = 270 x 59 pixels at 96 DPI; 250 twips = 16.7 -> 17 pixels.
        PlacementCase{"TaskBarBottom", {0, 0, 1024, 738}, 96, {737, 679, 270, 59}},
        PlacementCase{"TaskBarTop", {0, 30, 1024, 768}, 96, {737, 709, 270, 59}},
        PlacementCase{"TaskBarLeft", {60, 0, 1024, 768}, 96, {737, 709, 270, 59}},
        PlacementCase{"TaskBarRight", {0, 0, 964, 768}, 96, {677, 709, 270, 59}},
        // At 150 %: 405 x 88.5 -> 89 pixels, 250 twips = 25 pixels.
        PlacementCase{"At150Percent", {0, 0, 1920, 1040}, 144, {1490, 951, 405, 89}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Layout, StripPartsSitInTheStripShiftedUpByThePanelsHiddenEdge) {
  // Label1 at (45, 45) in the strip, which is at (15, 105) in the panel, panel at Top -90.
  EXPECT_EQ(PartTwips(Part::Label1), (Rect{60, 60, 2550, 195}));
  EXPECT_EQ(PartTwips(Part::picExit), (Rect{3705, 60, 240, 210}));
  EXPECT_EQ(PartTwips(Part::lblCostThisMonth), (Rect{2655, 630, 1380, 195}));
  EXPECT_EQ(PartTwips(SwatchPart(3)), (Rect{2985, 60, 120, 195}));
}

class LayoutAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(LayoutAtDpi, EveryPartLiesInsideTheWindowAndStripPartsInsideTheStrip) {
  const int dpi = GetParam();
  const Rect window{0, 0, TwipsToPixels(kWindowWidth, dpi), TwipsToPixels(kWindowHeight, dpi)};
  const Rect strip = PartPixels(Part::picTitel, dpi, dpi);
  for (int i = 0; i < kPartCount; ++i) {
    const Rect r = PartPixels(static_cast<Part>(i), dpi, dpi);
    SCOPED_TRACE(i);
    EXPECT_GT(r.width, 0);
    EXPECT_GT(r.height, 0);
    EXPECT_GE(r.left, window.left);
    EXPECT_GE(r.top, window.top);
    EXPECT_LE(r.right(), window.right());
    EXPECT_LE(r.bottom(), window.bottom());
    if (i >= static_cast<int>(Part::Label1) && i <= static_cast<int>(Part::picExit)) {
      EXPECT_GE(r.left, strip.left);
      EXPECT_LE(r.right(), strip.right());
      EXPECT_LE(r.bottom(), strip.bottom());
    }
  }
  // The swatches overlap by 15 twips (the next one lies on top); the last one, the pin and the
  // close button stay apart, so a click finds one of them.
  for (int level = 0; level + 1 < kSwatchCount; ++level) {
    const Rect swatch = PartPixels(SwatchPart(level), dpi, dpi);
    const Rect next = PartPixels(SwatchPart(level + 1), dpi, dpi);
    EXPECT_LT(swatch.left, next.left) << level;
    EXPECT_GE(swatch.right(), next.left) << level;
  }
  EXPECT_LE(PartPixels(SwatchPart(5), dpi, dpi).right(), PartPixels(Part::picHold, dpi, dpi).left);
  EXPECT_LE(PartPixels(Part::picHold, dpi, dpi).right(), PartPixels(Part::picExit, dpi, dpi).left);
}

INSTANTIATE_TEST_SUITE_P(Dpis, LayoutAtDpi, ::testing::Values(96, 120, 144, 192));

TEST(Layout, ScalesWithTheDpi) {
  EXPECT_EQ(PartPixels(Part::Label1, 96, 96), (Rect{4, 4, 170, 13}));
  EXPECT_EQ(PartPixels(Part::Label1, 144, 144), (Rect{6, 6, 255, 20}));
  EXPECT_EQ(PartPixels(Part::picHold, 96, 96), (Rect{225, 4, 16, 14}));
}

TEST(Layout, FindsThePartUnderTheMouse) {
  for (int dpi : {96, 144}) {
    for (const Part part : {Part::Label1, Part::picHold, Part::picExit, SwatchPart(0)}) {
      const Rect r = PartPixels(part, dpi, dpi);
      EXPECT_EQ(PartAt(r.left + r.width / 2, r.top + r.height / 2, dpi, dpi), part) << dpi;
    }
    // Where swatch 0 and 1 overlap, swatch 1 (on top) takes the click.
    const Rect second = PartPixels(SwatchPart(1), dpi, dpi);
    EXPECT_EQ(PartAt(second.left, second.top, dpi, dpi), SwatchPart(1));
    // The strip between the label and the swatches, and the panel below it.
    EXPECT_EQ(PartAt(PartPixels(Part::Label1, dpi, dpi).right(), second.top, dpi, dpi),
              Part::picTitel);
    EXPECT_EQ(PartAt(5, PartPixels(Part::lblCostNow, dpi, dpi).top, dpi, dpi), std::nullopt);
  }
}

// ---- Transparency ---------------------------------------------------------------------------

struct TransparencyCase {
  const char* name;
  std::uint8_t appliedLevel;  // arranged through an earlier application
  bool appliedClickThrough;
  std::uint8_t level;
  bool clickThrough;
  std::uint32_t exStyle;
  std::vector<std::uint32_t> writes;
  int alpha;  // -1: none
};

class Transparency : public ::testing::TestWithParam<TransparencyCase> {};

TEST_P(Transparency, DecidesTheStyleWritesAndAlpha) {
  const TransparencyCase& c = GetParam();
  testing::FakePlatform fake;
  SharedFlags flags;
  MeterState state(fake.clock, fake.userStore, flags);
  flags.TransLevel = c.appliedLevel;
  flags.ClickThrough = c.appliedClickThrough;
  state.PlanTransparency(0x8);

  flags.TransLevel = c.level;
  flags.ClickThrough = c.clickThrough;
  const TransparencyPlan plan = state.PlanTransparency(c.exStyle);
  EXPECT_EQ(plan.styleWrites, c.writes);
  EXPECT_EQ(plan.alpha ? *plan.alpha : -1, c.alpha);
  // Applying the same again does nothing.
  const TransparencyPlan again = state.PlanTransparency(c.exStyle);
  EXPECT_TRUE(again.styleWrites.empty());
  EXPECT_FALSE(again.alpha.has_value());
}

constexpr std::uint32_t kTop = 0x8;  // WS_EX_TOPMOST, which must survive every write
constexpr std::uint32_t kTool = 0x80;

INSTANTIATE_TEST_SUITE_P(
    Levels, Transparency,
    ::testing::Values(
        TransparencyCase{"OpaqueAtStartDoesNothing", 0, false, 0, false, kTop, {}, -1},
        TransparencyCase{"Level1", 0, false, 1, false, kTop, {kTop, kTop | 0x80000}, 220},
        TransparencyCase{"Level2", 0, false, 2, false, kTop, {kTop, kTop | 0x80000}, 180},
        TransparencyCase{"Level3", 0, false, 3, false, kTop, {kTop, kTop | 0x80000}, 130},
        TransparencyCase{"Level4", 0, false, 4, false, kTop, {kTop, kTop | 0x80000}, 100},
        TransparencyCase{"Level5", 0, false, 5, false, kTop, {kTop, kTop | 0x80000}, 50},
        TransparencyCase{
            "AboveFiveShowsAsFive", 0, false, 9, false, kTop, {kTop, kTop | 0x80000}, 50},
        TransparencyCase{"ClickThroughAddsTransparent",
                         0,
                         false,
                         3,
                         true,
                         kTop | kTool,
                         {kTop | kTool | 0x80020},
                         130},
        TransparencyCase{"ClickThroughOffClearsTransparent",
                         3,
                         true,
                         3,
                         false,
                         kTop | 0x80020,
                         {kTop, kTop | 0x80000},
                         130},
        TransparencyCase{
            "LevelZeroClearsOnlyLayered", 3, true, 0, true, kTop | 0x80020, {kTop | 0x20}, -1},
        TransparencyCase{
            "ClickThroughAtLevelZeroChangesNothingElse", 0, false, 0, true, kTop, {kTop}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Swatches, ColoursDarkenWithTheLevel) {
  const std::vector<int> reds = {255, 200, 150, 100, 50, 0};
  for (int level = 0; level <= kMaxLevel; ++level)
    EXPECT_EQ(SwatchRed(level), reds[static_cast<std::size_t>(level)]) << level;
}

// ---- Close time, pin and stores ------------------------------------------------------------

class MeterStateTest : public ::testing::Test {
 protected:
  testing::FakePlatform fake;
  SharedFlags flags;
  MeterState state{fake.clock, fake.userStore, flags};

  std::string Visible() { return fake.userStore.Read("screen", "visible", "<missing>"); }
  void Open(int seconds) {
    state.OnCreate();
    state.ShowSummary(seconds);
    state.MarkShown();
    state.EndShowSummary();
  }
};

TEST_F(MeterStateTest, ClosesOnTheFirstTickAfterTheCloseTime) {
  fake.clock.Set(2026, 12, 31, 23, 59, 57);
  Open(5);
  EXPECT_TRUE(flags.MeterWindowOpen);
  EXPECT_EQ(state.mdtCloseTime(), (platform::LocalTime{2027, 1, 1, 0, 0, 2}));
  for (int tick = 1; tick <= 5; ++tick) {
    fake.clock.Advance(1);
    EXPECT_FALSE(state.TickCloses()) << tick;
  }
  fake.clock.Advance(1);
  EXPECT_TRUE(state.TickCloses());
  state.CloseStep();
  EXPECT_FALSE(flags.MeterWindowOpen);
  EXPECT_EQ(Visible(), "False");
}

TEST_F(MeterStateTest, PinnedNeverClosesByTimeAndUnpinningLeavesOneSecond) {
  Open(5);
  state.Set_Hold();
  EXPECT_EQ(fake.userStore.writes, 0);  // Set_Hold stores nothing
  fake.clock.Advance(3600);
  EXPECT_FALSE(state.TickCloses());

  EXPECT_FALSE(state.ClickPin());  // un-pin
  EXPECT_EQ(fake.userStore.writes, 0);
  fake.clock.Advance(1);
  EXPECT_FALSE(state.TickCloses());
  fake.clock.Advance(1);
  EXPECT_TRUE(state.TickCloses());
}

TEST_F(MeterStateTest, PinningWithTheButtonStoresVisibleTrueAndClosingStoresFalse) {
  Open(5);
  EXPECT_TRUE(state.ClickPin());
  EXPECT_TRUE(state.mblnHold());
  EXPECT_EQ(Visible(), "True");
  state.CloseStep();  // the close button on a pinned window
  EXPECT_EQ(Visible(), "False");
  state.CloseStep();  // a second request changes nothing
  EXPECT_EQ(fake.userStore.writes, 2);
}

TEST_F(MeterStateTest, ARefusedWindowStoresNothingButEndsWithTheMeterOpen) {
  fake.userStore.Write("screen", "visible", "True");
  flags.MeterWindowOpen = true;  // the window already open
  state.OnCreate();
  state.ShowSummary(5);
  state.CloseStep();  // refused: never shown
  EXPECT_FALSE(flags.MeterWindowOpen);
  state.EndShowSummary();
  EXPECT_TRUE(flags.MeterWindowOpen);
  EXPECT_EQ(Visible(), "True");
  EXPECT_EQ(fake.userStore.writes, 1);
}

TEST_F(MeterStateTest, ASwatchClickSetsAndStoresTheLevel) {
  for (int level : {4, 0, 5}) {
    state.ClickSwatch(level);
    EXPECT_EQ(flags.TransLevel, level);
    EXPECT_EQ(fake.userStore.Read("Transparency", "TransLevel", "?"), std::to_string(level));
  }
}

struct AddCase {
  platform::LocalTime from;
  long long seconds;
  platform::LocalTime to;
};

class AddSecondsTest : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddSecondsTest, CrossesDaysMonthsAndYears) {
  EXPECT_EQ(AddSeconds(GetParam().from, GetParam().seconds), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, AddSecondsTest,
    ::testing::Values(AddCase{{2026, 3, 1, 10, 0, 58}, 5, {2026, 3, 1, 10, 1, 3}},
                      AddCase{{2024, 2, 28, 23, 59, 59}, 1, {2024, 2, 29, 0, 0, 0}},
                      AddCase{{2026, 2, 28, 23, 59, 59}, 1, {2026, 3, 1, 0, 0, 0}},
                      AddCase{{2026, 12, 31, 23, 59, 55}, 5, {2027, 1, 1, 0, 0, 0}},
                      AddCase{{2026, 1, 1, 0, 0, 0}, -1, {2025, 12, 31, 23, 59, 59}}));

}  // namespace
}  // namespace trafimo::meter
