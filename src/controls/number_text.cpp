#include "controls/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace trafimo::controls {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int NonNegative(int count) {
  return count < 0 ? 0 : count;
}

// Reads a plain "d.d" text (no sign) as a double.
double ParseDigits(const std::string& digits) {
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                            std::chars_format::fixed);
  (void)end;
  if (error == std::errc::result_out_of_range) return std::numeric_limits<double>::max();
  return error == std::errc{} ? value : 0;
}

}  // namespace

namespace {

// The leading number of a text: an optional "-", then digits with at most one ".".
struct LeadingNumber {
  bool negative = false;
  std::string digits;  // without the sign
  bool anyDigit = false;
  std::size_t length = 0;  // of the text it takes, sign included
};

LeadingNumber ScanLeadingNumber(std::string_view text) {
  LeadingNumber number;
  number.negative = !text.empty() && text[0] == '-';
  std::size_t at = number.negative ? 1 : 0;
  bool point = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '.' && !point) {
      point = true;
    } else if (!IsDigit(c)) {
      break;
    }
    number.anyDigit = number.anyDigit || IsDigit(c);
    number.digits += c;
  }
  number.length = at;
  return number;
}

}  // namespace

double ReadNumber(std::string_view text) {
  LeadingNumber number = ScanLeadingNumber(text);
  if (!number.anyDigit) return 0;
  if (number.digits[0] == '.') number.digits.insert(number.digits.begin(), '0');
  const double magnitude = ParseDigits(number.digits);
  return number.negative ? -magnitude : magnitude;
}

bool IsNumeric(std::string_view text) {
  const LeadingNumber number = ScanLeadingNumber(text);
  return number.anyDigit && number.length == text.size();
}

std::string FormatNumber(double number, int decimals) {
  decimals = NonNegative(decimals);
  if (!std::isfinite(number)) number = 0;
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(number), std::chars_format::fixed);
  std::string plain(buffer, result.ptr);
  const std::size_t point = plain.find('.');
  std::string whole = plain.substr(0, point);
  std::string fraction = point == std::string::npos ? std::string() : plain.substr(point + 1);

  if (static_cast<int>(fraction.size()) > decimals) {
    const bool roundUp = fraction[static_cast<std::size_t>(decimals)] >= '5';
    fraction.resize(static_cast<std::size_t>(decimals));
    if (roundUp) {
      std::string digits = whole + fraction;
      int at = static_cast<int>(digits.size()) - 1;
      for (; at >= 0; --at) {
        if (digits[static_cast<std::size_t>(at)] == '9') {
          digits[static_cast<std::size_t>(at)] = '0';
        } else {
          ++digits[static_cast<std::size_t>(at)];
          break;
        }
      }
      if (at < 0) digits.insert(digits.begin(), '1');
      whole = digits.substr(0, digits.size() - fraction.size());
      fraction = digits.substr(whole.size());
    }
  }
  fraction.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
  if (whole.empty()) whole.push_back('0');

  std::string text;
  const bool isZero =
      std::all_of(whole.begin(), whole.end(), [](char c) { return c == '0'; }) &&
      std::all_of(fraction.begin(), fraction.end(), [](char c) { return c == '0'; });
  if (number < 0 && !isZero) text += '-';
  text += whole;
  if (decimals > 0) {
    text += '.';
    text += fraction;
  }
  return text;
}

std::string FormatText(std::string_view text, int decimals) {
  if (!IsNumeric(text)) return std::string(text);
  return FormatNumber(ReadNumber(text), decimals);
}

std::string RepeatText(std::string_view text, int count) {
  std::string repeated;
  for (int i = 0; i < count; ++i)
    repeated += text;
  return repeated;
}

TextParts SplitText(std::string_view text) {
  TextParts parts;
  const int length = static_cast<int>(text.size());
  parts.signCount = text.find('-') != std::string_view::npos ? 1 : 0;
  const std::size_t point = text.find('.');
  parts.pointPosition = point == std::string_view::npos ? length + 1 : static_cast<int>(point) + 1;
  const int integerStart = std::min(parts.signCount, length);
  const int integerLength =
      std::min(NonNegative(parts.pointPosition - 1 - parts.signCount), length - integerStart);
  parts.integerPart = std::string(
      text.substr(static_cast<std::size_t>(integerStart), static_cast<std::size_t>(integerLength)));
  if (parts.pointPosition <= length) {
    parts.decimalPart = std::string(text.substr(static_cast<std::size_t>(parts.pointPosition)));
  }
  return parts;
}

}  // namespace trafimo::controls
