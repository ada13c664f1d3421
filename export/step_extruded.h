// Side faces of a STEP body that is a prism along its axis: spur gears, spur ring
// gears and every rack (a helical rack as an oblique prism). One vertical edge per
// outline vertex, one face per outline polyline: a plane for a straight piece, a
// linear extrusion of a B-spline otherwise. Not for: helical gears (step_helical)
// or the end faces, bore and hub (the closures).
#pragma once

#include <cstdint>

#include "geometry/gear_record.h"

namespace kovrex {

// The body's axis at (ox, oy), turned by theta; the top outline lies at z =
// faceWidth, moved along x by rackHelixOffset. Returns the MANIFOLD_SOLID_BREP of
// the closed solid. The outline is taken as it is: points closer than the file's
// precision must already be merged (WriteStepGearSolid does that).
uint64_t WriteStepExtrudedSolid(const GearRecord& body, double ox, double oy, double theta);

}  // namespace kovrex
