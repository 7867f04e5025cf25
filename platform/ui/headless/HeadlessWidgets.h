#pragma once

// The headless backend's widgets: nothing is drawn, every object records what the program set
// so that it can be read back.

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"

namespace platform::ui::headless {

// Any object of a headless interface resource.
class HeadlessObject {
 public:
  virtual ~HeadlessObject() = default;
};

// An object whose text a person would read in its window.
class TextSource {
 public:
  virtual ~TextSource() = default;
  virtual std::string displayedText() const = 0;
};

// What a screen reader would be told of an object.
class HeadlessAccessible : public Accessible {
 public:
  explicit HeadlessAccessible(AccessibleRole role) : role_(role) {}
  void setName(const std::string& name) override { name_ = name; }
  std::string name() const override { return name_; }
  void setDescription(const std::string& text) override { description_ = text; }
  std::string description() const override { return description_; }
  void setRole(AccessibleRole role) override { role_ = role; }
  AccessibleRole role() const override { return role_; }

 private:
  std::string name_;
  std::string description_;
  AccessibleRole role_;
};

class HeadlessWindow : public Window, public HeadlessObject {
 public:
  // shown runs each time the window is ordered front, before it counts as visible.
  explicit HeadlessWindow(std::function<void()> shown) : shown_(std::move(shown)) {}

  void setTitle(const std::string& title) override { title_ = title; }
  std::string title() const override { return title_; }
  void makeKeyAndOrderFront() override;
  void close() override { visible_ = false; }
  bool isVisible() const override { return visible_; }
  void setCloseAction(std::function<void()> action) override { closeAction_ = std::move(action); }
  void performClose() override;

  // The texts shown inside the window, in the resource's order; the sources belong to the
  // same resource as the window.
  void addTextSource(const TextSource* source) { textSources_.push_back(source); }
  std::string contentText() const;

 private:
  std::function<void()> shown_;
  std::string title_;
  bool visible_ = false;
  std::function<void()> closeAction_;
  std::vector<const TextSource*> textSources_;
};

class HeadlessButton : public Button, public HeadlessObject {
 public:
  void setTitle(const std::string& title) override { title_ = title; }
  std::string title() const override { return title_; }
  void setEnabled(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }
  void setAction(std::function<void()> action) override { action_ = std::move(action); }
  void performClick() override;

 private:
  std::string title_;
  bool enabled_ = true;
  std::function<void()> action_;
};

class HeadlessLabel : public Label, public HeadlessObject, public TextSource {
 public:
  Accessible& accessible() override { return accessible_; }
  const Accessible& accessible() const override { return accessible_; }

  void setText(const std::string& text) override { text_ = text; }
  std::string text() const override { return text_; }
  std::string displayedText() const override { return text_; }

 private:
  std::string text_;
  HeadlessAccessible accessible_{AccessibleRole::Label};
};

class HeadlessProgressIndicator : public ProgressIndicator, public HeadlessObject {
 public:
  void setDoubleValue(double value) override { value_ = value; }
  double doubleValue() const override { return value_; }
  void setIndeterminate(bool indeterminate) override { indeterminate_ = indeterminate; }
  bool isIndeterminate() const override { return indeterminate_; }
  Accessible& accessible() override { return accessible_; }
  const Accessible& accessible() const override { return accessible_; }

 private:
  double value_ = 0.0;
  bool indeterminate_ = false;
  HeadlessAccessible accessible_{AccessibleRole::ProgressBar};
};

class HeadlessTextView : public TextView, public HeadlessObject, public TextSource {
 public:
  void setAttributedText(const AttributedString& text) override;
  AttributedString attributedText() const override { return text_; }
  // The text with each link's address after its text, since nobody can click it here.
  std::string displayedText() const override;

 private:
  AttributedString text_;
};

}  // namespace platform::ui::headless
