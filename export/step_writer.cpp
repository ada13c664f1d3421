// STEP export: not yet written; every call fails with a write error.
#include "export/step_writer.h"

namespace kovrex {

bool WriteStepFile(ByteSink&, const std::string&, const GearRecord&, double, const GearRecord*, double, double,
                   double, ExportStatus* status) {
  if (status) status->error = ExportError::Write;
  return false;
}

uint64_t EstimateStepControlPoints(const GearRecord&) { return 0; }

}  // namespace kovrex
