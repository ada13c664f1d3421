// Shaft and key sizing: the DIN 6885-1 parallel-key table, the DIN 748 shaft
// diameters, and the torsion and key-pressure check of one gear's shaft-hub
// connection. Not for: reading controls or writing the report (app/ does that).
#pragma once

#include <cstdint>

#include "capacity/strength_types.h"
#include "geometry/gear_record.h"

namespace kovrex {

// One row of DIN 6885-1: shaft diameter dOver < d <= dUpTo; b, h of the key; t2
// keyway depth in the hub, t1 in the shaft. All in mm.
struct KeySize {
  double dOver;
  double dUpTo;
  double b;
  double h;
  double t2;
  double t1;
};

constexpr int kKeySizeCount = 20;
extern const KeySize KeySizeTable[kKeySizeCount];

// Preferred shaft-end diameters of DIN 748 in mm, ascending, ended by -1.
constexpr int kStandardDiameterCount = 52;
extern const double StandardDiameterSeries[kStandardDiameterCount + 1];

struct DinKeyLookup {
  bool found = false;
  double b = 0.0;
  double h = 0.0;
  double t2 = 0.0;
  double t1 = 0.0;
};

// The row with dOver < d <= dUpTo; none (d <= 6, d > 230, NaN): found = false, all 0.
DinKeyLookup LookupDin6885Key(double d);

// The first series value v >= d - 1e-9; beyond 250 mm, d rounded up to a whole mm.
double RoundUpToStandardDiameter(double d);

// Torsion sizing of the shaft and pressure check of the key on its hub side.
// Returns 1 with the result cleared (computed = 0) when the inputs cannot give a
// finite check: torque, allowable torsional stress, shaft yield strength or hub
// pressure limit not positive and finite, or an application factor not positive
// and finite. Otherwise 0, with the verdict text of the linked language. A key
// whose required length is not finite (a bearing height that underflows) fails:
// safety 0, keyLengthRequired NaN and the overloaded verdict with "-" for the length.
// keyCountChoice is clamped to 1..2; keyLengthInput <= 0 means the whole
// available length (face width plus hubs).
int CheckKeyConnection(const GearRecord& gear, double torque, double applicationFactor,
                       double allowableTorsionStress, double shaftYieldStrength,
                       double hubPressureLimit, int64_t keyCountChoice, double keyLengthInput,
                       KeyConnectionResult& result);

}  // namespace kovrex
