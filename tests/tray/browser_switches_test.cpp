// What only the stand-in registry can show: odd stored forms and refusals. The ordinary values
// and writes are shown on Wine's registry.
#include "tray/browser_switches.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace trafimo {
namespace {

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;

const std::string kMain(kIEMainSubKey), kFlash(kIEFlashSubKey);

TEST(BrowserSwitches, ImagesReadOnlyYesWhateverTheNulsAndType) {
  struct Case {
    std::string stored;
    std::uint32_t type;
    bool on;
  };
  const std::vector<Case> cases = {{std::string("y\0es", 4), platform::kRegSz, true},
                                   {"yES", platform::kRegExpandSz, true},
                                   {" yes", platform::kRegSz, false},
                                   {"yess", platform::kRegSz, false},
                                   // longer than the 255-byte buffer: the read is refused
                                   {"yes" + std::string(300, '\0'), platform::kRegSz, false}};
  for (const Case& c : cases) {
    testing::FakeRegistry registry;
    registry.Put(kHkeyCurrentUser, kMain, std::string(kIEImagesValue), c.type,
                 {c.stored.begin(), c.stored.end()});
    EXPECT_EQ(GetIEImages(registry), c.on) << c.stored.size();
    EXPECT_EQ(registry.openHandles(), 0);
  }
  testing::FakeRegistry empty;
  EXPECT_FALSE(GetIEImages(empty));
  EXPECT_TRUE(empty.KeyExists(kHkeyCurrentUser, kMain)) << "the key is created to read it";
}

TEST(BrowserSwitches, RefusedKeysAndChanges) {
  testing::FakeRegistry registry;
  registry.PutText(kHkeyCurrentUser, kMain, std::string(kIEImagesValue), "yes", platform::kRegSz);
  registry.deniedKeys.insert("HKCU\\" + kMain);
  EXPECT_FALSE(GetIEImages(registry));

  registry.readOnlyRoots.insert(kHkeyLocalMachine);
  SetIEFlash(registry, false);
  EXPECT_FALSE(registry.KeyExists(kHkeyLocalMachine, kFlash));
  registry.readOnlyRoots.clear();
  registry.Put(kHkeyLocalMachine, kFlash, std::string(kIEFlashFlagsValue), platform::kRegDword,
               {0x00, 0x04, 0, 0});
  registry.readOnlyRoots.insert(kHkeyLocalMachine);
  SetIEFlash(registry, true);
  EXPECT_FALSE(GetIEFlash(registry)) << "the key could not be deleted";
  registry.deniedKeys.insert("HKLM\\" + kFlash);
  EXPECT_TRUE(GetIEFlash(registry)) << "a key that cannot be opened counts as on";
  EXPECT_EQ(registry.openHandles(), 0);
}

}  // namespace
}  // namespace trafimo
