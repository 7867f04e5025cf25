#pragma once

#include <string>

namespace platform::ui {

// A line of static text.
class Label {
 public:
  virtual ~Label() = default;
  virtual void setText(const std::string& text) = 0;
  virtual std::string text() const = 0;
};

}  // namespace platform::ui
