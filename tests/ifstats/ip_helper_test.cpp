#include "ifstats/ip_helper.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

using testing::BuildIfTable;
using testing::FakeRow;

TEST(ParseIfTable, ReadsRowsInOrderWithSignedCountersAndOnlyRowsThatFit) {
  std::vector<FakeRow> rows{{"eth", 3'000'000'000u, 4'294'967'295u, 24, {}}};
  for (std::uint32_t i = 1; i < 45; ++i)
    rows.push_back({"if" + std::to_string(i), i, 0, 6, {}});
  auto table = BuildIfTable(rows);
  const CInterfaces all = ParseIfTable(table);
  ASSERT_EQ(all.Count(), 45);
  EXPECT_EQ(all.Item(1).OctetsReceived, -1'294'967'296);
  EXPECT_EQ(all.Item(1).OctetsSent, -1);
  EXPECT_EQ(all.Item(1).InterfaceType, kSoftwareLoopbackType);
  int position = 0;
  for (const CInterface& record : all)
    EXPECT_EQ(record.InterfaceDescription,
              position++ ? "if" + std::to_string(position - 1) : "eth");
  // A row count that claims more rows than the buffer holds gives only the whole rows present.
  table.resize(table.size() - 100);
  EXPECT_EQ(ParseIfTable(table).Count(), 44);
  EXPECT_EQ(ParseIfTable(std::span(table).first(3)).Count(), 0);
}

TEST(ParseIfTable, DescriptionsKeepTheStatedLengthWithoutNuls) {
  const std::pair<FakeRow, std::string> cases[] = {
      {{"Ethernet", 0, 0, 6, {}}, "Ethernet"},  // the stated length counts a trailing NUL
      {{"Ethernet", 0, 0, 6, 3u}, "Eth"},
      {{std::string("Wi\0Fi", 5), 0, 0, 6, 6u}, "WiFi"},
      {{std::string(256, 'x'), 0, 0, 6, 4000u}, std::string(256, 'x')}};
  for (const auto& [row, expected] : cases)
    EXPECT_EQ(ParseIfTable(BuildIfTable({row})).Item(1).InterfaceDescription, expected);
}

TEST(CInterfaces, PositionsOutsideOneToCountAreErrors) {
  CInterfaces interfaces;
  interfaces.Add(CInterface{1, 2, "a", 6});
  EXPECT_THROW((void)interfaces.Item(0), std::out_of_range);
  EXPECT_THROW(interfaces.Remove(2), std::out_of_range);
  interfaces.Remove(1);
  EXPECT_THROW((void)interfaces.Item(1), std::out_of_range);
}

// A read that fails on the second call gives no rows; one without a size is an error; a system
// without the table is told so and the program ends.
TEST(CIpHelper, ReadsAfreshEachTimeAndTellsWhenTheSystemHasNoTable) {
  testing::FakePlatform fake;
  CIpHelper reader(fake.ifTable, fake.messages, fake.process);
  fake.ifTable.rows = {{"eth0", 10, 20, 6, {}}};
  EXPECT_EQ(reader.Interfaces().Item(1).OctetsReceived, 10);
  fake.ifTable.rows = {{"eth0", 11, 20, 6, {}}, {"lo", 0, 0, 24, {}}};
  EXPECT_EQ(reader.Interfaces().Item(1).OctetsReceived, 11);
  fake.ifTable.secondCallFails = true;
  EXPECT_EQ(reader.Interfaces().Count(), 0);
  EXPECT_TRUE(fake.messages.shown.empty());
  fake.ifTable.sizeQueryFails = true;
  EXPECT_THROW(reader.Interfaces(), std::runtime_error);
  fake.ifTable.notSupported = true;
  EXPECT_THROW(reader.Interfaces(), testing::ProcessEnded);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  const auto& [text, title, style, owner] = fake.messages.shown[0];
  EXPECT_EQ(text, "This software is not supported in this operating system");
  EXPECT_EQ(title + "|" + std::to_string(style),
            "Velquor Trafimo|" + std::to_string(platform::kMbOk));
}

}  // namespace
}  // namespace trafimo
