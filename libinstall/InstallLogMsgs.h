#pragma once

#include <cstdint>

namespace install {

// The named log operations: one per event, each with its own fixed format and severity.
// Strings are UTF-8; every operation returns what installLog returned, which callers ignore.

int logApplicationBegin(const char* name, const char* version, const char* osName,
                        const char* architecture);
int logApplicationEnd(bool success, const char* name, std::int32_t exitCode);
int logRuntimeInstalled(std::int32_t major, std::int32_t minor, std::int32_t revision,
                        std::int32_t build, const char* runtimePath);
int logRuntimeNotInstalled();
int logImmediateUpdateDisabled();
int logSubprocessBegin(const char* commandLine);
int logSubprocessSuccess(const char* subprocessName);
int logSubprocessFailure(const char* subprocessName, std::int32_t exitStatus);
int logDownloadBegin(const char* kind, const char* address);
int logDownloadDest(const char* destinationPath);
int logDownloadSuccess();
int logDownloadFailure(const char* reason);
int logDownloadCancel();
int logSigValid(const char* signatureName);
int logSigInvalid(const char* signatureName);
int logCouldNotLocateAppDir(const char* directoryPath);
int logMissingAllowDownloadFlag();
int logCertChainBegin();
int logCertRevocationFound();
int logCertChainSuccess();
int logCertChainFailure();

// Beyond the original set: events of this host's own hardening.
int logSignalReceived(int signalNumber);
int logDownloadRetry(int attempt, int attempts, const char* reason);
int logIgnoredSetting(const char* setting, const char* reason);

}  // namespace install
