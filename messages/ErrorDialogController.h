#pragma once

#include <memory>
#include <string>

#include "platform/ui/AttributedString.h"
#include "platform/ui/InterfaceResource.h"

// The error dialog: one message in a small window with an OK button, the message's link
// markup shown as clickable, blue, underlined text.
class ErrorDialogController {
 public:
  // A controller for the window resource windowName ("ErrorDialog"); nothing is loaded yet.
  explicit ErrorDialogController(std::string windowName);

  // Loads the window resource and connects the outlets and the OK action. False when the
  // resource is missing or lacks the window, the text view or the OK button.
  [[nodiscard]] bool loadWindow();

  // Fills the dialog: the OK button's title, the window's title (the application name), and
  // the message with its links. Call after loadWindow, before the window is shown.
  void setMessage(const std::string& message, const std::string& localizedOKText,
                  const std::string& appName);

  // The OK button's action: ends the application's modal loop with code 1. The window stays.
  void OK();

  // The outlets; null until loadWindow has succeeded. Owned by the controller.
  platform::ui::Window* window() const { return window_; }
  platform::ui::TextView* textView() const { return textView_; }
  platform::ui::Button* okButton() const { return okButton_; }

  // The runs of a message: plain text, and for each complete "<a href='address'>text</a>" a
  // run with the link address, the standard blue and a single underline. From the first
  // incomplete link on, the rest is plain text, markers included. Matching is byte for byte
  // on the UTF-8 text and case-sensitive; no other markup exists.
  static platform::ui::AttributedString attributedStringFromMarkup(const std::string& message);

 private:
  std::string windowName_;
  std::unique_ptr<platform::ui::InterfaceResource> resource_;
  platform::ui::Window* window_ = nullptr;
  platform::ui::TextView* textView_ = nullptr;
  platform::ui::Button* okButton_ = nullptr;
};
