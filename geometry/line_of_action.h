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
  double positionA = 0.0, positionB = 0.0, positionC = 0.0, positionD = 0.0, positionE = 0.0;
  double workingPitchRadius1 = 0.0, workingPitchRadius2 = 0.0;
  double workingPressureAngle = 0.0;
  int64_t contactCount = 0;
  double contactPositions[4] = {0.0, 0.0, 0.0, 0.0};
};

int ComputePairLineOfAction(const GearRecord& gear1, const GearRecord& gear2, ContactGeometry& contact,
                            double centreDistance, double driveAngle);
double ComputePairContactRatio(const GearRecord& gear1, const GearRecord& gear2, double centreDistance);
int ComputeRackLineOfAction(const GearRecord& pinion, const GearRecord& rack, ContactGeometry& contact,
                            double driveAngle);
void ComputeInternalLineOfAction(const GearRecord& pinion, const GearRecord& ring, ContactGeometry& contact,
                                 double centreDistance, double driveAngle);

}  // namespace kovrex
