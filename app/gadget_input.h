// The three small operations through which commands read and write controls.
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

}  // namespace kovrex
