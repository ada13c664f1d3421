// STL export: not yet written; every call fails with a write error.
#include "export/stl_writer.h"

namespace kovrex {

uint64_t WriteStlFile(ByteSink&, double, const GearRecord&, double, const GearRecord*, double, double, double,
                      ExportStatus* status) {
  if (status) status->error = ExportError::Write;
  return 0;
}

uint64_t EstimateStlTriangles(const GearRecord&, double) { return 0; }

}  // namespace kovrex
