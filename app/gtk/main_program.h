// Start-up, the GTK main loop and shut-down of the program.
#pragma once

namespace kovrex {

int RunMainProgram(int argc, char** argv);

}  // namespace kovrex
