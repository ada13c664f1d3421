// Two building blocks of the STEP solid of a gear with hub or keyed bore: the
// bore outline in one plane (two half circles, or the bore arc with the keyway's
// three straight edges) and the mantle of a hub cylinder as two half faces. Not
// for: the bore of a body without hub and keyway (the prism closure writes that).
#pragma once

#include <cstdint>
#include <string>

#include "export/step_entities.h"
#include "geometry/gear_record.h"

namespace kovrex {

// The bore of body at height z, its axis at (x, y), turned by phi: with a keyway
// (centred on the body's local +x, under tooth 0) 4 vertices (h, w), (h, -w),
// (R + t2, -w), (R + t2, w) with h = sqrt(R^2 - w^2) and edge 0 the long arc;
// otherwise the vertices (R, 0) and (-R, 0) and two half arcs. All edges run
// counter-clockwise about the axis. axis and refDirection are the +z and +x
// DIRECTION entities of the solid.
void WriteStepBoreLoop(const GearRecord& body, double x, double y, double phi, double z, uint64_t axis,
                       uint64_t refDirection, StepBoreLoop& loop);

// Mantle of the cylinder of radius r about (x, y) between the circle lower at zLow
// and the circle upper at zHigh: two seams and two half faces with normals away
// from the axis. Returns ",#face1,#face2" for a solid's face list.
std::string WriteStepCylinderFaces(const StepCircleEdges& lower, const StepCircleEdges& upper, double x, double y,
                                   double zLow, double zHigh, double r, uint64_t axis, uint64_t refDirection);

}  // namespace kovrex
