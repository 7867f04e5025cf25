#include "libinstall/InstallLog.h"

#include <cstdio>

namespace install {

bool _logToStdout = false;
const char* const sAllowDownloadFlagMsg =
    "Unable to download runtime installer without -allowDownload";

int installLog(severity_t severity, const char* format, ...) {
  va_list args;
  if (_logToStdout) {
    va_start(args, format);
    std::fputs("status ", stdout);
    std::vfprintf(stdout, format, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
  }
  // The echo consumed its own copy of the arguments; the system log formats them afresh.
  va_start(args, format);
  int result = platform_installLog(severity, format, args);
  va_end(args);
  return result;
}

}  // namespace install
