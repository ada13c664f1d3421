// The material combos of the strength window and their value fields: choosing a
// row fills the fields, editing a field away from the row selects the custom row.
// The strength run that follows each of these is the caller's.
#pragma once

namespace kovrex {

// Gear material combo 87 (fields 88..91) or 93 (fields 94..97): rows 0..11 are
// written into the fields; the custom row and no selection leave them alone.
void ShowMaterialProperties(int combo, int sigmaHlimField, int sigmaFlimField, int elasticModulusField,
                            int poissonRatioField);

// Selects the custom row when a field's number differs from the chosen row by more
// than 1e-6 (so "0,30" still matches 0.30).
void ResetMaterialPresetIfEdited(int combo, int sigmaHlimField, int sigmaFlimField, int elasticModulusField,
                                 int poissonRatioField);

// Shaft material combo 104 with the permissible torsion field 105 and yield field 106.
void ShowShaftMaterialProperties();
void ResetShaftPresetIfEdited();

}  // namespace kovrex
