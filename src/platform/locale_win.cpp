#include <string>

#include "platform/platform_win.h"

namespace trafimo::win {

namespace {

std::string LocaleText(LCTYPE type) {
  char text[128] = {};
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
  return length > 0 ? std::string(text) : std::string();
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
  // Through UTF-16: in UTF-8 a letter's capital may take more bytes than the letter (U+0250,
  // U+2C6F), and CharUpperBuffA would cut the text where it ran out of room.
  const int bytes = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, nullptr, 0);
  if (units <= 0) return std::string(text);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), bytes, wide.data(), units);
  CharUpperBuffW(wide.data(), static_cast<DWORD>(units));
  return CodePageText(wide);
}

std::string CodePageText(std::wstring_view wide) {
  const int units = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), units, text.data(), length, nullptr, nullptr);
  return text;
}

platform::NumberSettings Win32Locale::UserNumberSettings() {
  return {LocaleText(LOCALE_SDECIMAL), LocaleText(LOCALE_STHOUSAND), LocaleText(LOCALE_SGROUPING)};
}

std::optional<std::string> Win32Locale::FormatNumber(std::string_view plainNumber,
                                                     const platform::NumberFormat& format) {
  std::string decimalSeparator = format.decimalSeparator;
  std::string groupSeparator = format.groupSeparator;
  NUMBERFMTA numberFormat{};
  numberFormat.NumDigits = static_cast<UINT>(format.decimals);
  numberFormat.LeadingZero = format.leadingZero ? 1 : 0;
  numberFormat.Grouping = format.grouping;
  numberFormat.lpDecimalSep = decimalSeparator.data();
  numberFormat.lpThousandSep = groupSeparator.data();
  numberFormat.NegativeOrder = static_cast<UINT>(format.negativeOrder);
  const std::string number(plainNumber);
  char text[128] = {};
  const int length =
      GetNumberFormatA(LOCALE_USER_DEFAULT, 0, number.c_str(), &numberFormat, text, sizeof text);
  if (length <= 0) return std::nullopt;
  return std::string(text);
}

}  // namespace trafimo::win
