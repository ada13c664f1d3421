// Placeholder until the report lands: an empty report, then the strength run.
#include "app/report.h"

#include "app/control_store.h"
#include "app/controls.h"
#include "app/strength_run.h"

namespace kovrex {

void RefreshReport() {
  Controls().SetText(GadgetReport, "");
  ComputeStrengthAndReport();
}

}  // namespace kovrex
