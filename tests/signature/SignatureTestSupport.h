#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/Notification.h"

// Helpers of the signature tests: the fixture PKI, the install-log lines of this process and
// the verifier's result notifications.
namespace sigtest {

// Path of a file of the fixture PKI made at build time.
std::string fixture(const std::string& name);

// Install-log lines written by this process since the last clearLog (texts only).
std::vector<std::string> logLines();
// Only the lines the verifier writes (signature and certificate chain lines), in order.
std::vector<std::string> verifierLogLines();
void clearLog();

// Records every SIGNATURE_VERIFY_NOTIFY_DONE delivered while it exists.
class ResultRecorder {
 public:
  struct Result {
    const void* object;
    std::optional<bool> valid;
  };
  ResultRecorder();
  ~ResultRecorder();
  ResultRecorder(const ResultRecorder&) = delete;
  ResultRecorder& operator=(const ResultRecorder&) = delete;

  const std::vector<Result>& results() const { return results_; }
  // Runs the main loop until a result has arrived (or timeout), then until the loop is idle.
  void waitForResult(std::chrono::seconds timeout = std::chrono::seconds(60));

 private:
  std::vector<Result> results_;
};

}  // namespace sigtest
