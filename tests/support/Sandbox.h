#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"
#include "tests/support/SyslogCapture.h"

namespace testsupport {

struct RunResult {
  int exitCode = -1;  // 128 + signal when the program was killed
  std::string out;
  std::string err;
  bool timedOut = false;
  // The largest resident size, in KiB, of the program or of any process it waited for.
  long peakResidentKiB = 0;
};

// A throw-away folder holding a package ("Install <App>" beside the folder <App>), a home,
// a temporary folder and the XDG data and configuration folders, and a way to run the real
// program in it with the system log captured. Everything is removed on destruction.
class Sandbox {
 public:
  // Copies program into the package as "Install <appName>" and makes the folder appName.
  explicit Sandbox(const std::string& program, const std::string& appName = "Foo");
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& root() const { return folder_.root(); }
  std::string packageFolder() const { return root() + "/pkg"; }  // where the program sits
  std::string programPath() const { return packageFolder() + "/" + programName_; }
  std::string appPath() const { return packageFolder() + "/" + appName_; }
  std::string home() const { return root() + "/home"; }
  std::string dataHome() const { return root() + "/home/.local/share"; }
  std::string dataDir() const { return root() + "/share"; }      // the first of XDG_DATA_DIRS
  std::string configDir() const { return root() + "/etc/xdg"; }  // XDG_CONFIG_DIRS
  std::string tmp() const { return root() + "/tmp"; }            // TMPDIR

  // Environment of the next runs: set or remove a variable (set wins over the defaults).
  void setEnv(const std::string& name, const std::string& value);
  void unsetEnv(const std::string& name);

  // Runs the program with args (not counting its own path) and waits for it, at most timeout.
  RunResult run(const std::vector<std::string>& args,
                std::chrono::seconds timeout = std::chrono::seconds(60));
  // Runs any program with the sandbox's environment.
  RunResult runProgram(const std::string& path, const std::vector<std::string>& args,
                       std::chrono::seconds timeout = std::chrono::seconds(60));
  // Runs path with exactly arguments as its argument vector: element 0 is not filled in, and
  // the vector may be empty (as a hostile caller of execve can make it).
  RunResult runWithArgumentVector(const std::string& path,
                                  const std::vector<std::string>& arguments,
                                  std::chrono::seconds timeout = std::chrono::seconds(60));

  // The system-log lines written by the runs so far, in order.
  std::vector<LogLine> logLines() const;
  void clearLog() const;

 private:
  std::vector<std::string> environment() const;

  ScratchFolder folder_{"zanth-sandbox"};
  std::string appName_;
  std::string programName_;
  std::map<std::string, std::optional<std::string>> env_;
};

}  // namespace testsupport
