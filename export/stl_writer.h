// Binary STL file of one or two placed bodies: the entry point of the STL writers.
// Not for: choosing bodies or showing messages (the export command does that).
#pragma once

#include <cstdint>

#include "export/byte_sink.h"
#include "export/export_status.h"
#include "geometry/gear_record.h"

namespace kovrex {

// Placement as for the STEP file; tolerance is the chord tolerance in mm. Returns
// the number of triangles written, 0 on failure (status says why).
uint64_t WriteStlFile(ByteSink& file, double tolerance, const GearRecord& first, double firstRotation,
                      const GearRecord* second, double secondX, double secondY, double secondRotation,
                      ExportStatus* status = nullptr);

// Triangles the mesh of this body would have at this tolerance: the size check
// before meshing.
uint64_t EstimateStlTriangles(const GearRecord& body, double tolerance);

}  // namespace kovrex
