// Placeholder until the strength calculation lands.
#include "app/strength_run.h"

#include "app/app_state.h"

namespace kovrex {

void ComputeStrengthAndReport() {
  if (StrengthWindowOpen == 0) return;
}

}  // namespace kovrex
