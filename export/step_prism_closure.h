// Closure of the STEP solid of a body without hub and keyway: the plain bore (or
// the ring gear's rim) as a cylinder of two half faces, the two end faces, the
// closed shell and the named manifold solid. Not for: hubs and keyed bores
// (step_body) or the tooth side faces (step_extruded, step_helical).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/gear_record.h"

namespace kovrex {

// bottomEdges and topEdges: the outline edges at z = 0 and z = faceWidth in
// outline order and direction (as many of each); faces: the side faces written so
// far, "#n" joined by ",". The bore or rim circle is centred on (ox, oy), so the
// body's rotation does not enter. Returns the MANIFOLD_SOLID_BREP.
uint64_t CloseStepPrismSolid(const GearRecord& body, const std::vector<uint64_t>& bottomEdges,
                             const std::vector<uint64_t>& topEdges, std::string faces, double ox, double oy);

// Name of the solid: rack, ring gear with its tooth number, or gear with its
// tooth number, in the build's language.
std::string StepSolidName(const GearRecord& body);

}  // namespace kovrex
