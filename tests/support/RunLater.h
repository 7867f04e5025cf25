#pragma once

#include <glib.h>

#include <functional>
#include <utility>

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

// Turns the main loop until done() holds or timeoutMs have passed; returns done().
inline bool spinUntil(const std::function<bool()>& done, unsigned timeoutMs = 5000) {
  const gint64 deadline = g_get_monotonic_time() + gint64{timeoutMs} * 1000;
  while (!done() && g_get_monotonic_time() < deadline) {
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(1000);
  }
  return done();
}
