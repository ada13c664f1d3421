// The export command on the started program (in-memory controls, the requester
// answering a path): which bodies reach the file and where they stand for every
// display mode and choice, the proposed names of both languages, the refusals before
// the requester, the extension rule, displayed records left exactly as drawn, a
// full disk that keeps the old file, and meshing bodies that neither overlap nor
// stand apart by more than the backlash, read back with ezdxf and shapely.
#include <gtest/gtest.h>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/event_dispatch.h"
#include "app/export_command.h"
#include "export/export_status.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"
#include "support/dxf_reading.h"
#include "support/startup_fixture.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex {
namespace {

using test::DxfFile;
using test::ParseDxf;

class ExportCommandTest : public test::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    dir_ = std::string(KOVREX_BINARY_DIR) + "/export_scratch_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    mkdir(dir_.c_str(), 0777);
  }
  void TearDown() override {
    ExpectEveryDrawingReadable();
    for (const std::string& f : Files()) unlink((dir_ + "/" + f).c_str());
    rmdir(dir_.c_str());
    StartedProgramTest::TearDown();
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir_.c_str())) {
      while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
      closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // The tab's arrangement; the pair and the internal pair with the row of module
  // 2 and 20 pinion teeth (the start-up rows have hundreds of teeth).
  void ShowTab(int tab) {
    store.SetState(GadgetTabPanel, tab);
    DispatchControlEvent({GadgetTabPanel, EventKind::Change});
    if (tab == 0) SelectRow(GadgetPairResults, PairResultList);
    if (tab == 3) SelectRow(GadgetInternalResults, InternalResultList);
  }
  template <typename Rows>
  void SelectRow(int list, const Rows& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].module == 2.0 && rows[i].teeth1 == 20) {
        store.SetState(list, static_cast<int64_t>(i));
        DispatchControlEvent({list, EventKind::Change});
        return;
      }
    }
    ADD_FAILURE() << "no row of module 2 with 20 teeth";
  }

  // Presses an export button with the requester answering `answer` ("" cancels).
  void Export(int button, const std::string& answer) {
    services.files.push_back(answer);
    DispatchControlEvent({button, EventKind::Activate});
  }

  // Every DXF the test left behind, read as a CAD program would: ezdxf's recover
  // reader and audit without an error, every polyline closed, simple and without
  // an edge shorter than the file's precision.
  void ExpectEveryDrawingReadable() {
    if (drawingsRead_) return;
    std::vector<std::string> drawings;
    for (const std::string& f : Files())
      if (test::ReadBytes(dir_ + "/" + f).rfind("0\r\nSECTION\r\n", 0) == 0) drawings.push_back(dir_ + "/" + f);
    if (drawings.empty()) return;
    const std::vector<test::DxfReaderReport> reports = test::ReadDxfFilesWithEzdxf(drawings);
    for (size_t i = 0; i < reports.size(); ++i) {
      const test::DxfReaderReport& r = reports[i];
      SCOPED_TRACE(drawings[i]);
      ASSERT_TRUE(r.ran) << r.text;
      ASSERT_EQ(r.Of("audit_errors").size(), 1u) << r.text;
      EXPECT_EQ(r.Of("audit_errors")[0][1], "0");
      EXPECT_FALSE(r.Of("polyline").empty());
      for (const test::ReaderLine& p : r.Of("polyline")) {
        EXPECT_EQ(p[2], "1") << "not closed";
        EXPECT_GE(std::stod(p[4]), 1e-6) << "zero-length edge";
        EXPECT_EQ(p[6], "1") << "not a simple polygon";
      }
    }
  }

  std::string dir_;
  bool drawingsRead_ = false;  // set by a test that reads its drawings itself
};

// Where a body stands, from the placement rules written out once more here.
struct Expected {
  const GearRecord* body;
  double x, y, rotation;
};

// The body's outline as the export writes it: rebuilt at the export density from
// the record's own values.
std::vector<OutlinePoint> ExportOutline(const GearRecord& g) {
  GearRecord copy = g;
  if (g.isRack) {
    BuildRackOutline(copy, g.normalModule, g.pressureAngle * kRadToDeg, g.helixAngle * kRadToDeg, g.hand,
                     g.toothCount, g.rackHeight, g.faceWidth, g.thicknessAllowance, 4);
  } else if (g.isInternal) {
    GenerateToothProfile(copy, g.normalModule, g.toothCount, g.profileShift, g.pressureAngle * kRadToDeg,
                         g.faceWidth, g.rimWidth, g.thicknessAllowance, g.helixAngle * kRadToDeg, g.hand, 4,
                         g.tipRadiusOverride);
  } else {
    ComputeExternalGearGeometry(copy, 4);
  }
  std::vector<OutlinePoint> points;
  for (const OutlinePolyline& l : copy.outline)
    for (const OutlinePoint& p : l.points)
      if (points.empty() || std::hypot(points.back().x - p.x, points.back().y - p.y) >= 1e-6) points.push_back(p);
  return points;
}

// The polyline of a body in the file: its vertex count and first vertex match the
// body's export outline turned and moved as expected.
void ExpectPlaced(const test::DxfEntity& polyline, const Expected& e, const std::string& what) {
  const std::vector<OutlinePoint> pts = ExportOutline(*e.body);
  ASSERT_FALSE(pts.empty()) << what;
  const double c = std::cos(e.rotation), s = std::sin(e.rotation);
  ASSERT_FALSE(polyline.vertices.empty()) << what;
  EXPECT_NEAR(polyline.vertices[0][0], e.x + pts[0].x * c - pts[0].y * s, 2e-6) << what;
  EXPECT_NEAR(polyline.vertices[0][1], e.y + pts[0].x * s + pts[0].y * c, 2e-6) << what;
  // Within a few merged points of the outline (merging may drop the odd one).
  EXPECT_NEAR(static_cast<double>(polyline.vertices.size()), static_cast<double>(pts.size()), 3.0) << what;
}

TEST_F(ExportCommandTest, BodiesPlacementsAndNamesOfEveryModeAndChoice) {
  struct Row {
    int tab;
    int choice;
    const char* nl;
    const char* en;
    int bodies;
  };
  const Row rows[] = {
      {0, 0, "paar_m2_z20-40.dxf", "pair_m2_z20-40.dxf", 2},
      {0, 1, "wiel1_m2_z20.dxf", "gear1_m2_z20.dxf", 1},
      {0, 2, "wiel2_m2_z40.dxf", "gear2_m2_z40.dxf", 1},
      {1, 0, "tandwiel_m2_z20.dxf", "gear_m2_z20.dxf", 1},
      {1, 2, "tandwiel_m2_z20.dxf", "gear_m2_z20.dxf", 1},
      {2, 0, "rondsel_heugel_m2_z20.dxf", "pinion_rack_m2_z20.dxf", 2},
      {2, 1, "rondsel_m2_z20.dxf", "pinion_m2_z20.dxf", 1},
      {2, 2, "heugel_m2_n20.dxf", "rack_m2_n20.dxf", 1},
      {3, 0, "binnen_m2_z20-60.dxf", "internal_m2_z20-60.dxf", 2},
      {3, 1, "rondsel_m2_z20.dxf", "pinion_m2_z20.dxf", 1},
      {3, 2, "ring_m2_z60.dxf", "ring_m2_z60.dxf", 1},
  };
  for (bool dutch : {true, false}) {
    test::StartProgram(store, services, dutch);
    for (const Row& r : rows) {
      const std::string what = std::string(dutch ? "nl " : "en ") + (dutch ? r.nl : r.en);
      SCOPED_TRACE(what);
      ShowTab(r.tab);
      ASSERT_NE(DisplayMode, 0);
      store.SetState(GadgetExportChoice, r.choice);
      DriveAngle = 0.3;
      const GearRecord shown1 = Gear1, shown2 = Gear2, shownRing = RingGear, shownRack = Rack;
      const size_t asked = services.requesterNames.size();
      const std::string path = dir_ + "/" + (dutch ? "nl" : "en") + std::to_string(r.tab) + std::to_string(r.choice);
      Export(GadgetExportDxf, path);
      ASSERT_EQ(services.requesterNames.size(), asked + 1);
      EXPECT_EQ(services.requesterNames.back(), dutch ? r.nl : r.en);
      EXPECT_EQ(services.requesterTitles.back(), dutch ? "Exporteren" : "Export");
      ASSERT_EQ(services.requesterPatterns.back().size(), 1u);
      EXPECT_EQ(services.requesterPatterns.back()[0].name, "DXF (*.dxf)");
      EXPECT_EQ(services.requesterPatterns.back()[0].pattern, "*.dxf");
      EXPECT_TRUE(services.messages.empty()) << services.messages.back().text;
      services.messages.clear();

      const DxfFile f = ParseDxf(test::ReadBytes(path + ".dxf"));
      std::vector<const test::DxfEntity*> outlines;
      for (const test::DxfEntity* p : f.OfType("POLYLINE"))
        outlines.push_back(p);  // the default bores are plain: one polyline per body
      ASSERT_EQ(static_cast<int>(outlines.size()), r.bodies);

      // The placement rules, written out again: gear 2 turns against gear 1 and
      // faces it with a space; the rack rolls on the pinion's pitch circle; the
      // ring turns with the pinion at z1/z2.
      const double phi = 0.3;
      std::vector<Expected> expected;
      const double z1 = static_cast<double>(shown1.toothCount);
      if (r.tab == 0 && r.choice == 0) {
        const double z2 = static_cast<double>(shown2.toothCount);
        expected = {{&Gear1, 0, 0, phi}, {&Gear2, PairCentreDistance, 0, kPi + kPi / z2 - phi * z1 / z2}};
      } else if (r.tab == 2 && r.choice == 0) {
        const double pt = kPi * Rack.normalModule / std::cos(Rack.helixAngle);
        const double g = std::max<int64_t>(1, Rack.toothCount / 4) * pt;
        double s = Gear1.pitchRadius * (phi + kPi / 2);
        s -= g * std::floor((s + g / 2) / g);
        const double shift = s - static_cast<double>(Rack.toothCount / 2) * pt;
        expected = {{&Gear1, 0, 0, phi},
                    {&Rack, shift, -(Gear1.pitchRadius + Gear1.profileShift * Gear1.normalModule), 0}};
      } else if (r.tab == 3 && r.choice == 0) {
        expected = {{&RingGear, 0, 0, phi * z1 / static_cast<double>(RingGear.toothCount)},
                    {&Gear1, InternalCentreDistance, 0, phi}};
      } else {
        const GearRecord* alone = r.choice != 2 || r.tab == 1 ? &Gear1
                                  : r.tab == 0                ? &Gear2
                                  : r.tab == 2                ? &Rack
                                                              : &RingGear;
        expected = {{alone, 0, 0, 0}};
      }
      for (size_t i = 0; i < expected.size(); ++i) ExpectPlaced(*outlines[i], expected[i], what);

      // The displayed records are exactly as they were drawn.
      for (const auto& [now, before] : {std::pair{&Gear1, &shown1}, {&Gear2, &shown2}, {&RingGear, &shownRing},
                                        {&Rack, &shownRack}}) {
        ASSERT_EQ(now->outline.size(), before->outline.size());
        for (size_t k = 0; k < now->outline.size(); ++k) {
          ASSERT_EQ(now->outline[k].points.size(), before->outline[k].points.size());
          for (size_t j = 0; j < now->outline[k].points.size(); ++j) {
            ASSERT_EQ(now->outline[k].points[j].x, before->outline[k].points[j].x);
            ASSERT_EQ(now->outline[k].points[j].y, before->outline[k].points[j].y);
          }
        }
      }
    }
  }
}

TEST_F(ExportCommandTest, RefusalsBeforeTheRequester) {
  struct Row {
    const char* name;
    int tab;  // 0 pair, 1 single gear (m 2, z 20, x 0: root circle at 20 - 2.5 = 17.5 mm)
    int button;
    const char* tolerance;
    std::function<void()> spoil;
    TextId message;  // TextId::Count: the requester is reached
  };
  const auto none = [] {};
  const Row rows[] = {
      {"nothing displayed", 0, GadgetExportDxf, "0,01", [] { DisplayMode = 0; }, TextId::ExportNothingValid},
      {"gear 2 invalid", 0, GadgetExportStep, "0,01", [] { Gear2.valid = 0; }, TextId::ExportNothingValid},
      {"gear 2 invalid, gear 1 chosen", 0, GadgetExportDxf, "0,01",
       [&] {
         Gear2.valid = 0;
         store.SetState(GadgetExportChoice, 1);
       },
       TextId::ExportNothingValid},
      {"face width 0", 1, GadgetExportDxf, "0,01", [] { Gear1.faceWidth = 0.0; }, TextId::ExportNothingValid},
      {"face width NaN", 0, GadgetExportStl, "0,01", [] { Gear2.faceWidth = NAN; }, TextId::ExportNothingValid},
      {"STL tolerance too fine", 1, GadgetExportStl, "0,00005", none, TextId::ExportStlToleranceRange},
      {"STL tolerance too coarse", 1, GadgetExportStl, "2", none, TextId::ExportStlToleranceRange},
      {"STL tolerance empty", 1, GadgetExportStl, "", none, TextId::ExportStlToleranceRange},
      {"STL tolerance nan", 1, GadgetExportStl, "nan", none, TextId::ExportStlToleranceRange},
      {"STL tolerance tested first", 1, GadgetExportStl, "5", [] { DisplayMode = 0; },
       TextId::ExportStlToleranceRange},
      {"STL smallest tolerance", 1, GadgetExportStl, "0,0001", none, TextId::Count},
      {"STL largest tolerance", 1, GadgetExportStl, "1", none, TextId::Count},
      {"DXF ignores the tolerance", 1, GadgetExportDxf, "abc", none, TextId::Count},
      {"bore reaching the root", 1, GadgetExportDxf, "0,01", [] { Gear1.boreDiameter = 35.0; },
       TextId::ExportBoreReachesRoot},
      {"bore just inside the root", 1, GadgetExportDxf, "0,01", [] { Gear1.boreDiameter = 34.8; }, TextId::Count},
      {"STL: bore within the tolerance of the root", 1, GadgetExportStl, "0,2", [] { Gear1.boreDiameter = 34.8; },
       TextId::ExportBoreReachesRoot},
      {"keyway corners reaching the root", 1, GadgetExportStep, "0,01",
       [] {
         Gear1.boreDiameter = 28.0;  // floor at 14 + 2.5 = 16.5 mm, corners at 17.56 mm
         Gear1.keywayWidth = 12.0;
         Gear1.keywayDepth = 2.5;
       },
       TextId::ExportBoreReachesRoot},
      {"keyway corners inside the root", 1, GadgetExportDxf, "0,01",
       [] {
         Gear1.boreDiameter = 28.0;
         Gear1.keywayWidth = 10.0;  // corners at 17.24 mm
         Gear1.keywayDepth = 2.5;
       },
       TextId::Count},
      {"bore outside the hub", 1, GadgetExportDxf, "0,01",
       [] {
         Gear1.boreDiameter = 20.0;
         Gear1.hubSide = 1;
         Gear1.hubDiameter = 19.0;
         Gear1.hubLength = 10.0;
       },
       TextId::ExportBoreReachesRoot},
      {"bore of the gear not written", 0, GadgetExportDxf, "0,01",
       [&] {
         Gear2.boreDiameter = 200.0;
         store.SetState(GadgetExportChoice, 1);
       },
       TextId::Count},
      {"bore of the written gear", 0, GadgetExportDxf, "0,01",
       [&] {
         Gear2.boreDiameter = 200.0;
         store.SetState(GadgetExportChoice, 0);
       },
       TextId::ExportBoreReachesRoot},
      {"bore a micrometre inside the root", 1, GadgetExportDxf, "0,01", [] { Gear1.boreDiameter = 34.999; },
       TextId::ExportBoreReachesRoot},
      // Bodies the files cannot hold: refused as invalid, not blamed on the file.
      {"gear 2 beyond 100 m", 0, GadgetExportStep, "0,01", [] { PairCentreDistance = 1e308; },
       TextId::ExportNothingValid},
      {"gear 1 alone of a pair 1e308 apart", 0, GadgetExportStep, "0,01",
       [&] {
         PairCentreDistance = 1e308;
         store.SetState(GadgetExportChoice, 1);
       },
       TextId::Count},
      {"hub 1e-7 long", 1, GadgetExportStl, "0,01",
       [] {
         Gear1.hubSide = 2;
         Gear1.hubDiameter = 25.0;
         Gear1.hubLength = 1e-7;
       },
       TextId::ExportNothingValid},
      {"keyway 1e-9 wide", 1, GadgetExportDxf, "0,01",
       [] {
         Gear1.keywayWidth = 1e-9;
         Gear1.keywayDepth = 1.0;
       },
       TextId::ExportNothingValid},
      {"face width 1e-7", 1, GadgetExportStep, "0,01", [] { Gear1.faceWidth = 1e-7; }, TextId::ExportNothingValid},
      {"face width 1e308", 1, GadgetExportStl, "0,01", [] { Gear1.faceWidth = 1e308; }, TextId::ExportNothingValid},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    test::StartProgram(store, services, false);
    ShowTab(r.tab);
    if (r.tab == 1) {
      ASSERT_EQ(Gear1.rootRadius, 17.5);
    }
    store.SetText(GadgetStlTolerance, r.tolerance);
    r.spoil();
    services.messages.clear();
    services.requesterTitles.clear();
    Export(r.button, "");  // cancelled if asked
    if (r.message == TextId::Count) {
      EXPECT_EQ(services.requesterTitles.size(), 1u);
      EXPECT_TRUE(services.messages.empty());
    } else {
      EXPECT_TRUE(services.requesterTitles.empty());
      ASSERT_EQ(services.messages.size(), 1u);
      EXPECT_EQ(services.messages[0].icon, MessageIcon::Warning);
      EXPECT_EQ(services.messages[0].title, "Kovrex");
      EXPECT_EQ(services.messages[0].text, Tx(r.message));
    }
    services.files.clear();
    EXPECT_TRUE(Files().empty());
  }
}

TEST_F(ExportCommandTest, ExtensionOnlyFromTheFileName) {
  ShowTab(1);
  mkdir((dir_ + "/v1.2").c_str(), 0777);
  struct Row {
    const char* answer;
    const char* written;
  };
  const Row rows[] = {{"plain", "plain.dxf"},        {"drawing.txt", "drawing.txt"},
                      {"v1.2/part", "v1.2/part.dxf"}, {"upper.DXF", "upper.DXF"},
                      {"dot.", "dot.dxf"}};
  for (const Row& r : rows) {
    Export(GadgetExportDxf, dir_ + "/" + r.answer);
    struct stat st;
    EXPECT_EQ(stat((dir_ + "/" + r.written).c_str(), &st), 0) << r.answer;
  }
  EXPECT_TRUE(services.messages.empty());
  unlink((dir_ + "/v1.2/part.dxf").c_str());
  rmdir((dir_ + "/v1.2").c_str());
}

TEST_F(ExportCommandTest, ACancelledRequesterDoesNothing) {
  const GearRecord before = Gear1;
  Export(GadgetExportDxf, "");
  EXPECT_EQ(services.requesterTitles.size(), 1u);
  EXPECT_TRUE(services.messages.empty());
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(Gear1.outline.size(), before.outline.size());
}

TEST_F(ExportCommandTest, StepAndStlOfferTheirFiltersAndWriteTheirFiles) {
  ShowTab(0);
  store.SetState(GadgetExportChoice, 1);
  Export(GadgetExportStep, dir_ + "/model");
  ASSERT_EQ(services.requesterNames.size(), 1u);
  EXPECT_EQ(services.requesterNames[0], "gear1_m2_z20.stp");
  ASSERT_EQ(services.requesterPatterns[0].size(), 1u);
  EXPECT_EQ(services.requesterPatterns[0][0].name, "STEP (*.stp;*.step)");
  EXPECT_EQ(services.requesterPatterns[0][0].pattern, "*.stp;*.step");
  // A STEP file written shows no message.
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(test::ReadBytes(dir_ + "/model.stp").rfind("ISO-10303-21;\n", 0), 0u);
  Export(GadgetExportStl, dir_ + "/mesh");
  EXPECT_EQ(services.requesterNames[1], "gear1_m2_z20.stl");
  EXPECT_EQ(services.requesterPatterns[1][0].pattern, "*.stl");
  // The STL message names the triangle count of the file and its size in whole kB.
  const std::string stl = test::ReadBytes(dir_ + "/mesh.stl");
  ASSERT_GE(stl.size(), 84u);
  const uint64_t n = static_cast<uint8_t>(stl[80]) | static_cast<uint8_t>(stl[81]) << 8 |
                     static_cast<uint8_t>(stl[82]) << 16 | static_cast<uint64_t>(static_cast<uint8_t>(stl[83])) << 24;
  EXPECT_EQ(stl.size(), 84 + 50 * n);
  const uint64_t kb = (stl.size() + 512) / 1024;
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].icon, MessageIcon::Info);
  EXPECT_EQ(services.messages[0].text, "STL written: " + std::to_string(n) + " triangles, " + std::to_string(kb) +
                                           " kB\nChord tolerance max. 0.0100 mm");
  EXPECT_EQ(Files(), (std::vector<std::string>{"mesh.stl", "model.stp"}));
}

TEST_F(ExportCommandTest, AFullDiskKeepsTheOldFile) {
  ShowTab(0);
  const std::string path = dir_ + "/pair.dxf";
  Export(GadgetExportDxf, path);
  ASSERT_TRUE(services.messages.empty());
  const long size = static_cast<long>(test::ReadBytes(path).size());
  std::ofstream(path, std::ios::binary) << "old drawing";
  const GearRecord shown1 = Gear1, shown2 = Gear2;
  for (long limit : {0L, 100L, 65536L, size / 2, size - 1}) {
    test::WithFileSizeLimit(limit, [&] { Export(GadgetExportDxf, path); });
    ASSERT_EQ(services.messages.size(), 1u) << limit;
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(services.messages[0].text, "File '" + path + "' could not be written.");
    EXPECT_EQ(test::ReadBytes(path), "old drawing");
    EXPECT_EQ(Files(), std::vector<std::string>{"pair.dxf"}) << "a temporary file was left behind";
    // The screen outlines are back after a failed write too.
    ASSERT_EQ(Gear1.outline.size(), shown1.outline.size());
    ASSERT_EQ(Gear2.outline.size(), shown2.outline.size());
    EXPECT_EQ(Gear1.outline[1].points.size(), shown1.outline[1].points.size());
    EXPECT_EQ(Gear2.outline[1].points.size(), shown2.outline[1].points.size());
    services.messages.clear();
  }
  Export(GadgetExportDxf, path);
  EXPECT_TRUE(services.messages.empty());
  EXPECT_EQ(static_cast<long>(test::ReadBytes(path).size()), size);
}

TEST_F(ExportCommandTest, RackAndRingAsDisplayedEvenWhenTheFieldsChanged) {
  ShowTab(2);
  const int64_t teeth = Rack.toothCount;
  store.SetText(GadgetRackTeeth, "2001");  // refused by the tab, still in the field
  store.SetText(GadgetRackModule, "3");
  store.SetState(GadgetExportChoice, 2);
  Export(GadgetExportDxf, dir_ + "/rack");
  EXPECT_EQ(services.requesterNames.back(), "rack_m2_n" + std::to_string(teeth) + ".dxf");
  const DxfFile rack = ParseDxf(test::ReadBytes(dir_ + "/rack.dxf"));
  ASSERT_EQ(rack.OfType("LINE").size(), 1u);
  EXPECT_NEAR(rack.OfType("LINE")[0]->Number(11), Rack.rackLength, 1e-6);
  ExpectPlaced(*rack.OfType("POLYLINE")[0], {&Rack, 0, 0, 0}, "rack");

  ShowTab(3);
  const GearRecord ring = RingGear;
  store.SetText(GadgetInternalRingRim, "0");
  store.SetText(GadgetInternalPressureAngle, "40");
  Export(GadgetExportDxf, dir_ + "/ring");
  const DxfFile f = ParseDxf(test::ReadBytes(dir_ + "/ring.dxf"));
  ASSERT_EQ(f.OfType("CIRCLE").size(), 2u);
  EXPECT_NEAR(f.OfType("CIRCLE")[0]->Number(40), ring.rimRadius, 1e-6);
  ExpectPlaced(*f.OfType("POLYLINE")[0], {&RingGear, 0, 0, 0}, "ring");
  EXPECT_EQ(RingGear.outline.size(), ring.outline.size());
}

size_t PointCount(const GearRecord& g) {
  size_t n = 0;
  for (const OutlinePolyline& l : g.outline) n += l.points.size();
  return n;
}

// The STEP and STL writers replaced by scripted ones: every outcome a writer can
// report ends in its own message, and the size estimates refuse before the requester.
TEST_F(ExportCommandTest, WriterOutcomesAndSizeEstimatesEndInTheirMessages) {
  struct Row {
    const char* name;
    int button;
    uint64_t estimate;  // per written body
    bool written;       // what the writer reports
    ExportStatus status;
    bool asked;
    MessageIcon icon;
    std::string message;  // "" none
    ExportError planned = ExportError::None;  // what the STL estimate finds
  };
  const std::string file = "'" + dir_ + "/out";
  const std::string invalid = "There is no (valid) gear to export yet.";
  const Row rows[] = {
      {"STL written", GadgetExportStl, 0, true, {}, true, MessageIcon::Info,
       "STL written: 1000 triangles, 49 kB\nChord tolerance max. 0.0100 mm"},
      {"STL bore into the root", GadgetExportStl, 0, false, {ExportError::InvalidGeometry, 0}, true,
       MessageIcon::Warning, "The bore or keyway reaches into the tooth root or the hub; the model would be invalid."},
      {"STL too many triangles", GadgetExportStl, 0, false, {ExportError::TooManyTriangles, 23.46}, true,
       MessageIcon::Warning, "Too many triangles (about 23.5 million); choose a larger chord tolerance."},
      {"STL write error", GadgetExportStl, 0, false, {ExportError::Write, 0}, true, MessageIcon::Error,
       "File " + file + ".stl' could not be written."},
      {"STL estimate above the cap", GadgetExportStl, 10000001, true, {}, false, MessageIcon::Warning,
       "Too many triangles (about 20.0 million); choose a larger chord tolerance."},
      {"STL estimate at the cap", GadgetExportStl, 10000000, true, {}, true, MessageIcon::Info,
       "STL written: 1000 triangles, 49 kB\nChord tolerance max. 0.0100 mm"},
      {"STEP written", GadgetExportStep, 0, true, {}, true, MessageIcon::Info, ""},
      {"STEP too large", GadgetExportStep, 0, false, {ExportError::StepTooLarge, 31.26}, true, MessageIcon::Warning,
       "The STEP model would be too large (about 31.3 million points)."},
      {"STEP write error", GadgetExportStep, 0, false, {ExportError::Write, 0}, true, MessageIcon::Error,
       "File " + file + ".stp' could not be written."},
      {"STEP estimate above the cap", GadgetExportStep, 12500000, true, {}, false, MessageIcon::Warning,
       "The STEP model would be too large (about 25.0 million points)."},
      // A writer that refuses the body for its geometry never blames the file; the
      // STL estimate plans the body first and refuses before the requester.
      {"STL body the mesh cannot take", GadgetExportStl, 0, false, {ExportError::InvalidBody, 0}, true,
       MessageIcon::Warning, invalid},
      {"STL estimate finds a body the mesh cannot take", GadgetExportStl, 0, true, {}, false, MessageIcon::Warning,
       invalid, ExportError::InvalidBody},
      {"STL estimate finds the bore in the root", GadgetExportStl, 0, true, {}, false, MessageIcon::Warning,
       "The bore or keyway reaches into the tooth root or the hub; the model would be invalid.",
       ExportError::InvalidGeometry},
      {"STEP body no file can hold", GadgetExportStep, 0, false, {ExportError::InvalidBody, 0}, true,
       MessageIcon::Warning, invalid},
      {"STEP size that is no number", GadgetExportStep, 0, false, {ExportError::StepTooLarge, NAN}, true,
       MessageIcon::Warning, invalid},
  };
  ShowTab(0);
  const size_t shownPoints1 = PointCount(Gear1), shownPoints2 = PointCount(Gear2);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    size_t pointsWritten1 = 0, pointsWritten2 = 0;
    std::string pathGiven;
    // Each body is estimated where the writer will place it: gear 2 far out is
    // held more coarsely by the file's floats.
    std::vector<std::pair<double, double>> estimatedAt, writtenAt;
    ExportWriters().estimateStlTriangles = [&](const GearRecord&, double, ExportError* error, double x, double y) {
      estimatedAt.emplace_back(x, y);
      *error = r.planned;
      return r.planned == ExportError::None ? r.estimate : 0;
    };
    ExportWriters().estimateStepControlPoints = [&](const GearRecord&) { return r.estimate; };
    ExportWriters().writeStep = [&](ByteSink& f, const std::string& path, const GearRecord& a, double,
                                    const GearRecord* b, double, double, double, ExportStatus* status) {
      pathGiven = path;
      pointsWritten1 = PointCount(a);
      pointsWritten2 = b ? PointCount(*b) : 0;
      *status = r.status;
      return r.written && f.Write("ISO-10303-21;\n");
    };
    ExportWriters().writeStl = [&](ByteSink& f, double, const GearRecord& a, double, const GearRecord* b, double x,
                                   double y, double, ExportStatus* status) -> uint64_t {
      writtenAt = {{0.0, 0.0}, {x, y}};
      pointsWritten1 = PointCount(a);
      pointsWritten2 = b ? PointCount(*b) : 0;
      *status = r.status;
      return r.written && f.Write(std::string(50084, 'x')) ? 1000 : 0;
    };
    services.messages.clear();
    services.requesterTitles.clear();
    Export(r.button, dir_ + "/out");
    services.files.clear();
    EXPECT_EQ(services.requesterTitles.size(), r.asked ? 1u : 0u);
    if (r.message.empty()) {
      EXPECT_TRUE(services.messages.empty());
    } else {
      ASSERT_EQ(services.messages.size(), 1u);
      EXPECT_EQ(services.messages[0].icon, r.icon);
      EXPECT_EQ(services.messages[0].title, "Kovrex");
      EXPECT_EQ(services.messages[0].text, r.message);
    }
    const bool success = r.asked && r.written && r.status.error == ExportError::None;
    EXPECT_EQ(Files().size(), success ? 1u : 0u);
    if (r.asked) {
      if (r.button == GadgetExportStep) {
        // The CAD kernel gets the outlines at the export density.
        EXPECT_EQ(pathGiven, dir_ + "/out.stp");
        EXPECT_GT(pointsWritten1, 3 * shownPoints1);
        EXPECT_GT(pointsWritten2, 3 * shownPoints2);
      } else {
        // The mesh builders make their own dense copies.
        EXPECT_EQ(pointsWritten1, shownPoints1);
        EXPECT_EQ(pointsWritten2, shownPoints2);
        EXPECT_EQ(estimatedAt, writtenAt);
        ASSERT_EQ(writtenAt.size(), 2u);
        EXPECT_NEAR(std::hypot(writtenAt[1].first, writtenAt[1].second), PairCentreDistance, 1e-9);
      }
    }
    EXPECT_EQ(PointCount(Gear1), shownPoints1);
    EXPECT_EQ(PointCount(Gear2), shownPoints2);
    for (const std::string& f : Files()) unlink((dir_ + "/" + f).c_str());
  }
}

// Outlines of two meshing bodies, read back: no overlap, and nearer than the
// backlash (the canvas places them with the play shared by both flanks, so the
// gap is about half of it).
TEST_F(ExportCommandTest, MeshingBodiesNeitherOverlapNorStandApart) {
  struct Row {
    const char* name;
    int tab;
    const char* mode;
    std::function<void()> setUp;
    double backlash;
  };
  const Row rows[] = {
      {"pair", 0, "external",
       [&] {
         store.SetText(GadgetPairBacklash, "0,1");
         DispatchControlEvent({GadgetPairBacklash, EventKind::Change});
       },
       0.1},
      {"rack, even tooth count", 2, "rack", [&] { store.SetText(GadgetRackBacklash, "0,1"); }, 0.1},
      {"rack, odd tooth count", 2, "rack",
       [&] {
         store.SetText(GadgetRackBacklash, "0,1");
         store.SetText(GadgetRackTeeth, "17");
       },
       0.1},
      {"internal pair", 3, "internal",
       [&] {
         store.SetText(GadgetInternalBacklash, "0,1");
         DispatchControlEvent({GadgetInternalBacklash, EventKind::Change});
       },
       0.1},
  };
  std::vector<std::string> files;
  std::vector<std::string> names;
  for (const Row& r : rows) {
    ShowTab(r.tab);
    r.setUp();
    if (r.tab == 2) {
      DispatchControlEvent({GadgetRackTeeth, EventKind::Change});
      EXPECT_EQ(Rack.toothCount % 2, std::string(r.name).find("odd") != std::string::npos ? 1 : 0) << r.name;
    }
    ASSERT_NE(DisplayMode, 0) << r.name;
    store.SetState(GadgetExportChoice, 0);
    for (double angle : {0.0, 0.13, 2.9}) {
      DriveAngle = angle;
      const std::string path = dir_ + "/" + std::to_string(files.size()) + ".dxf";
      Export(GadgetExportDxf, path);
      ASSERT_TRUE(services.messages.empty()) << r.name;
      files.push_back(path + "::" + r.mode);
      names.push_back(std::string(r.name) + " at " + std::to_string(angle));
    }
  }
  const std::vector<test::DxfReaderReport> reports = test::ReadDxfFilesWithEzdxf(files);
  drawingsRead_ = true;
  for (size_t i = 0; i < reports.size(); ++i) {
    const test::DxfReaderReport& rep = reports[i];
    SCOPED_TRACE(names[i]);
    ASSERT_TRUE(rep.ran) << rep.text;
    ASSERT_EQ(rep.Of("audit_errors").size(), 1u) << rep.text;
    EXPECT_EQ(rep.Of("audit_errors")[0][1], "0");
    ASSERT_EQ(rep.Of("pair").size(), 1u) << rep.text;
    const double overlap = std::stod(rep.Of("pair")[0][1]);
    const double gap = std::stod(rep.Of("pair")[0][2]);
    EXPECT_EQ(overlap, 0.0);
    EXPECT_GT(gap, 0.0);
    EXPECT_LE(gap, 0.1);
    for (const test::ReaderLine& p : rep.Of("polyline")) {
      EXPECT_EQ(p[2], "1");
      EXPECT_GE(std::stod(p[4]), 1e-6);
      EXPECT_EQ(p[6], "1");
    }
  }
}

}  // namespace
}  // namespace kovrex
