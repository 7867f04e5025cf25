#include "tests/support/SyslogCapture.h"

#include <unistd.h>

#include <fstream>

namespace testsupport {

void PrintTo(const LogLine& line, std::ostream* out) {
  *out << "{" << line.priority << ", \"" << line.text << "\"}";
}

std::vector<LogLine> readCapturedLog(const std::string& file) {
  std::vector<LogLine> lines;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    auto tab = line.find('\t');
    if (tab == std::string::npos) continue;
    lines.push_back({std::stoi(line.substr(0, tab)), line.substr(tab + 1)});
  }
  return lines;
}

SyslogCapture::SyslogCapture() { environment_.set("ZANTH_SYSLOG_CAPTURE", file()); }

std::vector<LogLine> SyslogCapture::lines() const { return readCapturedLog(file()); }

std::vector<std::string> SyslogCapture::texts() const {
  std::vector<std::string> texts;
  for (LogLine& line : lines()) texts.push_back(std::move(line.text));
  return texts;
}

void SyslogCapture::clear() const { ::unlink(file().c_str()); }

}  // namespace testsupport
