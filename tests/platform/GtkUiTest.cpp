// The GTK backend under a real X server (Xvfb): what only a display shows. A stand-in browser,
// registered as the desktop's handler of web addresses in private XDG folders, records the
// address a click on a link opens.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "platform/ui/Application.h"
#include "platform/ui/InterfaceResource.h"
#include "platform/ui/ScreenSnapshot.h"
#include "tests/support/Files.h"
#include "tests/support/MainLoop.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TextRuns.h"

namespace {

using platform::ui::Application;
using platform::ui::AttributedString;
using platform::ui::InterfaceResource;
using testsupport::link;
using testsupport::plain;
using testsupport::readFile;
using testsupport::runLater;
using testsupport::runMainLoopFor;
using testsupport::runMainLoopUntil;
using testsupport::writeFile;

std::string sScratch;     // private folder of this run
std::string sOpenedFile;  // where the stand-in browser writes the address it was given

// Installs the stand-in browser in scratch before GIO reads the desktop's application lists.
void installStandInBrowser(const testsupport::ScratchFolder& scratch) {
  sScratch = scratch.root();
  const std::string data = scratch.path("data"), config = scratch.path("config");
  sOpenedFile = scratch.path("opened");

  const std::string script =
      scratch.write("browser", "#!/bin/sh\nprintf '%s' \"$1\" > '" + sOpenedFile + "'\n", 0700);
  writeFile(data + "/applications/zanth-test-browser.desktop",
            "[Desktop Entry]\nType=Application\nName=Test Browser\nExec=" + script +
                " %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;\n");
  writeFile(config + "/mimeapps.list",
            "[Default Applications]\nx-scheme-handler/http=zanth-test-browser.desktop\n"
            "x-scheme-handler/https=zanth-test-browser.desktop\n");
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  setenv("XDG_DATA_DIRS", data.c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  setenv("XDG_CONFIG_DIRS", config.c_str(), 1);
}

GtkWindow* findVisibleWindow(const std::string& title) {
  GtkWindow* found = nullptr;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item != nullptr; item = item->next) {
    GtkWindow* window = GTK_WINDOW(item->data);
    const char* windowTitle = gtk_window_get_title(window);
    if (gtk_widget_get_visible(GTK_WIDGET(window)) && windowTitle && title == windowTitle) {
      found = window;
    }
  }
  g_list_free(toplevels);
  return found;
}

// The first widget of type below widget, depth first.
GtkWidget* findDescendant(GtkWidget* widget, GType type) {
  if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type)) return widget;
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  GtkWidget* found = nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  for (GList* item = children; item != nullptr && found == nullptr; item = item->next) {
    found = findDescendant(GTK_WIDGET(item->data), type);
  }
  g_list_free(children);
  return found;
}

// Presses and releases the first mouse button on the character at offset of view's text.
void clickCharacter(GtkTextView* view, int offset) {
  GtkTextIter iter;
  gtk_text_buffer_get_iter_at_offset(gtk_text_view_get_buffer(view), &iter, offset);
  GdkRectangle location;
  gtk_text_view_get_iter_location(view, &iter, &location);
  gint x = 0, y = 0;
  gtk_text_view_buffer_to_window_coords(view, GTK_TEXT_WINDOW_TEXT, location.x + location.width / 2,
                                        location.y + location.height / 2, &x, &y);
  GdkWindow* textWindow = gtk_text_view_get_window(view, GTK_TEXT_WINDOW_TEXT);
  GdkDevice* pointer =
      gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(textWindow)));
  for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
    GdkEvent* event = gdk_event_new(type);
    event->button.window = GDK_WINDOW(g_object_ref(textWindow));
    event->button.send_event = TRUE;
    event->button.time = GDK_CURRENT_TIME;
    event->button.x = x;
    event->button.y = y;
    event->button.button = GDK_BUTTON_PRIMARY;
    event->button.state = type == GDK_BUTTON_RELEASE ? GDK_BUTTON1_MASK : 0;
    gdk_event_set_device(event, pointer);
    gtk_main_do_event(event);
    gdk_event_free(event);
  }
}

TEST(GtkBackend, IsInUseUnderADisplay) {
  ASSERT_TRUE(Application::shared().hasDisplay()) << "run this program under Xvfb";
}

TEST(GtkBackend, ClickOnALinkOpensItsAddressInTheBrowser) {
  ASSERT_TRUE(Application::shared().hasDisplay());
  auto resource = InterfaceResource::load("ErrorDialog");
  ASSERT_NE(resource, nullptr);
  auto* window = resource->window("errorDialog");
  window->setTitle("Link test");
  const std::string address = "https://www.quillor.example/zanth/system-requirements";
  resource->textView("textView")
      ->setAttributedText(
          AttributedString{{plain("Please view the "), link("system requirements", address),
                            plain(" for Quillor Zanth.")}});
  window->makeKeyAndOrderFront();
  GtkWindow* gtkWindow = nullptr;
  ASSERT_TRUE(runMainLoopUntil([&] {
    gtkWindow = findVisibleWindow("Link test");
    return gtkWindow && gtk_widget_get_mapped(GTK_WIDGET(gtkWindow));
  }));
  runMainLoopFor(std::chrono::milliseconds(200));  // let the text be laid out and drawn
  auto* view = GTK_TEXT_VIEW(findDescendant(GTK_WIDGET(gtkWindow), GTK_TYPE_TEXT_VIEW));
  ASSERT_NE(view, nullptr);

  clickCharacter(view, 3);  // on "Please"
  runMainLoopFor(std::chrono::milliseconds(300));
  EXPECT_FALSE(g_file_test(sOpenedFile.c_str(), G_FILE_TEST_EXISTS))
      << "a click on plain text opens nothing";

  clickCharacter(view, static_cast<int>(g_utf8_strlen("Please view the sys", -1)));
  ASSERT_TRUE(runMainLoopUntil([] { return g_file_test(sOpenedFile.c_str(), G_FILE_TEST_EXISTS); }))
      << "the browser was not started";
  runMainLoopUntil([&] { return readFile(sOpenedFile) == address; },
                   std::chrono::milliseconds(2000));
  EXPECT_EQ(readFile(sOpenedFile), address);
  window->close();
}

TEST(GtkBackend, AlertPanelShowsTitleTextAndButtonAndReturnsWhenPressed) {
  ASSERT_TRUE(Application::shared().hasDisplay());
  bool seen = false;
  std::string labels;
  std::string buttonTitle;
  runLater(50, [&] {
    GtkWindow* alert = findVisibleWindow("Install Foo");
    if (alert == nullptr) return;
    seen = true;
    GList* stack = g_list_prepend(nullptr, alert);
    while (stack != nullptr) {  // collect the labels' texts and press the button
      GtkWidget* widget = GTK_WIDGET(stack->data);
      stack = g_list_delete_link(stack, stack);
      if (GTK_IS_BUTTON(widget)) {
        buttonTitle = gtk_button_get_label(GTK_BUTTON(widget));
      } else if (GTK_IS_LABEL(widget)) {
        labels += std::string(gtk_label_get_text(GTK_LABEL(widget))) + "|";
      } else if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        stack = g_list_concat(children, stack);
      }
    }
    GtkWidget* button = findDescendant(GTK_WIDGET(alert), GTK_TYPE_BUTTON);
    gtk_button_clicked(GTK_BUTTON(button));
  });
  platform::ui::runAlertPanel("Install Foo", "Something went wrong.\nhttps://x.example/", "OK");
  EXPECT_TRUE(seen) << "the alert was not on screen";
  EXPECT_EQ(labels, "Install Foo|Something went wrong.\nhttps://x.example/|");
  EXPECT_EQ(buttonTitle, "OK");
  EXPECT_EQ(findVisibleWindow("Install Foo"), nullptr) << "the alert is gone once answered";
}

TEST(GtkBackend, ClosingTheModalWindowEndsItsLoop) {
  ASSERT_TRUE(Application::shared().hasDisplay());
  auto resource = InterfaceResource::load("ErrorDialog");
  auto* window = resource->window("errorDialog");
  window->setTitle("Close test");
  runLater(50, [] {
    if (GtkWindow* shown = findVisibleWindow("Close test")) gtk_window_close(shown);
  });
  EXPECT_EQ(Application::shared().runModalForWindow(*window), platform::ui::kModalResponseAbort);
  EXPECT_FALSE(window->isVisible());
}

// What a screen reader reads: the accessibility objects GTK gives the bridge.
TEST(GtkBackend, ProgressBarIsLabelledByThePhaseAndDescribedByTheLine) {
  auto resource = InterfaceResource::load("MainInterface");
  ASSERT_NE(resource, nullptr);
  resource->label("statusLabel")->accessible().setRole(platform::ui::AccessibleRole::StatusBar);
  resource->progressIndicator("progressBar")->accessible().setName("Download progress");
  resource->progressIndicator("progressBar")->setIndeterminate(true);  // a pulse timer to stop

  GtkWidget* bar = nullptr;
  GtkWidget* phase = nullptr;
  GtkWidget* line = nullptr;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item != nullptr; item = item->next) {
    GtkWidget* content = gtk_bin_get_child(GTK_BIN(item->data));
    if (content == nullptr || !GTK_IS_BOX(content)) continue;
    GList* children = gtk_container_get_children(GTK_CONTAINER(content));
    for (GList* child = children; child != nullptr; child = child->next) {
      GtkWidget* widget = GTK_WIDGET(child->data);
      const std::string id = gtk_buildable_get_name(GTK_BUILDABLE(widget));
      if (id == "progressBar") bar = widget;
      if (id == "pleaseWaitLabel") phase = widget;
      if (id == "statusLabel") line = widget;
    }
    g_list_free(children);
  }
  g_list_free(toplevels);
  ASSERT_TRUE(bar && phase && line);

  AtkObject* barObject = gtk_widget_get_accessible(bar);
  EXPECT_EQ(atk_object_get_role(barObject), ATK_ROLE_PROGRESS_BAR);
  EXPECT_STREQ(atk_object_get_name(barObject), "Download progress");
  EXPECT_EQ(atk_object_get_role(gtk_widget_get_accessible(line)), ATK_ROLE_STATUSBAR);
  AtkRelationSet* relations = atk_object_ref_relation_set(barObject);
  AtkRelation* labelled =
      atk_relation_set_get_relation_by_type(relations, ATK_RELATION_LABELLED_BY);
  AtkRelation* described =
      atk_relation_set_get_relation_by_type(relations, ATK_RELATION_DESCRIBED_BY);
  ASSERT_TRUE(labelled && described);
  EXPECT_EQ(g_ptr_array_index(atk_relation_get_target(labelled), 0),
            gtk_widget_get_accessible(phase));
  EXPECT_EQ(g_ptr_array_index(atk_relation_get_target(described), 0),
            gtk_widget_get_accessible(line));
  g_object_unref(relations);
}

TEST(GtkBackend, SnapshotOfTheVisibleWindows) {
  ASSERT_TRUE(Application::shared().hasDisplay());
  auto resource = InterfaceResource::load("MainInterface");
  auto* window = resource->window("progressWindow");
  window->makeKeyAndOrderFront();
  runMainLoopFor(std::chrono::milliseconds(200));
  const std::string path = sScratch + "/window.png";
  ASSERT_TRUE(platform::ui::writeScreenSnapshot(path));
  // A PNG file: its signature, then the IHDR chunk with the width, big-endian.
  const std::string png = readFile(path);
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(png[i]); };
  const unsigned width = byte(16) << 24 | byte(17) << 16 | byte(18) << 8 | byte(19);
  EXPECT_GE(width, 380u) << "the progress bar alone is 380 pixels wide";
  window->close();
}

}  // namespace

int main(int argc, char** argv) {
  const testsupport::ScratchFolder scratch("zanth-gtk-test");
  installStandInBrowser(scratch);
  setenv("NO_AT_BRIDGE", "1", 1);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
