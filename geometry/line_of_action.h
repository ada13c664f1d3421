// Transverse line of action of a mesh with its points A to E and the current
// contacts, for the external pair, the pinion with rack and the internal pair.
#pragma once

#include <cstdint>

#include "geometry/gear_record.h"

namespace kovrex {

struct ContactGeometry {
  double originX = 0.0, originY = 0.0;        // T1 on the base circle of gear 1 / the pinion
  double directionX = 0.0, directionY = 0.0;  // unit direction
  double lineLength = 0.0;                    // pair: T1 to T2; internal: negative
  // A and E bound the path of contact over the usable flanks: where a tip reaches
  // past the end of the mate's involute (or the rack's straight flank), the path
  // ends there instead (kTipOverreachModules).
  double positionA = 0.0, positionB = 0.0, positionC = 0.0, positionD = 0.0, positionE = 0.0;
  // Where the tip circles (or the rack's tip line) themselves cut the line: the
  // start of contact that the tips alone would give.
  double tipPositionA = 0.0, tipPositionE = 0.0;
  // How far, along the line, the tip at A (of gear 2, the rack, the ring) and the
  // tip at E (of gear 1, the pinion) reach past the mate's usable flank; 0 or less
  // when they stay on it.
  double overreachA = 0.0, overreachE = 0.0;
  double workingPitchRadius1 = 0.0, workingPitchRadius2 = 0.0;
  double workingPressureAngle = 0.0;
  int64_t contactCount = 0;
  double contactPositions[4] = {0.0, 0.0, 0.0, 0.0};
};

// A tip that reaches less than this many modules past the mate's usable flank
// leaves the path as it is: the ISO 53 tip rounding at 20 degrees already ends the
// generated involute 0.00009 m short of the mate's addendum line.
constexpr double kTipOverreachModules = 0.001;

// Whether a tip overreach (ContactGeometry) of a mesh of module m counts: the
// path is cut back there, and the report warns.
bool TipReachesPastUsableFlank(double overreach, double module);

// External pair at centre distance a, gear 2 at (a, 0), gear 1 turned by
// driveAngle. Returns 0; returns 1 with the record cleared (no contacts) when a does
// not exceed r_b1 + r_b2, so that no working pressure angle exists.
int ComputePairLineOfAction(const GearRecord& gear1, const GearRecord& gear2, ContactGeometry& contact,
                            double centreDistance, double driveAngle);
// Transverse contact ratio over the usable flanks, never negative; 0 when a does
// not exceed r_b1 + r_b2.
double ComputePairContactRatio(const GearRecord& gear1, const GearRecord& gear2, double centreDistance);
// Pinion with rack, the rack below the pinion with its pitch line horizontal.
// Returns 0; 1 with the record cleared for a pinion without usable circles.
int ComputeRackLineOfAction(const GearRecord& pinion, const GearRecord& rack, ContactGeometry& contact,
                            double driveAngle);
// Internal pair in the ring's frame: ring centre at the origin, pinion at (a, 0).
// The record is left cleared when (r_b2 - r_b1) / a is not inside (0, 1).
void ComputeInternalLineOfAction(const GearRecord& pinion, const GearRecord& ring, ContactGeometry& contact,
                                 double centreDistance, double driveAngle);

}  // namespace kovrex
