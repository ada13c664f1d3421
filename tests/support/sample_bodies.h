// Real gear, ring and rack records from the program's generators, for drawing and
// placement tests: 20 degrees, spur, x as given; a thickness allowance thins every
// tooth so that meshing bodies keep play.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"

namespace kovrex::test {

inline void MakeGear(GearRecord& g, double m, int64_t z, double allowance = 0.0, double bore = 0.0, double x = 0.0) {
  InitGearParams(g, m, z, x, 20.0, 10.0, bore, 0.0, 0.0, 1);
  g.thicknessAllowance = allowance;
  ComputeExternalGearGeometry(g, /*detail=*/1);
  ASSERT_EQ(g.valid, 1);
}

inline void MakeRing(GearRecord& g, double m, int64_t z, double rimWidth, double allowance = 0.0) {
  GenerateToothProfile(g, m, z, 0.0, 20.0, 10.0, rimWidth, allowance, 0.0, 1, /*detail=*/1, 0.0);
  ASSERT_EQ(g.valid, 1);
}

inline void MakeRack(GearRecord& g, double m, int64_t n, double height, double allowance = 0.0) {
  BuildRackOutline(g, m, 20.0, 0.0, 1, n, height, 10.0, allowance, /*density=*/1);
  ASSERT_EQ(g.valid, 1);
}

}  // namespace kovrex::test
