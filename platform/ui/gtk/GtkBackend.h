#pragma once

#include <gtk/gtk.h>

#include <vector>

#include "platform/ui/Backend.h"

namespace platform::ui::gtk {

// The GTK 3 backend: windows from GtkBuilder resources, modal loops as nested GLib main loops
// on the default context (so the toolkit's events keep flowing), and a built-in alert window.
class GtkBackend : public detail::Backend {
 public:
  bool hasDisplay() const override { return true; }
  std::unique_ptr<InterfaceResource> load(std::string_view document) override;
  int runModalForWindow(Window& window) override;
  void stopModalWithCode(int code) override;
  void runAlertPanel(const std::string& title, const std::string& text,
                     const std::string& buttonTitle) override;
  bool writeScreenSnapshot(const std::string& pngPath) override;

  // The user asked to close window from its frame, or it was destroyed from outside: it is
  // hidden, and a modal loop running for it ends with kModalResponseAbort.
  void windowCloseRequested(GtkWindow* window);

  // Whether the connection to the display was lost; from then on no window is touched again.
  bool displayLost() const { return displayLost_; }
  // The toolkit has lost its display and will end the process once its handler returns: ends
  // the run now as a hang-up does (TerminationSignals.h), writing why to standard error.
  [[noreturn]] void loseDisplay();

 private:
  struct ModalSession {
    GMainLoop* loop;
    GtkWindow* window;
    int code;
  };
  // Shows window modally and runs a nested loop until stopModalWithCode or a close request.
  int runModal(GtkWindow* window);

  std::vector<ModalSession*> modalSessions_;  // innermost last
  bool displayLost_ = false;
};

}  // namespace platform::ui::gtk
