// Ring gears (internal teeth): circles, space width, checks, the closed outline with
// exact involute flanks and 0.25 m tangent fillets, and the dimension between balls.
#pragma once

#include "geometry/gear_record.h"

namespace kovrex {

// outlineSpaces 1..z - 1 gives polylines for the first tooth spaces only (space 0
// and the tooth after it are what the root-stress calculation reads); such an
// open outline is for measuring, never for drawing or export.
void GenerateToothProfile(GearRecord& gear, double module, int64_t toothCount, double profileShift,
                          double pressureAngleDeg, double faceWidth, double rimWidth,
                          double thicknessAllowance, double helixAngleDeg, int64_t hand, int detail,
                          double tipRadiusOverride, int64_t outlineSpaces = 0);

// Places the fillet circle of radius filletRadius tangent to the flank at
// flankRadius; returns |C| - (rootRadius - filletRadius).
double ComputeRingFilletResidual(const GearRecord& gear, double flankRadius, double filletRadius,
                                 double rootRadius, OutlinePoint& touchPoint, OutlinePoint& centre);

}  // namespace kovrex
