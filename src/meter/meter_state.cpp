#include "meter/meter_state.h"

#include <algorithm>
#include <array>
#include <string>

namespace trafimo::meter {

namespace {

constexpr std::array<std::uint8_t, kMaxLevel + 1> kAlphas = {255, 220, 180, 130, 100, 50};
constexpr std::array<std::uint8_t, kMaxLevel + 1> kSwatchReds = {255, 200, 150, 100, 50, 0};

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<long long>(era) * 146097 + doe - 719468;
}

void CivilFromDays(long long days, int& year, int& month, int& day) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long doe = days - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

std::uint8_t AlphaOfLevel(std::uint8_t level) {
  return kAlphas[std::min<std::size_t>(level, kMaxLevel)];
}

std::uint8_t SwatchRed(int level) {
  return kSwatchReds[static_cast<std::size_t>(std::clamp(level, 0, kMaxLevel))];
}

platform::LocalTime AddSeconds(const platform::LocalTime& date, long long seconds) {
  long long total = DaysFromCivil(date.year, date.month, date.day) * 86400 + date.hour * 3600LL +
                    date.minute * 60LL + date.second + seconds;
  long long days = total / 86400;
  long long rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  platform::LocalTime result;
  CivilFromDays(days, result.year, result.month, result.day);
  result.hour = static_cast<int>(rest / 3600);
  result.minute = static_cast<int>(rest / 60 % 60);
  result.second = static_cast<int>(rest % 60);
  return result;
}

void MeterState::OnCreate() {
  flags_.MeterWindowOpen = true;
}

void MeterState::ShowSummary(int intSeconds) {
  mdtCloseTime_ = AddSeconds(clock_.Now(), intSeconds);
  mblnHold_ = false;
}

bool MeterState::ClickPin() {
  if (mblnHold_) {
    mdtCloseTime_ = AddSeconds(clock_.Now(), 1);
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
  return !mblnHold_ && clock_.Now() > mdtCloseTime_;
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
