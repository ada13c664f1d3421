// The binary STL file and the writer's refusals: byte layout and header text,
// normals, planar orientation, body order, failing sinks, non-finite input, the
// triangle cap checked before meshing and counted honestly, keyways just inside
// the limits, and the exact top layer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "export/byte_sink.h"
#include "export/stl_hub_mesh.h"
#include "export/stl_mesh_limits.h"
#include "export/stl_writer.h"
#include "support/stl_bodies.h"
#include "support/stl_check.h"

namespace kovrex {
namespace {

using test::AddHub;
using test::AddKeyway;
using test::StlRack;
using test::StlRing;
using test::StlGear;

// Takes `budget` bytes, then refuses.
class FailingSink : public ByteSink {
 public:
  explicit FailingSink(size_t budget) : budget_(budget) {}
  using ByteSink::Write;
  bool Write(const void*, size_t size) override {
    if (size > budget_) return false;
    budget_ -= size;
    taken += size;
    return true;
  }
  size_t taken = 0;

 private:
  size_t budget_;
};

TEST(StlFile, HeaderTextAtOneHundredthOfAMillimetre) {
  EXPECT_EQ(StlHeaderText(0.01), "ZE Dozaraza STL, koordafwijking 0.0100 mm" + std::string(39, ' '));
  EXPECT_EQ(StlHeaderText(1.0).substr(0, 41), "ZE Dozaraza STL, koordafwijking 1.0000 mm");
  EXPECT_EQ(StlHeaderText(0.0001).size(), 80u);
}

TEST(StlFile, OneTriangleIsOneHundredThirtyFourBytes) {
  StlTriangleList list;
  AddStlTriangle(list, 0, 0, 0, 2, 0, 0, 0, 3, 0);
  StringSink sink;
  ASSERT_TRUE(WriteStlTriangleList(sink, 0.01, list));
  ASSERT_EQ(sink.bytes.size(), 134u);
  const test::StlFile f = test::ParseStl(sink.bytes);
  ASSERT_TRUE(f.parsed);
  EXPECT_EQ(f.count, 1u);
  EXPECT_EQ(f.facets[0].normal, (std::array<float, 3>{0, 0, 1}));
  EXPECT_EQ(f.facets[0].v[1], (std::array<float, 3>{2, 0, 0}));
  EXPECT_EQ(f.facets[0].v[2], (std::array<float, 3>{0, 3, 0}));
  // Little-endian count and IEEE floats: 2.0f is 0x40000000.
  EXPECT_EQ(sink.bytes.substr(80, 4), std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(sink.bytes.substr(84 + 24, 4), std::string("\x00\x00\x00\x40", 4));
}

TEST(StlFile, CollinearTriangleGetsTheZeroNormal) {
  StlTriangleList list;
  AddStlTriangle(list, 0, 0, 0, 1, 1, 1, 2, 2, 2);
  StringSink sink;
  ASSERT_TRUE(WriteStlTriangleList(sink, 0.01, list));
  EXPECT_EQ(test::ParseStl(sink.bytes).facets[0].normal, (std::array<float, 3>{0, 0, 0}));
}

TEST(StlFile, PlanarTriangleOrientation) {
  StlTriangleList list;
  AddPlanarTriangleOriented(list, true, 0, 0, 1, 1, 2, 2, 5.0);
  EXPECT_TRUE(list.empty()) << "zero area adds nothing";
  // Clockwise corners facing up: first, third, second.
  AddPlanarTriangleOriented(list, true, 0, 0, 0, 1, 1, 0, 5.0);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].x[1], 1.0);
  EXPECT_EQ(list[0].y[1], 0.0);
  EXPECT_EQ(list[0].y[2], 1.0);
  EXPECT_EQ(list[0].z[2], 5.0);
  AddPlanarTriangleOriented(list, false, 0, 0, 0, 1, 1, 0, 5.0);
  EXPECT_EQ(list[1].y[1], 1.0) << "clockwise and facing down: as given";
}

TEST(StlFile, SecondBodyFollowsTheFirst) {
  const GearRecord a = StlGear(2.0, 19, 10.0, 8.0);
  const GearRecord b = StlGear(2.0, 31, 10.0, 12.0);
  StringSink alone, both;
  const uint64_t n1 = WriteStlFile(alone, 0.01, a, 0.2, nullptr, 0, 0, 0);
  const uint64_t n = WriteStlFile(both, 0.01, a, 0.2, &b, 50.0, 0.0, 1.0);
  ASSERT_GT(n1, 0u);
  ASSERT_GT(n, n1);
  EXPECT_EQ(both.bytes.substr(84, 50 * n1), alone.bytes.substr(84, 50 * n1));
  test::ExpectAdmeshClean(alone.bytes, "first_alone", 1);
  test::ExpectAdmeshClean(both.bytes, "first_and_second", 2);
}

TEST(StlFile, EveryRefusedWriteFailsTheExport) {
  const GearRecord g = StlGear(2.0, 20, 10.0, 10.0);
  StringSink whole;
  const uint64_t n = WriteStlFile(whole, 0.01, g, 0, nullptr, 0, 0, 0);
  ASSERT_GT(n, 0u);
  for (size_t budget : {size_t{0}, size_t{84}, whole.bytes.size() / 2, whole.bytes.size() - 1}) {
    FailingSink sink(budget);
    ExportStatus status;
    EXPECT_EQ(WriteStlFile(sink, 0.01, g, 0, nullptr, 0, 0, 0, &status), 0u) << budget;
    EXPECT_EQ(status.error, ExportError::Write) << budget;
  }
}

TEST(StlFile, NothingNonFiniteOrUnmeshableIsWritten) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const GearRecord g = StlGear(2.0, 20, 10.0, 10.0);
  GearRecord flat = g;
  flat.faceWidth = 0.0;
  GearRecord broken = g;
  broken.toothCount = 0;
  struct Row {
    const char* name;
    const GearRecord* body;
    double tolerance, x2, rotation;
  } rows[] = {{"zero tolerance", &g, 0.0, 0, 0},     {"NaN tolerance", &g, nan, 0, 0},
              {"NaN placement", &g, 0.01, nan, 0},    {"infinite rotation", &g, 0.01, 0, INFINITY},
              {"zero face width", &flat, 0.01, 0, 0}, {"no teeth", &broken, 0.01, 0, 0}};
  for (const Row& r : rows) {
    StringSink sink;
    ExportStatus status;
    EXPECT_EQ(WriteStlFile(sink, r.tolerance, g, r.rotation, r.body, r.x2, 0.0, 0.0, &status), 0u) << r.name;
    // The body's (or the tolerance's) fault, not the file's.
    EXPECT_EQ(status.error, ExportError::InvalidBody) << r.name;
    EXPECT_TRUE(sink.bytes.empty()) << r.name;
  }
}

// Coordinates beyond what a float holds are found only while the triangles are
// encoded: the header is out by then, but the result is the body's refusal, not
// a write error.
TEST(StlFile, CoordinatesNoFloatHoldsRefuseTheBody) {
  const GearRecord huge = StlGear(1e37, 20, 10.0, 0.0);
  StringSink sink;
  ExportStatus status;
  EXPECT_EQ(WriteStlFile(sink, 1.0, huge, 0.0, nullptr, 0.0, 0.0, 0.0, &status), 0u);
  EXPECT_EQ(status.error, ExportError::InvalidBody);
  EXPECT_EQ(sink.bytes.size(), 84u);  // the header, then the first block refused
}

// A module of 1e11 with a hub: its intermediate and hub circles would hold tens of
// millions of points each. The plan counts them and holds none, so that the
// refusal takes no time and no memory.
TEST(StlFile, AHubGearFarAboveTheCapIsCountedNotBuilt) {
  GearRecord g = StlGear(1e11, 20, 10.0, 0.0);
  g = StlGear(1e11, 20, 10.0, g.rootRadius);
  AddHub(g, 2, 2.0 * (g.rootRadius - 0.25 * g.normalModule), 10.0);
  HubGearMeshPlan plan;
  EXPECT_EQ(PlanHubGearMesh(g, 0.0, 0.0, 0.0, 0.0266, plan), ExportError::None);
  EXPECT_GT(plan.triangles, kMaxStlTriangles);
  EXPECT_TRUE(plan.hubX.empty());
  EXPECT_GT(EstimateStlTriangles(g, 0.0266), kMaxStlTriangles);
}

TEST(StlFile, TriangleCapIsCheckedBeforeMeshing) {
  // A long fine helical gear: hundreds of millions of triangles at 0.0001 mm.
  GearRecord g = StlGear(1.0, 300, 200.0, 0.0, 30.0, 1);
  const uint64_t estimate = EstimateStlTriangles(g, 0.0001);
  EXPECT_GT(estimate, 20000000u);
  StringSink sink;
  ExportStatus status;
  EXPECT_EQ(WriteStlFile(sink, 0.0001, g, 0, nullptr, 0, 0, 0, &status), 0u);
  EXPECT_EQ(status.error, ExportError::TooManyTriangles);
  EXPECT_DOUBLE_EQ(status.millions, static_cast<double>(estimate) / 1e6);
  EXPECT_TRUE(sink.bytes.empty()) << "not even the header";

  // Two bodies below the cap each but above it together are refused as well.
  const uint64_t half = EstimateStlTriangles(g, 0.01);
  ASSERT_GT(half, 0u);
  double tol = 0.01;
  while (EstimateStlTriangles(g, tol) < 11000000u) tol /= 1.5;
  ASSERT_LT(EstimateStlTriangles(g, tol), 20000000u);
  EXPECT_EQ(WriteStlFile(sink, tol, g, 0, &g, 400.0, 0, 0, &status), 0u);
  EXPECT_EQ(status.error, ExportError::TooManyTriangles);
}

struct GeometryRow {
  const char* name;
  GearRecord body;
  double tolerance;
};

GearRecord Bored(double bore, double keyWidth, double keyDepth, int64_t hubSide = 0, double hubD = 0.0) {
  // m 2, z 20: root radius 17.5 mm.
  GearRecord g = StlGear(2.0, 20, 10.0, bore);
  if (keyWidth > 0.0) AddKeyway(g, keyWidth, keyDepth);
  if (hubSide > 0) AddHub(g, hubSide, hubD, 8.0);
  return g;
}

TEST(StlFile, KeywayCornersJustInsideTheLimitsStillMesh) {
  // The command lets a bore contour through whose farthest corner lies below the
  // root radius less the tolerance (and inside a drawn hub); such gears must mesh.
  const double tight = std::sqrt(std::pow(17.5 - 0.01 - 0.002, 2) - 16.0) - 14.0;  // corner 2 um inside
  const double corner = std::hypot(12.0 + 3.0, 4.0);                               // 15.52 mm
  GeometryRow rows[] = {
      {"keyway corners just inside the root", Bored(28.0, 8.0, tight), 0.01},
      {"keyway corners just inside the hub", Bored(24.0, 8.0, 3.0, 1, 2.0 * corner + 0.01), 0.01},
  };
  for (const GeometryRow& r : rows) {
    StringSink sink;
    ExportStatus status;
    const uint64_t n = WriteStlFile(sink, r.tolerance, r.body, 0.3, nullptr, 0, 0, 0, &status);
    ASSERT_GT(n, 0u) << r.name << " error " << static_cast<int>(status.error);
    const test::MeshFacts mesh = test::CheckMesh(test::ParseStl(sink.bytes));
    EXPECT_EQ(mesh.unpairedEdges + mesh.repeatedEdges + mesh.degenerateFacets + mesh.thinFacets, 0) << r.name;
    ASSERT_EQ(mesh.parts.size(), 1u) << r.name;
    EXPECT_GT(mesh.parts[0].volume, 0.0) << r.name;
    EXPECT_EQ(mesh.parts[0].euler, 0) << r.name;
    test::ExpectAdmeshClean(sink.bytes, "root_limit", 1);
  }
}

TEST(StlFile, EstimateIsTheCountAtEveryRotation) {
  // The command checks the size before it knows the placement: the count of a
  // keyed gear with hubs must not depend on where the keyway points.
  GearRecord g = StlGear(1.5, 23, 8.0, 20.0, 12.0, -1);
  AddKeyway(g, 5.0, 2.0);
  AddHub(g, 3, 2.0 * (g.rootRadius - 0.25 * 1.5), 3.0);
  for (double tol : {0.7, 0.01}) {
    const uint64_t estimate = EstimateStlTriangles(g, tol);
    for (int k = 0; k < 24; ++k) {
      StringSink sink;
      EXPECT_EQ(WriteStlFile(sink, tol, g, 0.27 * k, nullptr, 0, 0, 0), estimate) << tol << " " << k;
      test::ExpectAdmeshClean(sink.bytes, "turned_" + std::to_string(k), 1);
    }
  }
}

TEST(StlFile, TopLayerAtExactlyTheFaceWidth) {
  // 0.1 * 3 is not 0.3 in binary: a top z computed as b * i / L would miss it.
  for (double b : {0.3, 7.7, 33.3}) {
    GearRecord g = StlGear(1.0, 17, b, 0.0, 33.0, 1);
    StringSink sink;
    ASSERT_GT(WriteStlFile(sink, 0.01, g, 0.0, nullptr, 0, 0, 0), 0u);
    const test::StlFile f = test::ParseStl(sink.bytes);
    float top = -1.0f;
    for (const auto& t : f.facets)
      for (const auto& v : t.v) top = std::max(top, v[2]);
    EXPECT_EQ(top, static_cast<float>(b));
    const test::MeshFacts mesh = test::CheckMesh(f);
    EXPECT_EQ(mesh.unpairedEdges, 0) << b;
    test::ExpectAdmeshClean(sink.bytes, "top_layer", 1);
  }
}

TEST(StlFile, HelicalGearUsesHalfTheTolerance) {
  // The same outline at 0.02 mm helical and 0.01 mm straight: both thin the
  // outline and divide the bore at 0.01 mm, so the end faces match in size.
  GearRecord helical = StlGear(2.0, 30, 10.0, 20.0, 10.0, 1);
  GearRecord spur = helical;
  spur.helixAngle = 0.0;
  StringSink a, b;
  ASSERT_GT(WriteStlFile(a, 0.02, helical, 0, nullptr, 0, 0, 0), 0u);
  ASSERT_GT(WriteStlFile(b, 0.01, spur, 0, nullptr, 0, 0, 0), 0u);
  auto bottomFacets = [](const std::string& bytes) {
    int64_t n = 0;
    for (const auto& t : test::ParseStl(bytes).facets) n += t.v[0][2] == 0 && t.v[1][2] == 0 && t.v[2][2] == 0;
    return n;
  };
  EXPECT_GT(bottomFacets(b.bytes), 0);
  test::ExpectAdmeshClean(a.bytes, "half_tolerance_helical", 1);
  test::ExpectAdmeshClean(b.bytes, "half_tolerance_spur", 1);
  // The helical outline is generated from its own transverse data, so its point
  // count differs a little; half the tolerance keeps it near the straight one,
  // the full tolerance would give about 1/sqrt(2) of it.
  EXPECT_NEAR(static_cast<double>(bottomFacets(a.bytes)) / bottomFacets(b.bytes), 1.0, 0.12);
}

// The file's floats hold a coordinate of magnitude r to about r * 6e-8: a wall, a
// hub or a rack back of two micrometres is sound on a small gear but becomes one
// vertex, or one z, tens of metres out. Such a body is refused where it stands,
// by the estimate before the requester as by the writer, as a body (or a bore)
// the file cannot hold; the same feature on a small body still meshes.
TEST(StlFile, FeaturesTheFloatsCannotPartFarOutAreRefused) {
  struct Row {
    const char* name;
    GearRecord body;
    double y;  // placement of the body, as gear 2 or the rack stands
    ExportError far;
  };
  auto rootBore = [](double m, double clearance) {
    GearRecord g = StlGear(m, 20, 10.0, 0.0);
    return StlGear(m, 20, 10.0, 2.0 * (g.rootRadius - clearance));
  };
  auto hubbed = [](double m, double b, double length) {
    GearRecord g = StlGear(m, 20, b, 2.0 * m);
    AddHub(g, 2, 6.0 * m, length);
    return g;
  };
  // m 2500: the root at 21.9 m, the ring's rim at 53 m, where a float step is
  // 2 and 4 micrometres; a face 90 m wide has steps of 8 micrometres.
  const Row rows[] = {
      {"bore 1.5 um below the root", rootBore(2500.0, 0.0015), 0.0, ExportError::InvalidGeometry},
      {"ring rim 1.5 um outside the roots", StlRing(2500.0, 40, 100.0, 0.0015), 0.0, ExportError::InvalidGeometry},
      {"hub 2 um long on a face 90 m wide", hubbed(100.0, 90000.0, 0.002), 0.0, ExportError::InvalidBody},
      {"bore of 1 um on a gear 90 m out", StlGear(2.0, 20, 10.0, 0.001), 90000.0, ExportError::InvalidBody},
      {"rack back 2 um thick 25 m out", StlRack(2.0, 10, 2.502, 10.0), 25000.0, ExportError::InvalidBody},
  };
  const GearRecord pinion = StlGear(2.0, 20, 10.0, 10.0);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ExportError estimated = ExportError::None;
    EXPECT_EQ(EstimateStlTriangles(r.body, 0.0001, &estimated, 0.0, r.y), 0u);
    EXPECT_EQ(estimated, r.far);
    StringSink sink;
    ExportStatus status;
    EXPECT_EQ(WriteStlFile(sink, 0.0001, pinion, 0.0, &r.body, 0.0, r.y, 0.0, &status), 0u);
    EXPECT_EQ(status.error, r.far);
    EXPECT_TRUE(sink.bytes.empty());
  }

  // The same micrometres at the origin.
  const GearRecord near[] = {rootBore(2.0, 0.0015), StlRing(2.0, 40, 10.0, 0.0015), hubbed(2.0, 10.0, 0.002),
                             StlGear(2.0, 20, 10.0, 0.001), StlRack(2.0, 10, 2.502, 10.0)};
  for (const GearRecord& g : near) {
    StringSink sink;
    ExportStatus status;
    ASSERT_GT(WriteStlFile(sink, 0.0001, g, 0.0, nullptr, 0.0, 0.0, 0.0, &status), 0u)
        << static_cast<int>(status.error);
    const test::MeshFacts mesh = test::CheckMesh(test::ParseStl(sink.bytes));
    EXPECT_EQ(mesh.unpairedEdges + mesh.repeatedEdges + mesh.degenerateFacets + mesh.thinFacets, 0);
    EXPECT_EQ(mesh.parts.size(), 1u);
  }
}

}  // namespace
}  // namespace kovrex
