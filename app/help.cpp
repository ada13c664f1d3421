// Placeholder until the help launcher lands.
#include "app/help.h"

namespace kovrex {

void ShowHelp() {}

}  // namespace kovrex
