#include "platform/ui/InterfaceResource.h"

#include "platform/ui/Backend.h"

namespace platform::ui {

std::unique_ptr<InterfaceResource> InterfaceResource::load(const std::string& name) {
  return detail::backend().load(name);
}

void runAlertPanel(const std::string& title, const std::string& text,
                   const std::string& buttonTitle) {
  detail::backend().runAlertPanel(title, text, buttonTitle);
}

}  // namespace platform::ui
