#pragma once

#include <glib.h>

#include <chrono>
#include <functional>
#include <utility>

// Turning the default GLib main context from a test, which owns the only loop of its process.
namespace testsupport {

// Runs the default main context until done() holds or timeout has passed; returns done().
inline bool runMainLoopUntil(const std::function<bool()>& done,
                             std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // A short tick wakes the loop so the deadline, and a condition that no source of the loop
  // changes (a file another process writes), are noticed while nothing else happens.
  guint tick = g_timeout_add(
      20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
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

// Dispatches whatever is ready in the default main context, until nothing is.
inline void drainLoop() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

// Runs action once from the main loop after delay milliseconds: how a test presses a button
// while a modal loop is running.
inline void runLater(unsigned delay, std::function<void()> action) {
  auto* pending = new std::function<void()>(std::move(action));
  g_timeout_add_full(
      G_PRIORITY_DEFAULT, delay,
      [](gpointer data) -> gboolean {
        (*static_cast<std::function<void()>*>(data))();
        return G_SOURCE_REMOVE;
      },
      pending, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

}  // namespace testsupport
