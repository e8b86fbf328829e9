// The number texts of the numeric edit box: reading the number a text holds, formatting a number
// with a fixed count of decimals, and splitting a text into sign, integer and decimal parts the
// way the box's keystroke filter and validation see it. Plain text, no platform.
#pragma once

#include <string>
#include <string_view>

namespace trafimo::controls {

// The leading number of a text: an optional "-", digits and at most one ".", read from the first
// character; "" "-" "." and texts without a leading number read as 0.
double ReadNumber(std::string_view text);
// Digits with at most one "." and an optional leading "-", at least one digit.
bool IsNumeric(std::string_view text);
// The number with at least one digit before the point, no grouping, exactly `decimals` digits
// after it; halves are rounded away from zero.
std::string FormatNumber(double number, int decimals);
// A numeric text formatted as above; any other text comes back unchanged.
std::string FormatText(std::string_view text, int decimals);
std::string RepeatText(std::string_view text, int count);

// A text split the way the keystroke filter and the validation pass see it.
struct TextParts {
  int signCount = 0;      // 1 when the text holds "-" anywhere
  int pointPosition = 0;  // 1-based position of the first "."; length + 1 without one
  std::string integerPart;
  std::string decimalPart;
};
TextParts SplitText(std::string_view text);

}  // namespace trafimo::controls
