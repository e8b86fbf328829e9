#include "about/about.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo::about {
namespace {

struct VersionCase {
  unsigned major, minor;
  const char* line;
};
void PrintTo(const VersionCase& c, std::ostream* os) {
  *os << c.line;
}

class VersionLineTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionLineTest, WritesTheNumbersWithoutLeadingZeros) {
  EXPECT_EQ(VersionLine("Velquor Trafimo", GetParam().major, GetParam().minor), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(About, VersionLineTest,
                         ::testing::Values(VersionCase{1, 3, "Velquor Trafimo 1.3"},
                                           VersionCase{2, 10, "Velquor Trafimo 2.10"},
                                           VersionCase{0, 0, "Velquor Trafimo 0.0"}));

TEST(About, CaptionNamesTheProduct) {
  EXPECT_EQ(AboutCaption("Velquor Trafimo"), "About Velquor Trafimo");
}

TEST(About, TheLinksOpenTheProductPageAndTheSiteRoot) {
  EXPECT_EQ(AddressLabel(kProductPageAddress), "www.velquor.example/trafimo/");
  EXPECT_EQ(AddressLabel("www.velquor.example/x"), "www.velquor.example/x");
  // The banner's address is the same site without a path.
  EXPECT_EQ(std::string(kProductPageAddress).rfind(std::string(kHomePageAddress), 0), 0u);
  EXPECT_EQ(AddressLabel(kHomePageAddress).find('/'), std::string::npos);
}

TEST(About, Link2NetAsksTheShellToOpenTheAddress) {
  testing::FakeShell shell;
  const std::string address = "https://www.velquor.example/trafimo/";
  Link2Net(shell, 0x1234, address);
  Link2Net(shell, 0x1234, address);  // a failing request changes nothing for the next one
  ASSERT_EQ(shell.calls.size(), 2u);
  const auto& call = shell.calls[0];
  EXPECT_EQ(call.owner, 0x1234u);
  EXPECT_EQ(call.operation, "");
  EXPECT_EQ(call.file, address);
  EXPECT_EQ(call.parameters, "");
  EXPECT_EQ(call.directory, "c:\\");
  EXPECT_EQ(call.show, 1);
  EXPECT_EQ(address, "https://www.velquor.example/trafimo/");
}

}  // namespace
}  // namespace trafimo::about
