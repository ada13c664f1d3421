// Checks of the internal pair: the ring tip radius that clears the pinion's root
// fillet, and the largest overlap of pinion and ring teeth over one pinion pitch,
// found on polar tables of the two outlines.
#pragma once

#include <vector>

#include "geometry/gear_record.h"

namespace kovrex {

struct PolarProfileEntry {
  double angle = 0.0;   // folded to [0, pitch/2]
  double radius = 0.0;
};

struct PolarProfileTable {
  int count = 0;
  double pitch = 0.0;  // 2 pi / z of the gear it was built from
  std::vector<PolarProfileEntry> entries;  // ascending angle
};

void BuildPolarProfileTable(const GearRecord& gear, PolarProfileTable& table);
// Linear interpolation of the radius at angle x; slope receives dR/d(angle) (0
// outside the table).
double InterpolateTable(const PolarProfileTable& table, double x, double& slope);

// Ring radius of the point of the line of action where the pinion's usable involute
// begins (ring centre at the origin, pinion centre at (a, 0)).
double ComputeRingTipLimitRadius(const GearRecord& pinion, const GearRecord& ring, double centreDistance);

// Largest approximate normal overlap [mm] of the two outlines over one pinion pitch
// in `steps` positions; -1e9 when they never overlap.
double ComputeInternalMeshPenetration(const GearRecord& pinion, const GearRecord& ring, double centreDistance,
                                      int steps);

}  // namespace kovrex
