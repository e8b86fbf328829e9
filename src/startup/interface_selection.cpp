#include "startup/globals.h"

namespace trafimo {

bool IsInterfaceSelected(std::string_view interfaceList, std::string_view description) {
  if (description.empty()) return false;
  std::string entry(1, ',');
  entry.append(description);
  for (std::size_t at = interfaceList.find(entry); at != std::string_view::npos;
       at = interfaceList.find(entry, at + 1)) {
    const std::size_t after = at + entry.size();
    if (after == interfaceList.size() || interfaceList[after] == ',') return true;
  }
  return false;
}

}  // namespace trafimo
