// Hub and keyway of a gear from the hub and keyway window (controls 114..126).
#pragma once

#include "geometry/gear_record.h"

namespace kovrex {

// wheelIndex 0: gear 1 / pinion (controls 114-119), 1: gear 2 (121-126).
void ComputeHubAndKey(GearRecord& gear, int wheelIndex);

}  // namespace kovrex
