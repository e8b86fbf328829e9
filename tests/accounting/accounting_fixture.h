// A tray window's accounting wired to the stand-ins, with a display that records what each tick
// showed.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "accounting/accounting.h"
#include "support/fakes.h"

namespace trafimo::testing {

class RecordingDisplay : public TickDisplay {
 public:
  struct Meters {
    std::string now, today, month;
  };
  std::vector<std::string> tips;
  std::vector<Meters> meters;

  void ShowTip(const std::string& tip) override { tips.push_back(tip); }
  void RefreshMeters(const std::string& costNow, const std::string& costToday,
                     const std::string& costThisMonth) override {
    meters.push_back({costNow, costToday, costThisMonth});
  }
};

inline FakeRow Row(std::string description, std::uint32_t in, std::uint32_t out,
                   std::uint32_t type = 6) {
  FakeRow row;
  row.description = std::move(description);
  row.inOctets = in;
  row.outOctets = out;
  row.type = type;
  return row;
}

inline TrafficTotals Totals(std::int64_t in, std::int64_t out) {
  return {in, out, in + out};
}

class AccountingTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  Settings settings;
  SharedFlags flags;
  TrafficAccounting accounting{fake.platform, settings, flags};
  RecordingDisplay display;

  AccountingTest() {
    settings.Interface = ",Ethernet";
    fake.clock.Set(2006, 3, 20, 12, 0, 0);
  }

  // The tray window's load, in its order.
  void Load() {
    accounting.LoadShowMode();
    accounting.LoadMonthKey();
    accounting.LoadCostThisMonth();
    accounting.LoadCostToday();
  }

  // One interface row; counters are the table's unsigned 32-bit values.
  void SetRows(std::vector<FakeRow> rows) { fake.ifTable.rows = std::move(rows); }
  void SetEthernet(std::uint32_t in, std::uint32_t out) { SetRows({Row("Ethernet", in, out)}); }

  void Tick() { accounting.SampleTraffic(display); }

  std::string Stored(const std::string& section, const std::string& key) {
    return fake.userStore.Read(section, key, "<missing>");
  }
  // The stored "IN"/"OUT" pair of a section as totals.
  TrafficTotals StoredTotals(const std::string& section) {
    return Totals(std::stoll(Stored(section, "IN")), std::stoll(Stored(section, "OUT")));
  }
  void Store(const std::string& section, const std::string& in, const std::string& out) {
    fake.userStore.sections[section]["IN"] = in;
    fake.userStore.sections[section]["OUT"] = out;
  }
};

}  // namespace trafimo::testing
