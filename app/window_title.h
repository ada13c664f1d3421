// The modified flag and the main window's title that shows it.
#pragma once

#include <string>

namespace kovrex {

// "Kovrex - " + file name of ProjectPath (or "new project") + " *" when modified
// + "   (ISO 53 / DIN 867 / DIN 3960)".
std::string BuildWindowTitle();
void UpdateWindowTitle();
// Sets ProjectModified and rebuilds the title, once: a second call does nothing.
void MarkProjectModified();

}  // namespace kovrex
