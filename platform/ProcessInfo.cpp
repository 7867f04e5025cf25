#include "platform/ProcessInfo.h"

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

}  // namespace platform
