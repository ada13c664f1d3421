// Start-up, the GTK main loop and shut-down of the program.
#pragma once

namespace kovrex {

// The program body: returns the exit code (0; 1 when no X display can be opened).
int RunMainProgram(int argc, char** argv);

// Builds the three windows with GTK store and services installed, as start-up does
// (without showing anything). The GUI tests use it too.
void BuildAllWindows();

}  // namespace kovrex
