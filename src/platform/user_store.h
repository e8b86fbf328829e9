// The per-user application settings store: text values addressed by section and key within
// one application area ("Trafimo"), read with a default, written, erased as a whole.
#pragma once

#include <string>
#include <string_view>

namespace trafimo::platform {

class UserStore {
 public:
  virtual ~UserStore() = default;
  virtual std::string Read(std::string_view section, std::string_view key,
                           std::string_view defaultValue) = 0;
  // False when the value could not be written.
  virtual bool Write(std::string_view section, std::string_view key, std::string_view value) = 0;
  // Deletes the whole application area. Erasing an area that does not exist succeeds.
  virtual bool EraseAll() = 0;
};

}  // namespace trafimo::platform
