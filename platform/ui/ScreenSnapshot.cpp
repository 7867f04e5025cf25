#include "platform/ui/ScreenSnapshot.h"

#include "platform/ui/Backend.h"

namespace platform::ui {

bool writeScreenSnapshot(const std::string& pngPath) {
  return detail::backend().writeScreenSnapshot(pngPath);
}

}  // namespace platform::ui
