#include "tray/browser_switches.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <string>

namespace trafimo {

namespace {

constexpr std::uint32_t kImagesBufferSize = 255;

// Upper case of plain ASCII letters, whatever the process locale says.
std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

bool GetIEImages(platform::Registry& registry) {
  platform::ScopedRegKey key(registry);
  registry.CreateKey(platform::kHkeyCurrentUser, kIEMainSubKey,
                     platform::kKeyAllAccessBrowserSwitch, key.Receive());

  std::array<std::uint8_t, kImagesBufferSize> buffer{};
  std::uint32_t type = platform::kRegNone;
  std::uint32_t size = kImagesBufferSize;
  if (key.valid()) registry.QueryValue(key.get(), kIEImagesValue, &type, buffer.data(), &size);

  // A refused query may report a larger size than the buffer holds; only the buffer counts.
  const std::uint32_t length = std::min(size, kImagesBufferSize);
  std::string text;
  for (std::uint32_t i = 0; i < length; ++i) {
    if (buffer[i] != 0) text.push_back(static_cast<char>(buffer[i]));
  }
  return AsciiUpper(text) == "YES";
}

void SetIEImages(platform::Registry& registry, bool flag) {
  platform::ScopedRegKey key(registry);
  registry.CreateKey(platform::kHkeyCurrentUser, kIEMainSubKey,
                     platform::kKeyAllAccessBrowserSwitch, key.Receive());
  if (!key.valid()) return;
  const std::string_view text = flag ? "yes" : "no";
  registry.SetValue(key.get(), kIEImagesValue, platform::kRegSz,
                    reinterpret_cast<const std::uint8_t*>(text.data()),
                    static_cast<std::uint32_t>(text.size()));
}

bool GetIEFlash(platform::Registry& registry) {
  platform::ScopedRegKey key(registry);
  registry.OpenKey(platform::kHkeyLocalMachine, kIEFlashSubKey, platform::kMaximumAllowed,
                   key.Receive());
  return !key.valid();
}

void SetIEFlash(platform::Registry& registry, bool flag) {
  platform::ScopedRegKey key(registry);
  registry.OpenKey(platform::kHkeyLocalMachine, kIEFlashSubKey, platform::kMaximumAllowed,
                   key.Receive());
  if (flag) {
    if (key.valid()) registry.DeleteKey(platform::kHkeyLocalMachine, kIEFlashSubKey);
    return;
  }
  if (key.valid()) return;
  registry.CreateKey(platform::kHkeyLocalMachine, kIEFlashSubKey,
                     platform::kKeyAllAccessBrowserSwitch, key.Receive());
  if (!key.valid()) return;
  const std::uint32_t flags = kIEKillBit;
  std::array<std::uint8_t, sizeof flags> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(flags >> (8 * i));
  registry.SetValue(key.get(), kIEFlashFlagsValue, platform::kRegDword, bytes.data(),
                    static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace trafimo
