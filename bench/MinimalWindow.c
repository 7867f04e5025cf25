/* The floor of showing a window: a GTK 3 program that maps one small window with one line of
 * text and exits once the window is on the screen. What a user waits for before any window of
 * a GTK program can appear. */
#include <gtk/gtk.h>

static gboolean quitWhenMapped(GtkWidget* widget, GdkEvent* event, gpointer data) {
  (void)widget;
  (void)event;
  (void)data;
  gtk_main_quit();
  return FALSE;
}

int main(int argc, char** argv) {
  if (!gtk_init_check(&argc, &argv)) return 1;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "Minimal window");
  gtk_container_add(GTK_CONTAINER(window), gtk_label_new("Please wait."));
  g_signal_connect(window, "map-event", G_CALLBACK(quitWhenMapped), NULL);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
