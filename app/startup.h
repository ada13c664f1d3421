// The start-up steps between building the windows that need the calculation
// layers, and the check of the command-line project. Not for: the toolkit start
// and the windows themselves (app/gtk/main_program.cpp).
#pragma once

#include <string>

namespace kovrex {

// Fills the gear-material and shaft-material tables, after the main window and
// before the strength window is built (its combos list the table rows).
void FillMaterialTablesAtStartUp();

// After the three windows exist: registers the project bindings and shows a first
// result (the pair search on the default inputs, row 0 applied).
void StartUpCalculations();

// True when `path` names a regular file with at least one byte. A directory has a
// positive st_size on POSIX, so a size test alone would let it through.
bool IsStartUpProjectArgument(const std::string& path);

// Opens the project named on the command line.
void OpenProjectAtStartUp(const std::string& path);

}  // namespace kovrex
