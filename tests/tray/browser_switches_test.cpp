#include "tray/browser_switches.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using testing::FakeRegistry;

const std::string kMain(kIEMainSubKey);
const std::string kFlash(kIEFlashSubKey);

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

struct ImagesCase {
  std::vector<std::uint8_t> stored;  // empty vector with `missing` = no value at all
  bool missing;
  std::uint32_t type;
  bool expected;
};

class ReadImages : public ::testing::TestWithParam<ImagesCase> {};

TEST_P(ReadImages, OnlyYesInAnyCaseIsOn) {
  const ImagesCase& c = GetParam();
  FakeRegistry registry;
  if (!c.missing)
    registry.Put(kHkeyCurrentUser, kMain, std::string(kIEImagesValue), c.type, c.stored);
  EXPECT_EQ(GetIEImages(registry), c.expected);
  EXPECT_TRUE(registry.KeyExists(kHkeyCurrentUser, kMain));
  EXPECT_EQ(registry.openHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReadImages,
    ::testing::Values(ImagesCase{Bytes("yes"), false, platform::kRegSz, true},
                      ImagesCase{Bytes(std::string("Yes\0", 4)), false, platform::kRegSz, true},
                      ImagesCase{Bytes("YES"), false, platform::kRegSz, true},
                      ImagesCase{Bytes(std::string("y\0es", 4)), false, platform::kRegSz, true},
                      ImagesCase{Bytes("yES"), false, platform::kRegExpandSz, true},
                      ImagesCase{Bytes("No"), false, platform::kRegSz, false},
                      ImagesCase{Bytes("1"), false, platform::kRegSz, false},
                      ImagesCase{Bytes(" yes"), false, platform::kRegSz, false},
                      ImagesCase{Bytes("yess"), false, platform::kRegSz, false},
                      ImagesCase{{}, false, platform::kRegSz, false},
                      ImagesCase{{}, true, platform::kRegSz, false},
                      // longer than the 255-character buffer: the read is refused
                      ImagesCase{Bytes("yes" + std::string(300, '\0')), false, platform::kRegSz,
                                 false}));

TEST(ReadImages, KeyThatCannotBeOpenedReadsOff) {
  FakeRegistry registry;
  registry.PutText(kHkeyCurrentUser, kMain, std::string(kIEImagesValue), "yes", platform::kRegSz);
  registry.deniedKeys.insert("HKCU\\" + kMain);
  EXPECT_FALSE(GetIEImages(registry));
}

// Writing and the Flash key's life on a registry that accepts everything are shown on Wine's
// registry; here: what the registry refuses.
TEST(Flash, RefusedChangesLeaveTheRegistryAsItWas) {
  FakeRegistry registry;
  registry.readOnlyRoots.insert(kHkeyLocalMachine);
  SetIEFlash(registry, false);
  EXPECT_FALSE(registry.KeyExists(kHkeyLocalMachine, kFlash));
  EXPECT_TRUE(GetIEFlash(registry));

  registry.readOnlyRoots.clear();
  registry.Put(kHkeyLocalMachine, kFlash, std::string(kIEFlashFlagsValue), platform::kRegDword,
               {0x00, 0x04, 0, 0});
  registry.readOnlyRoots.insert(kHkeyLocalMachine);
  SetIEFlash(registry, true);
  EXPECT_FALSE(GetIEFlash(registry));
  EXPECT_EQ(registry.openHandles(), 0);
}

TEST(Flash, KeyThatCannotBeOpenedCountsAsOn) {
  FakeRegistry registry;
  registry.Put(kHkeyLocalMachine, kFlash, std::string(kIEFlashFlagsValue), platform::kRegDword,
               {0x00, 0x04, 0, 0});
  registry.deniedKeys.insert("HKLM\\" + kFlash);
  EXPECT_TRUE(GetIEFlash(registry));
}

}  // namespace
}  // namespace trafimo
