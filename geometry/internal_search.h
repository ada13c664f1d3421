// Combinations of module and tooth numbers for an internal pair (pinion inside a
// ring gear) that fit a centre distance and a ratio, by a profile-shift difference
// or, in helix-angle mode, by the helix angle. Pure calculation; the Internal tab's
// command reads the controls and shows the rows.
#pragma once

#include <vector>

#include "geometry/arrangement_state.h"

namespace kovrex {

struct InternalSearchInput {
  double centreDistance = 0.0;     // a [mm]
  double ratio = 0.0;              // i = z2 / z1, > 1
  double pressureAngleDeg = 0.0;   // alpha_n
  double helixAngleDeg = 0.0;      // beta, the maximum in helix-angle mode
  bool helixAngleMode = false;     // delta x = 0, beta <= given
  double tolerance = 0.0;          // fraction (2 % = 0.02)
  double deltaXMin = 0.0, deltaXMax = 0.0;
  long long z1Min = 0;
  long long toothDifferenceMin = 0;
  bool series2 = false;
};

// False when the input is invalid (the caller shows the warning); otherwise the rows
// sorted by score (module first, then |delta x| + 0.001 beta).
bool FindInternalCombinations(const InternalSearchInput& in, std::vector<InternalCombination>& rows);

}  // namespace kovrex
