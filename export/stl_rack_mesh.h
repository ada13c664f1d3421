// STL mesh of the rack of the pinion-and-rack arrangement: the outline cut into one
// slab per transverse pitch, thinned within the chord tolerance and extruded over
// the face width; a helical rack is sheared along its length, not twisted.
#pragma once

#include <cstdint>
#include <vector>

#include "export/export_status.h"
#include "export/stl_triangles.h"
#include "geometry/gear_record.h"

namespace kovrex {

struct RackMeshPlan {
  std::vector<double> x, y;          // thinned outline in the rack's own frame
  std::vector<int64_t> rootBoundary;  // k = 0 .. n: point at x = k p_t on the root line
  std::vector<int64_t> backBoundary;  // the same on the back line
  double shift = 0.0;                 // top face against the bottom, along the rack
  double faceWidth = 0.0;
  double dx = 0.0, dy = 0.0;
  double thinFacet = 0.0;  // end-face triangles thinner than this are flipped where they can be
  uint64_t triangles = 0;
};

// None when the rack can be meshed; InvalidBody when its outline cannot be rebuilt
// or a pitch boundary is missing.
ExportError PlanRackMesh(const GearRecord& record, double dx, double dy, double tolerance, RackMeshPlan& plan);
void MeshRackPlan(const RackMeshPlan& plan, StlTriangleList& list);

// 1 on success, 0 with nothing added.
int BuildRackMeshStl(StlTriangleList& list, const GearRecord& record, double dx, double dy, double tolerance);

}  // namespace kovrex
