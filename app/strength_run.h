// The strength run behind the strength window (controls 75..108).
#pragma once

namespace kovrex {

// Reads the strength window, computes the displayed pair and writes the status
// line (98), the report (99) and StrengthReportText. Does nothing while the
// strength window is closed.
void ComputeStrengthAndReport();

}  // namespace kovrex
