// The per-user application settings store: text values addressed by section and key within
// one application area ("Trafimo"), read with a default, written, listed, erased as a whole.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trafimo::platform {

// A key of a section with its text.
using StoredValue = std::pair<std::string, std::string>;

class UserStore {
 public:
  virtual ~UserStore() = default;
  virtual std::string Read(std::string_view section, std::string_view key,
                           std::string_view defaultValue) = 0;
  // False when the value could not be written.
  virtual bool Write(std::string_view section, std::string_view key, std::string_view value) = 0;
  // Deletes the whole application area. Erasing an area that does not exist succeeds.
  virtual bool EraseAll() = 0;
  // The names of the sections there are, in no particular order.
  virtual std::vector<std::string> Sections() = 0;
  // Every text value of a section, in no particular order, read at once; none when the section
  // is missing.
  virtual std::vector<StoredValue> ReadSection(std::string_view section) = 0;
};

}  // namespace trafimo::platform
