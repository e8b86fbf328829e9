#include "tray/tray_state.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace trafimo {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) {
             return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
           };
           return lower(x) == lower(y);
         });
}

}  // namespace

std::uint8_t ParseTransLevel(std::string_view text) {
  const std::string_view number = TrimBlanks(text);
  unsigned value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || error != std::errc() || end != number.data() + number.size()) return 0;
  return value <= kMaxTransLevel ? static_cast<std::uint8_t>(value) : 0;
}

bool ParseVisibleFlag(std::string_view text) {
  const std::string_view word = TrimBlanks(text);
  if (EqualsNoCase(word, "true")) return true;
  if (EqualsNoCase(word, "false")) return false;
  double number = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
  if (!word.empty() && error == std::errc() && end == word.data() + word.size()) return number != 0;
  return true;
}

float UsableShowMode(float showMode) {
  return showMode == 1 || showMode == 2 ? showMode : kDefaultShowMode;
}

void WriteTipField(std::span<char> field, std::string_view text) {
  if (field.empty()) return;
  std::size_t length = std::min(text.size(), field.size() - 1);
  // A cut inside a UTF-8 sequence (a locale's separator, a month name) would leave a text the
  // shell cannot read: the cut moves back to the start of that character.
  while (length > 0 && length < text.size() &&
         (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
    --length;
  std::copy_n(text.begin(), length, field.begin());
  field[length] = '\0';
  std::fill(field.begin() + static_cast<std::ptrdiff_t>(length) + 1, field.end(), ' ');
}

}  // namespace trafimo
