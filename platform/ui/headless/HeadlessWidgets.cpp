#include "platform/ui/headless/HeadlessWidgets.h"

namespace platform::ui::headless {

std::string HeadlessWindow::contentText() const {
  std::string content;
  for (const TextSource* source : textSources_) {
    std::string text = source->displayedText();
    if (text.empty()) continue;
    if (!content.empty()) content += '\n';
    content += text;
  }
  return content;
}

void HeadlessWindow::makeKeyAndOrderFront() {
  if (shown_) shown_();
  visible_ = true;
}

void HeadlessWindow::performClose() {
  if (!closeAction_) {
    close();
    return;
  }
  std::function<void()> action = closeAction_;
  action();
}

void HeadlessButton::performClick() {
  if (!enabled_ || !action_) return;
  // The action may replace itself; run a copy.
  std::function<void()> action = action_;
  action();
}

void HeadlessTextView::setAttributedText(const AttributedString& text) {
  // Stored the way an attributed text holds it, so both backends read back the same runs.
  text_ = AttributedString{};
  for (const TextRun& run : text.runs) text_.append(run);
}

std::string HeadlessTextView::displayedText() const {
  std::string shown;
  for (const TextRun& run : text_.runs) {
    shown += run.text;
    if (run.link && !run.link->empty()) shown += " <" + *run.link + ">";
  }
  return shown;
}

}  // namespace platform::ui::headless
