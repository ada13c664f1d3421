// Helical gear solid of the STEP file. For now the helical gear is written as the
// straight prism of its end-face outline, and needs no helical control points.
#include "export/step_helical.h"

#include "export/step_extruded.h"
#include "export/step_writer.h"

namespace kovrex {

uint64_t WriteStepHelicalSolid(const GearRecord& body, double ox, double oy, double theta) {
  return WriteStepExtrudedSolid(body, ox, oy, theta);
}

uint64_t EstimateStepControlPoints(const GearRecord&) { return 0; }

}  // namespace kovrex
