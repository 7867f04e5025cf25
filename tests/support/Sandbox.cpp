#include "tests/support/Sandbox.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "tests/support/Files.h"

extern char** environ;

namespace testsupport {
namespace fs = std::filesystem;

namespace {

void drain(int& fd, std::string& into) {
  char buffer[65536];
  ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n > 0) {
    into.append(buffer, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    ::close(fd);
    fd = -1;
  }
}

}  // namespace

Sandbox::Sandbox(const std::string& program, const std::string& appName)
    : appName_(appName), programName_("Install " + appName) {
  for (const std::string& folder : {appPath(), home(), dataHome(), dataDir(), configDir(), tmp()}) {
    makeFolders(folder);
  }
  fs::copy_file(program, programPath(), fs::copy_options::overwrite_existing);
  ::chmod(programPath().c_str(), 0755);
}

void Sandbox::setEnv(const std::string& name, const std::string& value) { env_[name] = value; }
void Sandbox::unsetEnv(const std::string& name) { env_[name] = std::nullopt; }

std::vector<std::string> Sandbox::environment() const {
  std::map<std::string, std::string> vars = {
      {"PATH", "/usr/local/bin:/usr/bin:/bin"},
      {"HOME", home()},
      {"TMPDIR", tmp()},
      {"XDG_DATA_HOME", dataHome()},
      {"XDG_DATA_DIRS", dataDir()},
      {"XDG_CONFIG_HOME", home() + "/.config"},
      {"XDG_CONFIG_DIRS", configDir()},
      {"LANG", "C.UTF-8"},
      {"ZANTH_SYSLOG_CAPTURE", root() + "/syslog.txt"},
      {"LD_PRELOAD", ZANTH_SYSLOG_SHIM},
  };
  // Sanitizer settings of the test run reach the program too.
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
    if (const char* value = std::getenv(name)) vars[name] = value;
  }
  // The log shim is preloaded ahead of the AddressSanitizer runtime of a sanitized program, which
  // refuses to start then. The shim is built without sanitizers and replaces only the syslog
  // functions, so every allocation and string function still reaches the sanitizer's
  // interceptors: the order check can be skipped. Programs without ASan ignore the variable.
  std::string& asanOptions = vars["ASAN_OPTIONS"];
  asanOptions += asanOptions.empty() ? "verify_asan_link_order=0" : ":verify_asan_link_order=0";
  for (const auto& [name, value] : env_) {
    if (value) {
      vars[name] = *value;
    } else {
      vars.erase(name);
    }
  }
  std::vector<std::string> list;
  for (const auto& [name, value] : vars) list.push_back(name + "=" + value);
  return list;
}

RunResult Sandbox::run(const std::vector<std::string>& args, std::chrono::seconds timeout) {
  return runProgram(programPath(), args, timeout);
}

RunResult Sandbox::runProgram(const std::string& path, const std::vector<std::string>& args,
                              std::chrono::seconds timeout) {
  std::vector<std::string> argv{path};
  argv.insert(argv.end(), args.begin(), args.end());
  return runWithArgumentVector(path, argv, timeout);
}

RunResult Sandbox::runWithArgumentVector(const std::string& path,
                                         const std::vector<std::string>& arguments,
                                         std::chrono::seconds timeout) {
  int outPipe[2], errPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  posix_spawn_file_actions_addchdir_np(&actions, root().c_str());

  std::vector<std::string> argvStore = arguments;
  std::vector<char*> argv;
  for (auto& a : argvStore) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStore = environment();
  std::vector<char*> envp;
  for (auto& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  pid_t pid = -1;
  int rc = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  RunResult result;
  if (rc != 0) {
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    throw std::runtime_error("cannot start " + path);
  }

  int fds[2] = {outPipe[0], errPipe[0]};
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (fds[0] >= 0 || fds[1] >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      ::kill(pid, SIGKILL);
      break;
    }
    pollfd polls[2] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}};
    if (::poll(polls, 2, static_cast<int>(std::min<long>(left.count(), 1000))) < 0 &&
        errno != EINTR) {
      break;
    }
    if (fds[0] >= 0 && (polls[0].revents & (POLLIN | POLLHUP | POLLERR))) drain(fds[0], result.out);
    if (fds[1] >= 0 && (polls[1].revents & (POLLIN | POLLHUP | POLLERR))) drain(fds[1], result.err);
  }
  for (int fd : fds) {
    if (fd >= 0) ::close(fd);
  }
  int status = 0;
  struct rusage usage {};
  while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  result.peakResidentKiB = usage.ru_maxrss;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::vector<LogLine> Sandbox::logLines() const { return readCapturedLog(root() + "/syslog.txt"); }

void Sandbox::clearLog() const { ::unlink((root() + "/syslog.txt").c_str()); }

}  // namespace testsupport
