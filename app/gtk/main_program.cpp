// Program body: locale and toolkit, the start-up order of the windows and the
// calculation hooks, the main loop until the quit flag is set, and shut-down.
#include "app/gtk/main_program.h"

#include <gtk/gtk.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/gtk/about_window.h"
#include "app/gtk/gtk_control_store.h"
#include "app/gtk/gtk_services.h"
#include "app/gtk/hub_window.h"
#include "app/gtk/main_window.h"
#include "app/gtk/strength_window.h"
#include "app/startup.h"
#include "app/window_title.h"

namespace kovrex {

void InitXlibThreads();  // xlib_threads.cpp

void BuildAllWindows() {
  InstallGtkServices();
  InstallAboutWindowService();
  SetActiveControlStore(&GtkStore());
  ResetGtkEventSinks();
  BuildMainWindow();
  FillMaterialTablesAtStartUp();
  BuildStrengthWindow();
  BuildHubKeywayWindow();
}

int RunMainProgram(int argc, char** argv) {
  // GTK would set the whole locale from the desktop; numbers must keep a point.
  gtk_disable_setlocale();
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  InitXlibThreads();
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(&argc, &argv)) {
    std::fputs("kovrex: cannot open the X display\n", stderr);
    return 1;
  }

  ResetAllState();
  BuildAllWindows();
  StartUpCalculations();
  UpdateWindowTitle();
  gtk_widget_show(WindowWidget(WindowMain));

  if (argc > 1 && IsStartUpProjectArgument(argv[1])) OpenProjectAtStartUp(argv[1]);

  if (QuitRequested == 0) gtk_main();

  HandOverClipboard();
  StopAllTimers();
  DestroyAllWindows();
  SetActiveControlStore(nullptr);
  return 0;
}

}  // namespace kovrex
