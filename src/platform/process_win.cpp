#include <string>

#include "platform/platform_win.h"

namespace trafimo::win {

void Win32Process::EndNow() {
  ExitProcess(0);
}

std::string Win32Process::ExePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: try again with more room
  }
}

}  // namespace trafimo::win
