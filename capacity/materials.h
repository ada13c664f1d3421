// Filling the gear-material and shaft-material tables (strength_types.h) once at
// start-up. Not for: showing a row in the strength window (app/material_glue).
#pragma once

#include <cstdint>
#include <string>

namespace kovrex {

// Rows 0..12 of GearMaterialTable, in index order, names in the linked language.
void InitMaterialTable();

// Writes every field of one row; an index outside 0..12 is ignored.
void SetMaterialTableEntry(int index, const std::string& name, double sigmaHlim, double sigmaFlim,
                           double elasticModulus, double poissonRatio, int64_t lifeCurveClass,
                           double yieldStrength);

// Rows 0..5 of ShaftMaterialTable.
void InitShaftMaterialTable();

// Permissible surface pressure of a hub made of gear material `row` on a key:
// 0.9 Re, or 125 N/mm2 for a material without a yield strength (grey cast iron).
// A row outside the table counts as row 0.
double HubPressureLimit(int64_t row);

}  // namespace kovrex
