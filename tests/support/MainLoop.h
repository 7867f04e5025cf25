#pragma once

#include <glib.h>

#include <chrono>
#include <functional>

namespace testsupport {

// Runs the default GLib main context until done() holds or timeout has passed; returns done().
inline bool runMainLoopUntil(const std::function<bool()>& done,
                             std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // A short tick wakes the loop so the deadline is noticed while nothing else happens.
  guint tick = g_timeout_add(20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
  }
  g_source_remove(tick);
  return done();
}

// Runs the default main context for duration, whatever happens.
inline void runMainLoopFor(std::chrono::milliseconds duration) {
  runMainLoopUntil([] { return false; }, duration);
}

}  // namespace testsupport
