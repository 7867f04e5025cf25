#include "tests/support/FixtureServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>

extern char** environ;

namespace testsupport {

std::string switchValue(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      encoded += static_cast<char>(c);
    } else {
      encoded += {'%', kHex[c >> 4], kHex[c & 15]};
    }
  }
  return encoded;
}

FixtureServer::FixtureServer()
    : root_(folder_.makeFolder("files")), log_(folder_.path("requests.log")) {}

FixtureServer::~FixtureServer() { stop(); }

bool FixtureServer::start() { return launch({}); }

bool FixtureServer::startTls(const std::string& certificateFile, const std::string& keyFile) {
  tls_ = true;
  return launch({"--tls-certificate", certificateFile, "--tls-key", keyFile});
}

bool FixtureServer::launch(const std::vector<std::string>& options) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<std::string> args = {ZANTH_PYTHON, ZANTH_FIXTURE_SERVER, "--root", root_, "--log",
                                   log_};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int status = ::posix_spawn(&pid_, ZANTH_PYTHON, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (status != 0) {
    pid_ = -1;
    ::close(pipeFds[0]);
    return false;
  }
  // The first line is the port; give the interpreter ten seconds to get there.
  std::string line;
  pollfd waitFor{pipeFds[0], POLLIN, 0};
  while (line.find('\n') == std::string::npos && ::poll(&waitFor, 1, 10000) > 0) {
    char buffer[64];
    ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    line.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  port_ = std::atoi(line.c_str());
  if (port_ <= 0) {
    stop();
    return false;
  }
  return true;
}

void FixtureServer::stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

std::string FixtureServer::url(const std::string& path) const {
  return (tls_ ? "https" : "http") + std::string("://127.0.0.1:") + std::to_string(port_) + path;
}

std::string FixtureServer::proxyUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> FixtureServer::requests() const {
  std::vector<std::string> lines;
  std::ifstream in(log_);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace testsupport
