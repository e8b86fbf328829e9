
#include <string>

#include "platform/platform_win.h"

#include <shellapi.h>

namespace trafimo::win {

std::intptr_t Win32Shell::Execute(platform::WindowHandle owner, std::string_view operation,
                                  std::string_view file, std::string_view parameters,
                                  std::string_view directory, int showCommand) {
  const std::string op(operation), target(file), params(parameters), folder(directory);
  const HINSTANCE result =
      ShellExecuteA(reinterpret_cast<HWND>(owner), op.empty() ? nullptr : op.c_str(),
                    target.c_str(), params.empty() ? nullptr : params.c_str(),
                    folder.empty() ? nullptr : folder.c_str(), showCommand);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace trafimo::win
