// The meter window's decisions: where it sits and follows the work area, where its parts lie (as
// properties, not as the table of the layout), the transparency styles and the close time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "meter/meter_layout.h"
#include "meter/meter_state.h"
#include "support/fakes.h"

namespace trafimo::meter {
namespace {

// Bottom on the work area's bottom, right edge 250 twips in from its right, 4050 x 885 twips; the
// Windows tests place it with the task bar at the top and on the left.
TEST(Layout, PlacesTheWindowAtTheWorkAreasBottomRightAtTheDpi) {
  // 4050 x 885 twips = 270 x 59 pixels at 96 DPI, 250 twips = 16.7 -> 17 pixels; at 150 %:
  // 405 x 88.5 -> 89 pixels, 250 twips = 25 pixels.
  const std::tuple<WorkArea, int, Rect> cases[] = {{{0, 0, 1024, 738}, 96, {737, 679, 270, 59}},
                                                   {{0, 0, 964, 768}, 96, {677, 709, 270, 59}},
                                                   {{0, 0, 1920, 1040}, 144, {1490, 951, 405, 89}}};
  for (const auto& [area, dpi, window] : cases)
    EXPECT_EQ(PlaceWindow(area, dpi, dpi), window);
  EXPECT_EQ(TwipsToPixels(-5, 144), -1) << "halves away from zero";
}

class LayoutAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(LayoutAtDpi, PartsStayInsideTheWindowAndTheStripAndTheMouseFindsThem) {
  const int dpi = GetParam();
  auto at = [dpi](Part part) { return PartPixels(part, dpi, dpi); };
  auto inside = [](const Rect& r, const Rect& outer) {
    return r.width > 0 && r.height > 0 && r.left >= outer.left && r.top >= outer.top &&
           r.right() <= outer.right() && r.bottom() <= outer.bottom();
  };
  const Rect window{0, 0, TwipsToPixels(kWindowWidth, dpi), TwipsToPixels(kWindowHeight, dpi)};
  const Rect strip = at(Part::picTitel);
  for (int i = 0; i < kPartCount; ++i) {
    const bool inStrip =
        i >= static_cast<int>(Part::Label1) && i <= static_cast<int>(Part::picExit);
    EXPECT_TRUE(inside(at(static_cast<Part>(i)), inStrip ? strip : window)) << i;
  }
  // The swatches overlap (the next one on top takes the click); the last one, the pin and the
  // close button stay apart.
  for (int level = 0; level + 1 < kSwatchCount; ++level) {
    const Rect next = at(SwatchPart(level + 1));
    EXPECT_TRUE(at(SwatchPart(level)).left < next.left &&
                at(SwatchPart(level)).right() >= next.left);
    EXPECT_EQ(PartAt(next.left, next.top, dpi, dpi), SwatchPart(level + 1)) << level;
  }
  EXPECT_LE(at(SwatchPart(5)).right(), at(Part::picHold).left);
  EXPECT_LE(at(Part::picHold).right(), at(Part::picExit).left);
  // The strip between the label and the swatches, and the panel below it.
  EXPECT_EQ(PartAt(at(Part::Label1).right(), strip.top + 1, dpi, dpi), Part::picTitel);
  EXPECT_EQ(PartAt(5, at(Part::lblCostNow).top, dpi, dpi), std::nullopt);
  // The 16 x 16 pin and 16 x 14 cross fit their boxes, as large as they fit.
  for (const auto& [part, height] : {std::pair{Part::picHold, 16}, std::pair{Part::picExit, 14}}) {
    const Size size = PictureSize(16, height, dpi, at(part));
    EXPECT_TRUE(inside({at(part).left, at(part).top, size.width, size.height}, at(part))) << dpi;
    EXPECT_TRUE(size.width == at(part).width || size.height == at(part).height) << dpi;
  }
}

INSTANTIATE_TEST_SUITE_P(Dpis, LayoutAtDpi, ::testing::Values(96, 120, 144, 192));

// Two meter ticks with the work area changed between them: the task bar appeared late (40
// pixels at the bottom), then moved to the top; a monitor on the left was unplugged.
TEST(Layout, AMeterFollowsTheWorkAreaBetweenTwoTicks) {
  const WorkArea full{0, 0, 1024, 768}, taskBarBelow{0, 0, 1024, 728},
      taskBarAbove{0, 40, 1024, 768};
  const WorkArea leftMonitor{-1280, 0, 0, 1024};
  for (const bool dragged : {false, true}) {
    SCOPED_TRACE(dragged ? "dragged" : "at its corner");
    WorkAreaFollower follower;
    Rect window = PlaceWindow(full, 96, 96);
    follower.Placed(full);
    if (dragged) {
      window.top = 700, window.left = 100;  // its bottom, 759, is still on the desktop
      follower.Dragged();
    }
    EXPECT_FALSE(follower.Changed(full)) << "the first tick: nothing changed";
    ASSERT_TRUE(follower.Changed(taskBarBelow));
    const auto moved = follower.Follow(window, taskBarBelow, {taskBarBelow}, 96, 96);
    ASSERT_TRUE(moved.has_value());
    EXPECT_EQ(*moved, (dragged ? Rect{100, 669, 270, 59} : PlaceWindow(taskBarBelow, 96, 96)));
    window = *moved;
    EXPECT_FALSE(follower.Changed(taskBarBelow));
    const auto again = follower.Follow(window, taskBarAbove, {taskBarAbove}, 96, 96);
    const std::optional<Rect> expected =
        dragged ? std::nullopt : std::optional(PlaceWindow(taskBarAbove, 96, 96));
    EXPECT_EQ(again, expected) << "a dragged meter wholly inside stays where it was put";
  }
  // A meter dragged onto a monitor that is gone comes to the nearest edge of the one left.
  WorkAreaFollower follower;
  follower.Placed(full);
  follower.Dragged();
  EXPECT_EQ(follower.Follow({-600, 300, 270, 59}, full, {full}, 96, 96), (Rect{0, 300, 270, 59}));
  EXPECT_EQ(KeepInsideWorkAreas({-600, 300, 270, 59}, {full, leftMonitor}),
            (Rect{-600, 300, 270, 59}));
  EXPECT_EQ(KeepInsideWorkAreas({-100, 760, 270, 59}, {full, leftMonitor}), (Rect{0, 709, 270, 59}))
      << "the nearer of two work areas: 100 right and 51 up, not 170 left";
}

// The Windows tests show each level's alpha and style bits; here the order of the style writes
// (the window reads its style back between them) and that nothing is written without a change.
TEST(Transparency, PlansTheStyleWritesInOrderOnlyWhenTheLevelOrModeChanged) {
  constexpr std::uint32_t kKept = 0x88;  // WS_EX_TOPMOST | WS_EX_TOOLWINDOW survive every write
  constexpr std::uint32_t kLayered = kWsExLayered;
  constexpr std::uint32_t kThrough = kWsExTransparent;
  struct Step {
    std::uint8_t level;
    bool clickThrough;
    std::vector<std::uint32_t> writes;
    int alpha;  // -1: none
  };
  const Step steps[] = {
      {9, false, {kKept, kKept | kLayered}, 50},      // above 5 shows as 5
      {9, false, {}, -1},                             // unchanged
      {3, true, {kKept | kLayered | kThrough}, 130},  // click-through adds transparent
      {0, true, {kKept | kThrough}, -1},              // level 0 clears only layered
      {3, false, {kKept, kKept | kLayered}, 130},     // click-through off clears it
      {0, true, {kKept}, -1},                         // nothing else at level 0
  };
  testing::FakePlatform fake;
  SharedFlags flags;
  MeterState state(fake.clock, fake.userStore, flags);
  std::uint32_t style = kKept;
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    flags.TransLevel = steps[i].level;
    flags.ClickThrough = steps[i].clickThrough;
    const TransparencyPlan plan = state.PlanTransparency(style);
    EXPECT_EQ(plan.styleWrites, steps[i].writes) << i;
    EXPECT_EQ(plan.alpha ? *plan.alpha : -1, steps[i].alpha) << i;
    if (!plan.styleWrites.empty()) style = plan.styleWrites.back();
  }
}

TEST(CloseTime, AddSecondsCrossesDaysMonthsAndYears) {
  struct Case {
    platform::LocalTime from;
    long long seconds;
    platform::LocalTime to;
  };
  const Case cases[] = {{{2026, 3, 1, 10, 0, 58}, 5, {2026, 3, 1, 10, 1, 3}},
                        {{2024, 2, 28, 23, 59, 59}, 1, {2024, 2, 29, 0, 0, 0}},
                        {{2026, 2, 28, 23, 59, 59}, 1, {2026, 3, 1, 0, 0, 0}},
                        {{2026, 12, 31, 23, 59, 55}, 5, {2027, 1, 1, 0, 0, 0}},
                        {{2026, 1, 1, 0, 0, 0}, -1, {2025, 12, 31, 23, 59, 59}},
                        {{2000, 2, 28, 12, 0, 0}, 86400, {2000, 2, 29, 12, 0, 0}},
                        {{2100, 2, 28, 12, 0, 0}, 86400, {2100, 3, 1, 12, 0, 0}}};
  for (const Case& c : cases)
    EXPECT_EQ(AddSeconds(c.from, c.seconds), c.to);
}

}  // namespace
}  // namespace trafimo::meter
