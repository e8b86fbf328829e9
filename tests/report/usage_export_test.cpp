// The usage file: a row for every day and month record, and the export command that writes it.
#include "report/usage_export.h"

#include <gtest/gtest.h>

#include "startup/globals.h"
#include "support/fakes.h"

namespace trafimo::report {
namespace {

constexpr const char* kHeader = "period,start,received_bytes,sent_bytes,total_bytes\r\n";

// Oldest first, a month before its days; months begin on the start day; a day before the first
// month and a month without days have their rows; Today's totals stand for its day where they
// are more than its record; what is no record is left out.
TEST(UsageFile, HasARowForEveryRecordOldestFirst) {
  testing::FakePlatform fake;
  auto& stored = fake.userStore.sections;
  stored["2026NOV"] = {{"IN", "3000"}, {"OUT", "400"}};
  stored["2026DEC"] = {{"IN", "9000"}, {"OUT", "900"}};
  stored["Days"] = {{"2025-12-31", "10,2"}, {"2026-12-15", "5,5"}, {"2026-12-16", "70,7"},
                    {"2026-12-17", "1,x"},  {"2026-02-30", "1,1"}, {"Tuesday", "1,1"}};
  EXPECT_EQ(
      UsageFileText(UsageRecords(fake.userStore, fake.locale, 15, {"2026Dec16", {80, 8, 88}})),
      std::string(kHeader) +
          "day,2025-12-31,10,2,12\r\nmonth,2026-11-15,3000,400,3400\r\n"
          "month,2026-12-15,9000,900,9900\r\nday,2026-12-15,5,5,10\r\nday,2026-12-16,80,8,88\r\n");
}

// "/export FILE": the stored records, Today's and the stored start day; 1 when not written.
TEST(UsageFile, TheExportCommandWritesWhatIsStoredOrEndsWith1) {
  testing::FakePlatform fake;
  fake.registry.PutText(platform::kHkeyLocalMachine, std::string(kSettingsSubKey), "MonthStartDay",
                        "5");
  fake.userStore.sections = {{"2026DEC", {{"IN", "9"}}},
                             {"DateToday", {{"DateToday", "2026Dec06"}}},
                             {"Today", {{"IN", "7"}, {"OUT", "1"}}}};
  EXPECT_EQ(ExportStoredUsage(fake.platform, "C:\\u.csv"), 0);
  EXPECT_EQ(fake.files.written["C:\\u.csv"],
            std::string(kHeader) + "month,2026-12-05,9,0,9\r\nday,2026-12-06,7,1,8\r\n");
  fake.files.writesFail = true;
  EXPECT_EQ(ExportStoredUsage(fake.platform, "C:\\u.csv"), 1);
}

}  // namespace
}  // namespace trafimo::report
