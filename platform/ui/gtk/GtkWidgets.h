#pragma once

// The GTK 3 widgets behind the platform::ui classes. Each wrapper holds a reference to its
// widget and disconnects its handlers when it goes, so a late signal never reaches it.

#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"

namespace platform::ui::gtk {

struct ObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using ObjectPtr = std::unique_ptr<T, ObjectUnref>;

// Takes a new reference to object.
template <typename T>
ObjectPtr<T> retained(T* object) {
  return ObjectPtr<T>(static_cast<T*>(g_object_ref(object)));
}

class GtkBackend;

class GtkUiWindow : public Window {
 public:
  GtkUiWindow(GtkWindow* window, GtkBackend& backend);
  ~GtkUiWindow() override;
  void setTitle(const std::string& title) override;
  std::string title() const override;
  void makeKeyAndOrderFront() override;
  void close() override;
  bool isVisible() const override;
  void setCloseAction(std::function<void()> action) override { closeAction_ = std::move(action); }
  void performClose() override;
  GtkWindow* gtkWindow() const { return window_.get(); }

 private:
  static gboolean onDelete(GtkWidget*, GdkEvent*, gpointer self);
  static void onDestroy(GtkWidget*, gpointer self);
  ObjectPtr<GtkWindow> window_;
  GtkBackend& backend_;
  std::function<void()> closeAction_;
};

class GtkUiButton : public Button {
 public:
  explicit GtkUiButton(GtkButton* button);
  ~GtkUiButton() override;
  void setTitle(const std::string& title) override;
  std::string title() const override;
  void setEnabled(bool enabled) override;
  bool isEnabled() const override;
  void setAction(std::function<void()> action) override { action_ = std::move(action); }
  void performClick() override;

 private:
  static void onClicked(GtkButton*, gpointer self);
  ObjectPtr<GtkButton> button_;
  std::function<void()> action_;
};

// The accessibility object (ATK) of a widget, as the screen reader's bridge sees it. The
// object belongs to the widget.
class GtkAccessibleObject : public Accessible {
 public:
  explicit GtkAccessibleObject(GtkWidget* widget) : widget_(widget) {}
  void setName(const std::string& name) override;
  std::string name() const override;
  void setDescription(const std::string& description) override;
  std::string description() const override;
  void setRole(AccessibleRole role) override;
  AccessibleRole role() const override;

 private:
  AtkObject* atk() const { return gtk_widget_get_accessible(widget_); }
  std::string stringProperty(const char* property) const;
  GtkWidget* widget_;
};

class GtkUiLabel : public Label {
 public:
  explicit GtkUiLabel(GtkLabel* label) : label_(retained(label)), accessible_(GTK_WIDGET(label)) {}
  void setText(const std::string& text) override;
  std::string text() const override;
  Accessible& accessible() override { return accessible_; }
  const Accessible& accessible() const override { return accessible_; }

 private:
  ObjectPtr<GtkLabel> label_;
  GtkAccessibleObject accessible_;
};

// Indeterminate, the bar pulses from a timer of its own while it is shown.
class GtkUiProgressIndicator : public ProgressIndicator {
 public:
  explicit GtkUiProgressIndicator(GtkProgressBar* bar)
      : bar_(retained(bar)), accessible_(GTK_WIDGET(bar)) {}
  ~GtkUiProgressIndicator() override;
  void setDoubleValue(double value) override;
  double doubleValue() const override { return value_; }
  void setIndeterminate(bool indeterminate) override;
  bool isIndeterminate() const override { return pulseSource_ != 0; }
  Accessible& accessible() override { return accessible_; }
  const Accessible& accessible() const override { return accessible_; }

 private:
  static gboolean onPulse(gpointer self);
  void showValue();
  ObjectPtr<GtkProgressBar> bar_;
  GtkAccessibleObject accessible_;
  double value_ = 0.0;
  guint pulseSource_ = 0;
};

// Runs become text tags: a link run's tag carries its address, and a click on it opens the
// address with the desktop's URI handling; the pointer turns into a hand over links.
class GtkUiTextView : public TextView {
 public:
  explicit GtkUiTextView(GtkTextView* view);
  ~GtkUiTextView() override;
  void setAttributedText(const AttributedString& text) override;
  // Read back from the text buffer: what the view really holds.
  AttributedString attributedText() const override;

 private:
  static gboolean onButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean onMotion(GtkWidget*, GdkEventMotion* event, gpointer self);
  // The link at the window point (x, y) of event window, if any.
  const char* linkAt(GdkWindow* eventWindow, double x, double y) const;
  void removeRunTags();

  ObjectPtr<GtkTextView> view_;
  ObjectPtr<GdkCursor> handCursor_;
  ObjectPtr<GdkCursor> textCursor_;
  bool overLink_ = false;
};

}  // namespace platform::ui::gtk
