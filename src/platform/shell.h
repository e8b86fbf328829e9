// Asking the shell to open a document or address.
#pragma once

#include <cstdint>
#include <string_view>

namespace trafimo::platform {

using WindowHandle = std::uintptr_t;

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteA(owner, operation, file, parameters, directory, show); empty operation and
  // parameters are passed as null. The result is the platform's.
  virtual std::intptr_t Execute(WindowHandle owner, std::string_view operation,
                                std::string_view file, std::string_view parameters,
                                std::string_view directory, int showCommand) = 0;
};

}  // namespace trafimo::platform
