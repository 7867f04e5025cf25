#include "messages/ErrorDialogController.h"

#include <string_view>
#include <utility>

#include "platform/ui/Application.h"

using platform::ui::AttributedString;
using platform::ui::TextRun;

namespace {

// The link markup, matched byte for byte.
constexpr std::string_view kLinkOpen = "<a href='";
constexpr std::string_view kLinkAddressEnd = "'>";
constexpr std::string_view kLinkClose = "</a>";

// Identifiers of the outlets in the window resource.
constexpr const char* kWindowId = "errorDialog";
constexpr const char* kTextViewId = "textView";
constexpr const char* kOkButtonId = "okButton";

TextRun plainRun(std::string_view text) {
  TextRun run;
  run.text = text;
  return run;
}

}  // namespace

ErrorDialogController::ErrorDialogController(std::string windowName)
    : windowName_(std::move(windowName)) {}

bool ErrorDialogController::loadWindow() {
  if (window_ != nullptr) return true;
  std::unique_ptr<platform::ui::InterfaceResource> resource =
      platform::ui::InterfaceResource::load(windowName_);
  if (!resource) return false;
  platform::ui::Window* window = resource->window(kWindowId);
  platform::ui::TextView* textView = resource->textView(kTextViewId);
  platform::ui::Button* okButton = resource->button(kOkButtonId);
  if (window == nullptr || textView == nullptr || okButton == nullptr) return false;

  resource_ = std::move(resource);
  window_ = window;
  textView_ = textView;
  okButton_ = okButton;
  okButton_->setAction([this] { OK(); });
  return true;
}

void ErrorDialogController::setMessage(const std::string& message,
                                       const std::string& localizedOKText,
                                       const std::string& appName) {
  if (window_ == nullptr) return;
  okButton_->setTitle(localizedOKText);
  window_->setTitle(appName);
  textView_->setAttributedText(attributedStringFromMarkup(message));
}

void ErrorDialogController::OK() { platform::ui::Application::shared().stopModalWithCode(1); }

AttributedString ErrorDialogController::attributedStringFromMarkup(const std::string& message) {
  AttributedString result;
  const std::string_view text = message;
  std::size_t cursor = 0;
  while (cursor < text.size()) {
    const std::size_t open = text.find(kLinkOpen, cursor);
    const std::size_t addressStart =
        open == std::string_view::npos ? open : open + kLinkOpen.size();
    const std::size_t addressEnd = addressStart == std::string_view::npos
                                       ? addressStart
                                       : text.find(kLinkAddressEnd, addressStart);
    const std::size_t linkTextStart =
        addressEnd == std::string_view::npos ? addressEnd : addressEnd + kLinkAddressEnd.size();
    const std::size_t close = linkTextStart == std::string_view::npos
                                  ? linkTextStart
                                  : text.find(kLinkClose, linkTextStart);
    if (close == std::string_view::npos) {
      // No complete link left: the rest is shown as it is, any incomplete markup included.
      result.append(plainRun(text.substr(cursor)));
      break;
    }

    result.append(plainRun(text.substr(cursor, open - cursor)));
    TextRun link = plainRun(text.substr(linkTextStart, close - linkTextStart));
    link.link = std::string(text.substr(addressStart, addressEnd - addressStart));
    link.color = platform::ui::kBlueColor;
    link.underline = true;
    result.append(std::move(link));
    cursor = close + kLinkClose.size();
  }
  return result;
}
