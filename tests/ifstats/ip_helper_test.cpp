#include "ifstats/ip_helper.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

using testing::BuildIfTable;
using testing::FakeRow;

TEST(ParseIfTable, CountersAreTheSignedViewOfTheUnsignedCounters) {
  const auto table = BuildIfTable({{"eth", 3'000'000'000u, 4'294'967'295u, 6, {}},
                                   {"lo", 2'147'483'647u, 2'147'483'648u, 24, {}}});
  const CInterfaces interfaces = ParseIfTable(table);
  ASSERT_EQ(interfaces.Count(), 2);
  EXPECT_EQ(interfaces.Item(1).OctetsReceived, -1'294'967'296);
  EXPECT_EQ(interfaces.Item(1).OctetsSent, -1);
  EXPECT_EQ(interfaces.Item(2).OctetsReceived, 2'147'483'647);
  EXPECT_EQ(interfaces.Item(2).OctetsSent, -2'147'483'647 - 1);
  EXPECT_EQ(interfaces.Item(2).InterfaceType, kSoftwareLoopbackType);
}

struct DescriptionCase {
  std::string stored;
  std::optional<std::uint32_t> descrLen;
  std::string expected;
};

class ParseDescription : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(ParseDescription, KeepsTheStatedLengthWithoutNuls) {
  const auto& c = GetParam();
  const auto table = BuildIfTable({{c.stored, 0, 0, 6, c.descrLen}});
  EXPECT_EQ(ParseIfTable(table).Item(1).InterfaceDescription, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseDescription,
    ::testing::Values(DescriptionCase{"Ethernet", std::nullopt, "Ethernet"},  // counts the NUL
                      DescriptionCase{"Ethernet", 8u, "Ethernet"},
                      DescriptionCase{"Ethernet", 3u, "Eth"},
                      DescriptionCase{std::string("Wi\0Fi", 5), 6u, "WiFi"},
                      DescriptionCase{"", 0u, ""},
                      DescriptionCase{std::string(256, 'x'), 4000u, std::string(256, 'x')}));

TEST(ParseIfTable, ReadsManyRowsInOrderAndOnlyRowsThatFit) {
  std::vector<FakeRow> rows;
  for (int i = 0; i < 45; ++i)
    rows.push_back({"if" + std::to_string(i), static_cast<std::uint32_t>(i), 0, 6, {}});
  auto table = BuildIfTable(rows);
  const CInterfaces all = ParseIfTable(table);
  ASSERT_EQ(all.Count(), 45);
  int position = 0;
  for (const CInterface& record : all) {
    EXPECT_EQ(record.InterfaceDescription, "if" + std::to_string(position));
    EXPECT_EQ(record.OctetsReceived, position);
    ++position;
  }
  // A row count that claims more rows than the buffer holds gives only the whole rows present.
  table.resize(table.size() - 100);
  EXPECT_EQ(ParseIfTable(table).Count(), 44);
  EXPECT_EQ(ParseIfTable(std::span(table).first(3)).Count(), 0);
}

TEST(CInterfaces, PositionsOutsideOneToCountAreErrors) {
  CInterfaces interfaces;
  interfaces.Add(CInterface{1, 2, "a", 6});
  interfaces.Add(CInterface{3, 4, "b", 6});
  EXPECT_THROW((void)interfaces.Item(0), std::out_of_range);
  EXPECT_THROW((void)interfaces.Item(3), std::out_of_range);
  EXPECT_THROW(interfaces.Remove(3), std::out_of_range);
  interfaces.Remove(1);
  ASSERT_EQ(interfaces.Count(), 1);
  EXPECT_EQ(interfaces.Item(1).InterfaceDescription, "b");
}

TEST(CIpHelper, ReadsTheTableAfreshEachTime) {
  testing::FakePlatform fake;
  CIpHelper reader(fake.ifTable, fake.messages, fake.process);
  fake.ifTable.rows = {{"eth0", 10, 20, 6, {}}};
  EXPECT_EQ(reader.Interfaces().Item(1).OctetsReceived, 10);
  fake.ifTable.rows = {{"eth0", 11, 20, 6, {}}, {"lo", 0, 0, 24, {}}};
  const CInterfaces second = reader.Interfaces();
  EXPECT_EQ(second.Count(), 2);
  EXPECT_EQ(second.Item(1).OctetsReceived, 11);
}

TEST(CIpHelper, AFailingSecondCallGivesAnEmptyCollection) {
  testing::FakePlatform fake;
  fake.ifTable.rows = {{"eth0", 10, 20, 6, {}}};
  fake.ifTable.secondCallFails = true;
  CIpHelper reader(fake.ifTable, fake.messages, fake.process);
  EXPECT_EQ(reader.Interfaces().Count(), 0);
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(CIpHelper, ASizeQueryWithoutASizeIsAnErrorToTheCaller) {
  testing::FakePlatform fake;
  fake.ifTable.sizeQueryFails = true;
  CIpHelper reader(fake.ifTable, fake.messages, fake.process);
  EXPECT_THROW(reader.Interfaces(), std::runtime_error);
}

TEST(CIpHelper, NotSupportedTellsTheUserAndEndsTheProgram) {
  testing::FakePlatform fake;
  fake.ifTable.notSupported = true;
  CIpHelper reader(fake.ifTable, fake.messages, fake.process);
  EXPECT_THROW(reader.Interfaces(), testing::ProcessEnded);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "This software is not supported in this operating system");
  EXPECT_EQ(fake.messages.shown[0].title, "Velquor Trafimo");
  EXPECT_EQ(fake.messages.shown[0].style, platform::kMbOk);
}

}  // namespace
}  // namespace trafimo
