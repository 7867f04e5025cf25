#include "platform/ui/Backend.h"

#include <cstdlib>

namespace platform::ui::detail {

namespace {

bool displayConfigured() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

std::unique_ptr<Backend> chooseBackend() {
  // Without a display variable the toolkit is not even initialised: unattended runs start fast
  // and never wait for a window nobody can see.
  if (displayConfigured()) {
    if (std::unique_ptr<Backend> gtk = makeGtkBackend()) return gtk;
  }
  return makeHeadlessBackend();
}

}  // namespace

Backend& backend() {
  static std::unique_ptr<Backend> sBackend = chooseBackend();
  return *sBackend;
}

}  // namespace platform::ui::detail
