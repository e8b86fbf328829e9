// The registry wrappers: each call opens its key, does one thing and closes it again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace trafimo::modReg {

// Reads a value as text. `ValueType` says how to read (2 = text, 4 = 32-bit number) and receives
// the type actually stored. Every failure gives empty text. Never reads past the value's data:
// an empty value is empty text, text stored without a terminating NUL keeps all its characters.
std::string ReadRegValue(platform::Registry& registry, platform::RegKeyHandle hKey,
                         std::string_view SubKey, std::string_view ValueName,
                         std::uint32_t& ValueType);

// Creates or opens the key and writes the value (type 2: the text and a NUL; type 4: the number
// as a 32-bit value; other types: nothing). The result is whether the key was created or opened
// and the value written.
bool WriteRegValue(platform::Registry& registry, platform::RegKeyHandle hKey,
                   std::string_view SubKey, std::string_view ValueName, std::uint32_t ValueType,
                   std::string_view Value);

// Deletes one value; 2 when the key cannot be opened, otherwise the platform's result.
long DeleteRegValue(platform::Registry& registry, platform::RegKeyHandle hKey,
                    std::string_view SubKey, std::string_view ValueName);

}  // namespace trafimo::modReg
