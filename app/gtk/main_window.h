// The main window (window 0): tool bar, the four-tab input panel, the common
// controls, the report editor inside a scroll area, and the canvas.
// Not for: what the controls do (the event dispatch decides that).
#pragma once

namespace kovrex {

// Creates window 0 hidden with all its controls, default values, popup menu and
// shortcuts, and lays it out once. Needs gtk_init.
void BuildMainWindow();

// The resize rule, on every size change of window 0.
void LayoutMainWindowOnResize();

// Width and height the window was given when it was built (before the desktop
// had a say).
void MainWindowBuiltSize(int& width, int& height);

}  // namespace kovrex
