#include <string>

#include "platform/platform_win.h"

namespace trafimo::win {

int Win32Messages::Show(std::string_view text, std::string_view title, std::uint32_t style) {
  return MessageBoxA(nullptr, std::string(text).c_str(), std::string(title).c_str(), style);
}

}  // namespace trafimo::win
