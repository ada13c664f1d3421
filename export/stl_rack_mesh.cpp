// Rack mesh: pitch boundaries on the root and back lines, one end-face polygon per
// pitch, and a single sheared band of walls.
#include "export/stl_rack_mesh.h"

#include <cmath>

#include "export/outline_tools.h"
#include "export/stl_gear_mesh.h"
#include "export/stl_mesh_limits.h"
#include "geometry/rack_outline.h"

namespace kovrex {

namespace {

int64_t Wrap(int64_t j, int64_t count) { return ((j % count) + count) % count; }

// Fills root and back (n + 1 entries each, -1 where missing) with the points that
// lie on a pitch boundary; false when any is missing.
bool FindPitchBoundaries(const std::vector<double>& x, const std::vector<double>& y, int64_t n, double pt,
                         double hf, double hp, std::vector<int64_t>& root, std::vector<int64_t>& back) {
  root.assign(static_cast<size_t>(n) + 1, -1);
  back.assign(static_cast<size_t>(n) + 1, -1);
  for (size_t i = 0; i < x.size(); ++i) {
    const double u = x[i] / pt;
    const double k = std::round(u);
    if (!(std::fabs(u - k) < 1e-7) || k < 0.0 || k > static_cast<double>(n)) continue;
    const size_t at = static_cast<size_t>(k);
    if (std::fabs(y[i] + hf) < 1e-9) root[at] = static_cast<int64_t>(i);
    if (std::fabs(y[i] + hp) < 1e-9) back[at] = static_cast<int64_t>(i);
  }
  for (int64_t k = 0; k <= n; ++k)
    if (root[k] < 0 || back[k] < 0) return false;
  return true;
}

}  // namespace

ExportError PlanRackMesh(const GearRecord& record, double dx, double dy, double tolerance, RackMeshPlan& plan) {
  plan = RackMeshPlan{};
  plan.dx = dx;
  plan.dy = dy;
  GearRecord copy = record;
  BuildRackOutline(copy, record.normalModule, record.pressureAngle * kRadToDeg, record.helixAngle * kRadToDeg,
                   record.hand, record.toothCount, record.rackHeight, record.faceWidth, record.thicknessAllowance,
                   /*density=*/16);
  if (copy.valid != 1 || copy.outline.empty()) return ExportError::InvalidBody;
  const int64_t n = copy.toothCount;
  const double pt = kPi * copy.transverseModule;
  const double hf = copy.dedendumCoeff * copy.normalModule;
  const double hp = copy.rackHeight;
  plan.shift = copy.rackHelixOffset;
  plan.faceWidth = copy.faceWidth;
  if (!std::isfinite(plan.shift)) return ExportError::InvalidBody;

  std::vector<double> ox, oy;
  std::vector<uint8_t> of;
  CollectOutlinePoints(copy, ox, oy, of);
  const size_t count = ox.size();
  if (count < 3) return ExportError::InvalidBody;
  std::vector<double> x, y;
  std::vector<uint8_t> flags;
  x.reserve(count + 2 * static_cast<size_t>(n));
  y.reserve(count + 2 * static_cast<size_t>(n));
  flags.reserve(count + 2 * static_cast<size_t>(n));
  for (size_t i = 0; i < count; ++i) {
    x.push_back(ox[i]);
    y.push_back(oy[i]);
    flags.push_back(of[i]);
    const size_t j = (i + 1) % count;
    const bool level = std::fabs(oy[j] - oy[i]) < 1e-12;
    const bool onLine = std::fabs(oy[i] + hf) < 1e-9 || std::fabs(oy[i] + hp) < 1e-9;
    if (!level || !onLine) continue;
    if (ox[j] > ox[i]) {
      for (int64_t k = 1; k < n; ++k) {
        const double at = static_cast<double>(k) * pt;
        if (ox[i] + 1e-9 < at && at < ox[j] - 1e-9) {
          x.push_back(at);
          y.push_back(oy[i]);
          flags.push_back(1);
        }
      }
    } else {
      for (int64_t k = n - 1; k >= 1; --k) {
        const double at = static_cast<double>(k) * pt;
        if (ox[j] + 1e-9 < at && at < ox[i] - 1e-9) {
          x.push_back(at);
          y.push_back(oy[i]);
          flags.push_back(1);
        }
      }
    }
  }

  std::vector<int64_t> root, back;
  if (!FindPitchBoundaries(x, y, n, pt, hf, hp, root, back)) return ExportError::InvalidBody;
  std::vector<uint8_t> pinned(x.size(), 0);
  for (int64_t k = 0; k <= n; ++k) pinned[root[k]] = pinned[back[k]] = 1;
  // The rack stands off the origin by the pinion's radius: far out, the file's
  // floats hold its corners more coarsely, and a back thinner than they part is
  // no back.
  double reach = 0.0;
  for (size_t i = 0; i < x.size(); ++i) reach = std::max(reach, std::hypot(x[i], y[i]));
  reach += std::hypot(dx, dy) + std::fabs(plan.shift);
  const double minDistance = FloatResolvedGap(reach, kMinVertexDistance);
  plan.thinFacet = minDistance;
  if (!(hp - hf >= minDistance)) return ExportError::InvalidBody;
  MergeClosePoints(x, y, flags, pinned, minDistance);
  if (!FindPitchBoundaries(x, y, n, pt, hf, hp, root, back)) return ExportError::InvalidBody;
  for (int64_t k = 0; k <= n; ++k) flags[root[k]] = flags[back[k]] = 1;

  std::vector<int64_t> map;
  const int64_t m = SimplifyPolyline(x, y, flags, plan.x, plan.y, map, tolerance);
  plan.rootBoundary.resize(static_cast<size_t>(n) + 1);
  plan.backBoundary.resize(static_cast<size_t>(n) + 1);
  for (int64_t k = 0; k <= n; ++k) {
    plan.rootBoundary[k] = map[root[k]];
    plan.backBoundary[k] = map[back[k]];
  }
  double faces = 0.0;
  for (int64_t k = 0; k < n; ++k) {
    const int64_t h = 2 + Wrap(plan.rootBoundary[k] - plan.rootBoundary[k + 1], m) + 1;
    faces += static_cast<double>(h - 2);
  }
  plan.triangles = SaturatingCount(2.0 * faces + 2.0 * static_cast<double>(m));
  return ExportError::None;
}

void MeshRackPlan(const RackMeshPlan& plan, StlTriangleList& list) {
  const int64_t m = static_cast<int64_t>(plan.x.size());
  const int64_t n = static_cast<int64_t>(plan.rootBoundary.size()) - 1;
  FaceTriangleList faces;
  std::vector<int64_t> polygon;
  for (int64_t k = 0; k < n; ++k) {
    polygon.clear();
    polygon.push_back(plan.backBoundary[k]);
    polygon.push_back(plan.backBoundary[k + 1]);
    const int64_t steps = Wrap(plan.rootBoundary[k] - plan.rootBoundary[k + 1], m);
    for (int64_t j = 0; j <= steps; ++j) polygon.push_back((plan.rootBoundary[k + 1] + j) % m);
    TriangulatePolygon(polygon, plan.x, plan.y, faces, plan.thinFacet);
  }
  BoundaryLoopList loops;
  loops.reserve(static_cast<size_t>(m) + 1);
  for (int64_t i = 0; i < m; ++i) loops.push_back(i);
  loops.push_back(-1);
  AddHelicalSweepTriangles(list, plan.x, plan.y, faces, loops, /*layers=*/1, plan.dx, plan.dy, /*rotation=*/0.0,
                           /*twist=*/0.0, plan.shift, plan.faceWidth);
}

int BuildRackMeshStl(StlTriangleList& list, const GearRecord& record, double dx, double dy, double tolerance) {
  RackMeshPlan plan;
  if (PlanRackMesh(record, dx, dy, tolerance, plan) != ExportError::None) return 0;
  MeshRackPlan(plan, list);
  return 1;
}

}  // namespace kovrex
