// STL mesh of an external gear with a hub, a keyway or both: a toothed ring down
// to an intermediate circle (twisted in layers for a helical gear), flat webs from
// that circle to the hub or the bore, hub cylinders, and the keyed bore as one
// straight hole. Not for: plain gears and ring gears (stl_gear_mesh.h).
#pragma once

#include <cstdint>
#include <vector>

#include "export/export_status.h"
#include "export/stl_gear_mesh.h"
#include "export/stl_triangles.h"
#include "geometry/gear_record.h"

namespace kovrex {

// Flat face at height z between a closed outer loop and a closed inner loop (both
// counter-clockwise about (cx, cy)), or a disc fanned from the centre when the
// inner loop is empty; each triangle faces +z or -z as asked.
void TriangulateAnnularFace(StlTriangleList& list, const std::vector<double>& outerX,
                            const std::vector<double>& outerY, const std::vector<double>& innerX,
                            const std::vector<double>& innerY, double cx, double cy, double z, bool facingUp);

// True when every triangle the face above would get already runs counter-clockwise
// in the order the stitching produces it: no triangle is folded over its
// neighbours.
bool AnnularFaceIsUnfolded(const std::vector<double>& outerX, const std::vector<double>& outerY,
                           const std::vector<double>& innerX, const std::vector<double>& innerY, double cx,
                           double cy);

// Straight wall along a closed loop from z0 up to z1: outward for a
// counter-clockwise loop walled forward, inward (a hole) walled reversed.
void EmitOutlineSideWalls(StlTriangleList& list, const std::vector<double>& x, const std::vector<double>& y,
                          bool forward, double z0, double z1);

struct HubGearMeshPlan {
  ToothedOutline outline;
  int64_t teeth = 0;
  double tau = 0.0;
  double middleRadius = 0.0;  // intermediate circle
  int64_t perTooth = 0;
  int64_t layers = 1;
  double twist = 0.0;
  double faceWidth = 0.0;
  double dx = 0.0, dy = 0.0, rotation = 0.0;
  bool lowHub = false, highHub = false;
  double zLow = 0.0, zHigh = 0.0;
  std::vector<double> boreX, boreY;  // placed; empty without a bore
  std::vector<double> hubX, hubY;    // placed; empty without a hub
  double thinFacet = 0.0;  // ring triangles thinner than this are flipped where they can be
  uint64_t triangles = 0;
};

// None when the gear can be meshed; InvalidGeometry when bore, keyway and hub
// leave no room for a web below the teeth (or the bore reaches the hub circle);
// InvalidBody when the outline cannot be rebuilt. A plan above kMaxStlTriangles holds
// only its count, no points: it is for the refusal, never to be meshed.
ExportError PlanHubGearMesh(const GearRecord& record, double dx, double dy, double rotation, double tolerance,
                            HubGearMeshPlan& plan);
void MeshHubGearPlan(const HubGearMeshPlan& plan, StlTriangleList& list);

// 1 on success, 0 with nothing added.
int BuildHubGearMeshStl(StlTriangleList& list, const GearRecord& record, double dx, double dy, double rotation,
                        double tolerance);

}  // namespace kovrex
