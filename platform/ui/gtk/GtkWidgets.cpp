#include "platform/ui/gtk/GtkWidgets.h"

#include <algorithm>

#include "platform/GLibPtr.h"
#include "platform/ui/gtk/GtkBackend.h"

namespace platform::ui::gtk {

namespace {

// The tags made for runs carry this key; the address of a link run is its value.
constexpr const char* kRunTagKey = "zanth-run";
constexpr const char* kLinkKey = "zanth-link";
// How often an indeterminate bar moves.
constexpr guint kPulseIntervalMs = 100;

AtkRole atkRoleOf(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::Label:
      return ATK_ROLE_LABEL;
    case AccessibleRole::StatusBar:
      return ATK_ROLE_STATUSBAR;
    case AccessibleRole::ProgressBar:
      return ATK_ROLE_PROGRESS_BAR;
  }
  return ATK_ROLE_LABEL;
}

}  // namespace

// Window

GtkUiWindow::GtkUiWindow(GtkWindow* window, GtkBackend& backend)
    : window_(retained(window)), backend_(backend) {
  g_signal_connect(window, "delete-event", G_CALLBACK(onDelete), this);
  g_signal_connect(window, "destroy", G_CALLBACK(onDestroy), this);
}

GtkUiWindow::~GtkUiWindow() { g_signal_handlers_disconnect_by_data(window_.get(), this); }

gboolean GtkUiWindow::onDelete(GtkWidget*, GdkEvent*, gpointer self) {
  // Closed from its frame: the close action decides; without one the window is hidden, not
  // destroyed (the objects of the resource outlive it), and a modal loop running for it ends.
  auto* window = static_cast<GtkUiWindow*>(self);
  if (window->closeAction_) {
    std::function<void()> action = window->closeAction_;  // the action may replace itself
    action();
  } else {
    window->backend_.windowCloseRequested(window->gtkWindow());
  }
  return TRUE;
}

void GtkUiWindow::onDestroy(GtkWidget*, gpointer self) {
  // Destroyed from outside (another client closed its X window, or the toolkit gave up on it):
  // nothing may wait for it any more, so it counts as closed from its frame. The resource's own
  // destruction of its windows disconnects this handler first.
  (void)onDelete(nullptr, nullptr, self);
}

// The toolkit delivers the request as the window manager's would: a delete event, from the loop.
void GtkUiWindow::performClose() { gtk_window_close(window_.get()); }

void GtkUiWindow::setTitle(const std::string& title) {
  gtk_window_set_title(window_.get(), title.c_str());
}

std::string GtkUiWindow::title() const {
  const char* title = gtk_window_get_title(window_.get());
  return title ? title : "";
}

void GtkUiWindow::makeKeyAndOrderFront() { gtk_window_present(window_.get()); }

void GtkUiWindow::close() { gtk_widget_hide(GTK_WIDGET(window_.get())); }

bool GtkUiWindow::isVisible() const { return gtk_widget_get_visible(GTK_WIDGET(window_.get())); }

// Button

GtkUiButton::GtkUiButton(GtkButton* button) : button_(retained(button)) {
  g_signal_connect(button, "clicked", G_CALLBACK(onClicked), this);
}

GtkUiButton::~GtkUiButton() { g_signal_handlers_disconnect_by_data(button_.get(), this); }

void GtkUiButton::onClicked(GtkButton*, gpointer self) {
  // The action may replace itself; run a copy.
  std::function<void()> action = static_cast<GtkUiButton*>(self)->action_;
  if (action) action();
}

void GtkUiButton::setTitle(const std::string& title) {
  gtk_button_set_label(button_.get(), title.c_str());
}

std::string GtkUiButton::title() const {
  const char* label = gtk_button_get_label(button_.get());
  return label ? label : "";
}

void GtkUiButton::setEnabled(bool enabled) {
  gtk_widget_set_sensitive(GTK_WIDGET(button_.get()), enabled);
}

bool GtkUiButton::isEnabled() const { return gtk_widget_get_sensitive(GTK_WIDGET(button_.get())); }

void GtkUiButton::performClick() {
  if (gtk_widget_is_sensitive(GTK_WIDGET(button_.get()))) gtk_button_clicked(button_.get());
}

// Accessibility objects

// The accessible object is reached through its GObject properties rather than ATK's own calls:
// GTK brings ATK along, and the program file then names no library beyond GTK's own.

void GtkAccessibleObject::setName(const std::string& name) {
  g_object_set(atk(), "accessible-name", name.c_str(), nullptr);
}

std::string GtkAccessibleObject::name() const { return stringProperty("accessible-name"); }

void GtkAccessibleObject::setDescription(const std::string& description) {
  g_object_set(atk(), "accessible-description", description.c_str(), nullptr);
}

std::string GtkAccessibleObject::description() const {
  return stringProperty("accessible-description");
}

void GtkAccessibleObject::setRole(AccessibleRole role) {
  g_object_set(atk(), "accessible-role", atkRoleOf(role), nullptr);
}

AccessibleRole GtkAccessibleObject::role() const {
  AtkRole role = ATK_ROLE_INVALID;
  g_object_get(atk(), "accessible-role", &role, nullptr);
  switch (role) {
    case ATK_ROLE_STATUSBAR:
      return AccessibleRole::StatusBar;
    case ATK_ROLE_PROGRESS_BAR:
      return AccessibleRole::ProgressBar;
    default:
      return AccessibleRole::Label;
  }
}

std::string GtkAccessibleObject::stringProperty(const char* property) const {
  gchar* value = nullptr;
  g_object_get(atk(), property, &value, nullptr);
  const GCharPtr owned(value);
  return value ? value : "";
}

// Label

void GtkUiLabel::setText(const std::string& text) {
  gtk_label_set_text(label_.get(), text.c_str());
}

std::string GtkUiLabel::text() const {
  const char* text = gtk_label_get_text(label_.get());
  return text ? text : "";
}

// Progress indicator

GtkUiProgressIndicator::~GtkUiProgressIndicator() {
  if (pulseSource_ != 0) g_source_remove(pulseSource_);
}

void GtkUiProgressIndicator::setDoubleValue(double value) {
  value_ = value;
  if (pulseSource_ == 0) showValue();
}

void GtkUiProgressIndicator::showValue() {
  // The bar shows 0 to 100; values outside are kept but drawn at the ends.
  const double fraction = std::clamp(value_ / 100.0, 0.0, 1.0);
  if (gtk_progress_bar_get_fraction(bar_.get()) != fraction) {
    gtk_progress_bar_set_fraction(bar_.get(), fraction);
  }
}

void GtkUiProgressIndicator::setIndeterminate(bool indeterminate) {
  if (indeterminate == (pulseSource_ != 0)) return;
  if (indeterminate) {
    pulseSource_ = g_timeout_add(kPulseIntervalMs, onPulse, this);
    gtk_progress_bar_pulse(bar_.get());
  } else {
    g_source_remove(pulseSource_);
    pulseSource_ = 0;
    // Pulsing leaves the fraction alone; set it again so the drawn bar is the value's.
    gtk_progress_bar_set_fraction(bar_.get(), 0.0);
    showValue();
  }
}

gboolean GtkUiProgressIndicator::onPulse(gpointer self) {
  auto* indicator = static_cast<GtkUiProgressIndicator*>(self);
  if (gtk_widget_is_visible(GTK_WIDGET(indicator->bar_.get()))) {
    gtk_progress_bar_pulse(indicator->bar_.get());
  }
  return G_SOURCE_CONTINUE;
}

// Text view

GtkUiTextView::GtkUiTextView(GtkTextView* view) : view_(retained(view)) {
  gtk_text_view_set_editable(view, FALSE);
  gtk_text_view_set_cursor_visible(view, FALSE);
  gtk_widget_add_events(GTK_WIDGET(view), GDK_POINTER_MOTION_MASK | GDK_BUTTON_RELEASE_MASK);
  g_signal_connect(view, "button-release-event", G_CALLBACK(onButtonRelease), this);
  g_signal_connect(view, "motion-notify-event", G_CALLBACK(onMotion), this);
  GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(view));
  handCursor_.reset(gdk_cursor_new_from_name(display, "pointer"));
  textCursor_.reset(gdk_cursor_new_from_name(display, "text"));
}

GtkUiTextView::~GtkUiTextView() { g_signal_handlers_disconnect_by_data(view_.get(), this); }

void GtkUiTextView::removeRunTags() {
  GtkTextTagTable* table = gtk_text_buffer_get_tag_table(gtk_text_view_get_buffer(view_.get()));
  std::vector<GtkTextTag*> runTags;
  gtk_text_tag_table_foreach(
      table,
      [](GtkTextTag* tag, gpointer tags) {
        if (g_object_get_data(G_OBJECT(tag), kRunTagKey) != nullptr) {
          static_cast<std::vector<GtkTextTag*>*>(tags)->push_back(tag);
        }
      },
      &runTags);
  for (GtkTextTag* tag : runTags) gtk_text_tag_table_remove(table, tag);
}

void GtkUiTextView::setAttributedText(const AttributedString& text) {
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(view_.get());
  gtk_text_buffer_set_text(buffer, "", 0);
  removeRunTags();

  AttributedString runs;
  for (const TextRun& run : text.runs) runs.append(run);

  GtkTextIter end;
  for (const TextRun& run : runs.runs) {
    gtk_text_buffer_get_end_iter(buffer, &end);
    if (!run.link && !run.color && !run.underline) {
      gtk_text_buffer_insert(buffer, &end, run.text.data(), static_cast<gint>(run.text.size()));
      continue;
    }
    GtkTextTag* tag = gtk_text_buffer_create_tag(buffer, nullptr, nullptr);
    g_object_set_data(G_OBJECT(tag), kRunTagKey, GINT_TO_POINTER(1));
    if (run.link) {
      g_object_set_data_full(G_OBJECT(tag), kLinkKey, g_strdup(run.link->c_str()), g_free);
    }
    if (run.color) {
      const GdkRGBA rgba{run.color->red, run.color->green, run.color->blue, 1.0};
      g_object_set(tag, "foreground-rgba", &rgba, nullptr);
    }
    if (run.underline) g_object_set(tag, "underline", PANGO_UNDERLINE_SINGLE, nullptr);
    gtk_text_buffer_insert_with_tags(buffer, &end, run.text.data(),
                                     static_cast<gint>(run.text.size()), tag, nullptr);
  }
}

AttributedString GtkUiTextView::attributedText() const {
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(view_.get());
  AttributedString result;
  GtkTextIter at;
  gtk_text_buffer_get_start_iter(buffer, &at);
  while (!gtk_text_iter_is_end(&at)) {
    GtkTextIter next = at;
    gtk_text_iter_forward_to_tag_toggle(&next, nullptr);
    TextRun run;
    run.text = GCharPtr(gtk_text_iter_get_text(&at, &next)).get();

    GSList* tags = gtk_text_iter_get_tags(&at);
    for (GSList* item = tags; item != nullptr; item = item->next) {
      GObject* tag = G_OBJECT(item->data);
      if (const auto* link = static_cast<const char*>(g_object_get_data(tag, kLinkKey))) {
        run.link = link;
      }
      gboolean colorSet = FALSE, underlineSet = FALSE;
      GdkRGBA* rgba = nullptr;
      PangoUnderline underline = PANGO_UNDERLINE_NONE;
      g_object_get(tag, "foreground-set", &colorSet, "foreground-rgba", &rgba, "underline-set",
                   &underlineSet, "underline", &underline, nullptr);
      if (colorSet && rgba != nullptr) run.color = Color{rgba->red, rgba->green, rgba->blue};
      if (rgba != nullptr) gdk_rgba_free(rgba);
      if (underlineSet && underline != PANGO_UNDERLINE_NONE) run.underline = true;
    }
    g_slist_free(tags);
    result.append(std::move(run));
    at = next;
  }
  return result;
}

const char* GtkUiTextView::linkAt(GdkWindow* eventWindow, double x, double y) const {
  GtkTextView* view = view_.get();
  const GtkTextWindowType windowType =
      eventWindow == gtk_text_view_get_window(view, GTK_TEXT_WINDOW_TEXT) ? GTK_TEXT_WINDOW_TEXT
                                                                          : GTK_TEXT_WINDOW_WIDGET;
  gint bufferX = 0, bufferY = 0;
  gtk_text_view_window_to_buffer_coords(view, windowType, static_cast<gint>(x),
                                        static_cast<gint>(y), &bufferX, &bufferY);
  GtkTextIter iter;
  if (!gtk_text_view_get_iter_at_location(view, &iter, bufferX, bufferY)) return nullptr;
  // A point past the end of a line lands on the line's last position, not on text.
  GdkRectangle location;
  gtk_text_view_get_iter_location(view, &iter, &location);
  if (bufferX < location.x || bufferX >= location.x + std::max(location.width, 1)) return nullptr;

  const char* link = nullptr;
  GSList* tags = gtk_text_iter_get_tags(&iter);
  for (GSList* item = tags; item != nullptr && link == nullptr; item = item->next) {
    link = static_cast<const char*>(g_object_get_data(G_OBJECT(item->data), kLinkKey));
  }
  g_slist_free(tags);
  return link;
}

gboolean GtkUiTextView::onButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer self) {
  auto* view = static_cast<GtkUiTextView*>(self);
  if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
  // A drag that selected text is not a click on a link.
  GtkTextIter selectionStart, selectionEnd;
  if (gtk_text_buffer_get_selection_bounds(gtk_text_view_get_buffer(view->view_.get()),
                                           &selectionStart, &selectionEnd)) {
    return FALSE;
  }
  const char* link = view->linkAt(event->window, event->x, event->y);
  if (link == nullptr || *link == '\0') return FALSE;

  GtkWidget* toplevel = gtk_widget_get_toplevel(widget);
  GError* error = nullptr;
  gtk_show_uri_on_window(GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr, link,
                         event->time, &error);
  if (error != nullptr) {
    g_debug("cannot open %s: %s", link, error->message);
    g_error_free(error);
  }
  return FALSE;
}

gboolean GtkUiTextView::onMotion(GtkWidget*, GdkEventMotion* event, gpointer self) {
  auto* view = static_cast<GtkUiTextView*>(self);
  const bool overLink = view->linkAt(event->window, event->x, event->y) != nullptr;
  if (overLink != view->overLink_) {
    view->overLink_ = overLink;
    GdkWindow* textWindow = gtk_text_view_get_window(view->view_.get(), GTK_TEXT_WINDOW_TEXT);
    if (textWindow != nullptr) {
      gdk_window_set_cursor(textWindow,
                            overLink ? view->handCursor_.get() : view->textCursor_.get());
    }
  }
  return FALSE;
}

}  // namespace platform::ui::gtk
