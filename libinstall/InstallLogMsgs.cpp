#include "libinstall/InstallLogMsgs.h"

#include "libinstall/InstallLog.h"

namespace install {

int logApplicationBegin(const char* name, const char* version, const char* osName,
                        const char* architecture) {
  return installLog(kSeverityNotice, "%s begin with version %s on %s %s", name, version, osName,
                    architecture);
}

int logApplicationEnd(bool success, const char* name, std::int32_t exitCode) {
  return installLog(success ? kSeverityNotice : kSeverityError, "%s end with exit code %d", name,
                    exitCode);
}

int logRuntimeInstalled(std::int32_t major, std::int32_t minor, std::int32_t revision,
                        std::int32_t build, const char* runtimePath) {
  return installLog(kSeverityNotice, "Installed runtime (%d.%d.%d.%d) located at %s", major, minor,
                    revision, build, runtimePath);
}

int logRuntimeNotInstalled() {
  return installLog(kSeverityNotice, "No installed runtime detected");
}

int logImmediateUpdateDisabled() {
  return installLog(
      kSeverityError,
      "Cannot complete installation because runtime updates are disabled on this machine");
}

int logSubprocessBegin(const char* commandLine) {
  return installLog(kSeverityNotice, "Launching subprocess with commandline %s", commandLine);
}

int logSubprocessSuccess(const char* subprocessName) {
  return installLog(kSeverityNotice, "Subprocess %s succeeded", subprocessName);
}

int logSubprocessFailure(const char* subprocessName, std::int32_t exitStatus) {
  return installLog(kSeverityError, "Subprocess %s failed (%d)", subprocessName, exitStatus);
}

int logDownloadBegin(const char* kind, const char* address) {
  return installLog(kSeverityNotice, "Begin %s download from %s", kind, address);
}

int logDownloadDest(const char* destinationPath) {
  return installLog(kSeverityNotice, "Download destination is %s", destinationPath);
}

int logDownloadSuccess() { return installLog(kSeverityNotice, "Download success"); }

int logDownloadFailure(const char* reason) {
  return installLog(kSeverityError, "Download failure: %s", reason);
}

int logDownloadCancel() { return installLog(kSeverityNotice, "Download cancelled"); }

int logSigValid(const char* signatureName) {
  return installLog(kSeverityNotice, "%s signature verified", signatureName);
}

int logSigInvalid(const char* signatureName) {
  return installLog(kSeverityError, "%s signature validation failed", signatureName);
}

int logCouldNotLocateAppDir(const char* directoryPath) {
  return installLog(kSeverityError, "Could not locate native install directory (\"%s\")",
                    directoryPath);
}

int logMissingAllowDownloadFlag() {
  // The shared text is the format itself; it holds no conversion.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  return installLog(kSeverityError, sAllowDownloadFlagMsg);
#pragma GCC diagnostic pop
}

int logCertChainBegin() { return installLog(kSeverityNotice, "Begin cert chain validation"); }

int logCertRevocationFound() { return installLog(kSeverityNotice, "Cert revocation found"); }

int logCertChainSuccess() { return installLog(kSeverityNotice, "Cert chain validation succeeded"); }

int logCertChainFailure() { return installLog(kSeverityError, "Cert chain validation failed"); }

int logSignalReceived(int signalNumber) {
  return installLog(kSeverityWarning, "Stopping on signal %d", signalNumber);
}

int logDownloadRetry(int attempt, int attempts, const char* reason) {
  return installLog(kSeverityNotice, "Download retry %d of %d after: %s", attempt, attempts,
                    reason);
}

int logIgnoredSetting(const char* setting, const char* reason) {
  return installLog(kSeverityWarning, "Ignoring setting %s: %s", setting, reason);
}

}  // namespace install
