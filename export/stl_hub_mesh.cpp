// Mesh of a gear with hub or keyed bore: the toothed ring, the flat webs and hub
// ends between closed loops, and the straight walls of hub and bore.
#include "export/stl_hub_mesh.h"

#include <algorithm>
#include <cmath>

#include "export/stl_mesh_limits.h"
#include "geometry/bore_outline.h"

namespace kovrex {

namespace {

// More points than this on one loop only come from loops that nearly touch.
constexpr int64_t kMaxLoopPoints = 100000000;

int64_t Wrap(int64_t j, int64_t count) { return ((j % count) + count) % count; }

// The loop's point angles about the centre from its lowest-angle point on, made
// increasing, with the first angle plus 2 pi appended.
void UnwrappedAngles(const std::vector<double>& x, const std::vector<double>& y, double cx, double cy,
                     size_t start, std::vector<double>& angles) {
  const size_t n = x.size();
  angles.resize(n + 1);
  for (size_t j = 0; j < n; ++j) {
    const size_t k = (start + j) % n;
    double a = std::atan2(y[k] - cy, x[k] - cx);
    if (j > 0)
      while (a < angles[j - 1]) a += 2.0 * kPi;
    angles[j] = a;
  }
  angles[n] = angles[0] + 2.0 * kPi;
}

size_t LowestAngle(const std::vector<double>& x, const std::vector<double>& y, double cx, double cy) {
  double best = 1e9;
  size_t at = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double a = std::atan2(y[i] - cy, x[i] - cx);
    if (a < best) {
      best = a;
      at = i;
    }
  }
  return at;
}

// Walks the face's triangles in stitching order: emit(x0, y0, x1, y1, x2, y2).
template <class Emit>
void StitchAnnulus(const std::vector<double>& ox, const std::vector<double>& oy, const std::vector<double>& ix,
                   const std::vector<double>& iy, double cx, double cy, Emit emit) {
  const size_t no = ox.size(), ni = ix.size();
  if (no == 0) return;
  if (ni == 0) {
    for (size_t i = 0; i < no; ++i) {
      const size_t j = (i + 1) % no;
      emit(cx, cy, ox[i], oy[i], ox[j], oy[j]);
    }
    return;
  }
  // The inner loop starts at its first point at or past the outer start, not at
  // its own lowest angle: an inner start ahead of the outer one would pair the
  // first inner edges with an outer point beyond them and fold those triangles.
  const size_t so = LowestAngle(ox, oy, cx, cy);
  std::vector<double> ao, ai;
  UnwrappedAngles(ox, oy, cx, cy, so, ao);
  size_t si = 0;
  double lowest = 1e300;
  for (size_t k = 0; k < ni; ++k) {
    double a = std::atan2(iy[k] - cy, ix[k] - cx);
    while (a < ao[0]) a += 2.0 * kPi;
    if (a < lowest) {
      lowest = a;
      si = k;
    }
  }
  UnwrappedAngles(ix, iy, cx, cy, si, ai);
  const double turn = lowest - ai[0];  // whole turns that bring the start past ao[0]
  for (double& a : ai) a += turn;
  size_t i = 0, j = 0;
  while (i < no || j < ni) {
    const size_t oa = (so + i) % no, ob = (so + i + 1) % no;
    const size_t ia = (si + j) % ni, ib = (si + j + 1) % ni;
    if (j == ni || (i < no && ao[i + 1] <= ai[j + 1])) {
      emit(ox[oa], oy[oa], ox[ob], oy[ob], ix[ia], iy[ia]);
      ++i;
    } else {
      emit(ix[ia], iy[ia], ox[oa], oy[oa], ix[ib], iy[ib]);
      ++j;
    }
  }
}

void CirclePoints(double cx, double cy, double radius, int64_t count, std::vector<double>& x,
                  std::vector<double>& y) {
  x.resize(static_cast<size_t>(count));
  y.resize(static_cast<size_t>(count));
  for (int64_t j = 0; j < count; ++j) {
    const double a = 2.0 * kPi * static_cast<double>(j) / static_cast<double>(count);
    x[j] = cx + radius * std::cos(a);
    y[j] = cy + radius * std::sin(a);
  }
}

// Points per step so that the polygon's inscribed circle still clears `inner`.
int64_t StepsClearing(double span, double radius, double inner) {
  const double half = std::acos(std::min(1.0, inner / radius));
  if (!(half > 0.0)) return INT64_MAX;
  return static_cast<int64_t>(std::ceil(span / (2.0 * half)));
}

// Points per span so that no step is wider than `step`.
int64_t StepsNotWider(double span, double step) {
  if (!(step > 0.0)) return INT64_MAX;
  return static_cast<int64_t>(std::ceil(span / step * (1.0 + 1e-12)));
}

void IntermediateCircle(const HubGearMeshPlan& plan, std::vector<double>& x, std::vector<double>& y) {
  const int64_t count = plan.teeth * plan.perTooth;
  x.resize(static_cast<size_t>(count));
  y.resize(static_cast<size_t>(count));
  for (int64_t j = 0; j < count; ++j) {
    const double a = (static_cast<double>(j) / static_cast<double>(plan.perTooth) - 0.5) * plan.tau;
    x[j] = plan.middleRadius * std::cos(a);
    y[j] = plan.middleRadius * std::sin(a);
  }
}

}  // namespace

void TriangulateAnnularFace(StlTriangleList& list, const std::vector<double>& outerX,
                            const std::vector<double>& outerY, const std::vector<double>& innerX,
                            const std::vector<double>& innerY, double cx, double cy, double z, bool facingUp) {
  StitchAnnulus(outerX, outerY, innerX, innerY, cx, cy,
                [&](double x0, double y0, double x1, double y1, double x2, double y2) {
                  AddPlanarTriangleOriented(list, facingUp, x0, y0, x1, y1, x2, y2, z);
                });
}

bool AnnularFaceIsUnfolded(const std::vector<double>& outerX, const std::vector<double>& outerY,
                           const std::vector<double>& innerX, const std::vector<double>& innerY, double cx,
                           double cy) {
  bool unfolded = true;
  StitchAnnulus(outerX, outerY, innerX, innerY, cx, cy,
                [&](double x0, double y0, double x1, double y1, double x2, double y2) {
                  if (!(CrossProduct2D(x0, y0, x1, y1, x2, y2) > 0.0)) unfolded = false;
                });
  return unfolded;
}

void EmitOutlineSideWalls(StlTriangleList& list, const std::vector<double>& x, const std::vector<double>& y,
                          bool forward, double z0, double z1) {
  const size_t n = x.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t a = forward ? i : (i + 1) % n;
    const size_t b = forward ? (i + 1) % n : i;
    AddStlTriangle(list, x[a], y[a], z0, x[b], y[b], z0, x[b], y[b], z1);
    AddStlTriangle(list, x[a], y[a], z0, x[b], y[b], z1, x[a], y[a], z1);
  }
}

ExportError PlanHubGearMesh(const GearRecord& record, double dx, double dy, double rotation, double tolerance,
                            HubGearMeshPlan& plan) {
  plan = HubGearMeshPlan{};
  const int64_t z = record.toothCount;
  if (z < 1 || record.isInternal) return ExportError::InvalidBody;
  plan.teeth = z;
  plan.tau = 2.0 * kPi / static_cast<double>(z);
  plan.dx = dx;
  plan.dy = dy;
  plan.rotation = rotation;
  const double tol = GearMeshTolerance(record.helixAngle, tolerance);

  GearRecord copy;
  if (!RegenerateMeshOutline(record, copy)) return ExportError::InvalidBody;
  const double b = copy.faceWidth;
  plan.faceWidth = b;
  const bool hasHub = HasHub(record);
  plan.lowHub = hasHub && (record.hubSide == 1 || record.hubSide == 3);
  plan.highHub = hasHub && (record.hubSide == 2 || record.hubSide == 3);
  plan.zLow = plan.lowHub ? -record.hubLength : 0.0;
  plan.zHigh = plan.highHub ? b + record.hubLength : b;
  // A hub a micrometre long on a face a hundred metres wide: its two end planes
  // would be one z in the file's floats.
  const double zGap = FloatResolvedGap(std::max(-plan.zLow, plan.zHigh), kMinVertexDistance);
  if (!(b >= zGap) || (hasHub && !(record.hubLength >= zGap))) return ExportError::InvalidBody;
  const double reach = MeshReach(copy, dx, dy);
  const double vertexGap = FloatResolvedGap(reach, kMinVertexDistance);
  const double radialGap = FloatResolvedGap(reach, kMinRadialGap);
  plan.thinFacet = vertexGap;

  // The bore contour, keyway corners included, in the gear's own frame first: its
  // farthest corner is what must clear the hub and the teeth.
  double boreReach = 0.0;
  double boreStep = 2.0 * kPi;  // narrowest angle an edge of the bore contour spans
  if (record.boreDiameter > 0.0) {
    std::vector<OutlinePoint> bore;
    BuildBoreOutline(record, bore, tol);
    std::vector<double> bx, by;
    for (const OutlinePoint& p : bore) {
      bx.push_back(p.x);
      by.push_back(p.y);
    }
    boreReach = PolygonMaxRadius(bx, by);
    for (size_t i = 0; i < bx.size(); ++i) {
      const size_t j = (i + 1) % bx.size();
      double step = std::atan2(by[j], bx[j]) - std::atan2(by[i], bx[i]);
      if (step <= 0.0) step += 2.0 * kPi;
      boreStep = std::min(boreStep, step);
      // A keyway or bore chord shorter than the floats at this reach tell apart.
      if (!(std::hypot(bx[j] - bx[i], by[j] - by[i]) >= vertexGap)) return ExportError::InvalidBody;
    }
    PlacePoints(bx, by, dx, dy, rotation, plan.boreX, plan.boreY);
  }

  const double hubRadius = record.hubDiameter / 2.0;
  int64_t hubCount = 0;
  if (hasHub) {
    if (!(hubRadius > boreReach + radialGap)) return ExportError::InvalidGeometry;
    // A face stitched between two loops cannot fold when every outer chord clears
    // the inner loop and no outer step is wider than an inner one.
    hubCount = static_cast<int64_t>(std::ceil(2.0 * kPi / ChordAngleStep(hubRadius, tol)));
    hubCount = std::max<int64_t>({hubCount, 16, StepsClearing(2.0 * kPi, hubRadius, boreReach + radialGap / 2.0),
                                  StepsNotWider(2.0 * kPi, boreStep)});
    if (hubCount > kMaxLoopPoints) return ExportError::InvalidGeometry;
    if (!(CircleChord(hubRadius, 2.0 * kPi, hubCount) >= vertexGap)) return ExportError::InvalidBody;
  }

  if (!BuildToothedOutline(copy, 0.5, tol, vertexGap, plan.outline)) return ExportError::InvalidBody;
  // The intermediate circle goes halfway between the farthest point of what lies
  // inside (hub circle, bore and keyway corners) and the closest approach of the
  // thinned tooth outline, so it fits every hub and keyway that stays below the
  // root, not only those below a fixed share of the root radius.
  const double innerReach = std::max(boreReach, hasHub ? hubRadius : 0.0);
  const double outerReach = PolygonMinRadius(plan.outline.x, plan.outline.y);
  if (!(outerReach - innerReach > 2.0 * radialGap)) return ExportError::InvalidGeometry;
  plan.middleRadius = (innerReach + outerReach) / 2.0;
  const double innerStep = std::min(boreStep, hasHub ? 2.0 * kPi / static_cast<double>(hubCount) : 1e9);
  plan.perTooth = static_cast<int64_t>(std::ceil(plan.tau / ChordAngleStep(plan.middleRadius, tol)));
  plan.perTooth = std::max<int64_t>({plan.perTooth, 1,
                                     StepsClearing(plan.tau, plan.middleRadius, innerReach + radialGap / 2.0),
                                     StepsNotWider(plan.tau, innerStep)});
  if (static_cast<double>(z) * static_cast<double>(plan.perTooth) > static_cast<double>(kMaxLoopPoints))
    return ExportError::InvalidGeometry;
  if (!(CircleChord(plan.middleRadius, plan.tau, plan.perTooth) >= vertexGap)) return ExportError::InvalidBody;

  plan.layers = 1;
  if (copy.helixAngle > 1e-9) {
    const double hand = copy.hand < 0 ? -1.0 : 1.0;
    plan.twist = hand * std::tan(copy.helixAngle) * b / copy.pitchRadius;
    // Only the toothed ring twists, and only its outline gets a wall.
    plan.layers =
        HelicalLayerCount(plan.twist, copy.tipRadius, PolygonLongestEdge(plan.outline.x, plan.outline.y), tol);
  }
  if (!std::isfinite(plan.twist)) return ExportError::InvalidBody;

  // The size from the counts alone, before any circle is filled: a gear far too
  // large for its tolerance would otherwise spend seconds and gigabytes on points
  // only to be refused.
  const double m = static_cast<double>(plan.outline.x.size());
  const double C = static_cast<double>(z) * static_cast<double>(plan.perTooth);
  const double L = static_cast<double>(plan.layers);
  const double nh = static_cast<double>(hubCount);
  const double nb = static_cast<double>(plan.boreX.size());
  double count = 2.0 * (m + C) + 2.0 * L * m;
  count += C + (plan.lowHub ? nh : nb) + C + (plan.highHub ? nh : nb);
  const double hubs = (plan.lowHub ? 1.0 : 0.0) + (plan.highHub ? 1.0 : 0.0);
  count += hubs * (2.0 * nh + nh + nb);
  count += 2.0 * nb * (1.0 + hubs);
  plan.triangles = SaturatingCount(count);
  if (plan.triangles > kMaxStlTriangles) return ExportError::None;

  if (hasHub) {
    CirclePoints(dx, dy, hubRadius, hubCount, plan.hubX, plan.hubY);
    if (!AnnularFaceIsUnfolded(plan.hubX, plan.hubY, plan.boreX, plan.boreY, dx, dy))
      return ExportError::InvalidGeometry;
  }
  const std::vector<double>& lowInnerX = plan.lowHub ? plan.hubX : plan.boreX;
  const std::vector<double>& lowInnerY = plan.lowHub ? plan.hubY : plan.boreY;
  const std::vector<double>& highInnerX = plan.highHub ? plan.hubX : plan.boreX;
  const std::vector<double>& highInnerY = plan.highHub ? plan.hubY : plan.boreY;
  {
    // The counts above already rule out a fold; this is the guard against rounding.
    std::vector<double> cx, cy, x, y;
    IntermediateCircle(plan, cx, cy);
    PlacePoints(cx, cy, dx, dy, SweepLayerAngle(rotation, plan.twist, 0, plan.layers), x, y);
    bool unfolded = AnnularFaceIsUnfolded(x, y, lowInnerX, lowInnerY, dx, dy);
    PlacePoints(cx, cy, dx, dy, SweepLayerAngle(rotation, plan.twist, plan.layers, plan.layers), x, y);
    unfolded = unfolded && AnnularFaceIsUnfolded(x, y, highInnerX, highInnerY, dx, dy);
    if (!unfolded) return ExportError::InvalidGeometry;
  }
  return ExportError::None;
}

void MeshHubGearPlan(const HubGearMeshPlan& plan, StlTriangleList& list) {
  const std::vector<int64_t>& s = plan.outline.boundaries;
  const int64_t m = static_cast<int64_t>(plan.outline.x.size());
  const int64_t z = plan.teeth;
  const int64_t nt = plan.perTooth;
  const int64_t C = z * nt;
  std::vector<double> cx, cy;
  IntermediateCircle(plan, cx, cy);
  std::vector<double> px = plan.outline.x, py = plan.outline.y;
  px.insert(px.end(), cx.begin(), cx.end());
  py.insert(py.end(), cy.begin(), cy.end());

  FaceTriangleList faces;
  faces.reserve(static_cast<size_t>(3 * (m + C)));
  std::vector<int64_t> polygon;
  for (int64_t k = 0; k < z; ++k) {
    polygon.clear();
    const int64_t steps = z == 1 ? m : Wrap(s[k + 1] - s[k], m);
    for (int64_t j = 0; j <= steps; ++j) polygon.push_back((s[k] + j) % m);
    const double t = std::atan2(py[s[k]], px[s[k]]) / plan.tau + 0.5;
    const int64_t as = static_cast<int64_t>(std::round(t * static_cast<double>(nt)));
    for (int64_t j = as + nt; j >= as; --j) polygon.push_back(m + Wrap(j, C));
    TriangulatePolygon(polygon, px, py, faces, plan.thinFacet);
  }
  // Only the tooth outline gets a wall: the intermediate circle is where the ring
  // meets the webs.
  BoundaryLoopList loops;
  loops.reserve(static_cast<size_t>(m + 1));
  for (int64_t i = 0; i < m; ++i) loops.push_back(i);
  loops.push_back(-1);
  // Walls first, then the end faces: two sweeps over the same points place every
  // vertex bit for bit alike, so the two halves still share their edges.
  AddHelicalSweepTriangles(list, px, py, FaceTriangleList{}, loops, plan.layers, plan.dx, plan.dy, plan.rotation,
                           plan.twist, 0.0, plan.faceWidth);
  AddHelicalSweepTriangles(list, px, py, faces, BoundaryLoopList{}, plan.layers, plan.dx, plan.dy, plan.rotation,
                           plan.twist, 0.0, plan.faceWidth);

  const double b = plan.faceWidth;
  std::vector<double> x, y;
  PlacePoints(cx, cy, plan.dx, plan.dy, SweepLayerAngle(plan.rotation, plan.twist, 0, plan.layers), x, y);
  TriangulateAnnularFace(list, x, y, plan.lowHub ? plan.hubX : plan.boreX, plan.lowHub ? plan.hubY : plan.boreY,
                         plan.dx, plan.dy, 0.0, /*facingUp=*/false);
  PlacePoints(cx, cy, plan.dx, plan.dy, SweepLayerAngle(plan.rotation, plan.twist, plan.layers, plan.layers), x, y);
  TriangulateAnnularFace(list, x, y, plan.highHub ? plan.hubX : plan.boreX, plan.highHub ? plan.hubY : plan.boreY,
                         plan.dx, plan.dy, b, /*facingUp=*/true);
  if (plan.lowHub) {
    EmitOutlineSideWalls(list, plan.hubX, plan.hubY, /*forward=*/true, plan.zLow, 0.0);
    TriangulateAnnularFace(list, plan.hubX, plan.hubY, plan.boreX, plan.boreY, plan.dx, plan.dy, plan.zLow, false);
  }
  if (plan.highHub) {
    EmitOutlineSideWalls(list, plan.hubX, plan.hubY, /*forward=*/true, b, plan.zHigh);
    TriangulateAnnularFace(list, plan.hubX, plan.hubY, plan.boreX, plan.boreY, plan.dx, plan.dy, plan.zHigh, true);
  }
  if (!plan.boreX.empty()) {
    if (plan.lowHub) EmitOutlineSideWalls(list, plan.boreX, plan.boreY, /*forward=*/false, plan.zLow, 0.0);
    EmitOutlineSideWalls(list, plan.boreX, plan.boreY, /*forward=*/false, 0.0, b);
    if (plan.highHub) EmitOutlineSideWalls(list, plan.boreX, plan.boreY, /*forward=*/false, b, plan.zHigh);
  }
}

int BuildHubGearMeshStl(StlTriangleList& list, const GearRecord& record, double dx, double dy, double rotation,
                        double tolerance) {
  HubGearMeshPlan plan;
  if (PlanHubGearMesh(record, dx, dy, rotation, tolerance, plan) != ExportError::None) return 0;
  MeshHubGearPlan(plan, list);
  return 1;
}

}  // namespace kovrex
