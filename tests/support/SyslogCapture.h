#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/EnvironmentGuard.h"
#include "tests/support/ScratchFolder.h"

// Reading the system log that the capture shim (SyslogCapture.c) writes to the file named by
// ZANTH_SYSLOG_CAPTURE, in a program it is preloaded into or linked with.
namespace testsupport {

// One line the program wrote to the system log.
struct LogLine {
  int priority;
  std::string text;
  bool operator==(const LogLine&) const = default;
};
void PrintTo(const LogLine& line, std::ostream* out);

// The lines the shim wrote to file, in order; none when the file does not exist.
std::vector<LogLine> readCapturedLog(const std::string& file);

// The system log of this test process, captured while the object lives. The program must be
// linked with zanth_syslog_in_process so that the shim stands in for the C library's syslog.
class SyslogCapture {
 public:
  SyslogCapture();

  // The lines logged since construction or the last clear, in order.
  std::vector<LogLine> lines() const;
  // Their texts only.
  std::vector<std::string> texts() const;
  void clear() const;

 private:
  std::string file() const { return folder_.path("syslog.txt"); }

  ScratchFolder folder_{"zanth-syslog"};
  EnvironmentGuard environment_;
};

}  // namespace testsupport
