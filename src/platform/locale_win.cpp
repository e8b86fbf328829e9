#include <string>

#include "platform/platform_win.h"

namespace trafimo::win {

namespace {

std::string LocaleText(LCTYPE type) {
  char text[128] = {};
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
  return length > 0 ? std::string(text) : std::string();
}

UINT LocaleNumber(LCTYPE type, UINT fallback) {
  const std::string text = LocaleText(type);
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return fallback;
  return static_cast<UINT>(std::stoul(text));
}

// LOCALE_SGROUPING ("3;0", "3;2;0", "3") as NUMBERFMT's Grouping (3, 32, 30): a trailing ";0"
// repeats the last group, its absence means the last group does not repeat.
UINT GroupingOf(const std::string& grouping) {
  std::string digits;
  for (const char c : grouping)
    if (c >= '0' && c <= '9') digits += c;
  if (grouping.size() >= 2 && grouping.compare(grouping.size() - 2, 2, ";0") == 0)
    digits.pop_back();
  else
    digits += '0';
  if (digits.empty() || digits.size() > 9) return 3;
  return static_cast<UINT>(std::stoul(digits));
}

}  // namespace

std::string Win32Locale::FormatDate(const platform::LocalTime& date, std::string_view picture) {
  SYSTEMTIME when{};
  when.wYear = static_cast<WORD>(date.year);
  when.wMonth = static_cast<WORD>(date.month);
  when.wDay = static_cast<WORD>(date.day);
  when.wHour = static_cast<WORD>(date.hour);
  when.wMinute = static_cast<WORD>(date.minute);
  when.wSecond = static_cast<WORD>(date.second);
  const std::string format(picture);
  char text[256] = {};
  const int length =
      GetDateFormatA(LOCALE_USER_DEFAULT, 0, &when, format.c_str(), text, sizeof text);
  return length > 0 ? std::string(text) : std::string();
}

std::string Win32Locale::FullMonthName(int month) {
  if (month < 1 || month > 12) return {};
  return LocaleText(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + (month - 1)));
}

std::string Win32Locale::ToUpper(std::string_view text) {
  std::string upper(text);
  if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

std::string Win32Locale::FormatNumber(std::string_view plainNumber, int decimals, bool grouped) {
  std::string decimalSeparator = LocaleText(LOCALE_SDECIMAL);
  std::string groupSeparator = LocaleText(LOCALE_STHOUSAND);
  if (decimalSeparator.empty()) decimalSeparator.push_back('.');
  NUMBERFMTA format{};
  format.NumDigits = static_cast<UINT>(decimals < 0 ? 0 : decimals);
  format.LeadingZero = LocaleNumber(LOCALE_ILZERO, 1);
  format.Grouping = grouped ? GroupingOf(LocaleText(LOCALE_SGROUPING)) : 0;
  format.lpDecimalSep = decimalSeparator.data();
  format.lpThousandSep = groupSeparator.data();
  format.NegativeOrder = LocaleNumber(LOCALE_INEGNUMBER, 1);
  const std::string number(plainNumber);
  char text[128] = {};
  const int length =
      GetNumberFormatA(LOCALE_USER_DEFAULT, 0, number.c_str(), &format, text, sizeof text);
  return length > 0 ? std::string(text) : number;
}

}  // namespace trafimo::win
