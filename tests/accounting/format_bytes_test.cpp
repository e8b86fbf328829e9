// Byte totals as the user sees them, in the unit of ShowMode and the locale's number format.
#include <gtest/gtest.h>

#include <limits>

#include "accounting/accounting_fixture.h"
#include "accounting/byte_amount.h"

namespace trafimo::testing {
namespace {

struct FormatCase {
  float mode;
  std::int64_t bytes;
  const char* text;
};

class FormatBytesTest : public AccountingTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatBytesTest, ShowsTheUnitOfShowMode) {
  accounting.ShowMode = GetParam().mode;
  EXPECT_EQ(accounting.FormatBytes(GetParam().bytes), GetParam().text);
}

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Amounts, FormatBytesTest,
    ::testing::Values(FormatCase{1, 0, "0 KB"}, FormatCase{2, 0, "0.00 MB"},
                      FormatCase{1, 1600, "2 KB"}, FormatCase{2, 1600, "0.00 MB"},
                      FormatCase{1, 1073741824, "1,048,576 KB"},
                      FormatCase{2, 1073741824, "1,024.00 MB"}, FormatCase{1, 1400, "1 KB"},
                      FormatCase{2, 5347737, "5.10 MB"}, FormatCase{2, 5337251, "5.09 MB"},
                      FormatCase{1, -1073741824, "-1,048,576 KB"},
                      FormatCase{2, -3145728, "-3.00 MB"}, FormatCase{2, -1600, "0.00 MB"},
                      FormatCase{1, kMax, "9,007,199,254,740,992 KB"},
                      FormatCase{2, kMin, "-8,796,093,022,208.00 MB"}, FormatCase{3, 1600, ""},
                      FormatCase{0, 1600, ""}, FormatCase{1.5f, 1600, ""}));

TEST_F(AccountingTest, FormatBytesFollowsTheLocalesSeparators) {
  fake.locale.groupSeparator = ".";
  fake.locale.decimalSeparator = ",";
  accounting.ShowMode = 2;
  EXPECT_EQ(accounting.FormatBytes(1073741824), "1.024,00 MB");
  accounting.ShowMode = 1;
  EXPECT_EQ(accounting.FormatBytes(1073741824), "1.048.576 KB");
}

// The quotient handed to the locale is exact, so that only the locale rounds.
TEST(ExactQuotientText, WritesEveryDigit) {
  EXPECT_EQ(ExactQuotientText(1600, 10), "1.5625");
  EXPECT_EQ(ExactQuotientText(-1, 10), "-0.0009765625");
  EXPECT_EQ(ExactQuotientText(1073741824, 20), "1024");
  EXPECT_EQ(ExactQuotientText(0, 20), "0");
  EXPECT_EQ(ExactQuotientText(kMax, 20), "8796093022207.99999904632568359375");
  EXPECT_EQ(ExactQuotientText(kMin, 20), "-8796093022208");
  EXPECT_EQ(ExactQuotientText(kMin + 1, 10), "-9007199254740991.9990234375");
}

TEST(ByteAmountText, IsPlainDecimal) {
  EXPECT_EQ(ByteAmountText(1048576), "1048576");
  EXPECT_EQ(ByteAmountText(-25), "-25");
  EXPECT_EQ(ByteAmountText(kMin), "-9223372036854775808");
  EXPECT_EQ(ParseByteAmount(ByteAmountText(kMin)), kMin);
  EXPECT_EQ(ParseByteAmount(ByteAmountText(kMax)), kMax);
}

}  // namespace
}  // namespace trafimo::testing
