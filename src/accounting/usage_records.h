// How the usage records are named in the per-user store; the tick writes them and the monthly
// totals report reads them by the same rule.
#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/locale.h"

namespace trafimo {

// The section of the month record whose billing month starts on `date`: the date with the
// picture "yyyyMMM" in the user's locale, upper case (2006JAN).
std::string MonthSectionName(platform::Locale& locale, const platform::LocalTime& date);

}  // namespace trafimo
