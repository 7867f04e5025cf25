#pragma once

#include <gio/gio.h>

#include <chrono>

namespace testsupport {

// A GProxyResolver of the tests' own, standing for a desktop whose PAC script takes its time:
// each question is answered "http://late-proxy.example:3128" after delay, unless its
// cancellable was cancelled by then (it is then answered as cancelled, and counted).
struct LateProxyResolver {
  GObject parent;
  guint delayMs;
  int lookups;  // questions asked
  int cancels;  // questions found cancelled when their answer was due
};

// A new resolver (one reference, the caller's: g_object_unref it) answering after delay.
LateProxyResolver* newLateProxyResolver(std::chrono::milliseconds delay);

}  // namespace testsupport
