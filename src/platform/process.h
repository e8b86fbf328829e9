// Ending the process at once, and what the process knows about itself.
#pragma once

#include <string>

namespace trafimo::platform {

class Process {
 public:
  virtual ~Process() = default;
  // Ends the process at once; nothing after it runs. Stand-ins throw instead.
  [[noreturn]] virtual void EndNow() = 0;
  // The program's full path ("C:\Tools\trafimo.exe").
  virtual std::string ExePath() = 0;
};

}  // namespace trafimo::platform
