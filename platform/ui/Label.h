#pragma once

#include <string>

#include "platform/ui/Accessible.h"

namespace platform::ui {

// A line of static text.
class Label : public Accessible {
 public:
  ~Label() override = default;
  virtual void setText(const std::string& text) = 0;
  virtual std::string text() const = 0;
};

}  // namespace platform::ui
