// Files the person chooses and the program writes: the Save As dialog and a whole file written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/messages.h"

namespace trafimo::platform {

class Files {
 public:
  virtual ~Files() = default;
  // The standard Save As dialog, modal to `owner`, offering `defaultName` (a CSV file); the path
  // chosen, or nothing when the person cancelled.
  virtual std::optional<std::string> AskSavePath(OwnerWindow owner,
                                                 std::string_view defaultName) = 0;
  // Writes `contents` as the whole file at `path`. A file already there is replaced only by a
  // complete new one: false, and the old file as it was, when it could not be written.
  virtual bool WriteWholeFile(std::string_view path, std::string_view contents) = 0;
};

}  // namespace trafimo::platform
