#pragma once

#include <cstdarg>
#include <cstdint>

namespace install {

// Severity of an install log line; the numbers are part of the interface.
enum severity_t : std::int32_t {
  kSeverityError = 0,
  kSeverityWarning = 1,
  kSeverityNotice = 2,
  kSeverityDebug = 3,
};

// When true, every log line is echoed to standard output after "status ". False at start.
extern bool _logToStdout;

// The missing-download-permission text, shared by the log line and the console message.
extern const char* const sAllowDownloadFlagMsg;

// Writes one line to the install log (the system log) and, when _logToStdout is set, echoes it.
// Returns 0 when the line was handed to the system log, -3 when severity is not one of the four.
int installLog(severity_t severity, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The host's logging service: sends the line to syslog at the priority of severity.
// Returns 0, or -3 without logging when severity is not one of the four.
int platform_installLog(severity_t severity, const char* format, va_list args)
    __attribute__((format(printf, 2, 0)));

}  // namespace install
