#pragma once

#include <string>

#include "platform/ui/AttributedString.h"

// Runs of attributed text as the program makes them, for comparing with what it shows.
namespace testsupport {

inline platform::ui::TextRun plain(const std::string& text) {
  platform::ui::TextRun run;
  run.text = text;
  return run;
}

// A link: blue and underlined, as every link the program shows.
inline platform::ui::TextRun link(const std::string& text, const std::string& address) {
  platform::ui::TextRun run = plain(text);
  run.link = address;
  run.color = platform::ui::kBlueColor;
  run.underline = true;
  return run;
}

}  // namespace testsupport
