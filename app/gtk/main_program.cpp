// Program body: starts GTK, opens the main window and runs the main loop until the
// main window is closed.
#include "app/gtk/main_program.h"

#include <gtk/gtk.h>

#include <clocale>

#include "app/window_title.h"

namespace kovrex {

int RunMainProgram(int argc, char** argv) {
  gtk_disable_setlocale();
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  gdk_set_allowed_backends("x11");
  gtk_init(&argc, &argv);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 1280, 860);
  gtk_window_set_title(GTK_WINDOW(window), BuildWindowTitle().c_str());
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}

}  // namespace kovrex
