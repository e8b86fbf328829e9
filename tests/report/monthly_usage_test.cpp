// The monthly totals report: the years it lists and the rows of a year from the stored month
// records, in its byte texts.
#include "report/monthly_usage.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/fakes.h"

namespace trafimo::report {
namespace {

using trafimo::testing::FakePlatform;
using enum Unit;

// Years from 2007 to the present one (2026) with an "IN" record, ascending, each once.
TEST(Report, ListsTheYearsWithReceivedRecords) {
  FakePlatform fake;
  for (const char* section : {"2006NOV", "2024MAR", "2016JUL", "2024APR", "2027JAN"})
    fake.userStore.sections[section]["IN"] = "1";
  fake.userStore.sections["2025MAY"]["OUT"] = "1";
  EXPECT_EQ(BuildYearList(fake.userStore, fake.locale, fake.clock),
            (std::vector<std::string>{"2016", "2024"}));
}

// Upload is "OUT", download "IN", the total needs "IN"; "-" where a record is missing. The total
// adds the unrounded amounts; without the platform's formatting the amounts are still rounded.
TEST(Report, FillsUploadDownloadAndTotalOfAMonth) {
  const std::tuple<const char*, const char*, Unit, bool, MonthRow> cases[] = {
      {nullptr, "1835008", MB, false, {"-", "2 MB", "2 MB"}},
      {"1610612736", nullptr, MB, false, {"1536 MB", "-", "-"}},
      {"786432.5", "786432.5", MB, false, {"1 MB", "1 MB", "2 MB"}},
      {"-1610612736", "x", GB, false, {"-1.50 GB", "0.00 GB", "-1.50 GB"}},
      {"1", "1084479242", GB, true, {"0.00 GB", "1.01 GB", "1.01 GB"}},
      {"-1835008", nullptr, MB, true, {"-2 MB", "-", "-"}}};
  for (const auto& [out, in, unit, formatFails, expected] : cases) {
    FakePlatform fake;
    fake.locale.numberFormatFails = formatFails;
    if (out) fake.userStore.sections["2026MAR"]["OUT"] = out;
    if (in) fake.userStore.sections["2026MAR"]["IN"] = in;
    const YearRows rows = UpdateTotal(fake.userStore, fake.locale, 2026, unit);
    EXPECT_EQ(rows[2], expected) << (out ? out : "-") << " / " << (in ? in : "-");
    EXPECT_EQ(rows[1], (MonthRow{"-", "-", "-"})) << "February has no record";
  }
}

}  // namespace
}  // namespace trafimo::report
