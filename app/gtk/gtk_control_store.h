// The control store over real GTK widgets, the program-side guard, and the routing
// of widget signals to the event dispatch. Not for: building windows or placing
// widgets (main_window, strength_window, hub_window do that and register here).
#pragma once

#include <gtk/gtk.h>

#include <array>
#include <string>

#include "app/control_store.h"
#include "app/controls.h"
#include "app/event_dispatch.h"

namespace kovrex {

// Held by every program-side setter. While it is held every signal handler of a
// control returns at once, so that setting a control from the program never looks
// like a user's action. Counted, so nested setters are fine.
class ProgramSideGuard {
 public:
  ProgramSideGuard();
  ~ProgramSideGuard();
  ProgramSideGuard(const ProgramSideGuard&) = delete;
  ProgramSideGuard& operator=(const ProgramSideGuard&) = delete;
};
bool ProgramSideGuardHeld();

// Where user actions go. The program sends them to the event dispatch; the GUI
// tests put recorders here to see exactly which events a widget raised.
struct EventSinks {
  void (*control)(const ControlEvent& event) = nullptr;
  void (*menu)(MenuItem item) = nullptr;
  void (*windowClose)(int window) = nullptr;
  void (*timer)(int timer) = nullptr;
};
EventSinks& GtkEventSinks();
void ResetGtkEventSinks();  // back to the event dispatch

// Send one user action to its sink unless the guard is held; afterwards leave the
// main loop when the action set QuitRequested.
void SendControlEvent(const ControlEvent& event);
void SendMenuEvent(MenuItem item);
void SendWindowClose(int window);
void SendTimerEvent(int timer);

class GtkControlStore : public ControlStore {
 public:
  std::string GetText(int control) const override;
  void SetText(int control, const std::string& text) override;
  int64_t GetState(int control) const override;
  void SetState(int control, int64_t state) override;
  void ClearItems(int control) override;
  void AddItem(int control, const std::string& text) override;
  int CountItems(int control) const override;
  std::string GetItemText(int control, int index) const override;
  void SetEnabled(int control, bool enabled) override;
  bool IsEnabled(int control) const override;
  void SetBackgroundColour(int control, int r, int g, int b) override;
  void GetSize(int control, int& width, int& height) const override;
  void SetWindowTitle(int window, const std::string& title) override;
  std::string GetWindowTitle(int window) const override;
  void ShowWindow(int window, bool visible) override;
  bool IsWindowVisible(int window) const override;
};

// The one GTK store of the program.
GtkControlStore& GtkStore();

// Widgets of one control. `widget` is the GTK widget the kind works on (GtkEntry,
// GtkComboBoxText, GtkTreeView, GtkLabel, GtkTextView, ...); `outer` is what is
// placed in the window (a scrolled window around a list or an editor, an event box
// around a coloured label), the widget itself otherwise.
struct ControlWidgets {
  GtkWidget* widget = nullptr;
  GtkWidget* outer = nullptr;
  GtkListStore* rows = nullptr;  // list views
  int columns = 0;               // list views
  GtkCssProvider* background = nullptr;
};

// Creates the widget of a control by its kind (caption: button and check-box
// text, list views: column titles separated by '\n'), registers it and connects
// its user signals. Returns the widget to place. Tab panels, drawing areas and
// scroll areas are built by their windows and registered with RegisterControl.
GtkWidget* CreateControlWidget(int control, const std::string& caption = "");
void RegisterControl(int control, const ControlWidgets& widgets);
const ControlWidgets& WidgetsOf(int control);
GtkWidget* ControlWidget(int control);  // the kind's widget, or nullptr
GtkWidget* PlacedWidget(int control);   // what sits in the window, or nullptr

// Toplevel windows 0..2. A close through the window manager goes to the window-close
// sink and never destroys the window.
void RegisterWindow(int window, GtkWidget* gtkWindow);
GtkWidget* WindowWidget(int window);

// Destroys the three windows and forgets every widget (shut-down, tests).
void DestroyAllWindows();

}  // namespace kovrex
