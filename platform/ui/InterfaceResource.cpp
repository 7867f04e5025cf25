#include "platform/ui/InterfaceResource.h"

#include <map>
#include <string_view>

#include "platform/ui/Backend.h"

namespace platform::ui {

namespace {

// The registered documents by name. Made on first use: registration runs from static
// constructors.
std::map<std::string, std::string_view, std::less<>>& registeredDocuments() {
  static auto* sDocuments = new std::map<std::string, std::string_view, std::less<>>();
  return *sDocuments;
}

}  // namespace

void registerInterfaceResource(const std::string& name, const char* data, std::size_t size) {
  registeredDocuments()[name] = std::string_view(data, size);
}

std::unique_ptr<InterfaceResource> InterfaceResource::load(const std::string& name) {
  const auto& documents = registeredDocuments();
  const auto found = documents.find(name);
  if (found == documents.end()) return nullptr;
  return detail::backend().load(found->second);
}

void runAlertPanel(const std::string& title, const std::string& text,
                   const std::string& buttonTitle) {
  detail::backend().runAlertPanel(title, text, buttonTitle);
}

}  // namespace platform::ui
