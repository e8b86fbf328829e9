// In-memory stand-ins for the platform services, for the tests. Each can be told to fail the way
// the real one can.
#pragma once

#include <strings.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace trafimo::testing {

// Case-insensitive ordering, as the registry compares key and value names.
struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};

struct FakeRegValue {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

// Registry hives in memory. Keys are full paths, the root key's number first; a path's parents
// exist once a child was created.
class FakeRegistry : public platform::Registry {
 public:
  // Refuse (access denied) every create, set and delete under this root, as HKLM refuses a
  // standard user.
  std::set<platform::RegKeyHandle> readOnlyRoots;

  // Direct access for arranging and checking.
  void Put(platform::RegKeyHandle root, const std::string& subKey, const std::string& name,
           std::uint32_t type, std::vector<std::uint8_t> data) {
    keys_[AddKey(Path(root, subKey))][name] = FakeRegValue{type, std::move(data)};
  }
  void PutText(platform::RegKeyHandle root, const std::string& subKey, const std::string& name,
               const std::string& text, std::uint32_t type = platform::kRegExpandSz) {
    Put(root, subKey, name, type, {text.c_str(), text.c_str() + text.size() + 1});
  }
  const FakeRegValue* Get(platform::RegKeyHandle root, const std::string& subKey,
                          const std::string& name) const {
    const auto key = keys_.find(Path(root, subKey));
    return key == keys_.end() || !key->second.count(name) ? nullptr : &key->second.at(name);
  }
  // The stored text without its terminating NUL; "<missing>" when there is no such value.
  std::string GetText(platform::RegKeyHandle root, const std::string& subKey,
                      const std::string& name) const {
    const FakeRegValue* value = Get(root, subKey, name);
    if (value == nullptr) return "<missing>";
    std::string text(value->data.begin(), value->data.end());
    return text.empty() || text.back() != '\0' ? text : text.substr(0, text.size() - 1);
  }
  bool KeyExists(platform::RegKeyHandle root, const std::string& subKey) const {
    return keys_.count(Path(root, subKey)) != 0;
  }

  long OpenKey(platform::RegKeyHandle root, std::string_view subKey, std::uint32_t,
               platform::RegKeyHandle& key) override {
    return Open(root, subKey, false, key);
  }
  long CreateKey(platform::RegKeyHandle root, std::string_view subKey, std::uint32_t,
                 platform::RegKeyHandle& key) override {
    return Open(root, subKey, true, key);
  }
  long QueryValue(platform::RegKeyHandle key, std::string_view valueName, std::uint32_t* type,
                  std::uint8_t* data, std::uint32_t* size) override {
    Values* values = ValuesOf(key);
    if (values == nullptr) return platform::kErrorInvalidParameter;
    const auto value = values->find(std::string(valueName));
    if (value == values->end()) return platform::kErrorFileNotFound;
    if (type != nullptr) *type = value->second.type;
    const auto needed = static_cast<std::uint32_t>(value->second.data.size());
    const bool fits = data != nullptr && *size >= needed;
    if (fits) std::copy(value->second.data.begin(), value->second.data.end(), data);
    if (size != nullptr) *size = needed;
    return fits || data == nullptr ? platform::kErrorSuccess : platform::kErrorMoreData;
  }
  long EnumKey(platform::RegKeyHandle key, std::uint32_t index, std::string& name) override {
    if (!handles_.count(key)) return platform::kErrorInvalidParameter;
    const std::string& parent = handles_.at(key).second;
    for (const auto& [path, values] : keys_) {
      const bool child = IsSameOrBelow(path, parent) && path.size() > parent.size() &&
                         path.find('\\', parent.size() + 1) == std::string::npos;
      if (child && index-- == 0) {
        name = path.substr(parent.size() + 1);
        return platform::kErrorSuccess;
      }
    }
    return platform::kErrorNoMoreItems;
  }
  long EnumValue(platform::RegKeyHandle key, std::uint32_t index, std::string& name,
                 std::uint32_t& type, std::vector<std::uint8_t>& data) override {
    Values* values = ValuesOf(key);
    if (values == nullptr) return platform::kErrorInvalidParameter;
    if (index >= values->size()) return platform::kErrorNoMoreItems;
    const auto& [valueName, value] = *std::next(values->begin(), index);
    name = valueName, type = value.type, data = value.data;
    return platform::kErrorSuccess;
  }
  long SetValue(platform::RegKeyHandle key, std::string_view valueName, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override {
    Values* values = ValuesOf(key, true);
    if (values == nullptr) return platform::kErrorAccessDenied;
    (*values)[std::string(valueName)] = FakeRegValue{type, {data, data + size}};
    return platform::kErrorSuccess;
  }
  long DeleteValue(platform::RegKeyHandle key, std::string_view valueName) override {
    Values* values = ValuesOf(key, true);
    if (values == nullptr) return platform::kErrorAccessDenied;
    return values->erase(std::string(valueName)) ? platform::kErrorSuccess
                                                 : platform::kErrorFileNotFound;
  }
  // Deletes the key with everything below it (where RegDeleteKey would refuse a key with
  // subkeys: the program never asks that of it).
  long DeleteKey(platform::RegKeyHandle root, std::string_view subKey) override {
    return DeleteTree(root, subKey);
  }
  long DeleteTree(platform::RegKeyHandle root, std::string_view subKey) override {
    const std::string path = Path(root, subKey);
    if (!keys_.count(path)) return platform::kErrorFileNotFound;
    if (readOnlyRoots.count(root)) return platform::kErrorAccessDenied;
    std::erase_if(keys_, [&](const auto& key) { return IsSameOrBelow(key.first, path); });
    return platform::kErrorSuccess;
  }
  long CloseKey(platform::RegKeyHandle key) override {
    return handles_.erase(key) ? platform::kErrorSuccess : platform::kErrorInvalidParameter;
  }

 private:
  using Values = std::map<std::string, FakeRegValue, NoCaseLess>;

  static std::string Path(platform::RegKeyHandle root, std::string_view subKey) {
    while (!subKey.empty() && subKey.back() == '\\')
      subKey.remove_suffix(1);
    const std::string top = std::to_string(root);
    return subKey.empty() ? top : top + "\\" + std::string(subKey);
  }
  // Whether `path` is `top` or a key below it.
  static bool IsSameOrBelow(const std::string& path, const std::string& top) {
    return strncasecmp(path.c_str(), top.c_str(), top.size()) == 0 &&
           (path.size() == top.size() || path[top.size()] == '\\');
  }
  const std::string& AddKey(const std::string& path) {
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
      keys_.try_emplace(path.substr(0, at));
    return keys_.try_emplace(path).first->first;
  }
  long Open(platform::RegKeyHandle root, std::string_view subKey, bool create,
            platform::RegKeyHandle& key) {
    key = 0;
    const std::string path = Path(root, subKey);
    if (!keys_.count(path) && (!create || readOnlyRoots.count(root)))
      return create ? platform::kErrorAccessDenied : platform::kErrorFileNotFound;
    AddKey(path);
    key = nextHandle_++;
    handles_[key] = {root, path};
    return platform::kErrorSuccess;
  }
  // The values of an open key; null for a bad handle, and with `writing` under a root that
  // refuses changes.
  Values* ValuesOf(platform::RegKeyHandle key, bool writing = false) {
    const auto handle = handles_.find(key);
    if (handle == handles_.end()) return nullptr;
    const auto& [root, path] = handle->second;
    return !keys_.count(path) || (writing && readOnlyRoots.count(root)) ? nullptr : &keys_.at(path);
  }

  std::map<std::string, Values, NoCaseLess> keys_;
  // Each open key's root and path.
  std::map<platform::RegKeyHandle, std::pair<platform::RegKeyHandle, std::string>> handles_;
  platform::RegKeyHandle nextHandle_ = 0x1000;
};

// The per-user store in memory.
class MemoryUserStore : public platform::UserStore {
 public:
  std::map<std::string, std::map<std::string, std::string, NoCaseLess>, NoCaseLess> sections;
  int writes = 0;

  std::string Read(std::string_view section, std::string_view key,
                   std::string_view defaultValue) override {
    const auto s = sections.find(std::string(section));
    if (s == sections.end() || !s->second.count(std::string(key))) return std::string(defaultValue);
    return s->second.at(std::string(key));
  }
  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    ++writes;
    sections[std::string(section)][std::string(key)] = std::string(value);
    return true;
  }
  bool EraseAll() override {
    sections.clear();
    return true;
  }
  std::vector<std::string> Sections() override {
    std::vector<std::string> names;
    for (const auto& section : sections)
      names.push_back(section.first);
    return names;
  }
  std::vector<platform::StoredValue> ReadSection(std::string_view section) override {
    const auto found = sections.find(std::string(section));
    if (found == sections.end()) return {};
    return {found->second.begin(), found->second.end()};
  }
};

class FakeClock : public platform::Clock {
 public:
  platform::LocalTime now{2026, 12, 6, 12, 0, 0};
  std::uint64_t monotonicMs = 1'000'000;
  platform::LocalTime Now() override { return now; }
  std::uint64_t MonotonicMs() override { return monotonicMs; }

  void Set(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
    now = {year, month, day, hour, minute, second};
  }
  // Steps the date and time by whole seconds across days, months and years; the monotonic clock
  // moves on by as much (it never goes back: a negative step leaves it where it is).
  void Advance(long long seconds);
};

// English month names, "," grouping by thousands ("3;0") and "." as the decimal point, unless
// changed.
class FakeLocale : public platform::Locale {
 public:
  std::array<std::string, 12> monthNames = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  std::string decimalSeparator = ".";
  bool numberFormatFails = false;

  // The pictures the program uses: "yyyyMMM", "yyyyMMMdd" and "ddd d MMM".
  std::string FormatDate(const platform::LocalTime& date, std::string_view picture) override;
  std::string FullMonthName(int month) override;
  std::string ToUpper(std::string_view text) override;
  platform::NumberSettings UserNumberSettings() override { return {decimalSeparator, ","}; }
  // GetNumberFormat as it treats the format: groups of three (any grouping but 0), the leading
  // zero and the negative order (0 brackets, 1 leading "-").
  std::optional<std::string> FormatNumber(std::string_view plainNumber,
                                          const platform::NumberFormat& format) override;
};

// Records every message shown and answers from a script (OK when the script is empty).
class FakeMessages : public platform::Messages {
 public:
  struct Shown {
    std::string text, title;
    platform::OwnerWindow owner = platform::kNoOwner;
  };
  std::vector<Shown> shown;
  std::deque<int> answers;
  // What happens while a box is up (what the user does behind it).
  std::function<void(const Shown&)> whileShown;

  int Show(platform::OwnerWindow owner, std::string_view text, std::string_view title,
           std::uint32_t) override {
    shown.push_back({std::string(text), std::string(title), owner});
    if (whileShown) whileShown(shown.back());
    if (answers.empty()) return platform::kIdOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// Thrown where the real program would end the process.
struct ProcessEnded {};

class FakeProcess : public platform::Process {
 public:
  int ends = 0;
  [[noreturn]] void EndNow() override {
    ++ends;
    throw ProcessEnded{};
  }
  std::string ExePath() override { return "C:\\Tools\\trafimo.exe"; }
};

// Records what the shell was asked to open, and for which window.
class FakeShell : public platform::Shell {
 public:
  struct Call {
    platform::WindowHandle owner;
    std::string file;
  };
  std::vector<Call> calls;
  std::intptr_t Execute(platform::WindowHandle owner, std::string_view, std::string_view file,
                        std::string_view, std::string_view, int) override {
    calls.push_back({owner, std::string(file)});
    return 2;  // as if no browser were found: the result must not matter
  }
};

// Files in memory: the path the Save As dialog answers with, and what was written where.
class MemoryFiles : public platform::Files {
 public:
  std::optional<std::string> chosenPath = "C:\\Users\\me\\Documents\\usage.csv";
  bool writesFail = false;
  std::map<std::string, std::string> written;

  std::optional<std::string> AskSavePath(platform::OwnerWindow, std::string_view) override {
    return chosenPath;
  }
  bool WriteWholeFile(std::string_view path, std::string_view contents) override {
    if (!writesFail) written[std::string(path)] = std::string(contents);
    return !writesFail;
  }
};

// One row of a scripted interface table. GetIfTable shows the counters' low 32 bits.
struct FakeRow {
  std::string description;
  std::uint64_t inOctets = 0, outOctets = 0;
  std::uint32_t type = 6;
  // The description length as the table states it; by default it counts a trailing NUL.
  std::optional<std::uint32_t> descrLen{};
  // GetIfTable2's flags; the index is the row's position from 1 when left 0. The LUID is made
  // from the type and the index.
  bool filter = false, hardware = true;
  std::uint32_t index = 0;
  std::string physicalAddress{};
  std::uint64_t receiveLinkSpeed = 0, transmitLinkSpeed = 0;
};

// The rows of a table saved as tab-separated text (index, type, oper status, in, out, filter,
// hardware, connector, description, physical address as "3C-91-80-4A-7E-21"; '#' comments and a
// header line), as tests/data holds them.
std::vector<FakeRow> LoadIfTableFile(const std::string& name);

// Builds a MIB_IFTABLE buffer.
std::vector<std::uint8_t> BuildIfTable(const std::vector<FakeRow>& rows);

// An interface table that answers from the rows it holds, or that the system lacks.
class ScriptedIfTable : public platform::IfTableSource {
 public:
  std::vector<FakeRow> rows;
  bool notSupported = false;  // GetIfTable's size query answers 50
  bool hasIfTable2 = true;    // a system with GetIfTable2 (Vista and later)
  int calls = 0;

  std::uint32_t GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool order) override;
  std::uint32_t GetIfTable2(std::vector<platform::IfRow2>& rows) override;
};

// A complete set of stand-ins, wired as a Platform.
struct FakePlatform {
  FakeRegistry registry;
  MemoryUserStore userStore;
  ScriptedIfTable ifTable;
  FakeClock clock;
  FakeLocale locale;
  FakeMessages messages;
  FakeProcess process;
  FakeShell shell;
  MemoryFiles files;
  platform::Platform platform{registry, userStore, ifTable, clock, locale,
                              messages, process,   shell,   files};
};

}  // namespace trafimo::testing
