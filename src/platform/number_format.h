// Numbers as the user reads them: the locale gives the digit grouping and the decimal separator,
// never the sign or the leading zero ("0.50 MB" and "-1.00 MB" in every locale).
#pragma once

#include <string>
#include <string_view>

#include "platform/locale.h"

namespace trafimo::platform {

// LOCALE_SGROUPING ("3;0", "3;2;0", "3") as NUMBERFMT's Grouping (3, 32, 30): a trailing ";0"
// repeats the last group; without it the last group does not repeat. Text that is no grouping
// gives 3.
unsigned GroupingNumber(std::string_view grouping);

// `plainNumber` ("-1234.5678", "." as the point) rounded to `decimals` digits, halves away from
// zero, with exactly that many digits after the point; a negative that rounds to zero loses its
// sign. Text that is no plain number gives 0.
std::string RoundedPlainNumber(std::string_view plainNumber, int decimals);

// `plainNumber` with `decimals` digits after the user's decimal separator, grouped with the
// user's grouping when `grouped`, a leading zero and a leading "-". When the platform cannot
// format it, the rounded number with the user's decimal separator.
std::string FormatUserNumber(Locale& locale, std::string_view plainNumber, int decimals,
                             bool grouped);

}  // namespace trafimo::platform
