// STEP (ISO 10303-21, AP214) file of one or two placed bodies: the entry point of
// the STEP writers. Not for: choosing bodies or showing messages (the export
// command does that).
#pragma once

#include <cstdint>
#include <string>

#include "export/byte_sink.h"
#include "export/export_status.h"
#include "geometry/gear_record.h"

namespace kovrex {

// The first body stands with its axis at the origin turned by firstRotation, the
// second (or none) with its axis at (secondX, secondY) turned by secondRotation.
// path names the product and the FILE_NAME; the bytes go to file. True when every
// byte was taken; on false, status says why.
bool WriteStepFile(ByteSink& file, const std::string& path, const GearRecord& first, double firstRotation,
                   const GearRecord* second, double secondX, double secondY, double secondRotation,
                   ExportStatus* status = nullptr);

// Control points that the helical surfaces of this body would need (0 for a
// prism): the size check before a STEP file is built.
uint64_t EstimateStepControlPoints(const GearRecord& body);

}  // namespace kovrex
