// The program's entry, apart from the application object: only a program that defines
// loadMainInterface links it.
#include <glib.h>

#include "platform/ProcessInfo.h"
#include "platform/ToolkitEnvironment.h"
#include "platform/ui/Application.h"
#include "platform/ui/Backend.h"

namespace platform::ui {

int applicationMain(int argc, char** argv) {
  // First of all: GLib keeps the data folders it reads the first time it is asked.
  prepareToolkitEnvironment();
  ProcessInfo::setArguments(argc, argv);
  detail::backend();
  static std::unique_ptr<MainInterface> sInterface = loadMainInterface();
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      [](gpointer) -> gboolean {
        sInterface->delegate().applicationDidFinishLaunching();
        return G_SOURCE_REMOVE;
      },
      nullptr, nullptr);
  Application::shared().run();
  return 0;
}

}  // namespace platform::ui
