// Structure of the STEP solids: which closure a body gets, how many faces of which
// surface and sense its shell holds, the placed vertices, the side faces of straight
// and curved pieces, and the oblique prism of a helical rack.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "export/step_body.h"
#include "export/step_entities.h"
#include "export/step_extruded.h"
#include "numbers/number_text.h"
#include "support/sample_bodies.h"
#include "support/step_text.h"
#include "text/texts.h"

namespace kovrex {
namespace {

using Entities = std::map<uint64_t, std::string>;

struct Solid {
  Entities e;
  uint64_t solid = 0;
  std::vector<test::StepFaceInfo> faces;
  // Faces from index `from` on with this surface and sense.
  size_t Count(const std::string& surface, bool sense, size_t from = 0) const {
    size_t n = 0;
    for (size_t i = from; i < faces.size(); ++i)
      if (faces[i].surface == surface && faces[i].sameSense == sense) ++n;
    return n;
  }
};

Solid Build(const GearRecord& body, double x = 0.0, double y = 0.0, double phi = 0.0) {
  ResetStepEntities();
  Solid s;
  s.solid = WriteStepGearSolid(body, x, y, phi);
  EXPECT_FALSE(StepLineList.faulty);
  s.e = test::ParseStepEntities(StepLineList.text);
  std::vector<uint64_t> refs = test::StepReferences(s.e[s.solid]);
  EXPECT_EQ(refs.size(), 1u);
  if (!refs.empty()) s.faces = test::StepShellFaces(s.e, refs[0]);
  ResetStepEntities();
  return s;
}

// A 10 x 10 square centred on the axis, counter-clockwise, four straight pieces.
GearRecord Square() {
  GearRecord g;
  g.toothCount = 4;
  g.faceWidth = 8.0;
  g.outline = {{{{-5, -5}, {5, -5}}}, {{{5, -5}, {5, 5}}}, {{{5, 5}, {-5, 5}}}, {{{-5, 5}, {-5, -5}}}};
  return g;
}

class StepSolid : public ::testing::Test {
 protected:
  void SetUp() override { SetTextLanguageForTest(false); }
  void TearDown() override {
    SetTextLanguageForTest(false);
    ResetStepEntities();
  }
};

TEST_F(StepSolid, PrismWithoutBoreHasSideFacesAndTwoEnds) {
  Solid s = Build(Square());
  ASSERT_EQ(s.faces.size(), 4u + 2u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(s.faces[i].surface, "PLANE");
    EXPECT_TRUE(s.faces[i].sameSense);
  }
  EXPECT_FALSE(s.faces[4].sameSense);  // bottom: plane normal +z used reversed
  EXPECT_TRUE(s.faces[5].sameSense);
  EXPECT_EQ(test::CountStepEntities(s.e, "CYLINDRICAL_SURFACE"), 0u);
  EXPECT_EQ(test::CountStepEntities(s.e, "VERTEX_POINT"), 8u);
  EXPECT_EQ(s.e[s.solid].substr(0, 31), "MANIFOLD_SOLID_BREP('Gear z=4',");
  // The piece running in +x has the outward normal -y and reference direction +x.
  uint64_t plane = test::StepReferences(s.e[s.faces[0].number]).back();
  uint64_t placement = test::StepReferences(s.e[plane])[0];
  std::vector<uint64_t> a = test::StepReferences(s.e[placement]);
  EXPECT_EQ(s.e[a[1]], "DIRECTION('',(0.000000,-1.000000,0.000000))");
  EXPECT_EQ(s.e[a[2]], "DIRECTION('',(1.000000,0.000000,0.))");
  // The end faces are bounded by the outline alone, walked backwards at the bottom.
  ASSERT_EQ(s.faces[4].bounds.size(), 1u);
  uint64_t loop = test::StepReferences(s.e[s.faces[4].bounds[0]])[0];
  std::vector<uint64_t> oriented = test::StepReferences(s.e[loop]);
  ASSERT_EQ(oriented.size(), 4u);
  std::vector<uint64_t> bottomEdges;
  for (uint64_t o : oriented) {
    EXPECT_NE(s.e[o].find(",.F.)"), std::string::npos);
    bottomEdges.push_back(test::StepReferences(s.e[o])[0]);
  }
  EXPECT_GT(bottomEdges[0], bottomEdges[1]);
  EXPECT_GT(bottomEdges[2], bottomEdges[3]);

  // Side face i runs along EB[i], up EV[i + 1], back along ET[i], down EV[i]; the
  // last face closes the ring on the first vertical edge, and EB[n - 1] and
  // ET[n - 1] end at the first vertices.
  auto loopEdges = [&](const test::StepFaceInfo& f) {
    std::vector<uint64_t> edges;
    uint64_t l = test::StepReferences(s.e[f.bounds[0]])[0];
    for (uint64_t o : test::StepReferences(s.e[l])) edges.push_back(test::StepReferences(s.e[o])[0]);
    return edges;
  };
  std::vector<uint64_t> firstFace = loopEdges(s.faces[0]), lastFace = loopEdges(s.faces[3]);
  ASSERT_EQ(firstFace.size(), 4u);
  ASSERT_EQ(lastFace.size(), 4u);
  EXPECT_EQ(lastFace[1], firstFace[3]);
  const std::vector<uint64_t> eb0 = test::StepReferences(s.e[firstFace[0]]),
                              ebLast = test::StepReferences(s.e[lastFace[0]]);
  const std::vector<uint64_t> et0 = test::StepReferences(s.e[firstFace[2]]),
                              etLast = test::StepReferences(s.e[lastFace[2]]);
  EXPECT_EQ(ebLast[1], eb0[0]);
  EXPECT_EQ(etLast[1], et0[0]);
}

TEST_F(StepSolid, PlacementTurnsAndMovesTheOutline) {
  GearRecord g = Square();
  g.outline = {{{{20, 0}, {0, 20}}}, {{{0, 20}, {-20, -20}}}, {{{-20, -20}, {20, 0}}}};
  Solid s = Build(g, 60.0, 0.0, kPi / 2);
  // (20, 0) of a body at (60, 0) turned a quarter: (60, 20, 0).
  std::vector<uint64_t> vertices = test::FindStepEntities(s.e, "VERTEX_POINT");
  ASSERT_FALSE(vertices.empty());
  EXPECT_EQ(s.e[test::StepReferences(s.e[vertices[0]])[0]], "CARTESIAN_POINT('',(60.000000,20.000000,0.000000))");
  EXPECT_EQ(s.e[test::StepReferences(s.e[vertices[1]])[0]], "CARTESIAN_POINT('',(60.000000,20.000000,8.000000))");
}

TEST_F(StepSolid, CurvedPieceIsAnExtrudedBSplineWithItsTopCurveAtFaceWidth) {
  GearRecord g = Square();
  g.outline[1].points = {{5, -5}, {6, 0}, {5, 5}};
  Solid s = Build(g);
  ASSERT_EQ(s.faces.size(), 6u);
  EXPECT_EQ(s.faces[1].surface, "SURFACE_OF_LINEAR_EXTRUSION");
  std::vector<uint64_t> curves = test::FindStepEntities(s.e, "B_SPLINE_CURVE_WITH_KNOTS");
  ASSERT_EQ(curves.size(), 2u);
  uint64_t top = test::StepReferences(s.e[curves[1]])[1];
  EXPECT_EQ(s.e[top], "CARTESIAN_POINT('',(6.000000,0.000000,8.000000))");
  uint64_t surface = test::StepReferences(s.e[s.faces[1].number]).back();
  EXPECT_EQ(test::StepReferences(s.e[surface])[0], curves[0]);
}

TEST_F(StepSolid, HelicalRackIsAnObliquePrism) {
  GearRecord rack = Square();
  rack.isRack = 1;
  rack.helixAngle = 0.3;  // a rack never goes to the helical writer
  rack.faceWidth = 20.0;
  rack.rackHelixOffset = 5.0;
  rack.boreDiameter = 8.0;  // a rack has no bore, whatever the field holds
  rack.hubSide = 3;
  rack.hubDiameter = 30.0;
  rack.hubLength = 5.0;
  rack.outline = {{{{0, 0}, {10, 2}}}, {{{10, 2}, {10, 6}}}, {{{10, 6}, {0, 6}}}, {{{0, 6}, {0, 0}}}};
  Solid s = Build(rack, 0.0, -30.0, 0.0);
  EXPECT_EQ(s.e[2], "DIRECTION('',(5.000000,0.,20.000000))");
  EXPECT_EQ(s.e[3], "VECTOR('',#2,20.615528)");  // sqrt(5^2 + 20^2)
  // The top copy of (10, 2) lies at (15, -28, 20).
  bool found = false;
  for (const auto& [n, text] : s.e) found |= text == "CARTESIAN_POINT('',(15.000000,-28.000000,20.000000))";
  EXPECT_TRUE(found);
  EXPECT_EQ(s.faces.size(), 4u + 2u);
  EXPECT_EQ(test::CountStepEntities(s.e, "CYLINDRICAL_SURFACE"), 0u);
  EXPECT_EQ(s.e[s.solid].substr(0, 27), "MANIFOLD_SOLID_BREP('Rack',");
}

struct ClosureCase {
  const char* name;
  double bore;
  double keywayWidth, keywayDepth;
  int64_t hubSide;
  size_t extraFaces;  // beyond the tooth side faces
  size_t boreCylinders, planesInBore, hubMantles;
  double zMin, zMax;
};

TEST_F(StepSolid, ClosureOfEachBoreAndHubForm) {
  // m 2, z 30: root radius 27.5, hub radius 20 and bore radius 6 inside it.
  const ClosureCase cases[] = {
      {"no bore", 0, 0, 0, 0, 2, 0, 0, 0, 0, 10},
      {"plain bore: prism closure", 8, 0, 0, 0, 4, 2, 0, 0, 0, 10},
      {"keyway, no hub", 20, 6, 2.8, 0, 6, 1, 3, 0, 0, 10},
      {"plain bore, hubs on both sides", 12, 0, 0, 3, 2 + 4 + 2 + 2, 2, 0, 4, -10, 20},
      {"plain bore, hub left", 12, 0, 0, 1, 2 + 2 + 2 + 1, 2, 0, 2, -10, 10},
      {"keyway, hub right", 12, 4, 1.8, 2, 4 + 2 + 2 + 1, 1, 3, 2, 0, 20},
      {"hub without bore", 0, 0, 0, 3, 4 + 2 + 2, 0, 0, 4, -10, 20},
  };
  for (const ClosureCase& c : cases) {
    SCOPED_TRACE(c.name);
    GearRecord g;
    test::MakeGear(g, 2.0, 30, 0.0, c.bore);
    g.keywayWidth = c.keywayWidth;
    g.keywayDepth = c.keywayDepth;
    if (c.hubSide != 0) {
      g.hubSide = c.hubSide;
      g.hubDiameter = 40.0;
      g.hubLength = 10.0;
    }
    const size_t n = g.outline.size();
    Solid s = Build(g, 50.0, 0.0, 0.4);
    ASSERT_EQ(s.faces.size(), n + c.extraFaces);
    for (size_t i = 0; i < n; ++i) EXPECT_TRUE(s.faces[i].sameSense);
    // The closure's faces: bore cylinders look into the hole (.F.), hub mantles
    // outwards; the keyway's sides and floor and the end faces are planes, the
    // bottom ends reversed.
    const size_t bottomEnds = 1 + ((c.hubSide & 1) ? 1 : 0), topEnds = 1 + ((c.hubSide & 2) ? 1 : 0);
    EXPECT_EQ(s.Count("CYLINDRICAL_SURFACE", false, n), c.boreCylinders);
    EXPECT_EQ(s.Count("CYLINDRICAL_SURFACE", true, n), c.hubMantles);
    EXPECT_EQ(s.Count("PLANE", true, n), c.planesInBore + topEnds);
    EXPECT_EQ(s.Count("PLANE", false, n), bottomEnds);
    // Every point lies between the lowest and the highest end face.
    double zMin = 1e9, zMax = -1e9;
    for (const auto& [num, text] : s.e) {
      if (test::StepKeyword(text) != "CARTESIAN_POINT") continue;
      size_t last = text.rfind(',');
      double z = std::stod(text.substr(last + 1));
      zMin = std::min(zMin, z);
      zMax = std::max(zMax, z);
    }
    EXPECT_DOUBLE_EQ(zMin, c.zMin);
    EXPECT_DOUBLE_EQ(zMax, c.zMax);
    EXPECT_NE(s.e[s.solid].find("'Gear z=30'"), std::string::npos);
  }
}

TEST_F(StepSolid, BoreOf8mmAtFiftyIsTheInnerBoundOfBothEnds) {
  GearRecord g;
  test::MakeGear(g, 2.0, 20, 0.0, 8.0);
  const size_t n = g.outline.size();
  Solid s = Build(g, 50.0, 0.0, 0.0);
  ASSERT_EQ(s.faces.size(), n + 4);
  std::vector<uint64_t> vertices = test::FindStepEntities(s.e, "VERTEX_POINT");
  // After the outline's 2n vertices: V1 (54, 0, 0), V2 (46, 0, 0), V3, V4 at z = 10.
  ASSERT_EQ(vertices.size(), 2 * n + 4);
  auto point = [&](uint64_t v) { return s.e[test::StepReferences(s.e[v])[0]]; };
  EXPECT_EQ(point(vertices[2 * n]), "CARTESIAN_POINT('',(54.000000,0.000000,0.000000))");
  EXPECT_EQ(point(vertices[2 * n + 1]), "CARTESIAN_POINT('',(46.000000,0.000000,0.000000))");
  EXPECT_EQ(point(vertices[2 * n + 3]), "CARTESIAN_POINT('',(46.000000,0.000000,10.000000))");
  for (size_t f : {n + 2, n + 3}) {
    ASSERT_EQ(s.faces[f].bounds.size(), 2u);
    EXPECT_EQ(test::StepKeyword(s.e[s.faces[f].bounds[0]]), "FACE_OUTER_BOUND");
    EXPECT_EQ(test::StepKeyword(s.e[s.faces[f].bounds[1]]), "FACE_BOUND");
  }
  EXPECT_EQ(s.Count("CYLINDRICAL_SURFACE", false), 2u);
}

TEST_F(StepSolid, RingGearUsesItsRimAndHasTheOutlineAsHole) {
  GearRecord ring;
  test::MakeRing(ring, 2.0, 60, 10.0);
  ring.boreDiameter = 30.0;  // ignored: the ring's circle is its rim
  ring.hubSide = 3;
  ring.hubDiameter = 100.0;
  ring.hubLength = 5.0;
  ring.keywayWidth = 4.0;
  ring.keywayDepth = 2.0;
  const size_t n = ring.outline.size();
  Solid s = Build(ring);
  ASSERT_EQ(s.faces.size(), n + 4);
  EXPECT_EQ(s.Count("CYLINDRICAL_SURFACE", true), 2u);  // rim faces look outwards
  for (uint64_t c : test::FindStepEntities(s.e, "CIRCLE"))
    EXPECT_NE(s.e[c].find("," + FormatStepReal(ring.rimRadius) + ")"), std::string::npos) << s.e[c];
  for (size_t f : {n + 2, n + 3}) {
    ASSERT_EQ(s.faces[f].bounds.size(), 2u);
    EXPECT_EQ(test::StepKeyword(s.e[s.faces[f].bounds[0]]), "FACE_BOUND");        // the teeth: a hole
    EXPECT_EQ(test::StepKeyword(s.e[s.faces[f].bounds[1]]), "FACE_OUTER_BOUND");  // the rim
  }
  EXPECT_EQ(s.e[s.solid].substr(0, 37), "MANIFOLD_SOLID_BREP('Ring gear z=60',");
  SetTextLanguageForTest(true);
  Solid dutch = Build(ring);
  EXPECT_EQ(dutch.e[dutch.solid].substr(0, 36), "MANIFOLD_SOLID_BREP('Ringwiel z=60',");
  GearRecord rack;
  test::MakeRack(rack, 2.0, 10, 8.0);
  Solid r = Build(rack);
  EXPECT_EQ(r.e[r.solid].substr(0, 33), "MANIFOLD_SOLID_BREP('Tandheugel',");
}

TEST_F(StepSolid, HelicalGearWithHubGetsTheHubClosure) {
  GearRecord g;
  InitGearParams(g, 2.0, 30, 0.0, 20.0, 20.0, 12.0, 0.0, 15.0, 1);
  ComputeExternalGearGeometry(g, /*detail=*/1);
  ASSERT_EQ(g.valid, 1);
  g.hubSide = 3;
  g.hubDiameter = 40.0;
  g.hubLength = 10.0;
  Solid s = Build(g);
  EXPECT_EQ(s.Count("CYLINDRICAL_SURFACE", true), 4u);
  EXPECT_EQ(s.Count("CYLINDRICAL_SURFACE", false), 2u);
}

}  // namespace
}  // namespace kovrex
