// Basic data of an external test gear as a table row, and the record the program's
// generator makes of it (face width 20, no bore, right hand).
#pragma once

#include <cstdint>

#include "geometry/external_gear.h"
#include "geometry/gear_record.h"

namespace kovrex::test {

struct GearInput {
  const char* name;
  double m;
  int64_t z;
  double x;
  double alphaDeg;
  double betaDeg;
  double allowance = 0.0;
  double tipShortening = 0.0;
};

inline GearRecord MakeGear(const GearInput& s, int detail = 1) {
  GearRecord g;
  InitGearParams(g, s.m, s.z, s.x, s.alphaDeg, 20.0, 0.0, s.tipShortening, s.betaDeg, 1);
  g.thicknessAllowance = s.allowance;
  ComputeExternalGearGeometry(g, detail);
  return g;
}

}  // namespace kovrex::test
