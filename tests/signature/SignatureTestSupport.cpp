#include "tests/signature/SignatureTestSupport.h"

#include <stdarg.h>

#include <cstdio>
#include <set>

#include "platform/NotificationCenter.h"
#include "signature/SignatureNotifications.h"
#include "tests/support/MainLoop.h"

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

std::vector<std::string> logLines() { return capturedLines(); }

std::vector<std::string> verifierLogLines() {
  static const std::set<std::string> kVerifierLines{
      "Detached signature verified",     "Detached signature validation failed",
      "Begin cert chain validation",     "Cert revocation found",
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
        results_.push_back(
            {notification.object, valid ? std::optional<bool>(*valid) : std::nullopt});
      });
}

ResultRecorder::~ResultRecorder() {
  platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void ResultRecorder::waitForResult(std::chrono::seconds timeout) {
  testsupport::runMainLoopUntil([this] { return !results_.empty(); }, timeout);
  testsupport::drainLoop();
}

}  // namespace sigtest
