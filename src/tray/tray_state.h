// How the tray window reads its stored display choices, and how it fills the icon's tip field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace trafimo {

inline constexpr std::uint8_t kMaxTransLevel = 5;
inline constexpr float kDefaultShowMode = 2;  // MB

// "Transparency"/"TransLevel": a whole number from 0 to 5 (blanks around it allowed). Anything
// else - above 5, negative, a fraction, not a number - is taken as 0, so the menu always has
// exactly one level to check and the meter window is opaque.
std::uint8_t ParseTransLevel(std::string_view text);

// "screen"/"visible": "True" or "False" in any letter case, or a number (0 = false). Anything
// else is the default, true.
bool ParseVisibleFlag(std::string_view text);

// The unit the tray window works with: 1 (KB) and 2 (MB) stand, any other stored unit is MB, so
// the display is never empty and one unit item is checked.
float UsableShowMode(float showMode);

// Puts `text` (UTF-8, the program's code page), a NUL and blanks up to the end into the tip
// field; text that does not fit is cut before the character that would not fit whole, so that
// the NUL still fits.
void WriteTipField(std::span<char> field, std::string_view text);

}  // namespace trafimo
