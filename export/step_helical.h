// STEP solid of a helical gear or helical ring gear: the tooth flanks swept along
// the helix across the face width, closed by CloseStepGearSolid; and the size of
// that solid in control points, for the check before a file is built. Not for:
// spur gears and racks (a helical rack is an oblique prism, step_extruded).
#pragma once

#include <cstdint>

#include "geometry/gear_record.h"

namespace kovrex {

// The body's axis at (ox, oy), turned by theta at z = 0; the outline must already
// have its close points merged (WriteStepGearSolid does that). Section j of K
// lies at z = b j/(K-1) turned by theta + k z. Returns the MANIFOLD_SOLID_BREP.
uint64_t WriteStepHelicalSolid(const GearRecord& body, double ox, double oy, double theta);

// Twist k = hand tan(beta) / r in radians per mm of height: positive (counter-
// clockwise seen from +z) for a right-hand gear, hand 0 taken as right.
double HelicalTwistRate(const GearRecord& body);

// Cross-sections K across the face width: one per started 0.1 rad of twist plus
// one, at least 4.
int64_t HelicalSectionCount(const GearRecord& body);

}  // namespace kovrex
