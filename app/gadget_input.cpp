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

}  // namespace kovrex
