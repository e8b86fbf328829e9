// The user's locale: month names, date pictures and number formatting.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace trafimo::platform {

class Locale {
 public:
  virtual ~Locale() = default;
  // The date formatted with a GetDateFormat picture such as "yyyyMMMdd" (2006Jan05).
  virtual std::string FormatDate(const LocalTime& date, std::string_view picture) = 0;
  // The full name of month 1..12 ("January").
  virtual std::string FullMonthName(int month) = 0;
  // Upper case in the user's code page.
  virtual std::string ToUpper(std::string_view text) = 0;
  // `plainNumber` is a number as "-1234.5678" (always "." as the point); the result has
  // `decimals` digits after the user's decimal separator and, when `grouped`, the user's digit
  // grouping and group separator.
  virtual std::string FormatNumber(std::string_view plainNumber, int decimals, bool grouped) = 0;
};

}  // namespace trafimo::platform
