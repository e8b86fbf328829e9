#include "accounting/accounting.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>

#include "accounting/byte_amount.h"
#include "accounting/day_records.h"
#include "accounting/usage_records.h"
#include "platform/number_format.h"

namespace trafimo {

namespace {

constexpr std::string_view kSettingsSection = "Settings";
constexpr std::string_view kShowModeKey = "ShowMode";
constexpr float kDefaultShowMode = 2;
constexpr std::string_view kTipPrefix = "Current - ";
constexpr std::string_view kWarnedKey = "WARNED";
// The tip field of the notification area's record holds 128 characters with its NUL.
constexpr std::size_t kTipLength = 127;

// The selection of this many descriptions is remembered between ticks.
constexpr std::size_t kMaxRememberedInterfaces = 256;

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

// A stored free time as seconds after midnight; nothing when it is no time of day.
std::optional<int> SecondsOfDay(std::string_view stored) {
  const std::optional<TimeOfDayParts> time = ReadFreeTime(stored);
  if (!time || time->hours > 23 || time->minutes > 59 || time->seconds > 59) return std::nullopt;
  return time->hours * 3600 + time->minutes * 60 + time->seconds;
}

CounterReading ReadingOf(const CInterface& row) {
  return {row.Identity(),    row.InOctets,         row.OutOctets,
          !row.FromIfTable2, row.ReceiveLinkSpeed, row.TransmitLinkSpeed};
}

}  // namespace

TrafficAccounting::TrafficAccounting(platform::Platform& platform, Settings& settings,
                                     SharedFlags& flags)
    : platform_(platform), settings_(settings), flags_(flags) {}

void TrafficAccounting::LoadShowMode() {
  const std::string text = platform_.userStore.Read(kSettingsSection, kShowModeKey, "2");
  const std::string_view number = TrimBlanks(text);
  float value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  const bool whole = error == std::errc() && end == number.data() + number.size();
  ShowMode = whole && !number.empty() ? value : kDefaultShowMode;
}

void TrafficAccounting::LoadMonthKey() {
  IpHelper = std::make_unique<CIpHelper>(platform_.ifTable, platform_.messages, platform_.process);
  MonthKey = RegKey();
  monthStartDayOfKey_ = settings_.MonthStartDay;
}

void TrafficAccounting::LoadCostThisMonth() {
  LoadMonthRecord();
}

void TrafficAccounting::LoadMonthRecord() {
  CostThisMonth = ReadStoredTotals(platform_.userStore, MonthKey);
  // A percent from 0 to 100; anything else is no warning given.
  const std::optional<std::int64_t> warned =
      ParseByteAmount(platform_.userStore.Read(MonthKey, kWarnedKey, "0"));
  warned_ = warned && *warned >= 0 && *warned <= kFullWarning ? static_cast<int>(*warned) : 0;
}

void TrafficAccounting::LoadCostToday() {
  const platform::LocalTime now = platform_.clock.Now();
  DateToday = platform_.userStore.Read(records::kDateToday, records::kDateToday, "");
  // Today as stored: this day's, or the day's that ended while the program was not running.
  CostToday = ReadStoredTotals(platform_.userStore, records::kToday);
  if (DayStampOf(now) != DateToday) dayStampPending_ = !StartNewDay(now);
}

void TrafficAccounting::SampleTraffic(TickDisplay& display) {
  // A message box shown by a tick runs a modal loop that delivers the next timer ticks: those
  // return at once instead of stacking a box a second.
  if (ticking_) return;
  ticking_ = true;
  struct EndOfTick {
    bool& ticking;
    ~EndOfTick() { ticking = false; }
  } endOfTick{ticking_};
  try {
    RunTick(display);
  } catch (const std::exception&) {
    // The rest of this tick is abandoned; what the steps already done changed stays.
  }
}

void TrafficAccounting::RunTick(TickDisplay& display) {
  const platform::LocalTime now = platform_.clock.Now();
  const std::uint64_t nowMs = platform_.clock.MonotonicMs();

  // A new day; the billing month is looked at again when the day or its start day changes.
  if (DayStampOf(now) != DateToday) {
    dayStampPending_ = !StartNewDay(now);
    FollowBillingMonth(now);
  } else if (settings_.MonthStartDay != monthStartDayOfKey_) {
    FollowBillingMonth(now);
  }
  // A day stamp that could not be stored is stored by a later tick; counting goes on meanwhile.
  if (dayStampPending_)
    dayStampPending_ =
        !platform_.userStore.Write(records::kDateToday, records::kDateToday, DateToday);

  const bool countable = !settings_.EnableFreeTimes || IsOutsideFreeTimeAt(now);

  if (!IpHelper) throw std::logic_error("the interface reader is not created yet");
  const CInterfaces interfaces = IpHelper->Interfaces();
  // Every system lists at least its loopback: an empty table is a read that failed, not a
  // connection that ended. Leaving the last readings alone lets the next reading count the
  // traffic.
  if (interfaces.Count() == 0) return;
  if (settings_.AutomaticInterfaces) JoinNewAdapters(interfaces);
  CollectReadings(interfaces);

  const CounterStep step = counters_.Take(readings_, nowMs);
  SampleDelta = {static_cast<std::int64_t>(step.in), static_cast<std::int64_t>(step.out), 0};
  ComputeTotal(SampleDelta);

  // A new connection: no selected interface is present, or one restarted its counters. Its
  // traffic since the restart is this connection's.
  TrafficTotals costNow = CostNow;
  if (readings_.empty() || step.Has(CounterEvent::Reset)) costNow = TrafficTotals{};
  if (SampleDelta.Total > 0 && countable) {
    // All three or none: a total out of range throws before any changes.
    TrafficTotals costToday = AddTotals(CostToday, SampleDelta);
    TrafficTotals costThisMonth = AddTotals(CostThisMonth, SampleDelta);
    costNow = AddTotals(costNow, SampleDelta);
    CostToday = costToday;
    CostThisMonth = costThisMonth;
  }
  CostNow = costNow;

  MeasureSpeed(nowMs);

  WriteTotals(MonthKey, CostThisMonth);
  WriteTotals(records::kToday, CostToday);

  std::optional<PlanStanding> standing;
  if (settings_.MonthlyAllowance > 0) {
    standing = StandingAt(now);
    const WarningStep warning = NextWarning(*standing, warned_);
    // One write when a warning is given (or when a raised allowance took it back).
    if (warning.store) platform_.userStore.Write(MonthKey, kWarnedKey, std::to_string(warned_));
    if (warning.notify != 0)
      display.ShowNotification(WarningText(platform_.locale, *standing, warning.notify),
                               warning.notify >= kFullWarning);
  }

  const std::string nowText = FormatBytes(CostNow.Total);
  display.ShowTip(TipText(nowText, standing ? &*standing : nullptr));
  if (flags_.MeterWindowOpen)
    display.RefreshMeters(nowText, FormatBytes(CostToday.Total), FormatBytes(CostThisMonth.Total),
                          standing ? MeterStandingOf(*standing) : MonthStanding{});
}

void TrafficAccounting::MeasureSpeed(std::uint64_t nowMs) {
  const std::uint64_t ms = lastReadingMs_ && nowMs > *lastReadingMs_ ? nowMs - *lastReadingMs_ : 0;
  lastReadingMs_ = nowMs;
  const auto perSecond = [ms](std::int64_t bytes) -> std::uint64_t {
    if (ms == 0 || bytes <= 0) return 0;
    const auto amount = static_cast<std::uint64_t>(bytes);  // at most 2^62: times 1000 may not fit
    return amount < (std::uint64_t{1} << 53) ? amount * 1000 / ms : amount / ms * 1000;
  };
  SpeedIn = perSecond(SampleDelta.In);
  SpeedOut = perSecond(SampleDelta.Out);
}

std::string TrafficAccounting::TipText(const std::string& nowText, const PlanStanding* standing) {
  std::string tip = std::string(kTipPrefix) + nowText;
  const auto addLine = [&tip](const std::string& line) {
    if (tip.size() + 1 + line.size() > kTipLength) return false;
    tip += '\n';
    tip += line;
    return true;
  };
  if (!addLine(SpeedLine(platform_.locale, SpeedIn, SpeedOut)) || !standing) return tip;
  if (!addLine(MonthLine(platform_.locale, *standing)) && standing->pace) {
    PlanStanding withoutPace = *standing;  // a line too long loses its pace, never half a number
    withoutPace.pace.reset();
    addLine(MonthLine(platform_.locale, withoutPace));
  }
  return tip;
}

PlanStanding TrafficAccounting::StandingAt(const platform::LocalTime& now) const {
  return StandingOf(CostThisMonth.Total, settings_.MonthlyAllowance, settings_.AllowanceWarnAt, now,
                    settings_.MonthStartDay);
}

MonthStanding TrafficAccounting::MeterStandingOf(const PlanStanding& standing) {
  MonthStanding meter;
  meter.level = standing.level >= kFullWarning ? MonthStanding::Level::Over
                : standing.level > 0           ? MonthStanding::Level::Warned
                                               : MonthStanding::Level::Within;
  meter.tip = MonthLine(platform_.locale, standing) + "\n" + BudgetLine(platform_.locale, standing);
  return meter;
}

MonthStanding TrafficAccounting::MeterStanding() {
  if (settings_.MonthlyAllowance == 0) return {};
  return MeterStandingOf(StandingAt(platform_.clock.Now()));
}

void TrafficAccounting::JoinNewAdapters(const CInterfaces& interfaces) {
  bool joined = false;
  for (const CInterface& row : interfaces) {
    if (!CountedAtFirstRun(row) || IsSelected(row.InterfaceDescription)) continue;
    settings_.Interface += ',';
    settings_.Interface += row.InterfaceDescription;
    joined = true;
  }
  // A selection that cannot be stored is counted all the same until the program ends.
  if (joined) SaveInterfaceList(settings_, platform_);
}

void TrafficAccounting::CollectReadings(const CInterfaces& interfaces) {
  selectedRows_.clear();
  for (const CInterface& row : interfaces) {
    if (IsSelected(row.InterfaceDescription)) selectedRows_.push_back(&row);
  }
  readings_.clear();
  for (const CInterface* row : selectedRows_) {
    const bool repeatsAnAdapter =
        row->FilterInterface &&
        std::any_of(selectedRows_.begin(), selectedRows_.end(),
                    [&](const CInterface* adapter) { return IsFilterOf(*row, *adapter); });
    if (!repeatsAnAdapter) readings_.push_back(ReadingOf(*row));
  }
}

bool TrafficAccounting::IsSelected(const std::string& description) {
  if (selectionList_ != settings_.Interface || selection_.size() > kMaxRememberedInterfaces) {
    selectionList_ = settings_.Interface;
    selection_.clear();
  }
  const auto known = selection_.find(description);
  if (known != selection_.end()) return known->second;
  const bool selected = IsInterfaceSelected(settings_.Interface, description);
  selection_.emplace(description, selected);
  return selected;
}

bool TrafficAccounting::IsOutsideFreeTime() {
  return IsOutsideFreeTimeAt(platform_.clock.Now());
}

bool TrafficAccounting::IsOutsideFreeTimeAt(const platform::LocalTime& time) const {
  const std::optional<int> from = SecondsOfDay(settings_.FromFreeTime);
  const std::optional<int> to = SecondsOfDay(settings_.ToFreeTime);
  if (!from || !to) return true;
  const int t = time.hour * 3600 + time.minute * 60 + time.second;
  // Both ends belong to the window.
  if (*to >= *from) return t < *from || t > *to;
  return t < *from && t > *to;  // the window runs across midnight
}

void TrafficAccounting::ResetToday() {
  dayStampPending_ = !StartNewDay(platform_.clock.Now());
  if (dayStampPending_) throw std::runtime_error("the new day could not be stored");
}

bool TrafficAccounting::StartNewDay(const platform::LocalTime& date) {
  // The day that ends is kept before Today starts again; once a day, so a failed write is not
  // tried again.
  KeepDayRecord(platform_.userStore, platform_.locale, DateToday, CostToday);
  DateToday = DayStampOf(date);
  bool stored = platform_.userStore.Write(records::kDateToday, records::kDateToday, DateToday);
  stored = platform_.userStore.Write(records::kToday, records::kIn, "0") && stored;
  stored = platform_.userStore.Write(records::kToday, records::kOut, "0") && stored;
  CostToday = TrafficTotals{};
  return stored;
}

void TrafficAccounting::CallFormLoad() {
  CostNow = TrafficTotals{};
  CostToday = TrafficTotals{};
  CostThisMonth = TrafficTotals{};
  warned_ = 0;
  // The store was erased with the day stamp: Today is still this day's.
  dayStampPending_ = DateToday.empty() || !platform_.userStore.Write(
                                              records::kDateToday, records::kDateToday, DateToday);
}

std::string TrafficAccounting::GetDateToday() {
  return DayStampOf(platform_.clock.Now());
}

std::string TrafficAccounting::RegKey() {
  return MonthKeyOf(platform_.clock.Now());
}

void TrafficAccounting::FollowBillingMonth(const platform::LocalTime& date) {
  monthStartDayOfKey_ = settings_.MonthStartDay;
  std::string key = MonthKeyOf(date);
  if (key == MonthKey) return;
  MonthKey = std::move(key);
  // A month counted before (the start day moved, or the clock was set back) goes on from its
  // record; a new one starts from nothing.
  LoadMonthRecord();
}

std::string TrafficAccounting::DayStampOf(const platform::LocalTime& date) {
  return platform_.locale.FormatDate(date, records::kDayStampPicture);
}

std::string TrafficAccounting::MonthKeyOf(const platform::LocalTime& date) {
  return MonthSectionName(platform_.locale, BillingMonthStart(date, settings_.MonthStartDay));
}

std::string TrafficAccounting::FormatBytes(std::int64_t bytes) {
  if (ShowMode == 1)
    return platform::FormatUserNumber(platform_.locale, ExactQuotientText(bytes, 10), 0, true) +
           " KB";
  if (ShowMode == 2)
    return platform::FormatUserNumber(platform_.locale, ExactQuotientText(bytes, 20), 2, true) +
           " MB";
  return "";
}

void TrafficAccounting::WriteTotals(std::string_view section, const TrafficTotals& totals) {
  if (!platform_.userStore.Write(section, records::kIn, ByteAmountText(totals.In)) ||
      !platform_.userStore.Write(section, records::kOut, ByteAmountText(totals.Out)))
    throw std::runtime_error("a usage record could not be written");
}

}  // namespace trafimo
