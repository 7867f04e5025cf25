#pragma once

#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"

namespace platform::ui {

// The objects of one interface resource (a GtkBuilder file compiled into the program), looked up
// by their identifiers. It owns them; they live as long as the resource object.
class InterfaceResource {
 public:
  virtual ~InterfaceResource() = default;

  // Loads the resource called name ("MainInterface", "ErrorDialog") with the backend chosen at
  // start-up (the toolkit when a display could be opened, otherwise headless); null when it
  // is not built into the program or does not parse.
  [[nodiscard]] static std::unique_ptr<InterfaceResource> load(const std::string& name);

  // The object with identifier id and of the asked kind; null when there is none.
  virtual Window* window(const std::string& id) = 0;
  virtual Button* button(const std::string& id) = 0;
  virtual Label* label(const std::string& id) = 0;
  virtual ProgressIndicator* progressIndicator(const std::string& id) = 0;
  virtual TextView* textView(const std::string& id) = 0;
};

// The standard application-modal alert: title, text and one button titled buttonTitle. Returns
// when the button has been pressed; headless, it writes title and text to standard error and
// returns at once.
void runAlertPanel(const std::string& title, const std::string& text,
                   const std::string& buttonTitle);

}  // namespace platform::ui
