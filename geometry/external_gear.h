// External spur and helical gears: circles, thicknesses, undercut and pointed-tip
// checks and the outline cut by the ISO 53 basic rack, then the test dimensions.
// Not for: ring gears (ring_gear.h) and racks (rack_outline.h).
#pragma once

#include <cstdint>

#include "geometry/gear_record.h"

namespace kovrex {

// detail multiplies the point counts: 1 screen, 3 mesh check, 4 DXF, 8 virtual
// gear of the root-stress calculation, 16 STL. Leaves valid = 0 and an empty
// outline for unusable basic data. outlineTeeth 1..z - 1 gives polylines for the
// first teeth only: the root-stress calculation reads one tooth of a virtual gear
// that can have thousands. Such an outline is open: for measuring, never for
// drawing or export.
void ComputeExternalGearGeometry(GearRecord& gear, int detail, int64_t outlineTeeth = 0);

// Span W_k over k teeth and the dimension over two balls of a valid external gear.
void ComputeSpanAndBallMeasurements(GearRecord& gear);

}  // namespace kovrex
