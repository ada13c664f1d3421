// The user guide: finds help_nl.html / help_en.html and opens it with xdg-open.
// Not for: the About window (app/gtk/about_window.h).
#pragma once

#include <string>
#include <vector>

namespace kovrex {

// "help_nl.html" in the Dutch build, "help_en.html" in the English build.
std::string HelpFileName();

// Where the guide is looked for, in this order, each ending in "/": the folder of
// the running program, the folder fixed at build time, the current folder. A folder
// that cannot be determined is given as "".
std::vector<std::string> HelpCandidateDirectories();

// The first folder + fileName that is a regular file with at least one byte, or ""
// when none is. Empty folder entries are skipped.
std::string FindHelpFile(const std::vector<std::string>& directories, const std::string& fileName);

// Opens the guide from the first folder that holds it, or warns that it is missing.
void OpenHelpFromDirectories(const std::vector<std::string>& directories);

// OpenHelpFromDirectories(HelpCandidateDirectories()).
void ShowHelp();

}  // namespace kovrex
