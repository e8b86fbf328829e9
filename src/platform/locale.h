// The user's locale: month names, date pictures and number formatting.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace trafimo::platform {

// The user's number settings (LOCALE_SDECIMAL, LOCALE_STHOUSAND, LOCALE_SGROUPING).
struct NumberSettings {
  std::string decimalSeparator = ".";
  std::string groupSeparator = ",";
  std::string grouping = "3;0";
};

// NUMBERFMT's NegativeOrder for "-1.1".
inline constexpr int kNegativeWithLeadingMinus = 1;

// A number format as NUMBERFMT holds it.
struct NumberFormat {
  int decimals = 0;
  bool leadingZero = true;
  unsigned grouping = 0;  // NUMBERFMT's Grouping: 3 ("1,234,567"), 32 ("12,34,567"), 0 none
  std::string decimalSeparator = ".";
  std::string groupSeparator = ",";
  int negativeOrder = kNegativeWithLeadingMinus;
};

class Locale {
 public:
  virtual ~Locale() = default;
  // The date formatted with a GetDateFormat picture such as "yyyyMMMdd" (2006Jan05).
  virtual std::string FormatDate(const LocalTime& date, std::string_view picture) = 0;
  // The full name of month 1..12 ("January").
  virtual std::string FullMonthName(int month) = 0;
  // Upper case in the user's code page.
  virtual std::string ToUpper(std::string_view text) = 0;
  virtual NumberSettings UserNumberSettings() = 0;
  // `plainNumber` ("-1234.5678", always "." as the point) in `format`, rounded to its decimals
  // (GetNumberFormat); nothing when the platform cannot format it.
  virtual std::optional<std::string> FormatNumber(std::string_view plainNumber,
                                                  const NumberFormat& format) = 0;
};

}  // namespace trafimo::platform
