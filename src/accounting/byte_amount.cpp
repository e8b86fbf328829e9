#include "accounting/byte_amount.h"

#include <charconv>

namespace trafimo {

std::optional<std::int64_t> ParseByteAmount(std::string_view text) {
  const std::size_t digitsAt = !text.empty() && text.front() == '-' ? 1 : 0;
  if (text.size() == digitsAt) return std::nullopt;
  for (std::size_t i = digitsAt; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string ByteAmountText(std::int64_t bytes) {
  return std::to_string(bytes);
}

std::string ExactQuotientText(std::int64_t bytes, int powerOfTwo) {
  // The magnitude as unsigned, so that the most negative amount has one too.
  const std::uint64_t magnitude =
      bytes < 0 ? ~static_cast<std::uint64_t>(bytes) + 1 : static_cast<std::uint64_t>(bytes);
  const std::uint64_t mask = (std::uint64_t{1} << powerOfTwo) - 1;
  std::string text = bytes < 0 ? "-" : "";
  text += std::to_string(magnitude >> powerOfTwo);
  // 1 / 2^n has exactly n decimals; each step shifts one decimal digit out of the remainder,
  // which stays below 2^n, so remainder * 10 cannot overflow for n <= 32.
  std::uint64_t remainder = magnitude & mask;
  if (remainder != 0) text += '.';
  while (remainder != 0) {
    remainder *= 10;
    text += static_cast<char>('0' + (remainder >> powerOfTwo));
    remainder &= mask;
  }
  return text;
}

}  // namespace trafimo
