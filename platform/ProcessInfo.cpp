#include "platform/ProcessInfo.h"

#include <unistd.h>

#include <climits>

namespace platform {
namespace {
std::vector<std::string>& storage() {
  static std::vector<std::string> sArguments;
  return sArguments;
}
}  // namespace

void ProcessInfo::setArguments(int argc, const char* const* argv) {
  // Arguments are kept as raw bytes: a directory after "-location" must survive unchanged.
  storage().assign(argv, argv + argc);
}

const std::vector<std::string>& ProcessInfo::arguments() { return storage(); }

std::string ProcessInfo::executablePath() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace platform
