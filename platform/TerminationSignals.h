#pragma once

#include <sys/types.h>

#include <csignal>
#include <functional>

namespace platform {

// SIGTERM, SIGINT and SIGHUP: the signals that ask the program to stop.
inline constexpr int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// From now on a termination signal no longer kills the process on the spot: handler runs on
// the main loop (nested modal loops included) with the signal's number, so the program can
// remove what it created before it exits. SIGPIPE is ignored, so that writing to a closed
// stream fails instead of killing the process. Call once, from the main thread.
void handleTerminationSignals(std::function<void(int signalNumber)> handler);

// The first termination signal that arrived while a Task waited for its child (the child was
// passed the signal and waited for); 0 when none did. Whoever ran the child ends the program on
// it once the child has gone.
int pendingTerminationSignal();

// Ends the program at once as if signalNumber had arrived, for an end that cannot wait for the
// main loop (the toolkit ends the process as soon as it has found its display gone): the
// handler given to handleTerminationSignals runs now; without one, or should it return, the
// process exits with 128 + signalNumber. Never returns.
[[noreturn]] void stopAsIfSignalled(int signalNumber);

namespace detail {
// For Task: watches the termination signals for child waits from now on. Called before a child
// starts, so that a signal sent the moment it starts is not missed.
void watchSignalsForChildren();
// For Task: blocks until the child pid has ended and returns its wait status. Meanwhile only
// this wait runs (not the main loop); termination signals are passed on to the child and
// recorded for pendingTerminationSignal.
int waitForChild(pid_t pid);
}  // namespace detail

}  // namespace platform
