// Task on posix_spawn, waited for on the loop of TerminationSignals.
#include "platform/Task.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <memory>

#include "platform/TerminationSignals.h"
#include "platform/ToolkitEnvironment.h"

namespace platform {
namespace {

// Shell conventions for a program that could not be started.
constexpr int kStatusNotFound = 127;
constexpr int kStatusCannotExecute = 126;
// A child that ended neither by exit nor by a signal counts as failed.
constexpr int kStatusUnknown = 1;
// Where a child started from a descriptor finds its program file.
constexpr int kChildProgramDescriptor = 3;
constexpr const char* kChildProgramPath = "/proc/self/fd/3";

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

struct SpawnAttrDeleter {
  void operator()(posix_spawnattr_t* attributes) const { posix_spawnattr_destroy(attributes); }
};

int statusFromWaitStatus(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return kStatusUnknown;
}

}  // namespace

Task::Task(std::string launchPath, std::vector<std::string> arguments)
    : launchPath_(std::move(launchPath)), arguments_(std::move(arguments)) {}

Task::~Task() = default;

bool Task::launch() { return spawn(launchPath_, -1); }

bool Task::launchFromDescriptor(const FileDescriptor& program) {
  // An invalid descriptor must not fall back to descriptor 3 of whatever the child inherits.
  if (!program) {
    if (!launched_) {
      launched_ = true;
      ended_ = true;
      status_ = kStatusCannotExecute;
    }
    return false;
  }
  return spawn(kChildProgramPath, program.get());
}

bool Task::spawn(const std::string& executablePath, int programDescriptor) {
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
  int firstClosed = kChildProgramDescriptor;
  if (programDescriptor >= 0) {
    // The copy dup2 makes is not closed on exec; when the file is descriptor 3 here already,
    // dup2 onto itself clears the flag instead (glibc 2.29 and later, as POSIX now asks).
    posix_spawn_file_actions_adddup2(&actions, programDescriptor, kChildProgramDescriptor);
    firstClosed = kChildProgramDescriptor + 1;
  }
  posix_spawn_file_actions_addclosefrom_np(&actions, firstClosed);

  // An ignored signal stays ignored across exec: the child gets SIGPIPE back as every program
  // expects it, whatever this process does with it.
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) {
    ended_ = true;
    status_ = kStatusCannotExecute;
    return false;
  }
  std::unique_ptr<posix_spawnattr_t, SpawnAttrDeleter> attributesOwner(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  // The environment as this program received it, not as it was adjusted for the toolkit.
  std::vector<std::string> environment = receivedEnvironment();
  std::vector<char*> envp;
  envp.reserve(environment.size() + 1);
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);

  detail::watchSignalsForChildren();
  pid_t pid = 0;
  // glibc reports a failed exec (missing file, no execute permission) as the result of
  // posix_spawn itself, so nothing of a failed start reaches the child's status.
  const int error =
      ::posix_spawn(&pid, executablePath.c_str(), &actions, &attributes, argv.data(), envp.data());
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
  ended_ = true;
  status_ = statusFromWaitStatus(detail::waitForChild(pid_));
}

}  // namespace platform
