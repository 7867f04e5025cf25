#pragma once

#include <functional>
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
  // What a person closing the window from its frame asks for: by default the window is hidden
  // (and a modal loop running for it ends); an action set here runs instead, and decides. A
  // window destroyed from outside (another client, the toolkit) counts as closed this way.
  virtual void setCloseAction(std::function<void()> action) = 0;
  // Closes the window as a person would from its frame (the close action, if any, decides).
  virtual void performClose() = 0;
};

}  // namespace platform::ui
