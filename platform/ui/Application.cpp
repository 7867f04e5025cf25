#include "platform/ui/Application.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>

#include "platform/ui/Backend.h"

namespace platform::ui {

Application& Application::shared() {
  static Application sApplication;
  return sApplication;
}

void Application::run() {
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  g_main_loop_run(loop);
  g_main_loop_unref(loop);
}

void Application::terminate(int code) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::exit(code);
}

bool Application::hasDisplay() const { return detail::backend().hasDisplay(); }

int Application::runModalForWindow(Window& window) {
  return detail::backend().runModalForWindow(window);
}

void Application::stopModalWithCode(int code) { detail::backend().stopModalWithCode(code); }

}  // namespace platform::ui
