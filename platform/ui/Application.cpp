#include "platform/ui/Application.h"

#include <glib.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdio>

#include "platform/ui/Backend.h"

// The leak check of sanitizer builds runs at exit; terminate skips that exit, so it asks for
// the check itself.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define ZANTH_LEAK_CHECK_AT_TERMINATE 1
#endif
#endif
#if !defined(ZANTH_LEAK_CHECK_AT_TERMINATE) && defined(__SANITIZE_ADDRESS__)
#define ZANTH_LEAK_CHECK_AT_TERMINATE 1
#endif
#ifdef ZANTH_LEAK_CHECK_AT_TERMINATE
#include <sanitizer/lsan_interface.h>
#endif

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
  // Called from inside the delegate's and the downloader's methods, with the toolkit's objects
  // in use: running the static destructors (as exit does) would destroy them under their own
  // callers. Only what the process owes the outside is finished: its output and its log.
  std::fflush(stdout);
  std::fflush(stderr);
  ::closelog();
#ifdef ZANTH_LEAK_CHECK_AT_TERMINATE
  // What the statics still hold is reachable, so it is not reported; anything else is a leak.
  __lsan_do_leak_check();
#endif
  ::_exit(code);
}

bool Application::hasDisplay() const { return detail::backend().hasDisplay(); }

int Application::runModalForWindow(Window& window) {
  return detail::backend().runModalForWindow(window);
}

void Application::stopModalWithCode(int code) { detail::backend().stopModalWithCode(code); }

}  // namespace platform::ui
