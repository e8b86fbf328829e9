#include "platform/number_format.h"

#include <algorithm>

namespace trafimo::platform {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Adds one to a string of decimal digits; "99" becomes "100".
void IncrementDigits(std::string& digits) {
  for (auto at = digits.rbegin(); at != digits.rend(); ++at) {
    if (*at != '9') {
      ++*at;
      return;
    }
    *at = '0';
  }
  digits.insert(digits.begin(), '1');
}

}  // namespace

unsigned GroupingNumber(std::string_view grouping) {
  std::string digits;
  for (const char c : grouping)
    if (IsDigit(c)) digits += c;
  if (digits.empty()) return 3;
  const bool repeatsLast = grouping.size() >= 2 && grouping.substr(grouping.size() - 2) == ";0";
  if (repeatsLast)
    digits.pop_back();
  else
    digits += '0';
  if (digits.empty() || digits.size() > 9) return 3;
  return static_cast<unsigned>(std::stoul(digits));
}

std::string RoundedPlainNumber(std::string_view plainNumber, int decimals) {
  decimals = std::max(decimals, 0);
  const bool negative = !plainNumber.empty() && plainNumber.front() == '-';
  if (negative) plainNumber.remove_prefix(1);
  const std::size_t point = plainNumber.find('.');
  std::string whole(plainNumber.substr(0, point));
  std::string fraction(point == std::string_view::npos ? "" : plainNumber.substr(point + 1));
  const auto allDigits = [](const std::string& text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
  };
  if (!allDigits(whole) || !allDigits(fraction) || (whole.empty() && fraction.empty()))
    return RoundedPlainNumber("0", decimals);

  const auto kept = static_cast<std::size_t>(decimals);
  const bool roundUp = fraction.size() > kept && fraction[kept] >= '5';
  fraction.resize(kept, '0');
  std::string digits = (whole.empty() ? "0" : whole) + fraction;
  if (roundUp) IncrementDigits(digits);
  whole = digits.substr(0, digits.size() - kept);
  fraction = digits.substr(digits.size() - kept);
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));

  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  std::string text = negative && !zero ? "-" : "";
  text += whole;
  if (kept > 0) text += '.' + fraction;
  return text;
}

std::string FormatUserNumber(Locale& locale, std::string_view plainNumber, int decimals,
                             bool grouped) {
  const NumberSettings user = locale.UserNumberSettings();
  NumberFormat format;
  format.decimals = std::max(decimals, 0);
  format.leadingZero = true;
  format.grouping = grouped ? GroupingNumber(user.grouping) : 0;
  format.decimalSeparator = user.decimalSeparator.empty() ? "." : user.decimalSeparator;
  format.groupSeparator = user.groupSeparator;
  format.negativeOrder = kNegativeWithLeadingMinus;
  if (auto text = locale.FormatNumber(plainNumber, format)) return *std::move(text);

  std::string text = RoundedPlainNumber(plainNumber, decimals);
  if (const std::size_t point = text.find('.'); point != std::string::npos)
    text.replace(point, 1, format.decimalSeparator);
  return text;
}

}  // namespace trafimo::platform
