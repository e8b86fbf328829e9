// The Win32 platform services against what the system really answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>

#include "ifstats/ip_helper.h"
#include "platform/platform_win.h"

namespace trafimo {
namespace {

TEST(RealInterfaceTable, ListsTheLoopbackAsSoftwareLoopback) {
  win::RealPlatform real;
  CIpHelper reader(real.get().ifTable, real.get().messages, real.get().process);
  const CInterfaces interfaces = reader.Interfaces();
  ASSERT_GT(interfaces.Count(), 0);
  int loopbacks = 0;
  for (const CInterface& record : interfaces) {
    EXPECT_FALSE(record.InterfaceDescription.empty());
    EXPECT_EQ(record.InterfaceDescription.find('\0'), std::string::npos);
    if (record.InterfaceType == kSoftwareLoopbackType) ++loopbacks;
  }
  EXPECT_EQ(loopbacks, 1);
}

TEST(RealInterfaceTable, ASmallBufferAsksForTheWholeTable) {
  win::Win32IfTable table;
  std::uint32_t size = 0;
  EXPECT_EQ(table.GetIfTable(nullptr, &size, false),
            static_cast<std::uint32_t>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_GE(size, iftable::kRowCountSize + iftable::kRowSize);
}

platform::LocalTime CRuntimeNow() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = *std::localtime(&now);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

TEST(RealClock, GivesTheLocalTimeOfTheCRuntime) {
  win::Win32Clock clock;
  const platform::LocalTime before = CRuntimeNow();
  const platform::LocalTime got = clock.Now();
  const platform::LocalTime after = CRuntimeNow();
  // Both clocks count whole seconds, so the reading lies between the two others.
  EXPECT_LE(before, got);
  EXPECT_LE(got, after);
  EXPECT_GE(got.month, 1);
  EXPECT_LE(got.month, 12);
}

std::string LocaleText(LCTYPE type) {
  char text[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
  return text;
}

TEST(RealLocale, MonthNamesDatesAndUpperCase) {
  win::Win32Locale locale;
  EXPECT_EQ(locale.FullMonthName(1), locale.FormatDate({2026, 1, 5}, "MMMM"));
  EXPECT_EQ(locale.FullMonthName(12), locale.FormatDate({2026, 12, 5}, "MMMM"));
  EXPECT_NE(locale.FullMonthName(1), locale.FullMonthName(2));
  const std::string stamp = locale.FormatDate({2026, 3, 7}, "yyyyMMMdd");
  EXPECT_EQ(stamp.substr(0, 4), "2026");
  EXPECT_EQ(stamp.substr(stamp.size() - 2), "07");
  EXPECT_EQ(locale.ToUpper("2026mar07 abc"), "2026MAR07 ABC");
}

TEST(RealLocale, NumbersUseTheUsersSeparatorsAndGroupingOnlyWhenAsked) {
  win::Win32Locale locale;
  const std::string point = LocaleText(LOCALE_SDECIMAL);
  const std::string group = LocaleText(LOCALE_STHOUSAND);
  ASSERT_FALSE(point.empty());
  EXPECT_EQ(locale.FormatNumber("1234567.891", 2, false), "1234567" + point + "89");
  EXPECT_EQ(locale.FormatNumber("1234567", 0, false), "1234567");
  if (LocaleText(LOCALE_SGROUPING) == "3;0") {
    EXPECT_EQ(locale.FormatNumber("1234567.5", 1, true),
              "1" + group + "234" + group + "567" + point + "5");
  }
  EXPECT_NE(locale.FormatNumber("1234567", 0, true), "1234567");
}

}  // namespace
}  // namespace trafimo
