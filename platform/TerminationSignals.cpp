// Termination signals on GLib loops: glib-unix turns each signal into an ordinary source, so a
// handler may do anything (log, remove files, exit).
//
// Each signal is watched twice: from the main loop (the program's handler) and from the loop a
// child is waited on (passed on to the child). GLib marks every watch of a signal that arrives,
// so a signal that comes while neither loop turns is seen by whichever turns next.
#include "platform/TerminationSignals.h"

#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace platform {
namespace {

std::function<void(int)>& handlerSlot() {
  static std::function<void(int)> sHandler;
  return sHandler;
}

int sPendingSignal = 0;
// The child a signal seen by the wait loop goes to; 0 outside a wait.
pid_t sWaitedChild = 0;

gboolean passOnToChild(gpointer data) {
  const int signalNumber = GPOINTER_TO_INT(data);
  if (sWaitedChild > 0) {
    ::kill(sWaitedChild, signalNumber);
    if (sPendingSignal == 0) sPendingSignal = signalNumber;
  }
  return G_SOURCE_CONTINUE;
}

void watchSignals(GMainContext* context, GSourceFunc callback) {
  for (int signalNumber : kTerminationSignals) {
    GSource* source = g_unix_signal_source_new(signalNumber);
    g_source_set_callback(source, callback, GINT_TO_POINTER(signalNumber), nullptr);
    g_source_attach(source, context);
    g_source_unref(source);
  }
}

// The loop children are waited on; its signal watches live as long as the process.
GMainContext* childWaitContext() {
  static GMainContext* sContext = [] {
    GMainContext* context = g_main_context_new();
    watchSignals(context, passOnToChild);
    return context;
  }();
  return sContext;
}

gboolean callHandler(gpointer data) {
  // The main loop has the signal now: the wait loop's mark of it is stale, and no child started
  // later may be passed a signal that was already handled here.
  sWaitedChild = 0;
  while (g_main_context_iteration(childWaitContext(), FALSE)) {
  }
  if (handlerSlot()) handlerSlot()(GPOINTER_TO_INT(data));
  return G_SOURCE_CONTINUE;
}

struct ChildWait {
  bool ended = false;
  int waitStatus = 0;
};

void onChildEnded(GPid, gint waitStatus, gpointer data) {
  auto* wait = static_cast<ChildWait*>(data);
  wait->ended = true;
  wait->waitStatus = waitStatus;
}

struct SourceDestroy {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};

}  // namespace

void handleTerminationSignals(std::function<void(int)> handler) {
  handlerSlot() = std::move(handler);
  std::signal(SIGPIPE, SIG_IGN);
  detail::watchSignalsForChildren();
  watchSignals(g_main_context_default(), callHandler);
}

int pendingTerminationSignal() { return sPendingSignal; }

void stopAsIfSignalled(int signalNumber) {
  // Once is enough: whatever the first stop set off (the clean-up, the exit) may meet the same
  // fault again.
  static bool sStopping = false;
  if (!sStopping && handlerSlot()) {
    sStopping = true;
    handlerSlot()(signalNumber);
  }
  std::fflush(nullptr);
  ::_exit(128 + signalNumber);
}

namespace detail {

void watchSignalsForChildren() { (void)childWaitContext(); }

int waitForChild(pid_t pid) {
  GMainContext* context = childWaitContext();
  g_main_context_push_thread_default(context);
  ChildWait wait;
  std::unique_ptr<GSource, SourceDestroy> childWatch(g_child_watch_source_new(pid));
  g_source_set_callback(childWatch.get(), G_SOURCE_FUNC(onChildEnded), &wait, nullptr);
  g_source_attach(childWatch.get(), context);
  sWaitedChild = pid;
  while (!wait.ended) g_main_context_iteration(context, TRUE);
  sWaitedChild = 0;
  childWatch.reset();
  g_main_context_pop_thread_default(context);
  return wait.waitStatus;
}

}  // namespace detail

}  // namespace platform
