#pragma once

#include "platform/ui/AttributedString.h"

namespace platform::ui {

// A read-only text area holding attributed text. A click on a run with a link opens the link
// in the user's browser.
class TextView {
 public:
  virtual ~TextView() = default;
  virtual void setAttributedText(const AttributedString& text) = 0;
  virtual AttributedString attributedText() const = 0;
};

}  // namespace platform::ui
