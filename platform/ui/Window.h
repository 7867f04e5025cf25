#pragma once

#include <string>

namespace platform::ui {

// A top-level window of an interface resource. Owned by the resource that loaded it.
class Window {
 public:
  virtual ~Window() = default;
  virtual void setTitle(const std::string& title) = 0;
  virtual std::string title() const = 0;
  // Shows the window, brings it to the front and gives it the keyboard focus.
  virtual void makeKeyAndOrderFront() = 0;
  // Hides the window; it can be shown again.
  virtual void close() = 0;
  virtual bool isVisible() const = 0;
};

}  // namespace platform::ui
