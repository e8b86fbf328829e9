#include <string>

#include "platform/platform_win.h"

namespace trafimo::win {

int Win32Messages::Show(platform::OwnerWindow owner, std::string_view text, std::string_view title,
                        std::uint32_t style) {
  // An owner that has gone meanwhile would make the box fail: it is then shown unowned.
  HWND window = static_cast<HWND>(owner);
  if (window != nullptr && IsWindow(window) == FALSE) window = nullptr;
  return MessageBoxA(window, std::string(text).c_str(), std::string(title).c_str(), style);
}

}  // namespace trafimo::win
