// The browser switches against the real registry of the Wine prefix.
#include "tray/browser_switches.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/platform_win.h"
#include "tray/ie_switches_snapshot_win.h"

namespace trafimo {
namespace {

using testing::DeleteIEImagesValue;
using testing::IESwitchesSnapshot;
using testing::RawRegValue;
using testing::ReadRawValue;
using testing::RegKeyExists;
using testing::WriteRawValue;

const std::string& kMain = IESwitchesSnapshot::kMain;
const std::string& kImages = IESwitchesSnapshot::kImages;
const std::string& kFlash = IESwitchesSnapshot::kFlash;
const std::string& kFlags = IESwitchesSnapshot::kFlags;

std::vector<BYTE> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// The text as stored. RegSetValueExA counts a NUL that follows the given data into a string
// value, as Windows NT does, so the stored form may carry one the writer did not count; the
// lengths the switch itself passes are recorded below.
std::string StoredText(const RawRegValue& value) {
  std::string text(value.data.begin(), value.data.end());
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

// The real registry, noting the data lengths the caller passes.
class LengthRecordingRegistry : public win::Win32Registry {
 public:
  std::vector<std::uint32_t> setSizes;
  long SetValue(platform::RegKeyHandle key, std::string_view valueName, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override {
    setSizes.push_back(size);
    return Win32Registry::SetValue(key, valueName, type, data, size);
  }
};

class BrowserSwitchesInWine : public ::testing::Test {
 protected:
  IESwitchesSnapshot snapshot;
  LengthRecordingRegistry registry;
};

TEST_F(BrowserSwitchesInWine, ImagesReadOnOnlyForYesInAnyCase) {
  struct Case {
    std::optional<std::vector<BYTE>> stored;  // nullopt: no value
    bool expected;
  };
  const std::vector<Case> cases = {{Bytes(std::string("Yes\0", 4)), true},
                                   {Bytes(std::string("YES\0", 4)), true},
                                   {Bytes("yes"), true},
                                   {Bytes(std::string("No\0", 3)), false},
                                   {Bytes(std::string("1\0", 2)), false},
                                   {Bytes(std::string("\0", 1)), false},
                                   {std::vector<BYTE>{}, false},
                                   {std::nullopt, false}};
  for (const Case& c : cases) {
    DeleteIEImagesValue();
    if (c.stored) WriteRawValue(HKEY_CURRENT_USER, kMain, kImages, REG_SZ, *c.stored);
    EXPECT_EQ(GetIEImages(registry), c.expected) << std::string(
        c.stored.value_or(Bytes("<none>")).begin(), c.stored.value_or(Bytes("<none>")).end());
  }
}

TEST_F(BrowserSwitchesInWine, ImagesWrittenInLowerCaseWithTheirLengths) {
  SetIEImages(registry, true);
  auto stored = ReadRawValue(HKEY_CURRENT_USER, kMain, kImages);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(StoredText(*stored), "yes");
  EXPECT_TRUE(GetIEImages(registry));

  SetIEImages(registry, false);
  stored = ReadRawValue(HKEY_CURRENT_USER, kMain, kImages);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(StoredText(*stored), "no");
  EXPECT_FALSE(GetIEImages(registry));
  EXPECT_EQ(registry.setSizes, (std::vector<std::uint32_t>{3, 2}));
}

TEST_F(BrowserSwitchesInWine, FlashKeyCreatedWithTheKillBitAndDeletedAgain) {
  ASSERT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kFlash));
  EXPECT_TRUE(GetIEFlash(registry));

  SetIEFlash(registry, false);
  const auto flags = ReadRawValue(HKEY_LOCAL_MACHINE, kFlash, kFlags);
  ASSERT_TRUE(flags.has_value());
  EXPECT_EQ(flags->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(flags->data, (std::vector<BYTE>{0x00, 0x04, 0x00, 0x00}));
  EXPECT_FALSE(GetIEFlash(registry));

  SetIEFlash(registry, true);
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kFlash));
  EXPECT_TRUE(GetIEFlash(registry));
}

TEST_F(BrowserSwitchesInWine, ExistingFlashKeyReadsOffAndIsLeftUnchanged) {
  WriteRawValue(HKEY_LOCAL_MACHINE, kFlash, kFlags, REG_DWORD, {0x01, 0x00, 0x00, 0x00});
  EXPECT_FALSE(GetIEFlash(registry));
  SetIEFlash(registry, false);
  const auto flags = ReadRawValue(HKEY_LOCAL_MACHINE, kFlash, kFlags);
  ASSERT_TRUE(flags.has_value());
  EXPECT_EQ(flags->data, (std::vector<BYTE>{0x01, 0x00, 0x00, 0x00}));
}

}  // namespace
}  // namespace trafimo
