// The small operations through which commands read and write controls.
#pragma once

#include <string>

namespace kovrex {

// The control's text read as a decimal number: blanks trimmed, a comma taken as
// the decimal point, the longest leading number; no number (or nan/inf) reads as 0.
double GetGadgetNumber(int control);

// Whole number of a field (tooth numbers): the number above truncated, range-safe.
long long GetGadgetWholeNumber(int control);

// -1 when the hand combo's entry 1 ("links"/left) is selected, else +1.
int GetSignFromOption(int control);

// Sets the text only when it differs, so an unchanged field is not touched.
void SetGadgetTextIfChanged(int control, const std::string& text);

// The four-decimal text of a profile shift the program proposes inside the bounds
// [lower, upper] (a gear's x min, and what a shift sum leaves the mating gear).
// Plain rounding can put a value that sits on a bound just outside it (x min
// 0.239612 written as "0.2396"), and the field read back would then raise the
// undercut warning against the program's own proposal. So the text moves one step
// inward wherever rounding lost a bound that x itself keeps; when the bounds are
// closer than one step, the upper one is kept. Pass +-infinity for "no bound".
std::string FormatProposedProfileShift(double x, double lower, double upper);

}  // namespace kovrex
