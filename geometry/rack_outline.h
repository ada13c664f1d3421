// Straight and helical racks with the ISO 53 basic rack profile, in the rack's own
// frame (x along the rack from 0, pitch line y = 0, teeth towards +y).
#pragma once

#include "geometry/gear_record.h"

namespace kovrex {

void BuildRackOutline(GearRecord& rack, double module, double pressureAngleDeg, double helixAngleDeg,
                      int64_t hand, int64_t teeth, double height, double faceWidth,
                      double thicknessAllowance, int density);

}  // namespace kovrex
