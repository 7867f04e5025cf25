#pragma once

#include <functional>
#include <string>

namespace platform::ui {

// A push button whose action runs on the main loop when it is clicked while enabled.
class Button {
 public:
  virtual ~Button() = default;
  virtual void setTitle(const std::string& title) = 0;
  virtual std::string title() const = 0;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool isEnabled() const = 0;
  virtual void setAction(std::function<void()> action) = 0;
  // Clicks the button as a user would: runs the action only when the button is enabled.
  virtual void performClick() = 0;
};

}  // namespace platform::ui
