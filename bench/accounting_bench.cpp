// One sampling tick of our own work: the interface table is already read (a 64-row buffer handed
// out by copy), the records go to the in-memory store. Compared with the bare stand-in calls the
// tick makes (the table copy and the four record writes), so that the figure is ours alone.
#include <benchmark/benchmark.h>

#include <cstring>

#include "accounting/accounting.h"
#include "support/fakes.h"

namespace {

using namespace trafimo;
using namespace trafimo::testing;

constexpr int kRows = 64;
constexpr int kSelectedEvery = 8;  // every 8th row is a selected interface

// The table as last read, handed out by copy: GetIfTable's buffer and GetIfTable2's rows, or only
// the buffer on a system without GetIfTable2.
class CachedIfTable : public platform::IfTableSource {
 public:
  std::vector<std::uint8_t> table;
  std::vector<platform::IfRow2> rows2;
  bool hasIfTable2 = true;
  std::uint32_t GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool) override {
    const auto needed = static_cast<std::uint32_t>(table.size());
    if (buffer == nullptr || *size < needed) {
      *size = needed;
      return platform::kErrorInsufficientBuffer;
    }
    std::memcpy(buffer, table.data(), table.size());
    *size = needed;
    return platform::kNoError;
  }
  std::uint32_t GetIfTable2(std::vector<platform::IfRow2>& rows) override {
    if (!hasIfTable2) return platform::kErrorProcNotFound;
    rows = rows2;
    return platform::kNoError;
  }
  // Traffic on the selected rows since the last tick.
  void Advance() {
    for (int row = 0; row < kRows; row += kSelectedEvery) {
      std::uint8_t* at = table.data() + iftable::kRowCountSize + row * iftable::kRowSize +
                         iftable::kOffsetInOctets;
      std::uint32_t value = 0;
      std::memcpy(&value, at, sizeof value);
      value += 1500;
      std::memcpy(at, &value, sizeof value);
      rows2[static_cast<std::size_t>(row)].inOctets += 1500;
    }
  }
};

class NullDisplay : public TickDisplay {
 public:
  void ShowTip(const std::string& tip) override { benchmark::DoNotOptimize(tip.data()); }
  void RefreshMeters(const std::string& a, const std::string&, const std::string&,
                     const MonthStanding& standing) override {
    benchmark::DoNotOptimize(a.data());
    benchmark::DoNotOptimize(standing.tip.data());
  }
  void ShowNotification(const std::string& text, bool) override {
    benchmark::DoNotOptimize(text.data());
  }
};

struct Bench {
  FakePlatform fake;
  CachedIfTable table;
  Settings settings;
  SharedFlags flags;
  platform::Platform platform{fake.registry, fake.userStore, table,      fake.clock, fake.locale,
                              fake.messages, fake.process,   fake.shell, fake.files};
  NullDisplay display;

  Bench() {
    std::vector<FakeRow> rows;
    settings.Interface = ",";
    for (int row = 0; row < kRows; ++row) {
      FakeRow r;
      r.description = "Network adapter " + std::to_string(row) + " - Miniport";
      r.inOctets = 2147000000u + static_cast<std::uint32_t>(row);
      r.outOctets = 1000u * static_cast<std::uint32_t>(row);
      rows.push_back(r);
      if (row % kSelectedEvery == 0) settings.Interface += r.description + ",";
    }
    settings.Interface.pop_back();
    table.table = BuildIfTable(rows);
    fake.ifTable.rows = rows;
    fake.ifTable.GetIfTable2(table.rows2);
  }
};

// First argument 1: the table read with GetIfTable2 (64-bit counters, as on every system the
// program runs on); 0: with GetIfTable alone, as before GetIfTable2 was used. Second argument 1:
// with a monthly allowance, whose standing the tip and the meter show.
void BM_TickOwnWork(benchmark::State& state) {
  Bench b;
  b.table.hasIfTable2 = state.range(0) != 0;
  if (state.range(1) != 0) b.settings.MonthlyAllowance = 50 * kBytesPerGb;
  b.flags.MeterWindowOpen = true;
  TrafficAccounting accounting(b.platform, b.settings, b.flags);
  accounting.LoadShowMode();
  accounting.LoadMonthKey();
  accounting.LoadCostThisMonth();
  accounting.LoadCostToday();
  accounting.SampleTraffic(b.display);
  for (auto _ : state) {
    b.table.Advance();
    b.fake.clock.monotonicMs += 1000;
    accounting.SampleTraffic(b.display);
  }
  if (accounting.CostNow.In !=
      1500LL * (kRows / kSelectedEvery) * static_cast<std::int64_t>(state.iterations()))
    state.SkipWithError("the tick did not count what the table showed");
}
BENCHMARK(BM_TickOwnWork)->Args({1, 0})->Args({1, 1})->Args({0, 0});

// The stand-in calls one tick makes, without anything of ours: the table copied out (GetIfTable2's
// rows; or GetIfTable's buffer twice, size query and read) and the four record writes.
void BM_TickStandInCallsOnly(benchmark::State& state) {
  Bench b;
  std::vector<std::uint8_t> buffer;
  std::vector<platform::IfRow2> rows;
  for (auto _ : state) {
    b.table.Advance();
    if (state.range(0) != 0) {
      b.table.GetIfTable2(rows);
    } else {
      std::uint32_t size = 0;
      b.table.GetIfTable(nullptr, &size, false);
      buffer.resize(size);
      b.table.GetIfTable(buffer.data(), &size, false);
    }
    b.fake.userStore.Write("2026DEC", "IN", "123456789");
    b.fake.userStore.Write("2026DEC", "OUT", "123456789");
    b.fake.userStore.Write("Today", "IN", "123456789");
    b.fake.userStore.Write("Today", "OUT", "123456789");
    benchmark::DoNotOptimize(buffer.data());
    benchmark::DoNotOptimize(rows.data());
  }
}
BENCHMARK(BM_TickStandInCallsOnly)->Arg(1)->Arg(0);

// The interface reader alone on the same table: the part of the tick that parses the rows.
void BM_ReadTable64Rows(benchmark::State& state) {
  Bench b;
  CIpHelper helper(b.table, b.fake.messages, b.fake.process);
  for (auto _ : state)
    benchmark::DoNotOptimize(helper.Interfaces().Count());
}
BENCHMARK(BM_ReadTable64Rows);

void BM_FormatBytes(benchmark::State& state) {
  Bench b;
  TrafficAccounting accounting(b.platform, b.settings, b.flags);
  accounting.ShowMode = 2;
  std::int64_t bytes = 1073741824;
  for (auto _ : state) {
    benchmark::DoNotOptimize(accounting.FormatBytes(bytes));
    bytes += 4099;
  }
}
BENCHMARK(BM_FormatBytes);

}  // namespace
