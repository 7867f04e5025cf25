#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform::ui {

struct Color {
  double red = 0, green = 0, blue = 0;
  bool operator==(const Color&) const = default;
};

// The standard blue of links.
inline constexpr Color kBlueColor{0.0, 0.0, 1.0};

// A run of text with its attributes: an optional link target, colour and underline.
struct TextRun {
  std::string text;
  std::optional<std::string> link;
  std::optional<Color> color;
  bool underline = false;
  bool operator==(const TextRun&) const = default;
  // Whether run carries the same link, colour and underline.
  bool sameAttributes(const TextRun& run) const {
    return link == run.link && color == run.color && underline == run.underline;
  }
};

// Text made of runs, in order. Built with append, it holds no empty run and no two neighbours
// with the same attributes, so equal texts have equal runs.
struct AttributedString {
  std::vector<TextRun> runs;
  // Appends run: an empty run adds nothing; a run with the attributes of the last one extends it.
  void append(TextRun run) {
    if (run.text.empty()) return;
    if (!runs.empty() && runs.back().sameAttributes(run)) {
      runs.back().text += run.text;
    } else {
      runs.push_back(std::move(run));
    }
  }
  // The plain text of all runs.
  std::string string() const {
    std::string all;
    for (const TextRun& run : runs) all += run.text;
    return all;
  }
  bool operator==(const AttributedString&) const = default;
};

}  // namespace platform::ui
