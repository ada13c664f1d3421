// The two material tables of the strength calculation and the hub pressure rule
// that reads them.
#include "capacity/materials.h"

#include "capacity/strength_types.h"
#include "text/texts.h"

namespace kovrex {
namespace {

struct GearMaterialRow {
  TextId name;
  double sigmaHlim, sigmaFlim, elasticModulus, poissonRatio;
  int64_t lifeCurveClass;
  double yieldStrength;
};

// Class 1 selects the flatter life curves of nitrided steel and grey cast iron.
// The grey iron's Re of 0 is deliberate: it sends the hub to the fixed 125 N/mm2.
constexpr GearMaterialRow kGearMaterials[kGearMaterialCount] = {
    {TextId::GearMaterialS355, 430, 200, 206000, 0.30, 0, 355},
    {TextId::GearMaterialC45Normalised, 560, 220, 206000, 0.30, 0, 340},
    {TextId::GearMaterialC45QuenchedTempered, 650, 260, 206000, 0.30, 0, 490},
    {TextId::GearMaterial42CrMo4QuenchedTempered, 750, 300, 206000, 0.30, 0, 750},
    {TextId::GearMaterialC45SurfaceHardened, 1100, 340, 206000, 0.30, 0, 490},
    {TextId::GearMaterial42CrMo4SurfaceHardened, 1150, 350, 206000, 0.30, 0, 750},
    {TextId::GearMaterial42CrMo4Nitrided, 1100, 380, 206000, 0.30, 1, 750},
    {TextId::GearMaterial16MnCr5CaseHardened, 1500, 450, 206000, 0.30, 0, 590},
    {TextId::GearMaterial18CrNiMo76CaseHardened, 1500, 500, 206000, 0.30, 0, 785},
    {TextId::GearMaterialGjs600, 560, 220, 170000, 0.30, 0, 370},
    {TextId::GearMaterialGjl250, 360, 100, 120000, 0.26, 1, 0},
    {TextId::GearMaterialCuSn12, 320, 120, 95000, 0.35, 0, 150},
    {TextId::GearMaterialCustom, 0, 0, 206000, 0.30, 0, 355},
};

struct ShaftMaterialRow {
  TextId name;
  double allowableTorsionStress, yieldStrength;
};

constexpr ShaftMaterialRow kShaftMaterials[kShaftMaterialCount] = {
    {TextId::ShaftMaterialS235, 25, 235},  {TextId::ShaftMaterialS355, 30, 355},
    {TextId::ShaftMaterialC45, 40, 490},   {TextId::ShaftMaterial42CrMo4, 55, 750},
    {TextId::ShaftMaterial34CrNiMo6, 65, 900}, {TextId::ShaftMaterialCustom, 40, 490},
};

}  // namespace

void SetMaterialTableEntry(int index, const std::string& name, double sigmaHlim, double sigmaFlim,
                           double elasticModulus, double poissonRatio, int64_t lifeCurveClass,
                           double yieldStrength) {
  if (index < 0 || index >= kGearMaterialCount) return;
  GearMaterial& m = GearMaterialTable[index];
  m.name = name;
  m.sigmaHlim = sigmaHlim;
  m.sigmaFlim = sigmaFlim;
  m.elasticModulus = elasticModulus;
  m.poissonRatio = poissonRatio;
  m.lifeCurveClass = lifeCurveClass;
  m.yieldStrength = yieldStrength;
}

void InitMaterialTable() {
  for (int i = 0; i < kGearMaterialCount; ++i) {
    const GearMaterialRow& r = kGearMaterials[i];
    SetMaterialTableEntry(i, Tx(r.name), r.sigmaHlim, r.sigmaFlim, r.elasticModulus, r.poissonRatio,
                          r.lifeCurveClass, r.yieldStrength);
  }
}

void InitShaftMaterialTable() {
  for (int i = 0; i < kShaftMaterialCount; ++i) {
    const ShaftMaterialRow& r = kShaftMaterials[i];
    ShaftMaterialTable[i] = ShaftMaterial{Tx(r.name), r.allowableTorsionStress, r.yieldStrength};
  }
}

double HubPressureLimit(int64_t row) {
  if (row < 0 || row >= kGearMaterialCount) row = 0;
  double re = GearMaterialTable[row].yieldStrength;
  return re > 0.0 ? 0.9 * re : 125.0;
}

}  // namespace kovrex
