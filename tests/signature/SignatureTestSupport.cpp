#include "tests/signature/SignatureTestSupport.h"

#include <fcntl.h>
#include <glib.h>
#include <signal.h>
#include <spawn.h>
#include <stdarg.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "platform/NotificationCenter.h"
#include "signature/SignatureNotifications.h"

extern char** environ;

namespace {

std::vector<std::string>& capturedLines() {
  static std::vector<std::string> sLines;
  return sLines;
}

void capture(const char* format, va_list args) {
  char text[4096];
  std::vsnprintf(text, sizeof text, format, args);
  capturedLines().emplace_back(text);
}

}  // namespace

// The install log ends in the system log; this test program keeps the lines instead.
extern "C" {
void vsyslog(int, const char* format, va_list args) { capture(format, args); }
void syslog(int, const char* format, ...) {
  va_list args;
  va_start(args, format);
  capture(format, args);
  va_end(args);
}
void __vsyslog_chk(int, int, const char* format, va_list args) { capture(format, args); }
void __syslog_chk(int, int, const char* format, ...) {
  va_list args;
  va_start(args, format);
  capture(format, args);
  va_end(args);
}
}

namespace sigtest {

std::string fixture(const std::string& name) {
  return std::string(ZANTH_FIXTURE_PKI_DIR) + "/" + name;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> logLines() { return capturedLines(); }

std::vector<std::string> verifierLogLines() {
  static const std::set<std::string> kVerifierLines{
      "Detached signature verified",    "Detached signature validation failed",
      "Begin cert chain validation",    "Cert revocation found",
      "Cert chain validation succeeded", "Cert chain validation failed"};
  std::vector<std::string> lines;
  for (const std::string& line : capturedLines()) {
    if (kVerifierLines.count(line)) lines.push_back(line);
  }
  return lines;
}

void clearLog() { capturedLines().clear(); }

ResultRecorder::ResultRecorder() {
  platform::NotificationCenter::defaultCenter().addObserver(
      this, SIGNATURE_VERIFY_NOTIFY_DONE, [this](const platform::Notification& notification) {
        const bool* valid = notification.value<bool>(SIGNATURE_KEY_IS_VALID);
        results_.push_back({notification.object, valid ? std::optional<bool>(*valid) : std::nullopt});
      });
}

ResultRecorder::~ResultRecorder() {
  platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void ResultRecorder::waitForResult(std::chrono::seconds timeout) {
  runLoopUntil([this] { return !results_.empty(); }, timeout);
  drainLoop();
}

bool runLoopUntil(const std::function<bool()>& condition, std::chrono::seconds timeout) {
  // A periodic wake-up, so that a blocking iteration re-checks the clock.
  guint tick = g_timeout_add(20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition() && std::chrono::steady_clock::now() < deadline) {
    g_main_context_iteration(nullptr, TRUE);
  }
  g_source_remove(tick);
  return condition();
}

void drainLoop() {
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sigtest-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::file(const std::string& name) const {
  std::filesystem::path path = std::filesystem::path(path_) / name;
  std::filesystem::create_directories(path.parent_path());
  return path.string();
}

FixtureServer::FixtureServer(const std::string& folder) {
  logPath_ = folder + ".requests";
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const std::string script = std::string(ZANTH_SOURCE_DIR) + "/tests/support/fixture_server.py";
  std::vector<std::string> args{"python3", script, "--root", folder, "--log", logPath_};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int rc = posix_spawnp(&pid_, "python3", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    throw std::runtime_error("cannot start the fixture server");
  }
  std::string line;
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  port_ = std::atoi(line.c_str());
  if (port_ <= 0) throw std::runtime_error("fixture server gave no port");
  const std::string proxy = "http://127.0.0.1:" + std::to_string(port_);
  setenv("http_proxy", proxy.c_str(), 1);
  unsetenv("no_proxy");
  unsetenv("NO_PROXY");
}

FixtureServer::~FixtureServer() {
  unsetenv("http_proxy");
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  std::remove(logPath_.c_str());
}

std::vector<std::string> FixtureServer::requests() const {
  std::vector<std::string> lines;
  std::ifstream in(logPath_);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace sigtest
