#include "tests/signature/SignatureTestSupport.h"

#include <set>

#include "platform/NotificationCenter.h"
#include "signature/SignatureNotifications.h"
#include "tests/support/MainLoop.h"
#include "tests/support/SyslogCapture.h"

namespace {

// The install log of this test program, captured from its start so that no test misses a line
// logged before it first looks.
testsupport::SyslogCapture sInstallLog;

}  // namespace

namespace sigtest {

std::string fixture(const std::string& name) {
  return std::string(ZANTH_FIXTURE_PKI_DIR) + "/" + name;
}

std::vector<std::string> logLines() { return sInstallLog.texts(); }

std::vector<std::string> verifierLogLines() {
  static const std::set<std::string> kVerifierLines{
      "Detached signature verified",     "Detached signature validation failed",
      "Begin cert chain validation",     "Cert revocation found",
      "Cert chain validation succeeded", "Cert chain validation failed"};
  std::vector<std::string> lines;
  for (const std::string& line : sInstallLog.texts()) {
    if (kVerifierLines.count(line)) lines.push_back(line);
  }
  return lines;
}

void clearLog() { sInstallLog.clear(); }

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
