// The meter window's place, its parts at every scale, its close time and how it follows the
// work area.
#include <gtest/gtest.h>

#include "meter/meter_layout.h"
#include "meter/meter_state.h"
#include "support/fakes.h"

namespace trafimo::meter {
namespace {

bool Inside(const Rect& r, const Rect& outer) {
  return r.width > 0 && r.height > 0 && r.left >= outer.left && r.top >= outer.top &&
         r.right() <= outer.right() && r.bottom() <= outer.bottom();
}

class LayoutAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(LayoutAtDpi, TheCornerThePartsInsideAndFoundByTheMouseAndThePicturesInTheirBoxes) {
  const int dpi = GetParam();
  const auto at = [dpi](Part part) { return PartPixels(part, dpi, dpi); };
  const Rect placed = PlaceWindow({0, 0, 1920, 1040}, dpi, dpi);
  EXPECT_EQ(placed.bottom(), 1040);
  EXPECT_EQ(1920 - placed.right(), TwipsToPixels(kRightInset, dpi));
  const Rect window{0, 0, placed.width, placed.height};
  for (int i = 1; i < kPartCount; ++i) {
    const auto part = static_cast<Part>(i);
    const bool inStrip = part <= Part::picExit;
    EXPECT_TRUE(Inside(at(part), inStrip ? at(Part::picTitel) : window)) << i;
    const bool reacts =
        part == Part::Label1 || (part >= Part::picTransparent5 && part <= Part::picExit);
    if (reacts) {
      EXPECT_EQ(PartAt(at(part).left + 1, at(part).top + 1, dpi, dpi), part) << i;
    }
  }
  EXPECT_LE(at(Part::picHold).right(), at(Part::picExit).left);
  for (const auto& [part, height] : {std::pair{Part::picHold, 16}, std::pair{Part::picExit, 14}}) {
    const Size size = PictureSize(16, height, dpi, at(part));
    EXPECT_TRUE(Inside({at(part).left, at(part).top, size.width, size.height}, at(part))) << dpi;
  }
}

INSTANTIATE_TEST_SUITE_P(Dpis, LayoutAtDpi, ::testing::Values(96, 120, 144, 192));

// Two ticks with the work area changed between them: the task bar appeared late, then moved.
TEST(Layout, AMeterFollowsTheWorkAreaBetweenTwoTicks) {
  const WorkArea full{0, 0, 1024, 768}, below{0, 0, 1024, 728}, above{0, 40, 1024, 768};
  for (const bool dragged : {false, true}) {
    WorkAreaFollower follower;
    follower.Placed(full);
    Rect window = PlaceWindow(full, 96, 96);
    if (dragged) window.left = 100, window.top = 700, follower.Dragged();
    EXPECT_FALSE(follower.Changed(full));
    const auto moved = follower.Follow(window, below, {below}, 96, 96);
    ASSERT_TRUE(moved.has_value());
    EXPECT_EQ(*moved, (dragged ? Rect{100, 669, 270, 59} : PlaceWindow(below, 96, 96)));
    EXPECT_EQ(follower.Follow(*moved, above, {above}, 96, 96).has_value(), !dragged)
        << "a dragged meter wholly inside stays where it was put";
  }
  // Off a monitor that is gone: the least move into the nearer of the work areas left.
  const WorkArea left{-1280, 0, 0, 1024};
  EXPECT_EQ(KeepInsideWorkAreas({-100, 760, 270, 59}, {full, left}), (Rect{0, 709, 270, 59}));
  EXPECT_EQ(KeepInsideWorkAreas({-600, 300, 270, 59}, {full, left}), (Rect{-600, 300, 270, 59}));
}

// The five seconds, and the second after un-pinning, are measured on the monotonic clock: the
// date and time set back (the end of daylight saving time) or on (a trip east) change nothing.
TEST(CloseTime, IsMeasuredOnTheMonotonicClock) {
  struct Case {
    int hourAfter;  // the local time moves from 12:00 to this hour
    bool pinUnpin;  // pinned and un-pinned right away: one second left
    std::uint64_t passedMs;
    bool closes;
  };
  const Case cases[] = {{12, false, 5000, false}, {12, false, 5001, true}, {11, false, 5001, true},
                        {13, false, 1000, false}, {12, true, 1000, false}, {11, true, 1001, true}};
  for (const Case& c : cases) {
    testing::FakePlatform fake;
    SharedFlags flags;
    MeterState state(fake.clock, fake.userStore, flags);
    state.ShowSummary(5);
    if (c.pinUnpin) state.ClickPin(), state.ClickPin();
    fake.clock.Set(2026, 12, 6, c.hourAfter);
    fake.clock.monotonicMs += c.passedMs;
    EXPECT_EQ(state.TickCloses(), c.closes) << c.hourAfter << ":00, " << c.passedMs << " ms";
  }
}

}  // namespace
}  // namespace trafimo::meter
