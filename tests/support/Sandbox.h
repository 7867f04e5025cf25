#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// One line the program wrote to the system log.
struct LogLine {
  int priority;
  std::string text;
  bool operator==(const LogLine&) const = default;
};

struct RunResult {
  int exitCode = -1;  // 128 + signal when the program was killed
  std::string out;
  std::string err;
  bool timedOut = false;
};

// A throw-away folder holding a package ("Install <App>" beside the folder <App>), a home,
// a temporary folder and the XDG data and configuration folders, and a way to run the real
// program in it with the system log captured. Everything is removed on destruction.
class Sandbox {
 public:
  // Copies program into the package as "Install <appName>" and makes the folder appName.
  explicit Sandbox(const std::string& program, const std::string& appName = "Foo");
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& root() const { return root_; }
  std::string packageFolder() const { return root_ + "/pkg"; }  // where the program sits
  std::string programPath() const { return packageFolder() + "/" + programName_; }
  std::string appPath() const { return packageFolder() + "/" + appName_; }
  std::string home() const { return root_ + "/home"; }
  std::string dataHome() const { return root_ + "/home/.local/share"; }
  std::string dataDir() const { return root_ + "/share"; }      // the first of XDG_DATA_DIRS
  std::string configDir() const { return root_ + "/etc/xdg"; }  // XDG_CONFIG_DIRS
  std::string tmp() const { return root_ + "/tmp"; }            // TMPDIR

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

  // Writes a file, making its folders, with the given mode.
  static void writeFile(const std::string& path, const std::string& content, unsigned mode = 0644);
  static void makeDirectories(const std::string& path);
  static std::string readFile(const std::string& path);
  // Every path under folder (files and folders, not folder itself), sorted.
  static std::vector<std::string> listTree(const std::string& folder);

 private:
  std::vector<std::string> environment() const;

  std::string root_;
  std::string appName_;
  std::string programName_;
  std::map<std::string, std::optional<std::string>> env_;
};

}  // namespace testsupport
