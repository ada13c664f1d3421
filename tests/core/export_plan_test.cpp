// What an export writes, decided before any file is touched: the bodies and
// placements of every display mode and choice, the proposed names of both
// languages, the extension rule, the STL size in kilobytes, the validity and the
// bore checks, on plain records.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "export/export_plan.h"
#include "geometry/arrangement_state.h"
#include "geometry/gear_record.h"
#include "text/texts.h"

namespace kovrex {
namespace {

class ExportPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gear1.normalModule = 2.0;
    gear1.toothCount = 20;
    gear2.normalModule = 2.0;
    gear2.toothCount = 40;
    ring.normalModule = 1.25;
    ring.toothCount = 75;
    rack.normalModule = 2.5;
    rack.toothCount = 17;
    for (GearRecord* g : {&gear1, &gear2, &ring, &rack}) {
      g->valid = 1;
      g->faceWidth = 10.0;
      g->outline = {{{{0, 0}, {1, 0}, {0, 1}}}};
    }
  }
  void TearDown() override { SetTextLanguageForTest(false); }
  GearRecord gear1, gear2, ring, rack;
};

TEST_F(ExportPlanTest, BodiesAndPlacementsOfEveryModeAndChoice) {
  using S = ExportSelection;
  // As the canvas places them: the second body moved and both turned.
  const ShownArrangement pair{1, {&gear1, 0, 0, 0.3}, {&gear2, 60, 0, 3.2}};
  const ShownArrangement single{2, {&gear1, 0, 0, 0.3}, {}};
  const ShownArrangement withRack{3, {&gear1, 0, 0, 0.3}, {&rack, -21.5, -20, 0}};
  const ShownArrangement internal{4, {&ring, 0, 0, 0.1}, {&gear1, 20, 0, 0.3}};
  struct Row {
    const char* name;
    const ShownArrangement* shown;
    S selection;
    PlacedBody first, second;
  };
  const Row rows[] = {
      {"pair as shown", &pair, S::AsShown, {&gear1, 0, 0, 0.3}, {&gear2, 60, 0, 3.2}},
      {"pair gear 1", &pair, S::FirstOnly, {&gear1, 0, 0, 0}, {}},
      {"pair gear 2", &pair, S::SecondOnly, {&gear2, 0, 0, 0}, {}},
      {"single as shown", &single, S::AsShown, {&gear1, 0, 0, 0}, {}},
      {"rack as shown", &withRack, S::AsShown, {&gear1, 0, 0, 0.3}, {&rack, -21.5, -20, 0}},
      {"rack pinion", &withRack, S::FirstOnly, {&gear1, 0, 0, 0}, {}},
      {"rack alone", &withRack, S::SecondOnly, {&rack, 0, 0, 0}, {}},
      {"internal as shown", &internal, S::AsShown, {&ring, 0, 0, 0.1}, {&gear1, 20, 0, 0.3}},
      {"internal pinion", &internal, S::FirstOnly, {&gear1, 0, 0, 0}, {}},
      {"internal ring", &internal, S::SecondOnly, {&ring, 0, 0, 0}, {}},
  };
  for (const Row& r : rows) {
    const ExportBodies b = ChooseExportBodies(*r.shown, EffectiveExportSelection(r.shown->displayMode,
                                                                                  static_cast<int>(r.selection)));
    EXPECT_EQ(b.first.body, r.first.body) << r.name;
    EXPECT_EQ(b.first.x, 0.0) << r.name;
    EXPECT_EQ(b.first.y, 0.0) << r.name;
    EXPECT_EQ(b.first.rotation, r.first.rotation) << r.name;
    EXPECT_EQ(b.second.body, r.second.body) << r.name;
    EXPECT_EQ(b.second.x, r.second.x) << r.name;
    EXPECT_EQ(b.second.y, r.second.y) << r.name;
    EXPECT_EQ(b.second.rotation, r.second.rotation) << r.name;
  }
}

TEST_F(ExportPlanTest, SingleGearViewAlwaysExportsGearOne) {
  for (int combo : {-1, 0, 1, 2, 3}) EXPECT_EQ(EffectiveExportSelection(2, combo), ExportSelection::FirstOnly);
  EXPECT_EQ(EffectiveExportSelection(1, -1), ExportSelection::AsShown);
  EXPECT_EQ(EffectiveExportSelection(4, 7), ExportSelection::AsShown);
  EXPECT_EQ(EffectiveExportSelection(3, 2), ExportSelection::SecondOnly);
}

TEST_F(ExportPlanTest, DefaultNamesOfBothLanguages) {
  using S = ExportSelection;
  struct Row {
    int mode;
    S selection;
    const char* nl;
    const char* en;
  };
  const Row rows[] = {
      {1, S::AsShown, "paar_m2_z20-40", "pair_m2_z20-40"},
      {1, S::FirstOnly, "wiel1_m2_z20", "gear1_m2_z20"},
      {1, S::SecondOnly, "wiel2_m2_z40", "gear2_m2_z40"},
      {2, S::FirstOnly, "tandwiel_m2_z20", "gear_m2_z20"},
      {3, S::AsShown, "rondsel_heugel_m2_z20", "pinion_rack_m2_z20"},
      {3, S::FirstOnly, "rondsel_m2_z20", "pinion_m2_z20"},
      {3, S::SecondOnly, "heugel_m2.5_n17", "rack_m2.5_n17"},
      {4, S::AsShown, "binnen_m2_z20-75", "internal_m2_z20-75"},
      {4, S::FirstOnly, "rondsel_m2_z20", "pinion_m2_z20"},
      {4, S::SecondOnly, "ring_m1.25_z75", "ring_m1.25_z75"},
  };
  for (bool dutch : {true, false}) {
    SetTextLanguageForTest(dutch);
    for (const Row& r : rows)
      EXPECT_EQ(DefaultExportName(r.mode, r.selection, gear1, gear2, ring, rack), dutch ? r.nl : r.en);
  }
  gear1.normalModule = 0.12345;  // three decimals, trailing zeros dropped
  EXPECT_EQ(DefaultExportName(2, S::FirstOnly, gear1, gear2, ring, rack), "gear_m0.123_z20");
}

TEST_F(ExportPlanTest, ExtensionsAndFiltersOfTheThreeKinds) {
  EXPECT_STREQ(ExportExtension(ExportKind::Dxf), "dxf");
  EXPECT_STREQ(ExportExtension(ExportKind::Step), "stp");
  EXPECT_STREQ(ExportExtension(ExportKind::Stl), "stl");
  EXPECT_STREQ(ExportFilter(ExportKind::Dxf), "DXF (*.dxf)|*.dxf");
  EXPECT_STREQ(ExportFilter(ExportKind::Step), "STEP (*.stp;*.step)|*.stp;*.step");
  EXPECT_STREQ(ExportFilter(ExportKind::Stl), "STL (*.stl)|*.stl");
  struct Row {
    const char* typed;
    ExportKind kind;
    const char* written;
  };
  const Row rows[] = {
      {"/home/a/gear", ExportKind::Dxf, "/home/a/gear.dxf"},
      {"/home/a/gear.txt", ExportKind::Dxf, "/home/a/gear.txt"},
      {"/home/a/v1.2/gear", ExportKind::Step, "/home/a/v1.2/gear.stp"},
      {"/home/a/v1.2/gear.step", ExportKind::Step, "/home/a/v1.2/gear.step"},
      {"gear.", ExportKind::Stl, "gear.stl"},
      {"gear", ExportKind::Stl, "gear.stl"},
  };
  for (const Row& r : rows) EXPECT_EQ(ExportPathWithExtension(r.typed, r.kind), r.written) << r.typed;
}

TEST_F(ExportPlanTest, StlSizeInKilobytes) {
  EXPECT_EQ(StlFileKilobytes(1000), 49u);  // 50 084 bytes
  EXPECT_EQ(StlFileKilobytes(0), 0u);      // 84 bytes round down
  EXPECT_EQ(StlFileKilobytes(20000000), 976563u);
  EXPECT_EQ(StlFileKilobytes(100000000), 4882813u);  // past every 32-bit count of bytes
}

TEST_F(ExportPlanTest, DisplayedBodiesNeedOutlineAndFaceWidth) {
  EXPECT_FALSE(DisplayedBodiesAreValid(0, gear1, gear2, ring, rack));
  for (int mode : {1, 2, 3, 4}) EXPECT_TRUE(DisplayedBodiesAreValid(mode, gear1, gear2, ring, rack)) << mode;
  // Only the bodies of the mode count.
  gear2.valid = 0;
  EXPECT_FALSE(DisplayedBodiesAreValid(1, gear1, gear2, ring, rack));
  EXPECT_TRUE(DisplayedBodiesAreValid(3, gear1, gear2, ring, rack));
  for (double b : {0.0, -1.0, double(NAN), double(INFINITY)}) {
    rack.faceWidth = b;
    EXPECT_FALSE(DisplayedBodiesAreValid(3, gear1, gear2, ring, rack)) << b;
  }
  ring.outline.clear();
  EXPECT_FALSE(DisplayedBodiesAreValid(4, gear1, gear2, ring, rack));
}

TEST_F(ExportPlanTest, BoreWithKeywayCornersAgainstRootAndHub) {
  GearRecord g;
  InitGearParams(g, 2.0, 20, 0.0, 20.0, 10.0, 20.0, 0.0, 0.0, 1);
  g.rootRadius = 14.0;
  g.keywayWidth = 6.0;
  g.keywayDepth = 3.0;
  // Corners at sqrt(13^2 + 3^2) = 13.34 mm, the floor at 13 mm.
  EXPECT_NEAR(BoreContourOuterRadius(g), std::sqrt(13.0 * 13.0 + 9.0), 1e-12);
  EXPECT_TRUE(BoreFitsInsideBody(g, 0.0));
  EXPECT_TRUE(BoreFitsInsideBody(g, 0.6));
  EXPECT_FALSE(BoreFitsInsideBody(g, 0.7));  // STL: the chord tolerance below the root
  g.keywayWidth = 10.0;                      // corners at sqrt(169 + 25) = 13.93
  EXPECT_TRUE(BoreFitsInsideBody(g, 0.0));
  g.keywayWidth = 11.0;                      // 13.96
  EXPECT_FALSE(BoreFitsInsideBody(g, 0.1));
  g.keywayWidth = 6.0;
  g.hubSide = 2;
  g.hubDiameter = 26.6;  // hub radius 13.3 < 13.34
  g.hubLength = 5.0;
  EXPECT_FALSE(BoreFitsInsideBody(g, 0.0));
  g.hubDiameter = 26.8;
  EXPECT_TRUE(BoreFitsInsideBody(g, 0.0));
  g.boreDiameter = 0.0;  // solid
  EXPECT_EQ(BoreContourOuterRadius(g), 0.0);
  EXPECT_TRUE(BoreFitsInsideBody(g, 0.0));
  GearRecord ringBody = g;
  ringBody.isInternal = 1;
  ringBody.boreDiameter = 500.0;
  EXPECT_TRUE(BoreFitsInsideBody(ringBody, 0.0));
}

// Limits of what the files hold: 100 m from the origin, features of a micrometre,
// a module of 0.01 mm. Each row spoils one length of a body that passes.
TEST_F(ExportPlanTest, BodiesTheFilesCanHold) {
  GearRecord keyed = gear1;
  keyed.outline = {{{{20, 0}, {0, 20}, {-20, 0}, {0, -20}}}};
  keyed.boreDiameter = 8.0;
  keyed.keywayWidth = 2.0;
  keyed.keywayDepth = 1.0;
  keyed.hubSide = 3;
  keyed.hubDiameter = 16.0;
  keyed.hubLength = 5.0;
  GearRecord ringBody = ring;
  ringBody.isInternal = 1;
  ringBody.outline = {{{{50, 0}, {0, 50}, {-50, 0}, {0, -50}}}};
  ringBody.rimRadius = 56.0;
  GearRecord rackBody = rack;
  rackBody.isRack = 1;
  rackBody.dedendumCoeff = 1.25;  // root line 3.125 mm below the pitch line
  rackBody.rackHeight = 12.0;
  rackBody.outline = {{{{0, 2.5}, {130, 2.5}, {130, -12}, {0, -12}}}};
  struct Row {
    const char* name;
    const GearRecord* body;
    std::function<void(GearRecord&, PlacedBody&)> spoil;
    bool fits;
  };
  const auto same = [](GearRecord&, PlacedBody&) {};
  const Row rows[] = {
      {"keyed gear with hubs", &keyed, same, true},
      {"ring", &ringBody, same, true},
      {"rack", &rackBody, same, true},
      {"placed 99.9 m away", &keyed, [](GearRecord&, PlacedBody& p) { p.x = 99900.0; }, true},
      {"placed beyond 100 m", &keyed, [](GearRecord&, PlacedBody& p) { p.x = 1e5; }, false},
      {"centre distance 1e308", &keyed, [](GearRecord&, PlacedBody& p) { p.x = 1e308; }, false},
      {"NaN placement", &keyed, [](GearRecord&, PlacedBody& p) { p.y = NAN; }, false},
      {"infinite rotation", &keyed, [](GearRecord&, PlacedBody& p) { p.rotation = INFINITY; }, false},
      {"tip beyond 100 m", &keyed, [](GearRecord& g, PlacedBody&) { g.outline[0].points[0].x = 1.2e5; }, false},
      {"outline point not finite", &keyed, [](GearRecord& g, PlacedBody&) { g.outline[0].points[1].y = NAN; },
       false},
      {"module 0.01", &keyed, [](GearRecord& g, PlacedBody&) { g.normalModule = 0.01; }, true},
      {"module 0.005", &keyed, [](GearRecord& g, PlacedBody&) { g.normalModule = 0.005; }, false},
      {"face width 0.001", &keyed, [](GearRecord& g, PlacedBody&) { g.faceWidth = 0.001; }, true},
      {"face width 1e-7", &keyed, [](GearRecord& g, PlacedBody&) { g.faceWidth = 1e-7; }, false},
      {"face width 1e308", &keyed, [](GearRecord& g, PlacedBody&) { g.faceWidth = 1e308; }, false},
      {"bore 1e-9", &keyed, [](GearRecord& g, PlacedBody&) { g.boreDiameter = 1e-9; }, false},
      {"keyway 1e-9 wide", &keyed, [](GearRecord& g, PlacedBody&) { g.keywayWidth = 1e-9; }, false},
      {"keyway 1e-9 deep", &keyed, [](GearRecord& g, PlacedBody&) { g.keywayDepth = 1e-9; }, false},
      {"hub 1e-7 long", &keyed, [](GearRecord& g, PlacedBody&) { g.hubLength = 1e-7; }, false},
      {"hubs 60 km long", &keyed, [](GearRecord& g, PlacedBody&) { g.hubLength = 6e7; }, false},
      {"ring rim 1e-9 wide", &ringBody, [](GearRecord& g, PlacedBody&) { g.rimRadius = 50.0 + 1e-9; }, false},
      {"rack back 1e-9 thick", &rackBody, [](GearRecord& g, PlacedBody&) { g.rackHeight = 3.125 + 1e-9; }, false},
      {"rack height 1e20", &rackBody, [](GearRecord& g, PlacedBody&) { g.rackHeight = 1e20; }, false},
      {"helical rack sheared 1 km", &rackBody, [](GearRecord& g, PlacedBody&) { g.rackHelixOffset = 1e6; },
       false},
  };
  for (const Row& r : rows) {
    GearRecord g = *r.body;
    PlacedBody placed;
    r.spoil(g, placed);
    placed.body = &g;
    EXPECT_EQ(BodyFitsTheFiles(placed), r.fits) << r.name;
  }
}

}  // namespace
}  // namespace kovrex
