// Byte amounts as text: the plain decimal form of the usage records, and the exact decimal
// quotient handed to the locale's number formatting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trafimo {

// A whole number of bytes as stored: an optional leading "-" and decimal digits, nothing else,
// within the signed 64-bit range. Anything else (empty text, blanks, a fraction, a grouping
// separator, a value out of range) gives no value.
std::optional<std::int64_t> ParseByteAmount(std::string_view text);

// The stored form: plain decimal digits, "-" first when negative (1048576, -25).
std::string ByteAmountText(std::int64_t bytes);

// `bytes` / 2^`powerOfTwo` (0..32) written out exactly with "." as the point and no trailing
// zeros after it ("1.5625", "-0.0009765625", "1024"), so that the locale alone does the rounding.
std::string ExactQuotientText(std::int64_t bytes, int powerOfTwo);

}  // namespace trafimo
