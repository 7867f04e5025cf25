#include "platform/ui/Backend.h"

#include <cstdlib>

namespace platform::ui::detail {

std::string namedDisplays() {
  std::string named;
  for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    if (!named.empty()) named += ", ";
    named += std::string(name) + "=" + value;
  }
  return named;
}

namespace {

std::unique_ptr<Backend> chooseBackend() {
  // Without a display variable the toolkit is not even initialised: unattended runs start fast
  // and never wait for a window nobody can see.
  const std::string named = namedDisplays();
  if (named.empty()) return makeHeadlessBackend("No display: running without windows");
  if (std::unique_ptr<Backend> gtk = makeGtkBackend()) return gtk;
  return makeHeadlessBackend("Cannot open the display (" + named + "): running without windows");
}

}  // namespace

Backend& backend() {
  static std::unique_ptr<Backend> sBackend = chooseBackend();
  return *sBackend;
}

}  // namespace platform::ui::detail
