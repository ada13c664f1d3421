// The strength window (window 1): load, life and material inputs, shaft and key
// sizing, status line and strength report. Built once, hidden; closing hides it.
#pragma once

namespace kovrex {

// Needs the main window and the filled material tables.
void BuildStrengthWindow();
// Resize rule: status line and report follow the window's size.
void ResizeStrengthDialog();

}  // namespace kovrex
