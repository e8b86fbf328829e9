#include "support/fakes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "ifstats/ip_helper.h"
#include "platform/number_format.h"

namespace trafimo::testing {

namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

void PutU32(std::uint8_t* at, std::uint32_t value) {
  std::memcpy(at, &value, sizeof value);
}

}  // namespace

void FakeClock::Advance(long long seconds) {
  using namespace std::chrono;
  const sys_seconds at = sys_days{year{now.year} / now.month / now.day} + hours{now.hour} +
                         minutes{now.minute} + std::chrono::seconds{now.second + seconds};
  const sys_days day = floor<days>(at);
  const year_month_day date{day};
  const hh_mm_ss time{at - day};
  const auto i = [](auto value) { return static_cast<int>(value); };
  now = {i(int{date.year()}),     i(unsigned{date.month()}), i(unsigned{date.day()}),
         i(time.hours().count()), i(time.minutes().count()), i(time.seconds().count())};
  if (seconds > 0) monotonicMs += static_cast<std::uint64_t>(seconds) * 1000;
}

std::string FakeLocale::FormatDate(const platform::LocalTime& date, std::string_view picture) {
  using namespace std::chrono;
  const std::string month = FullMonthName(date.month).substr(0, 3);
  if (picture == "ddd d MMM") {
    const weekday day{sys_days{year{date.year} / date.month / date.day}};
    return std::string(kWeekdays[day.c_encoding()]) + ' ' + std::to_string(date.day) + ' ' + month;
  }
  char day[8];
  std::snprintf(day, sizeof day, "%02d", date.day);
  return std::to_string(date.year) + month + (picture == "yyyyMMMdd" ? day : "");
}

std::string FakeLocale::FullMonthName(int month) {
  return monthNames[static_cast<std::size_t>(month - 1)];
}

std::string FakeLocale::ToUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::string> FakeLocale::FormatNumber(std::string_view plainNumber,
                                                    const platform::NumberFormat& format) {
  if (numberFormatFails) return std::nullopt;
  std::string text = platform::RoundedPlainNumber(plainNumber, format.decimals);
  const bool negative = text[0] == '-';
  if (negative) text.erase(0, 1);
  const std::size_t point = std::min(text.find('.'), text.size());
  std::string whole = text.substr(0, point);
  for (std::size_t at = whole.size(); format.grouping != 0 && at > 3; at -= 3)
    whole.insert(at - 3, format.groupSeparator);
  if (whole == "0" && !format.leadingZero) whole.clear();
  text = whole + (point < text.size() ? format.decimalSeparator + text.substr(point + 1) : "");
  if (!negative) return text;
  return format.negativeOrder == 0 ? "(" + text + ")" : "-" + text;
}

std::vector<std::uint8_t> BuildIfTable(const std::vector<FakeRow>& rows) {
  std::vector<std::uint8_t> table(iftable::kRowCountSize + rows.size() * iftable::kRowSize, 0);
  PutU32(table.data(), static_cast<std::uint32_t>(rows.size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    std::uint8_t* row = table.data() + iftable::kRowCountSize + i * iftable::kRowSize;
    const FakeRow& source = rows[i];
    PutU32(row + iftable::kOffsetIndex,
           source.index != 0 ? source.index : static_cast<std::uint32_t>(i + 1));
    PutU32(row + iftable::kOffsetType, source.type);
    PutU32(row + iftable::kOffsetInOctets, static_cast<std::uint32_t>(source.inOctets));
    PutU32(row + iftable::kOffsetOutOctets, static_cast<std::uint32_t>(source.outOctets));
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
  const std::vector<std::uint8_t> table = BuildIfTable(rows);
  const auto needed = static_cast<std::uint32_t>(table.size());
  const bool fits = buffer != nullptr && *size >= needed;
  *size = needed;
  if (!fits) return platform::kErrorInsufficientBuffer;
  std::memcpy(buffer, table.data(), table.size());
  return platform::kNoError;
}

std::uint32_t ScriptedIfTable::GetIfTable2(std::vector<platform::IfRow2>& out) {
  ++calls;
  if (!hasIfTable2) return platform::kErrorProcNotFound;
  out.clear();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const FakeRow& row = rows[i];
    const std::uint32_t index = row.index != 0 ? row.index : static_cast<std::uint32_t>(i + 1);
    const std::uint64_t luid = (std::uint64_t{row.type} << 48) | (std::uint64_t{index} << 24);
    out.push_back({index, luid, row.type, row.filter, row.hardware, row.description,
                   row.physicalAddress, row.inOctets, row.outOctets, row.receiveLinkSpeed,
                   row.transmitLinkSpeed});
  }
  return platform::kNoError;
}

std::vector<FakeRow> LoadIfTableFile(const std::string& name) {
  std::ifstream file(std::string(TRAFIMO_TEST_DATA_DIR) + "/" + name);
  if (!file) throw std::runtime_error("no test table " + name);
  std::vector<FakeRow> rows;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#' || line.rfind("index\t", 0) == 0) continue;
    std::istringstream fields(line);
    FakeRow row;
    unsigned oper = 0, filter = 0, hardware = 0, connector = 0;
    fields >> row.index >> row.type >> oper >> row.inOctets >> row.outOctets >> filter >>
        hardware >> connector;
    fields.ignore(1, '\t');
    std::getline(fields, row.description, '\t');
    std::string address;
    std::getline(fields, address);
    for (std::size_t at = 0; at + 1 < address.size(); at += 3)
      row.physicalAddress += static_cast<char>(std::stoi(address.substr(at, 2), nullptr, 16));
    row.filter = filter != 0;
    row.hardware = hardware != 0;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace trafimo::testing
