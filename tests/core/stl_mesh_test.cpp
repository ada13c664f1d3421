// STL meshes of every kind of body: closed and consistently oriented on the float
// vertices as written (our own edge check and admesh), the enclosed volume against
// the outline area, the triangle count against the layer structure, and vertices
// on the true surfaces (involute flanks, bore, rim, helix twist, rack shear); and
// the bodies that must be refused (bore, keyway or hub into the teeth, too many
// triangles) as the reason the export command needs, with nothing written.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <ostream>
#include <string>
#include <vector>

#include "export/byte_sink.h"
#include "export/stl_writer.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "support/stl_bodies.h"
#include "support/stl_check.h"

namespace kovrex {
namespace {

using test::AddHub;
using test::AddKeyway;
using test::StlGear;
using test::StlRack;
using test::StlRing;

struct PlacedBody {
  GearRecord record;
  double x = 0.0, y = 0.0, rotation = 0.0;
};

struct Scene {
  PlacedBody first;
  bool hasSecond = false;
  PlacedBody second;
};

struct MeshCase {
  const char* name;
  std::function<Scene()> make;
  double tolerance;
  std::vector<int64_t> euler;  // per body: 2 solid, 0 with a hole through it
  ExportError refusal = ExportError::None;  // a body that must not be written
};

Scene One(GearRecord g, double rotation = 0.0) {
  Scene s;
  s.first.record = std::move(g);
  s.first.rotation = rotation;
  return s;
}

GearRecord Keyed(GearRecord g) {
  // DIN 6885 key 8 x 7 in a 30 mm bore: hub groove depth t2 = 3.3 mm.
  AddKeyway(g, 8.0, 3.3);
  return g;
}

GearRecord WithHub(GearRecord g, int64_t side, double d, double l) {
  AddHub(g, side, d, l);
  return g;
}

// Pair as drawn at DriveAngle 0: gear 2 on +x at the centre distance, turned by
// pi + pi/z2 so that one of its spaces faces tooth 0 of gear 1.
Scene Pair() {
  Scene s;
  s.first.record = StlGear(2.0, 19, 10.0, 8.0, 0.0, 1, 0.1);
  s.second.record = StlGear(2.0, 31, 10.0, 12.0, 0.0, -1, 0.1);
  s.hasSecond = true;
  s.second.x = s.first.record.pitchRadius + s.second.record.pitchRadius;
  s.second.rotation = kPi + kPi / 31.0;
  return s;
}

// Pinion z 20 (a tooth points to -y) over a rack whose pitch line lies at -r and
// one of whose spaces (at whole pitches) lies under the pinion axis.
Scene PinionRack() {
  Scene s;
  s.first.record = StlGear(2.0, 20, 10.0, 10.0, 0.0, 1, 0.1);
  s.second.record = StlRack(2.0, 10, 8.0, 10.0, 0.0, 1, 0.1);
  s.hasSecond = true;
  s.second.x = -5.0 * kPi * 2.0;
  s.second.y = -s.first.record.pitchRadius;
  return s;
}

// Ring z 60 with its space 0 on +x; pinion z 20 at the internal centre distance on
// +x with tooth 0 pointing into that space.
Scene InternalPair() {
  Scene s;
  s.first.record = StlRing(2.0, 60, 10.0, 8.0);
  s.second.record = StlGear(2.0, 20, 10.0, 10.0, 0.0, 1, 0.2);
  s.hasSecond = true;
  s.second.x = s.first.record.pitchRadius - s.second.record.pitchRadius;
  return s;
}

const MeshCase kCases[] = {
    {"SpurSolid", [] { return One(StlGear(2.0, 20, 10.0, 0.0)); }, 0.01, {2}},
    {"SpurBore", [] { return One(StlGear(2.0, 30, 10.0, 20.0), 0.3); }, 0.01, {0}},
    {"HelicalRightBore", [] { return One(StlGear(2.0, 30, 15.0, 20.0, 15.0, 1)); }, 0.01, {0}},
    {"HelicalLeftSolid", [] { return One(StlGear(2.0, 25, 15.0, 0.0, 15.0, -1), -0.4); }, 0.01, {2}},
    {"DinKeyway", [] { return One(Keyed(StlGear(3.0, 40, 40.0, 30.0))); }, 0.01, {0}},
    {"DinKeywayTurned", [] { return One(Keyed(StlGear(3.0, 40, 40.0, 30.0)), 2.9); }, 0.01, {0}},
    {"HubLowSide", [] { return One(WithHub(StlGear(2.0, 40, 12.0, 25.0), 1, 50.0, 15.0)); }, 0.01, {0}},
    {"HubHighSideKeyTurned",
     [] { return One(WithHub(Keyed(StlGear(2.0, 40, 12.0, 30.0)), 2, 55.0, 10.0), 0.7); }, 0.01, {0}},
    {"HubsBothHelicalKeyTurned",
     [] { return One(WithHub(Keyed(StlGear(3.0, 40, 40.0, 30.0, 20.0, -1)), 3, 70.0, 20.0), 2.5); }, 0.01, {0}},
    {"HubsBothNoBore", [] { return One(WithHub(StlGear(2.0, 30, 10.0, 0.0), 3, 30.0, 8.0)); }, 0.01, {2}},
    // The hub check allows a hub up to r_f - 0.25 m: here 73 mm on a root circle of
    // 37.5 mm radius, far beyond 0.98 r_f.
    {"HubAtTheRootLimit", [] { return One(WithHub(StlGear(2.0, 40, 10.0, 20.0), 3, 74.0, 10.0), 0.2); }, 0.01,
     {0}},
    {"SpurRing", [] { return One(StlRing(2.0, 60, 10.0, 8.0)); }, 0.01, {0}},
    {"HelicalRing", [] { return One(StlRing(2.0, 48, 12.0, 6.0, 15.0, -1), 0.1); }, 0.01, {0}},
    {"RackOneTooth", [] { return One(StlRack(2.0, 1, 8.0, 10.0)); }, 0.01, {2}},
    {"RackTenTeeth", [] { return One(StlRack(2.0, 10, 8.0, 10.0)); }, 0.01, {2}},
    {"RackHelicalLeft", [] { return One(StlRack(2.0, 10, 8.0, 10.0, 20.0, -1)); }, 0.01, {2}},
    {"RackHelicalOneTooth", [] { return One(StlRack(3.0, 1, 10.0, 12.0, 25.0, 1)); }, 0.01, {2}},
    {"PairAsShown", Pair, 0.01, {0, 0}},
    {"PinionWithRackAsShown", PinionRack, 0.01, {0, 2}},
    {"InternalPairAsShown", InternalPair, 0.01, {0, 0}},
    {"FinestTolerance", [] { return One(StlGear(2.0, 20, 10.0, 10.0)); }, 0.0001, {0}},
    {"FinestToleranceHelicalKeyed", [] { return One(Keyed(StlGear(2.0, 24, 3.0, 30.0, 10.0, 1))); }, 0.0001, {0}},
    {"CoarsestTolerance", [] { return One(StlGear(3.0, 40, 40.0, 30.0, 20.0, 1)); }, 1.0, {0}},
    {"CoarsestToleranceHubs", [] { return One(WithHub(Keyed(StlGear(3.0, 40, 40.0, 30.0)), 3, 60.0, 20.0)); },
     1.0, {0}},
    {"CoarsestToleranceRing", [] { return One(StlRing(2.0, 60, 10.0, 8.0)); }, 1.0, {0}},
    // m 2, z 20: root radius 17.5 mm.
    {"RefusedBoreBeyondTheRoot", [] { return One(StlGear(2.0, 20, 10.0, 36.0)); }, 0.01, {},
     ExportError::InvalidGeometry},
    // Floor at 17.3 mm, but the corners at hypot(17.3, 4) = 17.76 mm.
    {"RefusedKeywayCornersBeyondTheRoot",
     [] {
       GearRecord g = StlGear(2.0, 20, 10.0, 28.0);
       AddKeyway(g, 8.0, 3.3);
       return One(g, 0.4);
     },
     0.01, {}, ExportError::InvalidGeometry},
    // Corners at hypot(15, 4) = 15.52 mm, outside a hub of 15 mm radius.
    {"RefusedKeywayCornersOutsideTheHub",
     [] {
       GearRecord g = StlGear(2.0, 20, 10.0, 24.0);
       AddKeyway(g, 8.0, 3.0);
       AddHub(g, 1, 30.0, 8.0);
       return One(g);
     },
     0.01, {}, ExportError::InvalidGeometry},
    {"RefusedHubBeyondTheRoot", [] { return One(WithHub(StlGear(2.0, 20, 10.0, 20.0), 3, 36.0, 8.0)); }, 0.01, {},
     ExportError::InvalidGeometry},
    {"RefusedTooManyTriangles", [] { return One(StlGear(1.0, 300, 200.0, 0.0, 30.0, 1)); }, 0.0001, {},
     ExportError::TooManyTriangles},
};

void PrintTo(const MeshCase& c, std::ostream* out) { *out << c.name; }

std::string CaseName(const ::testing::TestParamInfo<MeshCase>& info) { return info.param.name; }

class StlMeshCases : public ::testing::TestWithParam<MeshCase> {};

// Half tooth angle of the involute at radius r from the textbook relation
// psi = s_t / (2 r_p) + inv(alpha_t) - inv(alpha_r), cos(alpha_r) = r_b / r.
double InvoluteHalfAngle(const GearRecord& g, double r) {
  const double mt = g.normalModule / std::cos(g.helixAngle);
  const double alphaT = std::atan(std::tan(g.pressureAngle) / std::cos(g.helixAngle));
  const double rp = static_cast<double>(g.toothCount) * mt / 2.0;
  const double rb = rp * std::cos(alphaT);
  const double xE = g.profileShift - g.thicknessAllowance / (2.0 * g.normalModule * std::tan(g.pressureAngle));
  const double st = mt * (kPi / 2.0 + 2.0 * xE * std::tan(g.pressureAngle));
  const double alphaR = std::acos(rb / r);
  return st / (2.0 * rp) + (std::tan(alphaT) - alphaT) - (std::tan(alphaR) - alphaR);
}

// What the flank checks measure against: the gear's circles from a dense
// outline, the total helix twist across the face width and the angular pitch.
struct FlankFrame {
  explicit FlankFrame(const GearRecord& g) : dense(g) {
    ComputeExternalGearGeometry(dense, 16);
    const double hand = g.hand < 0 ? -1.0 : 1.0;
    twist = hand * std::tan(g.helixAngle) * g.faceWidth / dense.pitchRadius;
    tau = 2.0 * kPi / static_cast<double>(g.toothCount);
  }
  GearRecord dense;
  double twist = 0.0;
  double tau = 0.0;
};

// Every vertex of an external gear, turned back by its rotation and the helix
// twist at its height, lies on the involute where it is in the flank range, and on
// the bore circle where it is that close to the axis.
void CheckExternalGearVertices(const PlacedBody& body, const std::vector<std::array<double, 3>>& vertices,
                               double tolerance) {
  const GearRecord& g = body.record;
  const FlankFrame frame(g);
  const GearRecord& dense = frame.dense;
  const double b = g.faceWidth, twist = frame.twist, tau = frame.tau;
  const double m = g.normalModule;
  const double R = g.boreDiameter / 2.0;
  int flank = 0, bore = 0;
  double worstFlank = 0.0, worstBore = 0.0;
  for (const auto& v : vertices) {
    const double x = v[0] - body.x, y = v[1] - body.y;
    const double u = std::clamp(v[2] / b, 0.0, 1.0);
    const double a = std::atan2(y, x) - body.rotation - twist * u;
    const double r = std::hypot(x, y);
    if (r > dense.involuteStartRadius + 0.02 * m && r < dense.tipRadius - 0.02 * m && v[2] >= 0.0 && v[2] <= b) {
      const double k = std::round(a / tau);
      const double gamma = std::fabs(a - k * tau);
      worstFlank = std::max(worstFlank, r * std::fabs(gamma - InvoluteHalfAngle(g, r)));
      ++flank;
    }
    if (R > 0.0 && !HasKeyway(g) && r < R + 0.5 * tolerance) {
      worstBore = std::max(worstBore, std::fabs(r - R));
      ++bore;
    }
  }
  // At a coarse tolerance a flank may keep only its ends.
  if (tolerance < 0.1) {
    EXPECT_GT(flank, 4 * g.toothCount);
  }
  EXPECT_LT(worstFlank, 2e-5) << "flank vertex off the involute";
  if (R > 0.0 && !HasKeyway(g)) {
    EXPECT_GT(bore, 0);
    EXPECT_LT(worstBore, 1e-5) << "bore vertex off the bore circle";
  }
}

// Every edge of a wall facet between two points of one flank is a chord of the
// flank surface (a helicoid for a helical gear); its midpoint, turned back by the
// twist at its own height, must lie within the tolerance of the involute. The
// distance is taken across the involute: the angle off it, times the radius,
// times cos(alpha) = r_b / r at that radius.
void CheckFlankChords(const PlacedBody& body, const test::StlFile& f, size_t begin, size_t end, double tolerance) {
  const GearRecord& g = body.record;
  const FlankFrame frame(g);
  const GearRecord& dense = frame.dense;
  const double b = g.faceWidth, twist = frame.twist, tau = frame.tau;
  const double lo = dense.involuteStartRadius + 0.02 * g.normalModule;
  const double hi = dense.tipRadius - 0.02 * g.normalModule;
  struct Polar {
    double r, gamma;
    int64_t tooth;
  };
  auto polar = [&](double x, double y, double z) {
    const double a = std::atan2(y - body.y, x - body.x) - body.rotation - twist * std::clamp(z / b, 0.0, 1.0);
    const double k = std::round(a / tau);
    return Polar{std::hypot(x - body.x, y - body.y), a - k * tau, static_cast<int64_t>(k)};
  };
  double worst = 0.0;
  int64_t chords = 0;
  for (size_t i = begin; i < end; ++i) {
    const auto& t = f.facets[i];
    if (t.v[0][2] == t.v[1][2] && t.v[1][2] == t.v[2][2]) continue;  // end face
    for (int j = 0; j < 3; ++j) {
      const auto& p = t.v[j];
      const auto& q = t.v[(j + 1) % 3];
      const Polar a = polar(p[0], p[1], p[2]), c = polar(q[0], q[1], q[2]);
      if (a.r < lo || a.r > hi || c.r < lo || c.r > hi) continue;
      if (a.tooth != c.tooth || (a.gamma > 0) != (c.gamma > 0)) continue;
      const Polar m = polar((double(p[0]) + q[0]) / 2, (double(p[1]) + q[1]) / 2, (double(p[2]) + q[2]) / 2);
      const double d = std::fabs(std::fabs(m.gamma) - InvoluteHalfAngle(g, m.r)) * dense.baseRadius;
      worst = std::max(worst, d);
      ++chords;
    }
  }
  if (tolerance < 0.1) {
    EXPECT_GT(chords, 0);
  }
  EXPECT_LT(worst, tolerance + 2e-5) << "a flank chord strays beyond the tolerance";
}

// A swept prism has T triangles on each end face, L layer bands and E boundary
// edges with two triangles per band: 2 T + 2 L E in all.
void ExpectLayeredPrismCount(const test::StlFile& f) {
  std::set<float> levels;
  std::map<std::pair<std::array<float, 3>, std::array<float, 3>>, int> bottomEdges;
  int64_t bottom = 0;
  for (const auto& t : f.facets) {
    for (const auto& v : t.v) levels.insert(v[2]);
    if (t.v[0][2] != 0.0f || t.v[1][2] != 0.0f || t.v[2][2] != 0.0f) continue;
    ++bottom;
    for (int j = 0; j < 3; ++j) ++bottomEdges[{t.v[j], t.v[(j + 1) % 3]}];
  }
  int64_t boundary = 0;
  for (const auto& [e, uses] : bottomEdges)
    if (!bottomEdges.count({e.second, e.first})) boundary += uses;
  const int64_t layers = static_cast<int64_t>(levels.size()) - 1;
  EXPECT_GE(layers, 1);
  EXPECT_EQ(static_cast<int64_t>(f.count), 2 * bottom + 2 * layers * boundary)
      << "T " << bottom << " L " << layers << " E " << boundary;
}

// A rack lies on z = 0 and z = b only, its top face shifted along the rack by
// b tan(beta), towards -x for a left hand.
void CheckRackShear(const PlacedBody& body, const std::vector<std::array<double, 3>>& vertices) {
  const GearRecord& g = body.record;
  const double b = static_cast<float>(g.faceWidth);
  double bottomMin = 1e300, topMin = 1e300;
  for (const auto& v : vertices) {
    EXPECT_TRUE(v[2] == 0.0 || v[2] == b) << v[2];
    (v[2] == 0.0 ? bottomMin : topMin) = std::min(v[2] == 0.0 ? bottomMin : topMin, v[0]);
  }
  const double hand = g.hand < 0 ? -1.0 : 1.0;
  EXPECT_NEAR(topMin - bottomMin, hand * std::tan(g.helixAngle) * g.faceWidth, 1e-5);
  EXPECT_NEAR(bottomMin, body.x, 1e-5);
}

// Every ring vertex beyond the root circle lies on the rim.
void CheckRimVertices(const PlacedBody& body, const std::vector<std::array<double, 3>>& vertices) {
  const GearRecord& g = body.record;
  int rim = 0;
  for (const auto& v : vertices) {
    const double r = std::hypot(v[0] - body.x, v[1] - body.y);
    if (r < g.rootRadius + 1e-3) continue;
    ++rim;
    EXPECT_NEAR(r, g.rimRadius, 1e-5);
  }
  EXPECT_GE(rim, 2 * g.toothCount);
}

TEST_P(StlMeshCases, ClosedOrientedWithTheVolumeOfTheBody) {
  const MeshCase& c = GetParam();
  const Scene s = c.make();
  StringSink sink;
  ExportStatus status;
  const uint64_t n = WriteStlFile(sink, c.tolerance, s.first.record, s.first.rotation,
                                  s.hasSecond ? &s.second.record : nullptr, s.second.x, s.second.y,
                                  s.second.rotation, &status);
  if (c.refusal != ExportError::None) {
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(status.error, c.refusal);
    EXPECT_TRUE(sink.bytes.empty());
    return;
  }
  ASSERT_GT(n, 0u) << "error " << static_cast<int>(status.error);
  EXPECT_EQ(sink.bytes.size(), 84 + 50 * n);
  const test::StlFile f = test::ParseStl(sink.bytes);
  ASSERT_TRUE(f.parsed);
  EXPECT_EQ(f.count, n);
  const uint64_t first = EstimateStlTriangles(s.first.record, c.tolerance);
  const uint64_t second = s.hasSecond ? EstimateStlTriangles(s.second.record, c.tolerance) : 0;
  EXPECT_EQ(first + second, n) << "the estimate must be the count";

  const char* digits = c.tolerance == 0.01 ? "0.0100" : c.tolerance == 0.0001 ? "0.0001" : "1.0000";
  EXPECT_EQ(f.header, std::string("ZE Dozaraza STL, koordafwijking ") + digits + " mm" + std::string(39, ' '));

  const test::MeshFacts mesh = test::CheckMesh(f);
  EXPECT_EQ(mesh.unpairedEdges, 0);
  EXPECT_EQ(mesh.repeatedEdges, 0);
  EXPECT_EQ(mesh.degenerateFacets, 0);
  EXPECT_EQ(mesh.thinFacets, 0);
  const size_t bodies = s.hasSecond ? 2 : 1;
  ASSERT_EQ(mesh.parts.size(), bodies);
  double total = 0.0, band = 0.0;
  for (size_t p = 0; p < bodies; ++p) {
    const PlacedBody& body = p == 0 ? s.first : s.second;
    const test::ExpectedVolume e = test::ExpectVolume(body.record, c.tolerance);
    EXPECT_EQ(mesh.parts[p].euler, c.euler[p]) << "body " << p;
    EXPECT_GT(mesh.parts[p].volume, 0.0) << "body " << p << " inside out";
    EXPECT_NEAR(mesh.parts[p].volume, e.volume, e.band) << "body " << p;
    total += e.volume;
    band += e.band;
  }
  EXPECT_EQ(static_cast<uint64_t>(mesh.parts[0].facets), first) << "body 1 comes first";

  // The stored normal is the unit normal of the facet as written.
  int64_t badNormals = 0;
  for (const auto& t : f.facets) {
    double u[3], w[3];
    for (int k = 0; k < 3; ++k) {
      u[k] = double(t.v[1][k]) - t.v[0][k];
      w[k] = double(t.v[2][k]) - t.v[0][k];
    }
    const double nx = u[1] * w[2] - u[2] * w[1], ny = u[2] * w[0] - u[0] * w[2], nz = u[0] * w[1] - u[1] * w[0];
    const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double dot = (nx * t.normal[0] + ny * t.normal[1] + nz * t.normal[2]) / len;
    const double unit = std::sqrt(double(t.normal[0]) * t.normal[0] + double(t.normal[1]) * t.normal[1] +
                                  double(t.normal[2]) * t.normal[2]);
    if (!(dot > 0.99) || std::fabs(unit - 1.0) > 1e-5) ++badNormals;
  }
  EXPECT_EQ(badNormals, 0);

  const test::AdmeshFacts admesh = test::RunAdmesh(sink.bytes, c.name);
  ASSERT_TRUE(admesh.ran) << admesh.output;
  EXPECT_EQ(admesh.facets, static_cast<int64_t>(n));
  EXPECT_EQ(admesh.parts, static_cast<int64_t>(bodies));
  EXPECT_EQ(admesh.degenerate, 0);
  EXPECT_EQ(admesh.disconnected, 0);
  EXPECT_EQ(admesh.edgesFixed, 0);
  EXPECT_EQ(admesh.facetsRemoved, 0);
  EXPECT_EQ(admesh.facetsAdded, 0);
  EXPECT_EQ(admesh.facetsReversed, 0);
  EXPECT_EQ(admesh.backwardsEdges, 0);
  // admesh sums the volume in single precision.
  EXPECT_NEAR(admesh.volume, total, band + 2e-4 * total);

  if (s.hasSecond) {
    const size_t split = static_cast<size_t>(first);
    EXPECT_EQ(test::VerticesInside(f, split, f.facets.size(), 0, split), 0) << "second body overlaps the first";
    EXPECT_EQ(test::VerticesInside(f, 0, split, split, f.facets.size()), 0) << "first body overlaps the second";
  }
  const GearRecord& only = s.first.record;
  if (!s.hasSecond && (only.isInternal || only.isRack || (!HasHub(only) && !HasKeyway(only))))
    ExpectLayeredPrismCount(f);
  const size_t split = static_cast<size_t>(first);
  for (size_t p = 0; p < bodies; ++p) {
    const PlacedBody& body = p == 0 ? s.first : s.second;
    const auto vertices = p == 0 ? test::PartVertices(f, 0, split) : test::PartVertices(f, split, f.facets.size());
    if (body.record.isRack) CheckRackShear(body, vertices);
    if (body.record.isInternal) CheckRimVertices(body, vertices);
  }
  if (!s.first.record.isRack && !s.first.record.isInternal) {
    CheckExternalGearVertices(s.first, test::PartVertices(f, 0, split), c.tolerance);
    CheckFlankChords(s.first, f, 0, split, c.tolerance);
  }
  if (s.hasSecond && !s.second.record.isRack && !s.second.record.isInternal) {
    CheckExternalGearVertices(s.second, test::PartVertices(f, split, f.facets.size()), c.tolerance);
    CheckFlankChords(s.second, f, split, f.facets.size(), c.tolerance);
  }
}

INSTANTIATE_TEST_SUITE_P(Bodies, StlMeshCases, ::testing::ValuesIn(kCases), CaseName);

// The mesh check itself, on facets whose answer is known exactly: three vertices on
// one line are degenerate; a vertex 1e-20 off the line is not (a cross product in
// plain doubles rounds 1 - 1e-20 to 1 and calls it zero), but thinner than the
// floats there resolve; a right triangle is neither.
TEST(MeshCheck, ZeroAreaIsExactOnTheFloatsAndSliversAreCounted) {
  struct Row {
    const char* name;
    std::array<std::array<float, 3>, 3> v;
    bool degenerate, thin;
  } rows[] = {
      {"on one line", {{{0, 0, 0}, {1, 1, 0}, {2, 2, 0}}}, true, false},
      {"on one line, tilted in z", {{{55.5f, -25.25f, 10}, {55.75f, -25.5f, 10.5f}, {56, -25.75f, 11}}}, true, false},
      {"two vertices the same", {{{1, 2, 3}, {1, 2, 3}, {4, 5, 6}}}, true, false},
      {"1e-20 off the line", {{{1e-20f, 0, 0}, {1, 1, 0}, {2, 2, 0}}}, false, true},
      {"one float step off the line", {{{0, 0, 0}, {64, std::nextafter(64.0f, 65.0f), 0}, {1, 1, 0}}}, false, true},
      {"right triangle", {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}}, false, false},
  };
  for (const Row& r : rows) {
    test::StlFile f;
    f.facets.push_back({{0, 0, 1}, r.v});
    const test::MeshFacts facts = test::CheckMesh(f);
    EXPECT_EQ(facts.degenerateFacets, r.degenerate ? 1 : 0) << r.name;
    EXPECT_EQ(facts.thinFacets, r.thin ? 1 : 0) << r.name;
  }
}

}  // namespace
}  // namespace kovrex
