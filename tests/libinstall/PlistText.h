#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// An XML property list with one dictionary of string values (text escaped for XML).
inline std::string plistWithStrings(
    const std::vector<std::pair<std::string, std::string>>& entries) {
  auto escape = [](const std::string& text) {
    std::string out;
    for (char c : text) {
      if (c == '&')
        out += "&amp;";
      else if (c == '<')
        out += "&lt;";
      else if (c == '>')
        out += "&gt;";
      else
        out += c;
    }
    return out;
  };
  std::string plist =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
      "<plist version=\"1.0\">\n<dict>\n";
  for (const auto& [key, value] : entries) {
    plist += "  <key>" + escape(key) + "</key>\n  <string>" + escape(value) + "</string>\n";
  }
  return plist + "</dict>\n</plist>\n";
}

}  // namespace testsupport
