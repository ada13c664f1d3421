// Tooth form factor Y_F and stress correction factor Y_S measured on a generated
// tooth outline: the virtual spur gear (or straight rack) of a real gear, and the
// critical root section found on it by the 30 / 60 degree tangent rule with the load
// at the tooth tip. Not for: the stresses themselves (load_capacity).
#pragma once

#include "capacity/strength_types.h"
#include "geometry/gear_record.h"

namespace kovrex {

// Tooth kind of a gear in the root-stress calculation; the arrangement kind of a
// pair uses the same numbers (external pair, internal pair, pinion with rack).
enum class ToothKind : int { External = 0, Ring = 1, Rack = 2 };

// Outline detail of the virtual gears: fine enough that the tangent point and the
// three-point fillet radius are within a fraction of a per cent.
constexpr int kVirtualGearDetail = 8;

// Fills `virtualGear` (a scratch record of the caller) with the spur gear of the
// virtual tooth number z / (cos^2 beta_b cos beta), at least 6, the ring gear of that
// tooth number, or a straight 3-tooth rack, at kVirtualGearDetail. A virtual gear
// or ring carries the outline of its first tooth (space) only, which is all that
// ComputeToothRootFormFactors reads.
void BuildVirtualGearForRootStress(const GearRecord& source, ToothKind kind, GearRecord& virtualGear);

// Finds the critical root section on the virtual gear's outline and evaluates
// Y_F and Y_S. Returns 1 and found = 1 when both factors could be computed; else 0,
// with the fields written before the failing step kept.
int ComputeToothRootFormFactors(const GearRecord& virtualGear, ToothKind kind, RootSectionResult& result);

}  // namespace kovrex
