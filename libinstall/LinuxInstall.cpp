// The per-host layer of the install library on Linux.
#include <syslog.h>

#include "libinstall/InstallLog.h"

namespace install {

int platform_installLog(severity_t severity, const char* format, va_list args) {
  int priority;
  switch (severity) {
    case kSeverityError: priority = LOG_ERR; break;
    case kSeverityWarning: priority = LOG_WARNING; break;
    case kSeverityNotice: priority = LOG_NOTICE; break;
    case kSeverityDebug: priority = LOG_DEBUG; break;
    default: return -3;
  }
  // No facility bits: the process's default facility and identity apply.
  vsyslog(priority, format, args);
  return 0;
}

}  // namespace install
