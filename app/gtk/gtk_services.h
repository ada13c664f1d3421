// The desktop services of the GTK front end (dialogs, requesters, clipboard,
// process start, timer, canvas redraw, help popup menu). Not for: the About window,
// which its own module installs into the same table.
#pragma once

#include <gtk/gtk.h>

#include "app/services.h"

namespace kovrex {

// Fills Svc() with the GTK implementations (the About window entry is left alone).
void InstallGtkServices();

// Popup menu 0 of the main window: "User guide\tF1" (menu 102) and "About Kovrex"
// (menu 103). Attached to the window, so it dies with it.
GtkWidget* BuildHelpPopupMenu(GtkWidget* mainWindow);

// Adds a shortcut to a window's accelerator group that sends a menu item (F1, Ctrl+O, Ctrl+S).
void AddMenuShortcut(GtkAccelGroup* group, guint key, GdkModifierType modifiers, int menuItem);

// The requester's filter of one pattern entry: its globs separated by ';', each
// matching names in either case ("X.DXF" is listed under "*.dxf").
GtkFileFilter* NewFileFilter(const FilePattern& pattern);

// Stops every timer the program started (shut-down, tests).
void StopAllTimers();

// Hands the clipboard text to the desktop's clipboard manager, so that a copied
// report stays available after the program has ended.
void HandOverClipboard();

}  // namespace kovrex
