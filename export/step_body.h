// One body of the STEP file: which solid writer builds it, and the closure of an
// external gear with hub or keyed bore (bore over the full length, hub cylinders,
// end faces, shell and solid). Not for: the tooth side faces (step_extruded,
// step_helical) or the plain closure (step_prism_closure).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/gear_record.h"

namespace kovrex {

// The complete solid of body, its axis at (x, y), turned by phi; returns its
// MANIFOLD_SOLID_BREP. Works on a copy of the outline with points closer than the
// file's precision merged; an outline without points marks the file unwritable.
// Helical gears (not racks) go to WriteStepHelicalSolid, the rest to
// WriteStepExtrudedSolid.
uint64_t WriteStepGearSolid(const GearRecord& body, double x, double y, double phi);

// Last step of a tooth writer. bottomEdges / topEdges: the outer outline's edges
// at z = 0 and z = faceWidth in outline order and direction (counter-clockwise
// seen from +z for a gear); faces: the side faces written so far, "#n" joined by
// ",". An external gear with keyway or hub gets WriteStepBodyWithHub; every other
// body, ring gears and racks whatever their hub fields hold, CloseStepPrismSolid.
uint64_t CloseStepGearSolid(const GearRecord& body, const std::vector<uint64_t>& bottomEdges,
                            const std::vector<uint64_t>& topEdges, std::string faces, double x, double y, double phi);

// Bore (plain or keyed) from the lowest to the highest z, hubs below and/or above
// the gear body, both end faces of the gear and of each hub, the shell and the
// solid. Arguments as for CloseStepGearSolid.
uint64_t WriteStepBodyWithHub(const GearRecord& body, const std::vector<uint64_t>& bottomEdges,
                              const std::vector<uint64_t>& topEdges, std::string faces, double x, double y, double phi);

}  // namespace kovrex
