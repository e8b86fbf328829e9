#include "meter/meter_state.h"

#include <algorithm>
#include <array>
#include <string>

namespace trafimo::meter {

namespace {

constexpr std::array<std::uint8_t, kMaxLevel + 1> kAlphas = {255, 220, 180, 130, 100, 50};
constexpr std::array<std::uint8_t, kMaxLevel + 1> kSwatchReds = {255, 200, 150, 100, 50, 0};

}  // namespace

std::uint8_t AlphaOfLevel(std::uint8_t level) {
  return kAlphas[std::min<std::size_t>(level, kMaxLevel)];
}

std::uint8_t SwatchRed(int level) {
  return kSwatchReds[static_cast<std::size_t>(std::clamp(level, 0, kMaxLevel))];
}

void MeterState::OnCreate() {
  flags_.MeterWindowOpen = true;
}

void MeterState::ShowSummary(int intSeconds) {
  mlngCloseTime_ =
      clock_.MonotonicMs() + static_cast<std::uint64_t>(std::max(intSeconds, 0)) * 1000;
  mblnHold_ = false;
}

bool MeterState::ClickPin() {
  if (mblnHold_) {
    mlngCloseTime_ = clock_.MonotonicMs() + 1000;
  } else {
    store_.Write("screen", "visible", "True");
  }
  mblnHold_ = !mblnHold_;
  return mblnHold_;
}

void MeterState::ClickSwatch(int level) {
  flags_.TransLevel = static_cast<std::uint8_t>(level);
  store_.Write("Transparency", "TransLevel", std::to_string(level));
}

bool MeterState::TickCloses() {
  return !mblnHold_ && clock_.MonotonicMs() > mlngCloseTime_;
}

void MeterState::CloseStep() {
  if (closed_) return;
  closed_ = true;
  if (shown_) store_.Write("screen", "visible", "False");
  flags_.MeterWindowOpen = false;
}

TransparencyPlan MeterState::PlanTransparency(std::uint32_t exStyle) {
  TransparencyPlan plan;
  const std::uint8_t level = flags_.TransLevel;
  const bool clickThrough = flags_.ClickThrough;
  if (level == mbytAppliedLevel_ && clickThrough == mblnAppliedClickThrough_) return plan;
  mbytAppliedLevel_ = level;
  mblnAppliedClickThrough_ = clickThrough;

  if (level == 0) {
    plan.styleWrites.push_back(exStyle & ~kWsExLayered);
    return plan;
  }
  if (clickThrough) {
    plan.styleWrites.push_back(exStyle | kWsExLayered | kWsExTransparent);
  } else {
    const std::uint32_t cleared = exStyle & ~(kWsExLayered | kWsExTransparent);
    plan.styleWrites.push_back(cleared);
    plan.styleWrites.push_back(cleared | kWsExLayered);
  }
  plan.alpha = AlphaOfLevel(level);
  return plan;
}

}  // namespace trafimo::meter
