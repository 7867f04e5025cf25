#include "platform/ui/InterfaceResource.h"

#include "platform/ui/Backend.h"
#include "platform/ui/InterfaceDocuments.h"

namespace platform::ui {

std::unique_ptr<InterfaceResource> InterfaceResource::load(const std::string& name) {
  const std::optional<std::string_view> document = detail::interfaceDocument(name);
  if (!document) return nullptr;
  return detail::backend().load(*document);
}

void runAlertPanel(const std::string& title, const std::string& text,
                   const std::string& buttonTitle) {
  detail::backend().runAlertPanel(title, text, buttonTitle);
}

}  // namespace platform::ui
