// Between the material tables and the strength window's material fields.
#include "app/material_glue.h"

#include <cmath>

#include "app/control_store.h"
#include "app/controls.h"
#include "app/gadget_input.h"
#include "capacity/strength_types.h"
#include "numbers/number_text.h"

namespace kovrex {
namespace {

// The combo's row when it is one of the presets, else -1 (custom row, none).
int SelectedPreset(int combo, int customRow) {
  int64_t row = Controls().GetState(combo);
  return (row >= 0 && row < customRow) ? static_cast<int>(row) : -1;
}

bool DiffersFrom(int field, double value) { return std::fabs(GetGadgetNumber(field) - value) > 1e-6; }

}  // namespace

void ShowMaterialProperties(int combo, int sigmaHlimField, int sigmaFlimField, int elasticModulusField,
                            int poissonRatioField) {
  int row = SelectedPreset(combo, CustomMaterialRow);
  if (row < 0) return;
  const GearMaterial& m = GearMaterialTable[row];
  ControlStore& c = Controls();
  c.SetText(sigmaHlimField, FormatFixed(0, m.sigmaHlim));
  c.SetText(sigmaFlimField, FormatFixed(0, m.sigmaFlim));
  c.SetText(elasticModulusField, FormatFixed(0, m.elasticModulus));
  c.SetText(poissonRatioField, FormatFixed(2, m.poissonRatio));
}

void ResetMaterialPresetIfEdited(int combo, int sigmaHlimField, int sigmaFlimField, int elasticModulusField,
                                 int poissonRatioField) {
  int row = SelectedPreset(combo, CustomMaterialRow);
  if (row < 0) return;
  const GearMaterial& m = GearMaterialTable[row];
  const struct {
    int field;
    double value;
  } fields[] = {{sigmaHlimField, m.sigmaHlim},
                {sigmaFlimField, m.sigmaFlim},
                {elasticModulusField, m.elasticModulus},
                {poissonRatioField, m.poissonRatio}};
  for (const auto& f : fields) {
    if (DiffersFrom(f.field, f.value)) {
      Controls().SetState(combo, CustomMaterialRow);
      return;
    }
  }
}

void ShowShaftMaterialProperties() {
  int row = SelectedPreset(GadgetShaftMaterial, CustomShaftRow);
  if (row < 0) return;
  const ShaftMaterial& m = ShaftMaterialTable[row];
  SetGadgetTextIfChanged(GadgetAllowableTorsion, FormatFixed(0, m.allowableTorsionStress));
  SetGadgetTextIfChanged(GadgetShaftYield, FormatFixed(0, m.yieldStrength));
}

void ResetShaftPresetIfEdited() {
  int row = SelectedPreset(GadgetShaftMaterial, CustomShaftRow);
  if (row < 0) return;
  const ShaftMaterial& m = ShaftMaterialTable[row];
  if (DiffersFrom(GadgetAllowableTorsion, m.allowableTorsionStress) ||
      DiffersFrom(GadgetShaftYield, m.yieldStrength))
    Controls().SetState(GadgetShaftMaterial, CustomShaftRow);
}

}  // namespace kovrex
