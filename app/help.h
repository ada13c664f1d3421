// The user guide: finds help_nl.html / help_en.html and opens it with xdg-open.
#pragma once

namespace kovrex {

void ShowHelp();

}  // namespace kovrex
