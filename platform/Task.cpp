// Task on posix_spawn and waitpid.
#include "platform/Task.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

extern char** environ;

namespace platform {
namespace {

// Shell conventions for a program that could not be started.
constexpr int kStatusNotFound = 127;
constexpr int kStatusCannotExecute = 126;
// A child whose end could not be collected (someone else reaped it) counts as failed.
constexpr int kStatusUnknown = 1;

int statusForSpawnError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kStatusNotFound;
    default:
      // EACCES, ENOEXEC, EISDIR, ETXTBSY, and resource shortages: the program is there but
      // could not be run.
      return kStatusCannotExecute;
  }
}

struct FileActionsDeleter {
  void operator()(posix_spawn_file_actions_t* actions) const {
    posix_spawn_file_actions_destroy(actions);
  }
};

}  // namespace

Task::Task(std::string launchPath, std::vector<std::string> arguments)
    : launchPath_(std::move(launchPath)), arguments_(std::move(arguments)) {}

Task::~Task() = default;

bool Task::launch() {
  if (launched_) return pid_ > 0;
  launched_ = true;

  std::vector<char*> argv;
  argv.reserve(arguments_.size() + 2);
  argv.push_back(launchPath_.data());
  for (std::string& argument : arguments_) argv.push_back(argument.data());
  argv.push_back(nullptr);

  // Only the standard streams are handed on: descriptors of downloads, sockets or the log
  // shim that are still open here must not leak into the installer.
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    ended_ = true;
    status_ = kStatusCannotExecute;
    return false;
  }
  std::unique_ptr<posix_spawn_file_actions_t, FileActionsDeleter> actionsOwner(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);

  pid_t pid = 0;
  // glibc reports a failed exec (missing file, no execute permission) as the result of
  // posix_spawn itself, so nothing of a failed start reaches the child's status.
  const int error =
      ::posix_spawn(&pid, launchPath_.c_str(), &actions, nullptr, argv.data(), environ);
  if (error != 0) {
    ended_ = true;
    status_ = statusForSpawnError(error);
    return false;
  }
  pid_ = pid;
  return true;
}

void Task::waitUntilExit() {
  if (!isRunning()) return;
  int status = 0;
  pid_t result;
  do {
    result = ::waitpid(pid_, &status, 0);
  } while (result < 0 && errno == EINTR);
  ended_ = true;
  if (result != pid_) {
    status_ = kStatusUnknown;
  } else if (WIFEXITED(status)) {
    status_ = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    status_ = 128 + WTERMSIG(status);
  } else {
    status_ = kStatusUnknown;
  }
}

}  // namespace platform
