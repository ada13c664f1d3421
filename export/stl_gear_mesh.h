// Closed triangle mesh of an external gear or a ring gear for the STL file: the
// tooth outline thinned within the chord tolerance, one end-face polygon per tooth
// closed by the bore or the rim, and the prism swept in twisted layers for a
// helical gear. Gears with a hub or keyway go to stl_hub_mesh.h.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "export/export_status.h"
#include "export/outline_tools.h"
#include "export/stl_triangles.h"
#include "geometry/gear_record.h"

namespace kovrex {

// Closed loops of point indices, each ended by -1; the outer boundary runs
// counter-clockwise, a hole clockwise.
using BoundaryLoopList = std::vector<int64_t>;

// Angle of layer i of a sweep in `layers` bands; the last layer takes the full
// twist exactly, so that every face meeting it sees the same vertices.
double SweepLayerAngle(double rotation, double twist, int64_t i, int64_t layers);

// The points turned by angle about the origin, then moved by (dx, dy).
void PlacePoints(const std::vector<double>& px, const std::vector<double>& py, double dx, double dy, double angle,
                 std::vector<double>& x, std::vector<double>& y);

// Bottom face at z = 0 facing -z, top face at z = height facing +z (turned by
// twist and moved by shiftX against the bottom), walls along every loop in
// `layers` bands.
void AddHelicalSweepTriangles(StlTriangleList& list, const std::vector<double>& px, const std::vector<double>& py,
                              const FaceTriangleList& faces, const BoundaryLoopList& loops, int64_t layers,
                              double dx, double dy, double rotation, double twist, double shiftX, double height);

// The gear's outline regenerated at the mesh detail into `copy` (a ring gear from
// its own data, an external gear with its own generator); false when not valid.
bool RegenerateMeshOutline(const GearRecord& record, GearRecord& copy);

// The thinned closed outline with the indices of its z tooth boundaries (points on
// the tooth-space centres); boundaries[z] repeats boundaries[0].
struct ToothedOutline {
  std::vector<double> x;
  std::vector<double> y;
  std::vector<int64_t> boundaries;
};

// phase 0.5 for an external gear (boundaries at (k - 0.5) tau), 0 for a ring gear.
// False when the number of boundaries found is not the tooth number.
// Outline points closer than minDistance are merged.
bool BuildToothedOutline(const GearRecord& regenerated, double phase, double tolerance, double minDistance,
                         ToothedOutline& out);

// Farthest a vertex of the gear placed at (dx, dy) can lie from the origin: the
// magnitude that sets how finely the file's floats hold its coordinates.
double MeshReach(const GearRecord& regenerated, double dx, double dy);

// Closest approach of the closed polygon to the origin, and its farthest vertex.
double PolygonMinRadius(const std::vector<double>& x, const std::vector<double>& y);
double PolygonMaxRadius(const std::vector<double>& x, const std::vector<double>& y);

// Longest edge of the closed polygon.
double PolygonLongestEdge(const std::vector<double>& x, const std::vector<double>& y);

// Layers of a twisted sweep: every chord of a wall (along a layer, along a helix,
// and the diagonal that splits each quad) within the tolerance at this radius,
// for walls whose edges along the outline are at most longestEdge.
int64_t HelicalLayerCount(double twist, double radius, double longestEdge, double tolerance);

// Angle step whose chord stays within the tolerance on this radius (pi/2 when the
// tolerance reaches the radius).
double ChordAngleStep(double radius, double tolerance);

// Edge of a polygon on a circle of this radius whose corners stand `points` to the
// angle `span`.
inline double CircleChord(double radius, double span, int64_t points) {
  return 2.0 * radius * std::sin(span / (2.0 * static_cast<double>(points)));
}

// Everything the mesh of a gear without hub or keyway needs, worked out before any
// triangle exists, so that its size is known first.
struct GearMeshPlan {
  ToothedOutline outline;
  int64_t teeth = 0;
  double tau = 0.0;
  double phase = 0.5;
  bool ring = false;
  double innerRadius = 0.0;  // bore (gear) or rim (ring); 0 = solid
  int64_t perTooth = 0;      // circle points per tooth
  int64_t layers = 1;
  double twist = 0.0;
  double faceWidth = 0.0;
  double dx = 0.0, dy = 0.0, rotation = 0.0;
  double thinFacet = 0.0;  // end-face triangles thinner than this are flipped where they can be
  uint64_t triangles = 0;
};

// None when the gear can be meshed; InvalidGeometry when the bore or rim leaves no
// room between itself and the teeth; InvalidBody when the outline cannot be
// rebuilt.
ExportError PlanGearMesh(const GearRecord& record, double dx, double dy, double rotation, double tolerance,
                         GearMeshPlan& plan);
void MeshGearPlan(const GearMeshPlan& plan, StlTriangleList& list);

// Plans and meshes in one step (gears with a hub or keyway through the hub mesh);
// 1 on success, 0 with nothing added.
int TessellateGearBody(StlTriangleList& list, const GearRecord& record, double dx, double dy, double rotation,
                       double tolerance);

}  // namespace kovrex
