#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

#include "tests/support/Sandbox.h"

namespace testsupport {

// A throw-away folder for tests that work on real files in the test process itself, with
// environment variables set for the test and restored afterwards. Everything is removed on
// destruction.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zanth-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
  }
  ~ScratchFolder() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    namespace fs = std::filesystem;
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(root_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) ::chmod(it->path().c_str(), 0700);
    }
    fs::remove_all(root_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& root() const { return root_; }
  // root/relative
  std::string path(const std::string& relative) const { return root_ + "/" + relative; }

  // Sets (or, with none, removes) an environment variable until this folder goes away.
  void setEnv(const std::string& name, const std::optional<std::string>& value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      ::setenv(name.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }

  // Writes a file below root (folders made as needed) and returns its full path.
  std::string write(const std::string& relative, const std::string& content, unsigned mode = 0644) {
    Sandbox::writeFile(path(relative), content, mode);
    return path(relative);
  }
  // Makes a folder below root (and its parents) and returns its full path.
  std::string makeFolder(const std::string& relative) {
    Sandbox::makeDirectories(path(relative));
    return path(relative);
  }

 private:
  std::string root_;
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace testsupport
