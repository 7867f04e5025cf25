#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

struct Color {
  double red = 0, green = 0, blue = 0;
  bool operator==(const Color&) const = default;
};

// A run of text with its attributes: an optional link target, colour and underline.
struct TextRun {
  std::string text;
  std::optional<std::string> link;
  std::optional<Color> color;
  bool underline = false;
  bool operator==(const TextRun&) const = default;
};

// Text made of runs, in order.
struct AttributedString {
  std::vector<TextRun> runs;
  // The plain text of all runs.
  std::string string() const {
    std::string all;
    for (const TextRun& run : runs) all += run.text;
    return all;
  }
  bool operator==(const AttributedString&) const = default;
};

}  // namespace platform::ui
