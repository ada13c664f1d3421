// STEP solid of a helical gear: the tooth flanks swept along the helix across the
// face width, closed by CloseStepGearSolid. Not for: spur gears and racks (a
// helical rack is an oblique prism, step_extruded).
#pragma once

#include <cstdint>

#include "geometry/gear_record.h"

namespace kovrex {

// The body's axis at (ox, oy), turned by theta at z = 0; the outline must already
// have its close points merged (WriteStepGearSolid does that). Returns the
// MANIFOLD_SOLID_BREP.
uint64_t WriteStepHelicalSolid(const GearRecord& body, double ox, double oy, double theta);

}  // namespace kovrex
