// The tray menu's two Internet Explorer switches: inline pictures and the Flash control. Both
// live only in the registry, where Internet Explorer reads them; nothing is kept here.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/registry.h"

namespace trafimo {

// "Display Inline Images" under HKEY_CURRENT_USER.
inline constexpr std::string_view kIEMainSubKey = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr std::string_view kIEImagesValue = "Display Inline Images";

// The ActiveX compatibility entry of the Shockwave Flash control, under HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kIEFlashSubKey =
    "Software\\Microsoft\\Internet Explorer\\ActiveX "
    "Compatibility\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
inline constexpr std::string_view kIEFlashFlagsValue = "Compatibility Flags";
inline constexpr std::uint32_t kIEKillBit = 0x400;  // stops Internet Explorer loading the control

// True when the stored text reads "yes" in any letter case. Opening the key creates it.
bool GetIEImages(platform::Registry& registry);
// Writes "yes" (3 bytes) or "no" (2 bytes) as REG_SZ, without a terminating NUL.
void SetIEImages(platform::Registry& registry, bool flag);
// Flash is on exactly when its compatibility key cannot be opened.
bool GetIEFlash(platform::Registry& registry);
// On: deletes the compatibility key. Off: creates it with the kill bit when it is absent; an
// existing key is left as it is.
void SetIEFlash(platform::Registry& registry, bool flag);

}  // namespace trafimo
