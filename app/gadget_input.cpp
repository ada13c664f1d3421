// Reading and writing control values for the commands.
#include "app/gadget_input.h"

#include "app/control_store.h"
#include "numbers/number_text.h"

namespace kovrex {

double GetGadgetNumber(int control) { return ParseDecimalNumber(Controls().GetText(control)); }

long long GetGadgetWholeNumber(int control) { return ParseWholeNumber(Controls().GetText(control)); }

int GetSignFromOption(int control) { return Controls().GetState(control) == 1 ? -1 : 1; }

void SetGadgetTextIfChanged(int control, const std::string& text) {
  if (Controls().GetText(control) != text) Controls().SetText(control, text);
}

std::string FormatProposedProfileShift(double x, double lower, double upper) {
  constexpr double kStep = 0.0001;
  std::string text = FormatFixed(4, x);
  // Compared as the commands will read it back, not as the double it came from.
  double written = ParseDecimalNumber(text);
  if (x >= lower && written < lower) {
    text = FormatFixed(4, written + kStep);
    written = ParseDecimalNumber(text);
  }
  if (x <= upper && written > upper) text = FormatFixed(4, written - kStep);
  return text;
}

}  // namespace kovrex
