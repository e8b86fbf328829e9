// The cost of one read of the interface table as the tick does it every second: parsing a
// 64-row table buffer, then selecting the interfaces of the user's list and summing their
// counters. The copy of the same buffer is the baseline the other figures compare with.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "ifstats/ip_helper.h"
#include "startup/globals.h"
#include "support/fakes.h"

namespace {

constexpr int kRows = 64;

std::vector<std::uint8_t> Table() {
  std::vector<trafimo::testing::FakeRow> rows;
  for (int i = 0; i < kRows; ++i) {
    rows.push_back({"Network Adapter Model " + std::to_string(i) + " - Packet Scheduler Miniport",
                    static_cast<std::uint64_t>(1000 * i),
                    static_cast<std::uint64_t>(7 * i),
                    i == 0 ? 24u : 6u,
                    {}});
  }
  return trafimo::testing::BuildIfTable(rows);
}

// Every fourth interface selected.
std::string Selection() {
  std::string list;
  for (int i = 1; i < kRows; i += 4)
    list += ",Network Adapter Model " + std::to_string(i) + " - Packet Scheduler Miniport";
  return list;
}

void CopyTableBuffer(benchmark::State& state) {
  const auto table = Table();
  std::vector<std::uint8_t> copy(table.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), table.data(), table.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * table.size()));
}
BENCHMARK(CopyTableBuffer);

void ParseTable64Rows(benchmark::State& state) {
  const auto table = Table();
  for (auto _ : state) {
    trafimo::CInterfaces interfaces = trafimo::ParseIfTable(table);
    benchmark::DoNotOptimize(interfaces.Count());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * table.size()));
}
BENCHMARK(ParseTable64Rows);

void ParseAndSelect64Rows(benchmark::State& state) {
  const auto table = Table();
  const std::string selection = Selection();
  for (auto _ : state) {
    std::int64_t received = 0;
    std::int64_t sent = 0;
    for (const trafimo::CInterface& row : trafimo::ParseIfTable(table)) {
      if (!trafimo::IsInterfaceSelected(selection, row.InterfaceDescription)) continue;
      received += row.OctetsReceived;
      sent += row.OctetsSent;
    }
    benchmark::DoNotOptimize(received);
    benchmark::DoNotOptimize(sent);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * table.size()));
}
BENCHMARK(ParseAndSelect64Rows);

}  // namespace
