#include "ifstats/ip_helper.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

using testing::BuildIfTable;
using testing::FakeRow;

// Counters are read as signed 32-bit values; only the whole rows a buffer holds are read.
TEST(ParseIfTable, ReadsRowsInOrderWithSignedCountersAndOnlyRowsThatFit) {
  auto table = BuildIfTable({{"eth", 3'000'000'000u, 4'294'967'295u, 24, {}},
                             {"wlan", 5, 0, 71, 3u},
                             {"x", 0, 0, 6, {}}});
  const CInterfaces all = ParseIfTable(table);
  ASSERT_EQ(all.Count(), 3);
  EXPECT_EQ(all.Item(1).OctetsReceived, -1'294'967'296);
  EXPECT_EQ(all.Item(1).OctetsSent, -1);
  EXPECT_EQ(all.Item(1).InterfaceDescription, "eth");
  EXPECT_EQ(all.Item(2).InterfaceDescription, "wla") << "the stated length";
  table.resize(table.size() - 100);
  EXPECT_EQ(ParseIfTable(table).Count(), 2);
  EXPECT_EQ(ParseIfTable(std::span(table).first(3)).Count(), 0);
}

}  // namespace
}  // namespace trafimo
