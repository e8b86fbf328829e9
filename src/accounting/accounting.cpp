#include "accounting/accounting.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>

#include "accounting/byte_amount.h"
#include "accounting/usage_records.h"
#include "platform/number_format.h"

namespace trafimo {

namespace {

constexpr std::string_view kDayStampPicture = "yyyyMMMdd";
constexpr std::string_view kTodaySection = "Today";
constexpr std::string_view kDateTodaySection = "DateToday";
constexpr std::string_view kDateTodayKey = "DateToday";
constexpr std::string_view kSettingsSection = "Settings";
constexpr std::string_view kShowModeKey = "ShowMode";
constexpr float kDefaultShowMode = 2;
constexpr std::string_view kTipPrefix = "Current - ";

// A reading that grew by more than this since the last one is not believed.
constexpr std::int64_t kLargestDelta = 1'000'000'000;

// The selection of this many descriptions is remembered between ticks.
constexpr std::size_t kMaxRememberedInterfaces = 256;

constexpr std::int64_t kTwoTo31 = std::int64_t{1} << 31;
constexpr std::int64_t kTwoTo32 = std::int64_t{1} << 32;

// The change of a sum of 32-bit counters, taken modulo 2^32 into -2^31 .. 2^31 - 1: a counter
// that passed 2^31 or wrapped at 2^32 since the last reading is counted to the byte.
std::int64_t CounterChange(std::int64_t difference) {
  const auto low = static_cast<std::int64_t>(static_cast<std::uint64_t>(difference) & 0xFFFFFFFFu);
  return low >= kTwoTo31 ? low - kTwoTo32 : low;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

// "H:M:S" or "H:M" (such as "2:0:0" or "07:59:59") as seconds after midnight.
std::optional<int> ParseTimeOfDay(std::string_view text) {
  text = TrimBlanks(text);
  int parts[3] = {0, 0, 0};
  int count = 0;
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  while (true) {
    if (count == 3 || at == end || *at < '0' || *at > '9') return std::nullopt;
    const auto [next, error] = std::from_chars(at, end, parts[count]);
    if (error != std::errc()) return std::nullopt;
    ++count;
    at = next;
    if (at == end) break;
    if (*at != ':') return std::nullopt;
    ++at;
  }
  if (count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

TrafficAccounting::TrafficAccounting(platform::Platform& platform, const Settings& settings,
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
}

void TrafficAccounting::LoadCostThisMonth() {
  CostThisMonth = ReadTotals(MonthKey);
}

void TrafficAccounting::LoadCostToday() {
  const platform::LocalTime now = platform_.clock.Now();
  DateToday = platform_.userStore.Read(kDateTodaySection, kDateTodayKey, "");
  if (DayStampOf(now) != DateToday) {
    // A record that cannot be written now is written again by every tick.
    StartNewDay(now);
  } else {
    CostToday = ReadTotals(kTodaySection);
  }
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

  // A new day; the billing month is only looked at again when the day changes.
  if (DayStampOf(now) != DateToday) {
    const bool dayStored = StartNewDay(now);
    const std::string key = MonthKeyOf(now);
    if (key != MonthKey) {
      MonthKey = key;
      // Back in a month counted before (the clock was set back): go on from its record.
      CostThisMonth = ReadTotals(MonthKey);
    }
    if (!dayStored) throw std::runtime_error("the new day could not be stored");
  }

  const bool countable = !settings_.EnableFreeTimes || IsOutsideFreeTimeAt(now);

  CurSample = TrafficTotals{};
  std::string names;
  if (!IpHelper) throw std::logic_error("the interface reader is not created yet");
  const CInterfaces interfaces = IpHelper->Interfaces();
  // Every system lists at least its loopback: an empty table is a read that failed, not a
  // connection that ended. Leaving the baseline alone lets the next reading count the traffic.
  if (interfaces.Count() == 0) return;
  for (int i = 1; i <= interfaces.Count(); ++i) {
    try {
      const CInterface& entry = interfaces.Item(i);
      if (!IsSelected(entry.InterfaceDescription)) continue;
      CurSample.In += entry.OctetsReceived;
      CurSample.Out += entry.OctetsSent;
      names += entry.InterfaceDescription;
      ComputeTotal(CurSample);
    } catch (const std::exception&) {
      // A record that cannot be read is left out of this reading.
    }
  }

  if (LastInterfaceNames.empty()) LastInterfaceNames = names;
  if (PrevSample.Total == 0) PrevSample = CurSample;  // the first reading is the baseline
  if (names != LastInterfaceNames) {
    // Another set of interfaces is counted: its sums are a new baseline.
    PrevSample = CurSample;
    LastInterfaceNames = names;
  }
  if (names.empty()) CostNow = TrafficTotals{};  // no selected interface is present

  SampleDelta = SubtractTotals(CurSample, PrevSample);
  SampleDelta.In = CounterChange(SampleDelta.In);
  SampleDelta.Out = CounterChange(SampleDelta.Out);
  ComputeTotal(SampleDelta);

  // An implausible jump is dropped; counting goes on from the new reading.
  PrevSample = CurSample;
  if (SampleDelta.Total > kLargestDelta) return;

  if (SampleDelta.In < 0 || SampleDelta.Out < 0) {
    // A counter went down: the interface's counters were reset, a new connection began.
    CostNow = TrafficTotals{};
  } else if (SampleDelta.Total > 0 && countable) {
    CostNow = AddTotals(CostNow, SampleDelta);
    CostToday = AddTotals(CostToday, SampleDelta);
    CostThisMonth = AddTotals(CostThisMonth, SampleDelta);
  }

  WriteTotals(MonthKey, CostThisMonth);
  WriteTotals(kTodaySection, CostToday);

  const std::string nowText = FormatBytes(CostNow.Total);
  display.ShowTip(std::string(kTipPrefix) + nowText);
  if (flags_.MeterWindowOpen)
    display.RefreshMeters(nowText, FormatBytes(CostToday.Total), FormatBytes(CostThisMonth.Total));
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
  const std::optional<int> from = ParseTimeOfDay(settings_.FromFreeTime);
  const std::optional<int> to = ParseTimeOfDay(settings_.ToFreeTime);
  if (!from || !to) return true;
  const int t = time.hour * 3600 + time.minute * 60 + time.second;
  // Both ends belong to the window.
  if (*to >= *from) return t < *from || t > *to;
  return t < *from && t > *to;  // the window runs across midnight
}

void TrafficAccounting::ResetToday() {
  if (!StartNewDay(platform_.clock.Now()))
    throw std::runtime_error("the new day could not be stored");
}

bool TrafficAccounting::StartNewDay(const platform::LocalTime& date) {
  DateToday = DayStampOf(date);
  bool stored = platform_.userStore.Write(kDateTodaySection, kDateTodayKey, DateToday);
  stored = platform_.userStore.Write(kTodaySection, "IN", "0") && stored;
  stored = platform_.userStore.Write(kTodaySection, "OUT", "0") && stored;
  CostToday = TrafficTotals{};
  return stored;
}

void TrafficAccounting::CallFormLoad() {
  CostNow = TrafficTotals{};
  CostToday = TrafficTotals{};
  CostThisMonth = TrafficTotals{};
}

std::string TrafficAccounting::GetDateToday() {
  return DayStampOf(platform_.clock.Now());
}

std::string TrafficAccounting::RegKey() {
  return MonthKeyOf(platform_.clock.Now());
}

std::string TrafficAccounting::DayStampOf(const platform::LocalTime& date) {
  return platform_.locale.FormatDate(date, kDayStampPicture);
}

std::string TrafficAccounting::MonthKeyOf(const platform::LocalTime& date) {
  platform::LocalTime start = date;
  // Before the start day, today belongs to the billing month that began last calendar month.
  if (date.day < settings_.MonthStartDay) {
    if (--start.month < 1) {
      start.month = 12;
      --start.year;
    }
    start.day = std::min(start.day, DaysInMonth(start.year, start.month));
  }
  return MonthSectionName(platform_.locale, start);
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

TrafficTotals TrafficAccounting::ReadTotals(std::string_view section) {
  TrafficTotals totals;
  totals.In = ParseByteAmount(platform_.userStore.Read(section, "IN", "0")).value_or(0);
  totals.Out = ParseByteAmount(platform_.userStore.Read(section, "OUT", "0")).value_or(0);
  try {
    ComputeTotal(totals);
  } catch (const std::overflow_error&) {
    return TrafficTotals{};  // a pair whose sum has no byte amount reads as nothing stored
  }
  return totals;
}

void TrafficAccounting::WriteTotals(std::string_view section, const TrafficTotals& totals) {
  if (!platform_.userStore.Write(section, "IN", ByteAmountText(totals.In)) ||
      !platform_.userStore.Write(section, "OUT", ByteAmountText(totals.Out)))
    throw std::runtime_error("a usage record could not be written");
}

}  // namespace trafimo
