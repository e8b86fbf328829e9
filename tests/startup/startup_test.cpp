#include "startup/startup.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

TEST(Startup, ASecondInstanceTellsTheUserAndEndsWithoutLoadingOrWriting) {
  testing::FakePlatform fake;
  fake.ifTable.rows = {{"eth0", 0, 0, 6, {}}};
  Settings settings;
  EXPECT_THROW(RefuseSecondInstanceThenLoadSettings(true, settings, fake.platform),
               testing::ProcessEnded);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Velquor Trafimo is already running. \r\nWhen the program is running there will be an "
            "icon in the tray(near time) to display trafimo or to invoke the settings. ");
  EXPECT_EQ(fake.messages.shown[0].title, "Velquor Trafimo");
  EXPECT_EQ(fake.messages.shown[0].style, platform::kMbOk | platform::kMbIconInformation);
  EXPECT_EQ(fake.ifTable.calls, 0);
  EXPECT_FALSE(fake.registry.KeyExists(platform::kHkeyLocalMachine, "Software"));
}

TEST(Startup, TheOnlyInstanceLoadsTheSettingsSilently) {
  testing::FakePlatform fake;
  fake.ifTable.rows = {{"eth0", 0, 0, 6, {}}};
  Settings settings;
  RefuseSecondInstanceThenLoadSettings(false, settings, fake.platform);
  EXPECT_TRUE(fake.messages.shown.empty());
  EXPECT_EQ(settings.Interface, ",eth0");
}

class CommandLine : public ::testing::TestWithParam<std::pair<std::string, bool>> {};

TEST_P(CommandLine, OnlyItsEmptinessMatters) {
  EXPECT_EQ(IsCommandLineEmpty(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(Lines, CommandLine,
                         ::testing::Values(std::pair<std::string, bool>{"", true},
                                           std::pair<std::string, bool>{"  ", true},
                                           std::pair<std::string, bool>{"/s", false},
                                           std::pair<std::string, bool>{" /S ", false},
                                           std::pair<std::string, bool>{"anything", false}));

}  // namespace
}  // namespace trafimo
