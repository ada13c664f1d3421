// Binary STL file of one or two placed bodies: the entry point of the STL writers.
// Not for: choosing bodies or showing messages (the export command does that).
#pragma once

#include <cstdint>
#include <string>

#include "export/byte_sink.h"
#include "export/export_status.h"
#include "export/stl_triangles.h"
#include "geometry/gear_record.h"

namespace kovrex {

// Placement as for the STEP file; tolerance is the chord tolerance in mm. Returns
// the number of triangles written, 0 on failure (status says why).
uint64_t WriteStlFile(ByteSink& file, double tolerance, const GearRecord& first, double firstRotation,
                      const GearRecord* second, double secondX, double secondY, double secondRotation,
                      ExportStatus* status = nullptr);

// Triangles the mesh of this body, placed at (dx, dy), would have at this
// tolerance: the size check before meshing, which plans the body from counts
// alone. 0 when the body cannot be meshed there; error (when given) then says why,
// as the writer would. The count does not depend on the placement.
uint64_t EstimateStlTriangles(const GearRecord& body, double tolerance, ExportError* error = nullptr,
                              double dx = 0.0, double dy = 0.0);

// Meshes one body into the list: a rack at (dx, dy) unturned, any other body at
// (dx, dy) turned by rotation. 1 on success, 0 when it cannot be meshed.
int WriteStlSolid(StlTriangleList& list, const GearRecord& body, double dx, double dy, double rotation,
                  double tolerance);

// The file bytes of a finished list: header, count, one 50-byte record per
// triangle with its unit normal (zero for a degenerate triangle). False when the
// sink refused a write.
bool WriteStlTriangleList(ByteSink& file, double tolerance, const StlTriangleList& list);

// The 80 header bytes: the fixed text with the tolerance, padded with spaces.
std::string StlHeaderText(double tolerance);

}  // namespace kovrex
