#pragma once

#include <string>

#include "platform/ui/Accessible.h"

namespace platform::ui {

// A line of static text.
class Label {
 public:
  virtual ~Label() = default;
  virtual Accessible& accessible() = 0;
  virtual const Accessible& accessible() const = 0;
  virtual void setText(const std::string& text) = 0;
  virtual std::string text() const = 0;
};

}  // namespace platform::ui
