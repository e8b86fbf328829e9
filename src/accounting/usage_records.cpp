#include "accounting/usage_records.h"

namespace trafimo {

std::string MonthSectionName(platform::Locale& locale, const platform::LocalTime& date) {
  return locale.ToUpper(locale.FormatDate(date, "yyyyMMM"));
}

}  // namespace trafimo
