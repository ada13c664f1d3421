// Gear and ring-gear meshes for the STL file, and the layered sweep that turns a
// triangulated end face into a closed (possibly twisted or sheared) prism.
#include "export/stl_gear_mesh.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "export/stl_hub_mesh.h"
#include "export/stl_mesh_limits.h"
#include "geometry/external_gear.h"
#include "geometry/ring_gear.h"

namespace kovrex {

namespace {

// Index of the circle point j, whatever side of 0 .. count-1 it lies on.
int64_t Wrap(int64_t j, int64_t count) { return ((j % count) + count) % count; }

}  // namespace

double SweepLayerAngle(double rotation, double twist, int64_t i, int64_t layers) {
  if (i >= layers) return rotation + twist;
  if (i <= 0) return rotation;
  return rotation + twist * (static_cast<double>(i) / static_cast<double>(layers));
}

void PlacePoints(const std::vector<double>& px, const std::vector<double>& py, double dx, double dy, double angle,
                 std::vector<double>& x, std::vector<double>& y) {
  const double c = std::cos(angle), s = std::sin(angle);
  const size_t n = px.size();
  x.resize(n);
  y.resize(n);
  for (size_t j = 0; j < n; ++j) {
    x[j] = dx + px[j] * c - py[j] * s;
    y[j] = dy + px[j] * s + py[j] * c;
  }
}

void AddHelicalSweepTriangles(StlTriangleList& list, const std::vector<double>& px, const std::vector<double>& py,
                              const FaceTriangleList& faces, const BoundaryLoopList& loops, int64_t layers,
                              double dx, double dy, double rotation, double twist, double shiftX, double height) {
  const size_t n = px.size();
  if (layers < 1) layers = 1;
  const size_t layerCount = static_cast<size_t>(layers) + 1;
  // Every vertex is placed once and reused by all triangles that meet in it, and
  // the top layer takes the face height and the full twist exactly: a top z of
  // height * L / L computed apart could differ in the last bit from the end face
  // and crack the mesh.
  std::vector<double> vx(layerCount * n), vy(layerCount * n), vz(layerCount);
  std::vector<double> lx, ly;
  for (size_t i = 0; i < layerCount; ++i) {
    const bool last = i + 1 == layerCount;
    const double f = static_cast<double>(i) / static_cast<double>(layers);
    const double shift = last ? shiftX : shiftX * f;
    vz[i] = last ? height : height * f;
    PlacePoints(px, py, dx + shift, dy, SweepLayerAngle(rotation, twist, static_cast<int64_t>(i), layers), lx, ly);
    std::copy(lx.begin(), lx.end(), vx.begin() + static_cast<std::ptrdiff_t>(i * n));
    std::copy(ly.begin(), ly.end(), vy.begin() + static_cast<std::ptrdiff_t>(i * n));
  }
  auto vertex = [&](size_t layer, int64_t j, double& x, double& y, double& z) {
    x = vx[layer * n + static_cast<size_t>(j)];
    y = vy[layer * n + static_cast<size_t>(j)];
    z = vz[layer];
  };
  auto add = [&](size_t la, int64_t a, size_t lb, int64_t b, size_t lc, int64_t c) {
    double x0, y0, z0, x1, y1, z1, x2, y2, z2;
    vertex(la, a, x0, y0, z0);
    vertex(lb, b, x1, y1, z1);
    vertex(lc, c, x2, y2, z2);
    AddStlTriangle(list, x0, y0, z0, x1, y1, z1, x2, y2, z2);
  };
  const size_t top = layerCount - 1;
  for (size_t t = 0; t + 2 < faces.size(); t += 3) {
    add(0, faces[t], 0, faces[t + 2], 0, faces[t + 1]);
    add(top, faces[t], top, faces[t + 1], top, faces[t + 2]);
  }
  auto wall = [&](int64_t p, int64_t c) {
    for (size_t i = 0; i < top; ++i) {
      add(i, p, i, c, i + 1, c);
      add(i, p, i + 1, c, i + 1, p);
    }
  };
  int64_t first = -1, previous = -1;
  for (int64_t c : loops) {
    if (c == -1) {
      if (first != -1 && previous != -1) wall(previous, first);
      first = previous = -1;
      continue;
    }
    if (first == -1)
      first = c;
    else
      wall(previous, c);
    previous = c;
  }
}

bool RegenerateMeshOutline(const GearRecord& record, GearRecord& copy) {
  copy = record;
  if (record.isInternal) {
    GenerateToothProfile(copy, record.normalModule, record.toothCount, record.profileShift,
                         record.pressureAngle * kRadToDeg, record.faceWidth, record.rimWidth,
                         record.thicknessAllowance, record.helixAngle * kRadToDeg, record.hand,
                         /*detail=*/16, record.tipRadiusOverride);
  } else {
    ComputeExternalGearGeometry(copy, /*detail=*/16);
  }
  return copy.valid == 1 && !copy.outline.empty();
}

bool BuildToothedOutline(const GearRecord& regenerated, double phase, double tolerance, double minDistance,
                         ToothedOutline& out) {
  const int64_t z = regenerated.toothCount;
  if (z < 1) return false;
  const double tau = 2.0 * kPi / static_cast<double>(z);
  std::vector<double> x, y;
  std::vector<uint8_t> flags;
  CollectOutlinePoints(regenerated, x, y, flags);
  std::vector<uint8_t> boundary(x.size(), 0);
  for (size_t i = 0; i < x.size(); ++i) {
    const double t = std::atan2(y[i], x[i]) / tau + phase;
    const double k = std::round(t);
    if (std::fabs(t - k) < 1e-7) boundary[i] = 1;
  }
  MergeClosePoints(x, y, flags, boundary, minDistance);
  std::vector<int64_t> found;
  for (size_t i = 0; i < x.size(); ++i) {
    if (!boundary[i]) continue;
    flags[i] = 1;
    found.push_back(static_cast<int64_t>(i));
  }
  if (static_cast<int64_t>(found.size()) != z) return false;
  std::vector<int64_t> map;
  SimplifyPolyline(x, y, flags, out.x, out.y, map, tolerance);
  out.boundaries.resize(static_cast<size_t>(z) + 1);
  for (int64_t k = 0; k < z; ++k) out.boundaries[k] = map[found[k]];
  out.boundaries[z] = out.boundaries[0];
  return true;
}

double MeshReach(const GearRecord& regenerated, double dx, double dy) {
  const double radius = std::max({regenerated.tipRadius, regenerated.rootRadius,
                                  regenerated.isInternal ? regenerated.rimRadius : 0.0});
  return std::hypot(dx, dy) + radius;
}

double PolygonMinRadius(const std::vector<double>& x, const std::vector<double>& y) {
  double best = std::numeric_limits<double>::infinity();
  const size_t n = x.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    const double ex = x[j] - x[i], ey = y[j] - y[i];
    const double len2 = ex * ex + ey * ey;
    double t = len2 > 0.0 ? -(x[i] * ex + y[i] * ey) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    best = std::min(best, std::hypot(x[i] + t * ex, y[i] + t * ey));
  }
  return best;
}

double PolygonMaxRadius(const std::vector<double>& x, const std::vector<double>& y) {
  double best = 0.0;
  for (size_t i = 0; i < x.size(); ++i) best = std::max(best, std::hypot(x[i], y[i]));
  return best;
}

double PolygonLongestEdge(const std::vector<double>& x, const std::vector<double>& y) {
  double best = 0.0;
  const size_t n = x.size();
  for (size_t i = 0; i < n; ++i) best = std::max(best, std::hypot(x[(i + 1) % n] - x[i], y[(i + 1) % n] - y[i]));
  return best;
}

int64_t HelicalLayerCount(double twist, double radius, double longestEdge, double tolerance) {
  // A wall quad between two layers is split by a diagonal, which the twist Δ of
  // one layer shears off the surface by Δ·e/4 (e the quad's edge along the
  // outline), on top of the helix chord's own sagitta r·Δ²/8. Both together must
  // stay within the tolerance, as the outline chords already do: so Δ solves
  // r·Δ²/8 + e·Δ/4 = tol, and is no wider than the helix chord step alone.
  double step = ChordAngleStep(radius, tolerance);
  if (radius > 0.0 && longestEdge > 0.0) {
    const double q = longestEdge / 4.0;
    const double sheared = (std::sqrt(q * q + radius * tolerance / 2.0) - q) / (radius / 4.0);
    if (sheared > 0.0) step = std::min(step, sheared);
  }
  const double layers = std::ceil(std::fabs(twist) / std::max(step, kMinAngleStep));
  if (!(layers < kMaxLayers)) return static_cast<int64_t>(kMaxLayers);
  return std::max<int64_t>(1, static_cast<int64_t>(layers));
}

double ChordAngleStep(double radius, double tolerance) {
  double step = kPi / 2.0;
  if (tolerance < radius) step = 2.0 * std::acos(1.0 - tolerance / radius);
  // 1 - tol/R rounds to 1 for a tolerance tiny against the radius: acos would give
  // a step of 0 and an endless division.
  return std::max(step, kMinAngleStep);
}

ExportError PlanGearMesh(const GearRecord& record, double dx, double dy, double rotation, double tolerance,
                         GearMeshPlan& plan) {
  plan = GearMeshPlan{};
  const int64_t z = record.toothCount;
  if (z < 1) return ExportError::InvalidBody;
  plan.teeth = z;
  plan.ring = record.isInternal != 0;
  plan.tau = 2.0 * kPi / static_cast<double>(z);
  plan.phase = plan.ring ? 0.0 : 0.5;
  plan.dx = dx;
  plan.dy = dy;
  plan.rotation = rotation;
  const double tol = GearMeshTolerance(record.helixAngle, tolerance);

  GearRecord copy;
  if (!RegenerateMeshOutline(record, copy)) return ExportError::InvalidBody;
  const double reach = MeshReach(copy, dx, dy);
  const double vertexGap = FloatResolvedGap(reach, kMinVertexDistance);
  const double gap = FloatResolvedGap(reach, kMinRadialGap);
  plan.thinFacet = vertexGap;
  if (!BuildToothedOutline(copy, plan.phase, tol, vertexGap, plan.outline)) return ExportError::InvalidBody;
  plan.faceWidth = copy.faceWidth;
  const std::vector<double>& ox = plan.outline.x;
  const std::vector<double>& oy = plan.outline.y;

  const double R = plan.ring ? copy.rimRadius : copy.boreDiameter / 2.0;
  if (plan.ring && !(R > 0.0)) return ExportError::InvalidGeometry;
  plan.innerRadius = R > 0.0 ? R : 0.0;
  if (R > 0.0) {
    const double step = ChordAngleStep(R, tol);
    plan.perTooth = std::max<int64_t>(1, static_cast<int64_t>(std::ceil(plan.tau / step)));
    if (plan.ring) {
      // The rim polygon's chords must pass outside the roots of the teeth, or the
      // end faces would fold over the tooth spaces.
      const double outermost = PolygonMaxRadius(ox, oy);
      if (!(R > outermost + gap)) return ExportError::InvalidGeometry;
      const double needed = 2.0 * std::acos((outermost + gap / 2.0) / R);
      plan.perTooth = std::max<int64_t>(plan.perTooth, static_cast<int64_t>(std::ceil(plan.tau / needed)));
    } else if (!(R < PolygonMinRadius(ox, oy) - gap)) {
      return ExportError::InvalidGeometry;
    }
    // A bore of a micrometre on a gear a metre from the origin: its chords are
    // shorter than the floats there tell apart.
    if (!(CircleChord(R, plan.tau, plan.perTooth) >= vertexGap)) return ExportError::InvalidBody;
  }

  plan.layers = 1;
  plan.twist = 0.0;
  if (copy.helixAngle > 1e-9) {
    const double hand = copy.hand < 0 ? -1.0 : 1.0;
    plan.twist = hand * std::tan(copy.helixAngle) * copy.faceWidth / copy.pitchRadius;
    const double rMax = std::max({copy.tipRadius, copy.rootRadius, R});
    double longest = PolygonLongestEdge(ox, oy);
    if (R > 0.0) longest = std::max(longest, CircleChord(R, plan.tau, plan.perTooth));
    plan.layers = HelicalLayerCount(plan.twist, rMax, longest, tol);
  }
  if (!std::isfinite(plan.twist)) return ExportError::InvalidBody;

  // Each tooth polygon of h corners gives h - 2 triangles; every boundary edge two
  // per layer band.
  const double m = static_cast<double>(ox.size());
  const double circle = R > 0.0 ? static_cast<double>(z) * static_cast<double>(plan.perTooth) : 0.0;
  const double faceTriangles = R > 0.0 ? m + circle : m;
  const double edges = m + circle;
  plan.triangles = SaturatingCount(2.0 * faceTriangles + 2.0 * static_cast<double>(plan.layers) * edges);
  return ExportError::None;
}

void MeshGearPlan(const GearMeshPlan& plan, StlTriangleList& list) {
  const std::vector<int64_t>& s = plan.outline.boundaries;
  const int64_t m = static_cast<int64_t>(plan.outline.x.size());
  const int64_t z = plan.teeth;
  const int64_t nt = plan.perTooth;
  const bool circle = plan.innerRadius > 0.0;
  const int64_t C = circle ? z * nt : 1;
  std::vector<double> px = plan.outline.x, py = plan.outline.y;
  px.reserve(static_cast<size_t>(m + C));
  py.reserve(static_cast<size_t>(m + C));
  if (circle) {
    for (int64_t j = 0; j < C; ++j) {
      const double a = (static_cast<double>(j) / static_cast<double>(nt) - plan.phase) * plan.tau;
      px.push_back(plan.innerRadius * std::cos(a));
      py.push_back(plan.innerRadius * std::sin(a));
    }
  } else {
    px.push_back(0.0);
    py.push_back(0.0);
  }
  auto circleIndex = [&](int64_t outlinePoint) {
    const double t = std::atan2(py[outlinePoint], px[outlinePoint]) / plan.tau + plan.phase;
    return static_cast<int64_t>(std::round(t * static_cast<double>(nt)));
  };

  FaceTriangleList faces;
  faces.reserve(static_cast<size_t>(3 * (m + C)));
  std::vector<int64_t> polygon;
  for (int64_t k = 0; k < z; ++k) {
    polygon.clear();
    if (plan.ring) {
      const int64_t ae = circleIndex(s[k + 1]);
      for (int64_t j = ae; j <= ae + nt; ++j) polygon.push_back(m + Wrap(j, C));
    }
    // Both boundary points belong to the tooth; a single tooth walks the whole loop.
    const int64_t steps = z == 1 ? m : Wrap(s[k + 1] - s[k], m);
    for (int64_t j = 0; j <= steps; ++j) polygon.push_back((s[k] + j) % m);
    if (!plan.ring) {
      if (circle) {
        const int64_t as = circleIndex(s[k]);
        for (int64_t j = as + nt; j >= as; --j) polygon.push_back(m + Wrap(j, C));
      } else {
        polygon.push_back(m);
      }
    }
    TriangulatePolygon(polygon, px, py, faces, plan.thinFacet);
  }

  BoundaryLoopList loops;
  loops.reserve(static_cast<size_t>(m + C + 2));
  for (int64_t i = 0; i < m; ++i) loops.push_back(i);
  loops.push_back(-1);
  if (circle) {
    if (plan.ring) {
      for (int64_t j = 0; j < C; ++j) loops.push_back(m + j);
    } else {
      for (int64_t j = C - 1; j >= 0; --j) loops.push_back(m + j);
    }
    loops.push_back(-1);
  }
  AddHelicalSweepTriangles(list, px, py, faces, loops, plan.layers, plan.dx, plan.dy, plan.rotation, plan.twist,
                           0.0, plan.faceWidth);
}

int TessellateGearBody(StlTriangleList& list, const GearRecord& record, double dx, double dy, double rotation,
                       double tolerance) {
  if (!record.isInternal && (HasKeyway(record) || HasHub(record)))
    return BuildHubGearMeshStl(list, record, dx, dy, rotation, tolerance);
  GearMeshPlan plan;
  if (PlanGearMesh(record, dx, dy, rotation, tolerance, plan) != ExportError::None) return 0;
  MeshGearPlan(plan, list);
  return 1;
}

}  // namespace kovrex
