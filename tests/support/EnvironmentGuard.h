#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace testsupport {

// Sets environment variables for the life of a test and gives each one back its earlier value
// (or absence) on destruction.
class EnvironmentGuard {
 public:
  EnvironmentGuard() = default;
  EnvironmentGuard(const EnvironmentGuard&) = delete;
  EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;
  ~EnvironmentGuard() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

  // Sets name to value; a null value unsets it.
  void set(const std::string& name, const char* value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      ::setenv(name.c_str(), value, 1);
    } else {
      ::unsetenv(name.c_str());
    }
  }
  void set(const std::string& name, const std::string& value) { set(name, value.c_str()); }
  void unset(const std::string& name) { set(name, nullptr); }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace testsupport
