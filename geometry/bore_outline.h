// Inner contour of a gear: the bore circle, or the bore with its keyway on +x, as
// one closed polygon within a chord tolerance. Used by the canvas, DXF and STL.
// Not for: the hub circle or the toothed outline.
#pragma once

#include <vector>

#include "geometry/gear_record.h"

namespace kovrex {

// Clears `points` and fills them counter-clockwise (first point not repeated).
// With a keyway the polygon starts at the upper keyway edge on the bore (d, h),
// runs round the bore to (d, -h) and ends with the keyway floor (R + t2, -h),
// (R + t2, h). No bore (or a non-finite one): the list stays empty. A tolerance
// that is not positive and finite is taken as the coarsest step.
void BuildBoreOutline(const GearRecord& gear, std::vector<OutlinePoint>& points, double tolerance);

}  // namespace kovrex
