// Working copy of a body's outline for the STEP solids: outline points closer
// together than the file's length precision are merged, because an edge shorter
// than the declared 1e-6 mm makes a CAD kernel see a self-intersecting wire. Not
// for: the outline generators (they keep every point for drawing and measuring).
#pragma once

#include <vector>

#include "geometry/gear_record.h"

namespace kovrex {

// The length uncertainty the STEP file declares (its #12), in mm.
constexpr double kStepLengthPrecision = 1e-6;

// Copy of a closed outline (consecutive polylines share end points, the last ends
// where the first begins) in which every point closer than minDistance to the
// point kept before it is dropped. The shared end points stay shared: an inner
// point too close to a polyline's end gives way to the end point, and a polyline
// that shrinks to a single point is left out, so that its neighbour starts where
// it started. The last polyline ends exactly at the first point. Empty when the
// outline has no point.
std::vector<OutlinePolyline> MergeCloseOutlinePoints(const std::vector<OutlinePolyline>& outline,
                                                     double minDistance = kStepLengthPrecision);

}  // namespace kovrex
