// The per-interface counters: what each reading adds, and the events it reports, for what PCs
// do to their adapters' counters. (32-bit counters are shown where the tick reads them, in
// accounting_test.cpp.)
#include "accounting/interface_counters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trafimo {
namespace {

constexpr std::uint64_t kGb = 1'000'000'000;

CounterReading R(std::uint64_t id, std::uint64_t in, std::uint64_t out,
                 std::uint64_t bitsPerSecond = 0) {
  return {id, in, out, false, bitsPerSecond, bitsPerSecond};
}

// One reading, `ms` after the one before, and what it must add.
struct Step {
  std::uint64_t ms;
  std::vector<CounterReading> readings;
  std::uint64_t in, out;
  std::string events;  // "A1" appeared, "R1" reset, "I1" implausible, "G1" gone; in order
};

std::string Events(const CounterStep& step) {
  std::string text;
  for (const auto& e : step.events)
    text += std::string(1, "ARIG"[static_cast<int>(e.event)]) + std::to_string(e.identity);
  return text;
}

TEST(InterfaceCounters, AddEachInterfacesBytesOnceThroughResetsGapsAndChanges) {
  constexpr std::uint64_t k25 = 25 * kGb / 10, k36 = 36 * kGb / 10;
  const std::vector<std::pair<const char*, std::vector<Step>>> cases = {
      {"growth; 1.5 GB each way in a second (more than 10^9 bytes); a tick 8 s late while 2.5 GB "
       "crossed each way; 5 GB in one direction in one gap",
       {{0, {R(1, 100, 200)}, 0, 0, "A1"},
        {1000, {R(1, 1100, 700)}, 1000, 500, ""},
        {1000, {R(1, 1100 + 15 * kGb / 10, 700 + 15 * kGb / 10)}, 15 * kGb / 10, 15 * kGb / 10, ""},
        {8000, {R(1, 1100 + 4 * kGb, 700 + 4 * kGb)}, k25, k25, ""},
        {3000, {R(1, 1100 + 9 * kGb, 700 + 4 * kGb)}, 5 * kGb, 0, ""}}},
      {"a first reading of 0 is a baseline like any other",
       {{0, {R(1, 0, 0)}, 0, 0, "A1"}, {1000, {R(1, 20'000'000, 0)}, 20'000'000, 0, ""}}},
      {"counters restarted from 0 when they stood at 3.6 GB count what they hold",
       {{0, {R(1, k36, k36)}, 0, 0, "A1"},
        {9000, {R(1, 10'000'000, 10'000'000)}, 10'000'000, 10'000'000, "R1"},
        {1000, {R(1, 10'000'100, 10'000'000)}, 100, 0, ""}}},
      {"one interface resets while another carries traffic",
       {{0, {R(1, kGb, kGb), R(2, 5, 5)}, 0, 0, "A1A2"},
        {1000, {R(1, 50'000'000, 0), R(2, 105'000'005, 5)}, 155'000'000, 0, "R1"}}},
      {"an interface appears (elsewhere in the table) while another carries 200 MB/s; one goes "
       "and takes only itself out; back, it starts from a baseline",
       {{0, {R(1, 0, 0)}, 0, 0, "A1"},
        {1000, {R(2, 7 * kGb, 0), R(1, 200'000'000, 0)}, 200'000'000, 0, "A2"},
        {1000, {R(1, 400'000'000, 0), R(2, 7 * kGb + 10, 0)}, 200'000'010, 0, ""},
        {1000, {R(1, 600'000'000, 0)}, 200'000'000, 0, "G2"},
        {1000, {R(2, 500, 500), R(1, 600'000'000, 0)}, 0, 0, "A2"}}},
      {"more than 100 Gbit/s can carry (and a second's lag) is dropped; the next reading goes on",
       {{0, {R(1, 0, 0)}, 0, 0, "A1"},
        {1000, {R(1, 25 * kGb, 25 * kGb)}, 25 * kGb, 25 * kGb, ""},
        {1000, {R(1, 50 * kGb + 1, 25 * kGb)}, 0, 0, "I1"},
        {1000, {R(1, 50 * kGb + 1001, 25 * kGb)}, 1000, 0, ""}}},
      {"a reported 400 Gbit/s raises the bound; 1 Mbit/s does not lower it",
       {{0, {R(1, 0, 0, 400 * kGb), R(2, 0, 0, 1'000'000)}, 0, 0, "A1A2"},
        {1000, {R(1, 99 * kGb, 0, 400 * kGb), R(2, 24 * kGb, 0, 1'000'000)}, 123 * kGb, 0, ""},
        {1000, {R(1, 99 * kGb, 0, 400 * kGb), R(2, 50 * kGb, 0, 1'000'000)}, 0, 0, "I2"}}},
      {"a reset to an implausible reading is dropped too",
       {{0, {R(1, 90 * kGb, 0)}, 0, 0, "A1"}, {1000, {R(1, 30 * kGb, 0)}, 0, 0, "R1I1"}}},
      {"an interface read twice in one reading counts once",
       {{0, {R(1, 0, 0), R(1, 0, 0)}, 0, 0, "A1"},
        {1000, {R(1, 10, 20), R(1, 10, 20)}, 10, 20, ""}}},
      {"no time since the last reading still allows what a second's lag carries",
       {{0, {R(1, 0, 0)}, 0, 0, "A1"}, {0, {R(1, 12 * kGb, 0)}, 12 * kGb, 0, ""}}},
  };
  for (const auto& [what, steps] : cases) {
    InterfaceCounters counters;
    std::uint64_t ms = 5'000'000;
    for (std::size_t i = 0; i < steps.size(); ++i) {
      ms += steps[i].ms;
      const CounterStep step = counters.Take(steps[i].readings, ms);
      EXPECT_EQ(step.in, steps[i].in) << what << ", reading " << i;
      EXPECT_EQ(step.out, steps[i].out) << what << ", reading " << i;
      EXPECT_EQ(Events(step), steps[i].events) << what << ", reading " << i;
    }
  }
}

}  // namespace
}  // namespace trafimo
