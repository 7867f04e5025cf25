#pragma once

// The toolkit behind the platform::ui classes: GTK 3 when a display could be opened, otherwise
// the headless backend. Chosen once per process; internal to the platform layer.

#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/InterfaceResource.h"
#include "platform/ui/Window.h"

namespace platform::ui::detail {

class Backend {
 public:
  virtual ~Backend() = default;
  virtual bool hasDisplay() const = 0;
  // The objects of a GtkBuilder document; null when it does not parse.
  [[nodiscard]] virtual std::unique_ptr<InterfaceResource> load(std::string_view document) = 0;
  virtual int runModalForWindow(Window& window) = 0;
  virtual void stopModalWithCode(int code) = 0;
  virtual void runAlertPanel(const std::string& title, const std::string& text,
                             const std::string& buttonTitle) = 0;
  // Writes the part of the screen covered by the visible windows to a PNG file; false when
  // nothing is drawn or the file cannot be written.
  [[nodiscard]] virtual bool writeScreenSnapshot(const std::string& pngPath) = 0;
};

// The backend of this process, chosen on the first call: GTK when $DISPLAY or $WAYLAND_DISPLAY
// is set and a display opens, headless otherwise (the toolkit is then not initialised).
Backend& backend();

// The display variables that are set, as "WAYLAND_DISPLAY=wayland-0, DISPLAY=:0"; empty when
// none is.
std::string namedDisplays();

// The GTK backend, or null when no display can be opened.
std::unique_ptr<Backend> makeGtkBackend();
// The headless backend. It writes reason, one line saying why there are no windows, to standard
// error once, before the first thing it would have shown (a window ordered front, a modal
// window, an alert), so a program started from a desktop never goes silent; a run that shows
// nothing writes nothing.
std::unique_ptr<Backend> makeHeadlessBackend(std::string reason);

}  // namespace platform::ui::detail
