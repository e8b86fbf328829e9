// One whole sampling tick on the real platform against the bare platform calls it makes: the
// interface table read (GetIfTable2 and FreeMibTable) and the four record writes to the per-user
// store (create the section key, set the value, close it). Prints both and their ratio; the
// difference is the work of our own that a tick adds. The bare calls of a tick that read the
// table with GetIfTable (size query and read) are timed too, as the figure earlier ticks were
// compared with.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include "accounting/accounting.h"
#include "platform/platform_win.h"
#include "platform/toolkit_win.h"

namespace {

using namespace trafimo;
using Clock = std::chrono::steady_clock;

class NoDisplay : public TickDisplay {
 public:
  std::size_t characters = 0;
  void ShowTip(const std::string& tip) override { characters += tip.size(); }
  void RefreshMeters(const std::string& a, const std::string& b, const std::string& c,
                     const MonthStanding& standing) override {
    characters += a.size() + b.size() + c.size() + standing.tip.size();
  }
  void ShowNotification(const std::string& text, bool) override { characters += text.size(); }
};

void WriteRecord(const std::string& section, const char* key, const std::string& value) {
  HKEY handle = nullptr;
  std::string path = "Software\\Trafimo\\";
  path += section;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(handle, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
}

void WriteRecords(const std::string& monthKey, const std::string& in, const std::string& out) {
  WriteRecord(monthKey, "IN", in);
  WriteRecord(monthKey, "OUT", out);
  WriteRecord("Today", "IN", in);
  WriteRecord("Today", "OUT", out);
}

// What the tick asks of the platform, with nothing of ours around it.
void BarePlatformCalls(const std::string& monthKey, const std::string& in, const std::string& out) {
  PMIB_IF_TABLE2 table = nullptr;
  if (GetIfTable2(&table) == NO_ERROR) FreeMibTable(table);
  WriteRecords(monthKey, in, out);
}

// The same with the table read by GetIfTable, as ticks read it before GetIfTable2.
void BareIfTableCalls(const std::string& monthKey, const std::string& in, const std::string& out) {
  ULONG size = 0;
  GetIfTable(nullptr, &size, FALSE);
  std::vector<std::uint8_t> buffer(size);
  GetIfTable(reinterpret_cast<PMIB_IFTABLE>(buffer.data()), &size, FALSE);
  WriteRecords(monthKey, in, out);
}

// The table as last read, handed out by copy: the tick's reading without the system's cost.
class CopiedIfTable : public platform::IfTableSource {
 public:
  std::vector<std::uint8_t> table;
  std::uint32_t GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool) override {
    const auto needed = static_cast<std::uint32_t>(table.size());
    if (buffer == nullptr || *size < needed) {
      *size = needed;
      return ERROR_INSUFFICIENT_BUFFER;
    }
    std::memcpy(buffer, table.data(), table.size());
    *size = needed;
    return NO_ERROR;
  }
  std::vector<platform::IfRow2> rows2;
  std::uint32_t GetIfTable2(std::vector<platform::IfRow2>& rows) override {
    rows = rows2;
    return NO_ERROR;
  }
};

class MapUserStore : public platform::UserStore {
 public:
  std::map<std::string, std::string> values;
  std::string Read(std::string_view section, std::string_view key,
                   std::string_view defaultValue) override {
    const auto found = values.find(Name(section, key));
    return found == values.end() ? std::string(defaultValue) : found->second;
  }
  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    values[Name(section, key)] = std::string(value);
    return true;
  }
  bool EraseAll() override {
    values.clear();
    return true;
  }
  std::vector<std::string> Sections() override { return {}; }
  std::vector<platform::StoredValue> ReadSection(std::string_view) override { return {}; }

 private:
  static std::string Name(std::string_view section, std::string_view key) {
    std::string name(section);
    name += '\\';
    name += key;
    return name;
  }
};

double MicrosecondsPer(Clock::duration elapsed, int count) {
  return std::chrono::duration<double, std::micro>(elapsed).count() / count;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

// "tick_winbench allowance": the same with a monthly allowance of 50 GB, whose standing the tip
// and the meter then show.
int main(int argc, char** argv) {
  win::RealPlatform real;
  platform::Platform& platform = real.get();
  Settings settings;
  if (argc > 1 && std::string(argv[1]) == "allowance") settings.MonthlyAllowance = 50 * kBytesPerGb;
  SharedFlags flags;
  flags.MeterWindowOpen = true;  // the most a tick does: tip and three meter texts

  // Every interface of the table is counted.
  settings.Interface.clear();
  CIpHelper reader(platform.ifTable, platform.messages, platform.process);
  const CInterfaces interfaces = reader.Interfaces();
  for (const CInterface& entry : interfaces) {
    settings.Interface += ',';
    settings.Interface += entry.InterfaceDescription;
  }
  if (settings.Interface.empty()) settings.Interface.assign(1, ',');

  TrafficAccounting accounting(platform, settings, flags);
  accounting.LoadShowMode();
  accounting.LoadMonthKey();
  accounting.LoadCostThisMonth();
  accounting.LoadCostToday();
  NoDisplay display;
  const std::string in = std::to_string(accounting.CostThisMonth.In + 123456789);
  const std::string out = std::to_string(accounting.CostThisMonth.Out + 98765432);

  constexpr int kWarmUp = 50;
  constexpr int kRounds = 20;
  constexpr int kPerRound = 100;
  for (int i = 0; i < kWarmUp; ++i) {
    accounting.SampleTraffic(display);
    BarePlatformCalls(accounting.MonthKey, in, out);
  }

  // Alternating rounds in alternating order, so that all see the same machine load.
  std::vector<double> tick, bare, bareIfTable;
  auto timeTicks = [&] {
    const auto start = Clock::now();
    for (int i = 0; i < kPerRound; ++i)
      accounting.SampleTraffic(display);
    tick.push_back(MicrosecondsPer(Clock::now() - start, kPerRound));
  };
  auto timeBareCalls = [&] {
    auto start = Clock::now();
    for (int i = 0; i < kPerRound; ++i)
      BarePlatformCalls(accounting.MonthKey, in, out);
    bare.push_back(MicrosecondsPer(Clock::now() - start, kPerRound));
    start = Clock::now();
    for (int i = 0; i < kPerRound; ++i)
      BareIfTableCalls(accounting.MonthKey, in, out);
    bareIfTable.push_back(MicrosecondsPer(Clock::now() - start, kPerRound));
  };
  for (int round = 0; round < kRounds; ++round) {
    if (round % 2 == 0) {
      timeTicks();
      timeBareCalls();
    } else {
      timeBareCalls();
      timeTicks();
    }
  }
  // Our own work apart: the same tick with the table copied from memory and the records kept in
  // memory, less those two stand-ins alone.
  CopiedIfTable copied;
  ULONG size = 0;
  GetIfTable(nullptr, &size, FALSE);
  copied.table.resize(size);
  GetIfTable(reinterpret_cast<PMIB_IFTABLE>(copied.table.data()), &size, FALSE);
  copied.table.resize(size);
  platform.ifTable.GetIfTable2(copied.rows2);
  MapUserStore memory;
  platform::Platform apart{platform.registry, memory,          copied,
                           platform.clock,    platform.locale, platform.messages,
                           platform.process,  platform.shell,  platform.files};
  TrafficAccounting ownWork(apart, settings, flags);
  ownWork.LoadShowMode();
  ownWork.LoadMonthKey();
  ownWork.LoadCostThisMonth();
  ownWork.LoadCostToday();
  std::vector<double> own, standIns;
  for (int round = 0; round < kRounds; ++round) {
    const auto ownStart = Clock::now();
    for (int i = 0; i < kPerRound; ++i)
      ownWork.SampleTraffic(display);
    own.push_back(MicrosecondsPer(Clock::now() - ownStart, kPerRound));
    const auto standInStart = Clock::now();
    for (int i = 0; i < kPerRound; ++i) {
      std::vector<platform::IfRow2> rows;
      copied.GetIfTable2(rows);
      memory.Write(ownWork.MonthKey, "IN", in);
      memory.Write(ownWork.MonthKey, "OUT", out);
      memory.Write("Today", "IN", in);
      memory.Write("Today", "OUT", out);
    }
    standIns.push_back(MicrosecondsPer(Clock::now() - standInStart, kPerRound));
  }
  const double ownWorkApart = Median(own) - Median(standIns);

  const double tickMedian = Median(tick);
  const double bareMedian = Median(bare);
  std::printf("interfaces in the table: %d, all counted; %s\n", interfaces.Count(),
              settings.MonthlyAllowance > 0 ? "an allowance of 50 GB" : "no allowance");
  std::printf("whole tick (real platform):        %9.1f us\n", tickMedian);
  const double bareIfTableMedian = Median(bareIfTable);
  std::printf("bare calls (table read, 4 writes): %9.1f us\n", bareMedian);
  std::printf("  the same reading with GetIfTable: %8.1f us\n", bareIfTableMedian);
  std::printf("ratio tick / bare calls:           %9.3f\n", tickMedian / bareMedian);
  std::printf("ratio tick / GetIfTable bare calls: %8.3f\n", tickMedian / bareIfTableMedian);
  std::printf("our own work added:                %8.1f %%\n",
              100.0 * (tickMedian - bareMedian) / bareMedian);
  const double tickFastest = *std::min_element(tick.begin(), tick.end());
  const double bareFastest = *std::min_element(bare.begin(), bare.end());
  std::printf("fastest rounds: tick %.1f us, bare calls %.1f us, ratio %.3f\n", tickFastest,
              bareFastest, tickFastest / bareFastest);
  std::printf("our own work measured apart:       %9.1f us = %.2f %% of the bare calls\n",
              ownWorkApart, 100.0 * ownWorkApart / bareMedian);
  // An open meter's own second: one look at the primary monitor's work area.
  std::vector<double> look;
  LONG bottoms = 0;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    for (int i = 0; i < kPerRound; ++i)
      bottoms += win::PrimaryWorkArea().bottom;
    look.push_back(MicrosecondsPer(Clock::now() - start, kPerRound));
  }
  std::printf("meter's work-area look (GetMonitorInfo): %6.1f us = %.2f %% of a whole tick\n",
              Median(look), 100.0 * Median(look) / tickMedian);
  std::printf(
      "(medians of %d rounds of %d; tooltip and meter texts formatted: %zu characters;"
      " work-area bottoms summed: %ld)\n",
      kRounds, kPerRound, display.characters, static_cast<long>(bottoms));
  platform.userStore.EraseAll();
  return 0;
}
