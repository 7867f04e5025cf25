#pragma once

#include <string>
#include <vector>

namespace platform {

// The process's argument list, element 0 being the program's path as it was started.
// Set once by the application main function before anything reads it.
class ProcessInfo {
 public:
  static void setArguments(int argc, const char* const* argv);
  static const std::vector<std::string>& arguments();
  // The file the system started, as an absolute path, whatever the argument list says (it may
  // be empty); "" when the system cannot tell.
  static std::string executablePath();
};

}  // namespace platform
