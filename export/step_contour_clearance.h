// Whether the curves bounding a STEP end face keep apart: a helical solid's end
// face is bounded by B-splines fitted through the outline, and a fit that passes
// through every outline point can still cross a curve of the same contour that is
// no neighbour of it. Not for: fitting the curves (step_bspline, step_helical) or
// checking the outline polygons themselves.
#pragma once

#include <vector>

#include "export/step_bspline.h"

namespace kovrex {

// A clamped planar B-spline: points.size() + degree + 1 knots, z unused.
struct StepPlanarCurve {
  int degree = 0;
  std::vector<double> knots;
  std::vector<StepControlPoint> points;
};

// True when no two pieces of the closed chain of curves (each ending where the next
// begins, the last where the first begins) come closer than gap. Where the chain
// runs from one piece into another, directly or through pieces a few gaps long,
// the two sides may meet within 64 gaps of that joint (a pointed tip, a corner
// between two curves, a tip arc of nanometres) and must stand apart beyond it.
// False as well for a curve with a number that is not finite.
bool StepContourKeepsClear(const std::vector<StepPlanarCurve>& chain, double gap);

}  // namespace kovrex
