// Globals of the load-capacity calculation.
#include "capacity/strength_types.h"

namespace kovrex {

GearMaterial GearMaterialTable[kGearMaterialCount];
ShaftMaterial ShaftMaterialTable[kShaftMaterialCount];
StrengthResult StrengthResultGlobal;

void ResetStrengthState() {
  StrengthResultGlobal = StrengthResult{};
  for (auto& m : GearMaterialTable) m = GearMaterial{};
  for (auto& m : ShaftMaterialTable) m = ShaftMaterial{};
}

}  // namespace kovrex
