#include "support/fakes.h"

#include <array>
#include <cstdio>

#include "ifstats/ip_helper.h"

namespace trafimo::testing {

namespace {

constexpr std::array<const char*, 12> kFullMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

void PutU32(std::uint8_t* at, std::uint32_t value) {
  std::memcpy(at, &value, sizeof value);
}

std::string TwoDigits(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

}  // namespace

void FakeClock::Advance(long long seconds) {
  long long total = now.hour * 3600LL + now.minute * 60LL + now.second + seconds;
  long long days = total / 86400;
  total %= 86400;
  if (total < 0) {
    total += 86400;
    --days;
  }
  now.hour = static_cast<int>(total / 3600);
  now.minute = static_cast<int>(total / 60 % 60);
  now.second = static_cast<int>(total % 60);
  for (; days > 0; --days) {
    if (++now.day > DaysInMonth(now.year, now.month)) {
      now.day = 1;
      if (++now.month > 12) {
        now.month = 1;
        ++now.year;
      }
    }
  }
  for (; days < 0; ++days) {
    if (--now.day < 1) {
      if (--now.month < 1) {
        now.month = 12;
        --now.year;
      }
      now.day = DaysInMonth(now.year, now.month);
    }
  }
}

std::string FakeLocale::FormatDate(const platform::LocalTime& date, std::string_view picture) {
  std::string out;
  for (std::size_t i = 0; i < picture.size();) {
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == picture[i])
      ++run;
    const char c = picture[i];
    if (c == 'y' && run == 4) {
      out += std::to_string(date.year);
    } else if (c == 'M' && run == 3) {
      out += std::string(kFullMonths[static_cast<std::size_t>(date.month - 1)]).substr(0, 3);
    } else if (c == 'M' && run == 4) {
      out += kFullMonths[static_cast<std::size_t>(date.month - 1)];
    } else if (c == 'M' && run == 2) {
      out += TwoDigits(date.month);
    } else if (c == 'd' && run == 2) {
      out += TwoDigits(date.day);
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

std::string FakeLocale::FullMonthName(int month) {
  return kFullMonths[static_cast<std::size_t>(month - 1)];
}

std::string FakeLocale::ToUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string FakeLocale::FormatNumber(std::string_view plainNumber, int decimals, bool grouped) {
  const double value = std::stod(std::string(plainNumber));
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.erase(0, 1);
  const std::size_t point = text.find('.');
  std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  if (grouped) {
    for (int at = static_cast<int>(whole.size()) - 3; at > 0; at -= 3)
      whole.insert(static_cast<std::size_t>(at), groupSeparator);
  }
  std::string out =
      negative && (whole != "0" || fraction.find_first_not_of('0') != std::string::npos)
          ? "-" + whole
          : whole;
  if (decimals > 0) out += decimalSeparator + fraction;
  return out;
}

std::vector<std::uint8_t> BuildIfTable(const std::vector<FakeRow>& rows) {
  std::vector<std::uint8_t> table(iftable::kRowCountSize + rows.size() * iftable::kRowSize, 0);
  PutU32(table.data(), static_cast<std::uint32_t>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::uint8_t* row = table.data() + iftable::kRowCountSize + i * iftable::kRowSize;
    const FakeRow& source = rows[i];
    PutU32(row + iftable::kOffsetType, source.type);
    PutU32(row + iftable::kOffsetInOctets, source.inOctets);
    PutU32(row + iftable::kOffsetOutOctets, source.outOctets);
    const std::size_t copied = std::min(source.description.size(), iftable::kDescrMax);
    std::memcpy(row + iftable::kOffsetDescr, source.description.data(), copied);
    const auto length = source.descrLen.value_or(
        static_cast<std::uint32_t>(std::min(copied + 1, iftable::kDescrMax)));
    PutU32(row + iftable::kOffsetDescrLen, length);
  }
  return table;
}

std::uint32_t ScriptedIfTable::GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool) {
  ++calls;
  if (notSupported) return platform::kErrorNotSupported;
  if (sizeQueryFails && buffer == nullptr) return 87;
  const std::vector<std::uint8_t> table = BuildIfTable(rows);
  const auto needed = static_cast<std::uint32_t>(table.size());
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    return platform::kErrorInsufficientBuffer;
  }
  if (secondCallFails) return platform::kErrorInsufficientBuffer;
  std::memcpy(buffer, table.data(), table.size());
  *size = needed;
  return platform::kNoError;
}

}  // namespace trafimo::testing
