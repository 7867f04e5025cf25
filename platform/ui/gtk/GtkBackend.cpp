#include "platform/ui/gtk/GtkBackend.h"

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

#include "platform/GLibPtr.h"
#include "platform/TerminationSignals.h"
#include "platform/ui/Application.h"
#include "platform/ui/gtk/GtkWidgets.h"

namespace platform::ui::gtk {

namespace {

// The objects of one GtkBuilder file. Wrappers are made on first request and kept; the
// resource's windows are destroyed with it.
class GtkInterfaceResource : public InterfaceResource {
 public:
  GtkInterfaceResource(GtkBuilder* builder, GtkBackend& backend)
      : builder_(builder), backend_(backend) {}

  ~GtkInterfaceResource() override {
    // Wrappers first, so no handler of theirs runs while the widgets go.
    windows_.clear();
    buttons_.clear();
    labels_.clear();
    progressIndicators_.clear();
    textViews_.clear();
    // A window of a lost display cannot be destroyed: the toolkit would talk to it again.
    if (backend_.displayLost()) return;
    GSList* objects = gtk_builder_get_objects(builder_.get());
    for (GSList* item = objects; item != nullptr; item = item->next) {
      if (GTK_IS_WINDOW(item->data)) gtk_widget_destroy(GTK_WIDGET(item->data));
    }
    g_slist_free(objects);
  }

  Window* window(const std::string& id) override {
    return wrap(windows_, id, GTK_TYPE_WINDOW, [this](GObject* o) {
      return std::make_unique<GtkUiWindow>(GTK_WINDOW(o), backend_);
    });
  }
  Button* button(const std::string& id) override {
    return wrap(buttons_, id, GTK_TYPE_BUTTON,
                [](GObject* o) { return std::make_unique<GtkUiButton>(GTK_BUTTON(o)); });
  }
  Label* label(const std::string& id) override {
    return wrap(labels_, id, GTK_TYPE_LABEL,
                [](GObject* o) { return std::make_unique<GtkUiLabel>(GTK_LABEL(o)); });
  }
  ProgressIndicator* progressIndicator(const std::string& id) override {
    return wrap(progressIndicators_, id, GTK_TYPE_PROGRESS_BAR, [](GObject* o) {
      return std::make_unique<GtkUiProgressIndicator>(GTK_PROGRESS_BAR(o));
    });
  }
  TextView* textView(const std::string& id) override {
    return wrap(textViews_, id, GTK_TYPE_TEXT_VIEW,
                [](GObject* o) { return std::make_unique<GtkUiTextView>(GTK_TEXT_VIEW(o)); });
  }

 private:
  template <typename Wrapper, typename Make>
  Wrapper* wrap(std::map<std::string, std::unique_ptr<Wrapper>>& wrappers, const std::string& id,
                GType type, Make make) {
    auto it = wrappers.find(id);
    if (it != wrappers.end()) return it->second.get();
    GObject* object = gtk_builder_get_object(builder_.get(), id.c_str());
    if (object == nullptr || !G_TYPE_CHECK_INSTANCE_TYPE(object, type)) return nullptr;
    return wrappers.emplace(id, make(object)).first->second.get();
  }

  ObjectPtr<GtkBuilder> builder_;
  GtkBackend& backend_;
  std::map<std::string, std::unique_ptr<GtkUiWindow>> windows_;
  std::map<std::string, std::unique_ptr<GtkUiButton>> buttons_;
  std::map<std::string, std::unique_ptr<GtkUiLabel>> labels_;
  std::map<std::string, std::unique_ptr<GtkUiProgressIndicator>> progressIndicators_;
  std::map<std::string, std::unique_ptr<GtkUiTextView>> textViews_;
};

// A visible window of this process the alert can belong to, or null.
GtkWindow* frontWindow() {
  GtkWindow* front = nullptr;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item != nullptr; item = item->next) {
    GtkWindow* window = GTK_WINDOW(item->data);
    if (!gtk_widget_get_visible(GTK_WIDGET(window)) ||
        gtk_window_get_window_type(window) != GTK_WINDOW_TOPLEVEL) {
      continue;
    }
    if (front == nullptr || gtk_window_is_active(window)) front = window;
  }
  g_list_free(toplevels);
  return front;
}

// The value of a log entry's field key, "" when it has none or it is not text.
std::string_view logField(const GLogField* fields, gsize count, const char* key) {
  for (gsize i = 0; i < count; ++i) {
    if (std::strcmp(fields[i].key, key) == 0 && fields[i].length < 0 && fields[i].value) {
      return static_cast<const char*>(fields[i].value);
    }
  }
  return {};
}

// GDK offers no way to hear that its display is gone: on X11 its I/O error handler, on Wayland
// its event source, writes one log entry and calls _exit(1), leaving the downloads behind. That
// entry is the one moment the program still gets, so the log writer watches for it and ends
// the run cleanly before GDK would.
bool saysDisplayIsGone(GLogLevelFlags level, const GLogField* fields, gsize count) {
  if (logField(fields, count, "GLIB_DOMAIN") != "Gdk") return false;
  if (logField(fields, count, "CODE_FUNC") == "gdk_x_io_error") return true;
  // The Wayland event source writes only when reading, flushing or dispatching the connection
  // failed, or the compositor hung up (as a message before its _exit, or as an error).
  const bool fatal = (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_MESSAGE)) != 0;
  return fatal && logField(fields, count, "CODE_FILE").ends_with("wayland/gdkeventsource.c");
}

GLogWriterOutput writeLogEntry(GLogLevelFlags level, const GLogField* fields, gsize count,
                               gpointer backend) {
  if (saysDisplayIsGone(level, fields, count)) static_cast<GtkBackend*>(backend)->loseDisplay();
  return g_log_writer_default(level, fields, count, nullptr);
}

}  // namespace

void GtkBackend::loseDisplay() {
  displayLost_ = true;
  std::fprintf(stderr, "Lost the display (%s): stopping\n", detail::namedDisplays().c_str());
  // A logout hangs up the session as well: the run ends as it would on SIGHUP.
  stopAsIfSignalled(SIGHUP);
}

std::unique_ptr<InterfaceResource> GtkBackend::load(std::string_view document) {
  ObjectPtr<GtkBuilder> builder(gtk_builder_new());
  GError* rawError = nullptr;
  const bool loaded =
      gtk_builder_add_from_string(builder.get(), document.data(),
                                  static_cast<gssize>(document.size()), &rawError) != 0;
  GErrorPtr error(rawError);
  if (!loaded) return nullptr;
  return std::make_unique<GtkInterfaceResource>(builder.release(), *this);
}

int GtkBackend::runModal(GtkWindow* window) {
  const gboolean wasModal = gtk_window_get_modal(window);
  gtk_window_set_modal(window, TRUE);
  gtk_window_present(window);

  ModalSession session{g_main_loop_new(nullptr, FALSE), window, kModalResponseAbort};
  modalSessions_.push_back(&session);
  g_main_loop_run(session.loop);
  modalSessions_.pop_back();
  g_main_loop_unref(session.loop);

  gtk_window_set_modal(window, wasModal);
  return session.code;
}

int GtkBackend::runModalForWindow(Window& window) {
  auto* gtkWindow = dynamic_cast<GtkUiWindow*>(&window);
  if (gtkWindow == nullptr) return kModalResponseAbort;
  return runModal(gtkWindow->gtkWindow());
}

void GtkBackend::stopModalWithCode(int code) {
  if (modalSessions_.empty()) return;
  ModalSession* session = modalSessions_.back();
  session->code = code;
  g_main_loop_quit(session->loop);
}

void GtkBackend::windowCloseRequested(GtkWindow* window) {
  gtk_widget_hide(GTK_WIDGET(window));
  for (ModalSession* session : modalSessions_) {
    if (session->window == window) g_main_loop_quit(session->loop);
  }
}

void GtkBackend::runAlertPanel(const std::string& title, const std::string& text,
                               const std::string& buttonTitle) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* alert = GTK_WINDOW(window);
  gtk_window_set_title(alert, title.c_str());
  gtk_window_set_type_hint(alert, GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_resizable(alert, FALSE);
  gtk_window_set_position(alert, GTK_WIN_POS_CENTER);
  if (GtkWindow* parent = frontWindow()) gtk_window_set_transient_for(alert, parent);

  GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  gtk_container_set_border_width(GTK_CONTAINER(content), 18);
  gtk_container_add(GTK_CONTAINER(window), content);

  GtkWidget* heading = gtk_label_new(nullptr);
  char* markup = g_markup_printf_escaped("<b>%s</b>", title.c_str());
  gtk_label_set_markup(GTK_LABEL(heading), markup);
  g_free(markup);
  gtk_label_set_xalign(GTK_LABEL(heading), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(heading), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(heading), 60);
  gtk_box_pack_start(GTK_BOX(content), heading, FALSE, FALSE, 0);

  // Selectable, so that an address in the text can be copied.
  GtkWidget* message = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(message), 0.0f);
  gtk_label_set_line_wrap(GTK_LABEL(message), TRUE);
  gtk_label_set_line_wrap_mode(GTK_LABEL(message), PANGO_WRAP_WORD_CHAR);
  gtk_label_set_max_width_chars(GTK_LABEL(message), 60);
  gtk_label_set_width_chars(GTK_LABEL(message), 40);
  gtk_label_set_selectable(GTK_LABEL(message), TRUE);
  gtk_box_pack_start(GTK_BOX(content), message, FALSE, FALSE, 0);

  GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
  GtkWidget* button = gtk_button_new_with_label(buttonTitle.c_str());
  gtk_widget_set_can_default(button, TRUE);
  gtk_container_add(GTK_CONTAINER(buttons), button);
  gtk_box_pack_end(GTK_BOX(content), buttons, FALSE, FALSE, 0);
  g_signal_connect(button, "clicked", G_CALLBACK(+[](GtkButton*, gpointer backend) {
                     static_cast<GtkBackend*>(backend)->stopModalWithCode(1);
                   }),
                   this);
  g_signal_connect(window, "delete-event",
                   G_CALLBACK(+[](GtkWidget* widget, GdkEvent*, gpointer backend) -> gboolean {
                     static_cast<GtkBackend*>(backend)->windowCloseRequested(GTK_WINDOW(widget));
                     return TRUE;
                   }),
                   this);
  // Destroyed from outside (its X window closed by another client): it is dismissed, as by OK.
  g_signal_connect(window, "destroy", G_CALLBACK(+[](GtkWidget* widget, gpointer backend) {
                     static_cast<GtkBackend*>(backend)->windowCloseRequested(GTK_WINDOW(widget));
                   }),
                   this);
  // Held until the end here: the toolkit drops its own reference when the window is destroyed.
  const ObjectPtr<GtkWindow> held = retained(alert);

  gtk_widget_show_all(content);
  gtk_window_set_default(alert, button);
  gtk_widget_grab_focus(button);
  runModal(alert);
  g_signal_handlers_disconnect_by_data(window, this);
  gtk_widget_destroy(window);
}

bool GtkBackend::writeScreenSnapshot(const std::string& pngPath) {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  gdk_display_sync(gdk_display_get_default());

  GdkRectangle area{0, 0, 0, 0};
  bool any = false;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item != nullptr; item = item->next) {
    GtkWidget* widget = GTK_WIDGET(item->data);
    GdkWindow* gdkWindow = gtk_widget_get_window(widget);
    if (!gtk_widget_get_visible(widget) || gdkWindow == nullptr ||
        gtk_window_get_window_type(GTK_WINDOW(widget)) != GTK_WINDOW_TOPLEVEL) {
      continue;
    }
    GdkRectangle frame;
    gdk_window_get_frame_extents(gdkWindow, &frame);
    if (any) {
      gdk_rectangle_union(&area, &frame, &area);
    } else {
      area = frame;
      any = true;
    }
  }
  g_list_free(toplevels);
  if (!any) return false;

  ObjectPtr<GdkPixbuf> pixbuf(gdk_pixbuf_get_from_window(gdk_get_default_root_window(), area.x,
                                                         area.y, area.width, area.height));
  if (!pixbuf) return false;
  GError* rawError = nullptr;
  const bool saved = gdk_pixbuf_save(pixbuf.get(), pngPath.c_str(), "png", &rawError, nullptr);
  GErrorPtr error(rawError);
  return saved;
}

}  // namespace platform::ui::gtk

namespace platform::ui::detail {

std::unique_ptr<Backend> makeGtkBackend() {
  // GTK would switch the whole C locale to the user's; numbers must keep printing and parsing
  // the C way, so only character classes and message catalogues follow the environment.
  gtk_disable_setlocale();
  const std::string ctype = std::setlocale(LC_CTYPE, nullptr);
  const std::string messages = std::setlocale(LC_MESSAGES, nullptr);
  std::setlocale(LC_CTYPE, "");
  std::setlocale(LC_MESSAGES, "");
  if (!gtk_init_check(nullptr, nullptr)) {
    std::setlocale(LC_CTYPE, ctype.c_str());
    std::setlocale(LC_MESSAGES, messages.c_str());
    return nullptr;
  }
  auto backend = std::make_unique<gtk::GtkBackend>();
  g_log_set_writer_func(gtk::writeLogEntry, backend.get(), nullptr);
  // A message shown in a text view reads as part of its window, not as an editing field.
  gtk::ObjectPtr<GtkCssProvider> css(gtk_css_provider_new());
  gtk_css_provider_load_from_data(
      css.get(),
      "textview.zanth-message, textview.zanth-message text { background-color: transparent; }", -1,
      nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css.get()),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  return backend;
}

}  // namespace platform::ui::detail
