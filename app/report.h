// The text report of the displayed arrangement (control 48).
#pragma once

namespace kovrex {

// Rebuilds the report of the current DisplayMode into control 48, then runs the
// strength calculation (which does nothing while the strength window is closed).
void RefreshReport();

}  // namespace kovrex
