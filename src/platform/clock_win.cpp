#include "platform/platform_win.h"

namespace trafimo::win {

platform::LocalTime Win32Clock::Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::uint64_t Win32Clock::MonotonicMs() {
  return GetTickCount64();
}

}  // namespace trafimo::win
