// The meter window's decisions: when it closes, whether it is pinned, what it stores, and how
// a transparency level and click-through mode become extended window styles.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "platform/user_store.h"
#include "startup/globals.h"

namespace trafimo::meter {

// Extended window style bits the meter changes.
inline constexpr std::uint32_t kWsExLayered = 0x80000;
inline constexpr std::uint32_t kWsExTransparent = 0x20;

inline constexpr int kMaxLevel = 5;

// The alpha (0..255) of a level from 1 to 5. A stored level above 5 is shown as level 5, the
// most transparent one the swatches offer: still visible, and usable as long as click-through
// is off.
std::uint8_t AlphaOfLevel(std::uint8_t level);

// The swatch colour of a level: red 255, 200, 150, 100, 50, 0; green and blue 0.
std::uint8_t SwatchRed(int level);

// What SetTransparency does to the window: the extended styles to write, in order (each one
// read back before the next is formed), and the alpha to give the layered window, if any.
struct TransparencyPlan {
  std::vector<std::uint32_t> styleWrites;
  std::optional<std::uint8_t> alpha;
};

// The state one meter window carries from creation to its close step.
class MeterState {
 public:
  MeterState(platform::Clock& clock, platform::UserStore& store, SharedFlags& flags)
      : clock_(clock), store_(store), flags_(flags) {}

  // Creation: the meter counts as open from now on.
  void OnCreate();
  // ShowSummary's state: closes `intSeconds` from now, not pinned. Spans are measured on the
  // monotonic clock: a date or time set back (daylight saving time ending, a time-zone trip) must
  // not keep the meter open for an hour.
  void ShowSummary(int intSeconds);
  // The window was placed and shown (not refused).
  void MarkShown() { shown_ = true; }
  // End of ShowSummary, whether the window was shown or refused.
  void EndShowSummary() { flags_.MeterWindowOpen = true; }
  // Pins without storing anything.
  void Set_Hold() { mblnHold_ = true; }
  // A click on the pin button; returns whether the window is pinned afterwards. Pinning stores
  // "visible" as "True"; un-pinning leaves one more second before the close.
  bool ClickPin();
  // A click on swatch `level`: the shared level changes and is stored.
  void ClickSwatch(int level);
  // True when a tick at the present time closes the window.
  bool TickCloses();
  // The close step; runs once however often it is asked. A shown window stores "visible" as
  // "False"; a refused one stores nothing.
  void CloseStep();

  // Decides SetTransparency's writes for the window's present extended style, and records the
  // shared level and click-through mode as applied. Nothing to do when neither changed.
  TransparencyPlan PlanTransparency(std::uint32_t exStyle);

  // When the window closes if it is not pinned, in milliseconds of the monotonic clock.
  std::uint64_t mlngCloseTime() const { return mlngCloseTime_; }
  bool mblnHold() const { return mblnHold_; }
  bool shown() const { return shown_; }
  bool closed() const { return closed_; }

 private:
  platform::Clock& clock_;
  platform::UserStore& store_;
  SharedFlags& flags_;

  std::uint64_t mlngCloseTime_ = 0;
  bool mblnHold_ = false;
  bool shown_ = false;
  bool closed_ = false;
  std::uint8_t mbytAppliedLevel_ = 0;
  bool mblnAppliedClickThrough_ = false;
};

}  // namespace trafimo::meter
