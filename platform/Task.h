#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/FileDescriptor.h"

namespace platform {

// A child process: one program started with a path and an argument list, waited for
// synchronously. The child inherits the environment as the program received it (see
// ToolkitEnvironment.h), the working directory and the standard streams (descriptors 0, 1 and
// 2; no other descriptor of this process reaches it, except the program's own file after
// launchFromDescriptor). Its argument vector is the launch path followed by the arguments, one
// entry each, passed as they are: no shell, no quoting, no search through PATH.
class Task {
 public:
  Task(std::string launchPath, std::vector<std::string> arguments);
  ~Task();  // does not wait for or stop a child that is still running
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;

  // Starts the child; at most once. Returns false when it could not be started; the task has
  // then ended with status 127 when there is no program at the launch path and 126 when the
  // file there cannot be executed (the shell's conventions).
  [[nodiscard]] bool launch();
  // As launch, but runs the file open as program instead of whatever the launch path names now
  // (the launch path is still the child's first argument). The child gets the file as
  // descriptor 3, not closed on exec, and is started as /proc/self/fd/3: a "#!" script's
  // interpreter opens its script by that name after the exec, so the descriptor has to survive
  // it. Needs /proc; the program must be open for reading and executable.
  [[nodiscard]] bool launchFromDescriptor(const FileDescriptor& program);
  // Blocks until the child has ended (returns at once when it never started or was already
  // waited for). Meanwhile SIGTERM, SIGINT and SIGHUP sent to this process are passed on to the
  // child and recorded for pendingTerminationSignal (TerminationSignals.h); nothing else of
  // this process runs.
  void waitUntilExit();
  // Whether the child was started and has not yet been waited for.
  bool isRunning() const { return pid_ > 0 && !ended_; }
  // The child's exit status once it has ended: its exit code, or 128 + the signal number when
  // a signal killed it, or 126/127 as described at launch. -1 while it has not ended.
  int terminationStatus() const { return ended_ ? status_ : -1; }
  // The child's process id; 0 before a successful launch.
  pid_t processIdentifier() const { return pid_; }

  const std::string& launchPath() const { return launchPath_; }
  const std::vector<std::string>& arguments() const { return arguments_; }

 private:
  // Starts executablePath with programDescriptor (when not negative) as the child's descriptor 3.
  [[nodiscard]] bool spawn(const std::string& executablePath, int programDescriptor);

  std::string launchPath_;
  std::vector<std::string> arguments_;
  pid_t pid_ = 0;
  bool launched_ = false;
  bool ended_ = false;
  int status_ = -1;
};

}  // namespace platform
