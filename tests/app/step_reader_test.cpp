// STEP files as a CAD kernel sees them: every kind of body and arrangement is
// written through WriteStepFile into a real file and read by OpenCASCADE, with and
// without healing. Each body must be one valid closed solid whose volume and box
// match values worked out here on their own (shoelace area of the outline, circle
// and keyway areas, hub cylinders); a helical gear must have the volume of its
// spur twin and, half-way up, the end outline turned by half the twist; bodies
// placed as on the canvas must not overlap.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/app_state.h"
#include "app/placements.h"
#include "app/rack_commands.h"
#include "capacity/key_connection.h"
#include "export/step_helical.h"
#include "export/step_writer.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"
#include "support/outline_checks.h"
#include "support/step_check.h"
#include "support/test_support.h"

namespace kovrex::test {
namespace {

enum class Kind { Gear, Ring, Rack };

struct BodySpec {
  Kind kind = Kind::Gear;
  double m = 2.0;
  int64_t z = 20;  // rack: number of teeth
  double x = 0.0;
  double betaDeg = 0.0;
  int64_t hand = 1;
  double b = 10.0;
  double bore = 0.0;
  bool dinKeyway = false;
  int64_t hubSide = 0;
  double hubDiameter = 0.0;
  double hubLength = 0.0;
  double allowance = 0.0;
  double rim = 0.0;  // ring: rim width; rack: height
};

// The record as the export command hands it to the writer: outline at detail 4.
GearRecord MakeBody(const BodySpec& s) {
  GearRecord g;
  if (s.kind == Kind::Ring) {
    GenerateToothProfile(g, s.m, s.z, s.x, 20.0, s.b, s.rim, s.allowance, s.betaDeg, s.hand, 4, 0.0);
    return g;
  }
  if (s.kind == Kind::Rack) {
    BuildRackOutline(g, s.m, 20.0, s.betaDeg, s.hand, s.z, s.rim, s.b, s.allowance, 4);
    return g;
  }
  InitGearParams(g, s.m, s.z, s.x, 20.0, s.b, s.bore, 0.0, s.betaDeg, s.hand);
  g.thicknessAllowance = s.allowance;
  g.hubSide = s.hubSide;
  g.hubDiameter = s.hubDiameter;
  g.hubLength = s.hubLength;
  if (s.dinKeyway) {
    const DinKeyLookup key = LookupDin6885Key(s.bore);
    g.keywayWidth = key.b;
    g.keywayDepth = key.t2;
    g.keyHeight = key.h;
    g.keyIsDin = 1;
  }
  ComputeExternalGearGeometry(g, 4);
  return g;
}

// Area of the bore, with the keyway: the circle less the segment cut off by the
// keyway's chord at u = h, plus the keyway's rectangle from h to R + t2.
double BoreArea(const GearRecord& g) {
  const double R = g.boreDiameter / 2.0;
  if (!(R > 0.0)) return 0.0;
  double area = kPi * R * R;
  if (HasKeyway(g)) {
    const double w = g.keywayWidth / 2.0, h = std::sqrt(R * R - w * w);
    area += -(R * R * std::acos(h / R) - h * w) + 2.0 * w * (R + g.keywayDepth - h);
  }
  return area;
}

// Lowest and highest z of the body with its hubs.
void ZRange(const GearRecord& g, double& z0, double& z1) {
  z0 = 0.0;
  z1 = g.faceWidth;
  const bool hub = g.isRack == 0 && g.isInternal == 0 && HasHub(g);
  if (hub && (g.hubSide == 1 || g.hubSide == 3)) z0 = -g.hubLength;
  if (hub && (g.hubSide == 2 || g.hubSide == 3)) z1 += g.hubLength;
}

double ExpectedVolume(const GearRecord& g) {
  if (g.isInternal) return (kPi * g.rimRadius * g.rimRadius - OutlineArea(g)) * g.faceWidth;
  if (g.isRack) return OutlineArea(g) * g.faceWidth;
  double z0, z1;
  ZRange(g, z0, z1);
  const double hubs = (z1 - z0 - g.faceWidth);
  const double Rh = g.hubDiameter / 2.0;
  return (OutlineArea(g) - BoreArea(g)) * g.faceWidth + (kPi * Rh * Rh - BoreArea(g)) * hubs;
}

// The curved outline pieces are B-splines near, not on, the outline's polygon:
// allow a mean offset of 2 um over the whole side surface.
double VolumeTolerance(const GearRecord& g) { return OutlinePerimeter(g) * g.faceWidth * 0.002 + 1e-3; }

struct Placed {
  GearRecord body;
  double x = 0.0, y = 0.0, rotation = 0.0;
};

// Writes the bodies into the file `name` in the test's temporary folder.
bool WriteFile(const std::string& path, const std::vector<Placed>& bodies, ExportStatus* status) {
  StringSink sink;
  const Placed& a = bodies[0];
  const Placed* b = bodies.size() > 1 ? &bodies[1] : nullptr;
  if (!WriteStepFile(sink, path, a.body, a.rotation, b ? &b->body : nullptr, b ? b->x : 0.0, b ? b->y : 0.0,
                     b ? b->rotation : 0.0, status))
    return false;
  std::ofstream out(path, std::ios::binary);
  out << sink.bytes;
  return static_cast<bool>(out);
}

// True once the real writer is in: the entry point still fails for every body
// until it is.
bool StepWriterPresent() {
  GearRecord g = MakeBody({});
  StringSink sink;
  return WriteStepFile(sink, "probe.stp", g, 0.0, nullptr, 0.0, 0.0, 0.0);
}

struct ReaderRow {
  const char* name;
  std::vector<BodySpec> bodies;  // one body, unplaced
  const char* file = "body.stp";
};

void PrintTo(const ReaderRow& row, std::ostream* out) { *out << row.name; }

class StepReaderTest : public KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    if (!StepCheckAvailable()) GTEST_SKIP() << "OpenCASCADE not found at configure time";
    if (!StepWriterPresent()) GTEST_SKIP() << "STEP writer not built yet";
  }

  // Writes, reads, and checks every solid against its body, both reads alike.
  StepCheck WriteAndCheck(const std::string& file, const std::vector<Placed>& bodies,
                          const std::vector<std::string>& extra = {}) {
    // ctest runs the rows in parallel processes: one folder name per process.
    const std::string path = ::testing::TempDir() + "kovrex_step_" + std::to_string(getpid()) + "_" + file;
    ExportStatus status;
    EXPECT_TRUE(WriteFile(path, bodies, &status)) << static_cast<int>(status.error);
    StepCheck check = RunStepCheck(path, extra);
    std::remove(path.c_str());
    EXPECT_TRUE(check.ran) << check.output;
    for (const CheckedRead* read : {&check.healed, &check.raw}) {
      SCOPED_TRACE(read == &check.raw ? "without healing" : "default reader");
      EXPECT_EQ(read->solids.size(), bodies.size()) << check.output;
      for (size_t i = 0; i < read->solids.size() && i < bodies.size(); ++i) {
        SCOPED_TRACE("solid " + std::to_string(i));
        const CheckedSolid& s = read->solids[i];
        const GearRecord& g = bodies[i].body;
        EXPECT_TRUE(s.valid) << check.output;
        EXPECT_EQ(s.freeEdges, 0);
        EXPECT_NEAR(s.volume, ExpectedVolume(g), VolumeTolerance(g));
        double z0, z1;
        ZRange(g, z0, z1);
        EXPECT_NEAR(s.box[2], z0, 1e-3);
        EXPECT_NEAR(s.box[5], z1, 1e-3);
      }
    }
    return check;
  }
};

// The box of an unplaced body: tip circle (rim circle of a ring) across, tooth 0
// on +x, the rack over its length and height.
void ExpectBoxOfUnplaced(const CheckedSolid& s, const GearRecord& g) {
  if (g.isRack) {
    const double offset = std::fabs(g.rackHelixOffset);
    EXPECT_NEAR(s.box[3] - s.box[0], g.rackLength + offset, 0.01);
    return;
  }
  const double R = g.isInternal ? g.rimRadius : g.tipRadius;
  for (int k : {0, 1, 3, 4}) EXPECT_LE(std::fabs(s.box[k]), R + 1e-3) << k;
  EXPECT_NEAR(s.box[3], R, g.isInternal ? 1e-3 : 0.01);
}

const ReaderRow kSingleRows[] = {
    {"spur, no bore", {{}}},
    {"spur, bore 8", {{.bore = 8.0}}},
    {"spur, DIN keyway", {{.z = 30, .bore = 20.0, .dinKeyway = true}}},
    // The single gear at start-up with its DIN keyway: the corner (3.872983, 1) of
    // six decimals lies 3.4e-7 mm inside the bore cylinder.
    {"start-up single gear, DIN keyway in the 8 mm bore", {{.bore = 8.0, .dinKeyway = true}}},
    {"hub left", {{.z = 30, .bore = 12.0, .hubSide = 1, .hubDiameter = 30.0, .hubLength = 8.0}}},
    {"hub right", {{.z = 30, .bore = 12.0, .hubSide = 2, .hubDiameter = 30.0, .hubLength = 8.0}}},
    {"hubs both sides", {{.z = 30, .bore = 12.0, .hubSide = 3, .hubDiameter = 30.0, .hubLength = 8.0}}},
    {"hubs both sides, keyway",
     {{.z = 30, .bore = 16.0, .dinKeyway = true, .hubSide = 3, .hubDiameter = 36.0, .hubLength = 10.0}}},
    {"hub without bore", {{.z = 30, .hubSide = 2, .hubDiameter = 30.0, .hubLength = 5.0}}},
    {"undercut z 8", {{.z = 8}}},
    {"nearly pointed tip", {{.z = 10, .x = 0.7}}},
    {"helical right hand", {{.betaDeg = 20.0, .b = 20.0}}},
    {"helical left hand", {{.betaDeg = 20.0, .hand = -1, .b = 20.0}}},
    {"helical, keyway and hubs",
     {{.betaDeg = 15.0, .b = 20.0, .bore = 16.0, .dinKeyway = true, .hubSide = 3, .hubDiameter = 30.0,
       .hubLength = 8.0}}},
    {"helical, large twist", {{.m = 1.0, .z = 10, .betaDeg = 40.0, .b = 80.0}}},
    {"spur ring", {{.kind = Kind::Ring, .z = 40, .rim = 6.0}}},
    {"helical ring", {{.kind = Kind::Ring, .z = 40, .betaDeg = 15.0, .b = 15.0, .rim = 6.0}}},
    {"straight rack", {{.kind = Kind::Rack, .z = 8, .rim = 12.0}}},
    {"helical rack", {{.kind = Kind::Rack, .z = 8, .betaDeg = 20.0, .b = 15.0, .rim = 12.0}}},
    {"name with apostrophe and non-ASCII", {{.bore = 8.0}}, "o'Brien \xc3\xa9tude.stp"},
    // Diameters typed with six decimals whose radius ends in a seventh decimal 5
    // (5.0617285, 10.0000005, 3.8271605, 15.0000015): the vertices on these
    // circles must be rounded as the circles are written.
    {"bore at a tie", {{.bore = 10.123457}}},
    {"DIN keyway in a bore at a tie", {{.z = 30, .bore = 10.123457, .dinKeyway = true}}},
    {"hub at a tie", {{.z = 30, .bore = 8.0, .hubSide = 2, .hubDiameter = 20.000001, .hubLength = 6.0}}},
    {"keyed bore and hubs at ties",
     {{.z = 30, .bore = 7.654321, .dinKeyway = true, .hubSide = 3, .hubDiameter = 30.000003, .hubLength = 5.0}}},
};

// One test per row, so that a failing row names itself and the rows run in
// parallel under ctest.
class StepReaderRowTest : public StepReaderTest, public ::testing::WithParamInterface<ReaderRow> {};

TEST_P(StepReaderRowTest, OneValidSolidOfTheRightVolume) {
  const ReaderRow& row = GetParam();
  const GearRecord g = MakeBody(row.bodies[0]);
  ASSERT_EQ(g.valid, 1);
  const StepCheck check = WriteAndCheck(row.file, {{g}});
  if (!check.healed.solids.empty()) ExpectBoxOfUnplaced(check.healed.solids[0], g);
}

std::string RowName(const ::testing::TestParamInfo<ReaderRow>& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Bodies, StepReaderRowTest, ::testing::ValuesIn(kSingleRows), RowName);

TEST_F(StepReaderTest, LargeTwistNeedsMoreThanHundredSections) {
  const GearRecord g = MakeBody({.m = 1.0, .z = 10, .betaDeg = 40.0, .b = 80.0});
  EXPECT_GT(HelicalSectionCount(g), 100);
}

// A helical gear holds the material of its spur twin, and half-way up its section
// is the end outline turned by half the twist.
TEST_F(StepReaderTest, HelicalSectionIsTheTurnedEndOutline) {
  for (int64_t hand : {1, -1}) {
    SCOPED_TRACE(hand);
    const GearRecord g = MakeBody({.betaDeg = 20.0, .hand = hand, .b = 20.0, .bore = 10.0});
    // Its spur twin: the same transverse outline, extruded straight.
    GearRecord twin = g;
    twin.helixAngle = 0.0;
    const double half = g.faceWidth / 2.0;
    const StepCheck check = WriteAndCheck("helical.stp", {{g}}, {"--section", std::to_string(half), "--points"});
    ASSERT_EQ(check.raw.solids.size(), 1u);
    const CheckedSolid& s = check.raw.solids[0];
    EXPECT_NEAR(s.sectionArea, OutlineArea(g) - BoreArea(g), OutlinePerimeter(g) * 0.002);

    const StepCheck spur = WriteAndCheck("spur.stp", {{twin}});
    ASSERT_EQ(spur.raw.solids.size(), 1u);
    EXPECT_NEAR(s.volume, spur.raw.solids[0].volume, VolumeTolerance(g));

    // Every section point lies on the outline turned by k b / 2 (or on the bore).
    const double turn = hand * std::tan(g.helixAngle) / g.pitchRadius * half;
    std::vector<OutlinePoint> turned;
    for (const OutlinePolyline& line : g.outline)
      for (const OutlinePoint& p : line.points)
        turned.push_back({p.x * std::cos(turn) - p.y * std::sin(turn), p.x * std::sin(turn) + p.y * std::cos(turn)});
    double worst = 0.0;
    size_t checked = 0;
    for (const SectionWire& w : s.wires) {
      for (size_t k = 0; k < w.points.size(); k += 7) {
        const double px = w.points[k].first, py = w.points[k].second;
        if (std::fabs(std::hypot(px, py) - g.boreDiameter / 2.0) < 1e-4) continue;
        double best = 1e9;
        for (size_t i = 0; i + 1 < turned.size(); ++i) {
          const double ax = turned[i].x, ay = turned[i].y, dx = turned[i + 1].x - ax, dy = turned[i + 1].y - ay;
          const double len2 = dx * dx + dy * dy;
          double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0;
          t = std::fmin(1.0, std::fmax(0.0, t));
          best = std::fmin(best, std::hypot(px - ax - t * dx, py - ay - t * dy));
        }
        worst = std::fmax(worst, best);
        ++checked;
      }
    }
    EXPECT_GT(checked, 100u);
    EXPECT_LT(worst, 0.005);
    // Turned the wrong way the section would miss the outline by far more.
    EXPECT_GT(std::fabs(turn) * g.tipRadius, 0.5);
  }
}

// Placements of the export's "both together, as shown".
struct ArrangementRow {
  const char* name;
  DisplayKind mode;
  BodySpec first, second;  // pair: Gear1, Gear2; rack: Gear1, Rack; internal: Gear1, RingGear
  double drive;
};

std::vector<Placed> PlaceAsShown(const ArrangementRow& row) {
  DisplayMode = static_cast<int>(row.mode);
  DriveAngle = row.drive;
  Gear1 = MakeBody(row.first);
  switch (row.mode) {
    case DisplayKind::Pair:
      Gear2 = MakeBody(row.second);
      PairCentreDistance = Gear1.pitchRadius + Gear2.pitchRadius;
      return {{Gear1, 0.0, 0.0, DriveAngle}, {Gear2, PairCentreDistance, 0.0, ComputeGear2Angle()}};
    case DisplayKind::PinionRack:
      Rack = MakeBody(row.second);
      return {{Gear1, 0.0, 0.0, DriveAngle},
              {Rack, ComputeRackShift(Gear1, Rack, DriveAngle), ComputeRackPitchLineOffset(), 0.0}};
    case DisplayKind::Internal:
      RingGear = MakeBody(row.second);
      InternalCentreDistance = RingGear.pitchRadius - Gear1.pitchRadius;
      return {{RingGear, 0.0, 0.0, DriveAngle * static_cast<double>(Gear1.toothCount) / RingGear.toothCount},
              {Gear1, InternalCentreDistance, 0.0, DriveAngle}};
    default:
      return {};
  }
}

const ArrangementRow kArrangements[] = {
    {"pair", DisplayKind::Pair, {.z = 12, .allowance = 0.05}, {.z = 20, .allowance = 0.05}, 0.0},
    {"pair turned, keyway and hubs on gear 1",
     DisplayKind::Pair,
     {.z = 18, .bore = 12.0, .dinKeyway = true, .hubSide = 3, .hubDiameter = 24.0, .hubLength = 6.0,
      .allowance = 0.05},
     {.z = 24, .allowance = 0.05},
     0.3},
    // Opposite hands: the flanks of both twist alike only if each turns its own way.
    {"helical pair",
     DisplayKind::Pair,
     {.z = 12, .betaDeg = 15.0, .hand = 1, .allowance = 0.05},
     {.z = 18, .betaDeg = 15.0, .hand = -1, .allowance = 0.05},
     0.1},
    // Gear 2 stands at a centre distance that does not print exactly, turned: its
    // bore and hub circles are written about that centre, the keyway corners at an
    // angle.
    {"helical pair turned, keyways and hubs on both",
     DisplayKind::Pair,
     {.z = 17, .betaDeg = 12.0, .hand = 1, .bore = 8.0, .dinKeyway = true, .hubSide = 1, .hubDiameter = 14.0,
      .hubLength = 5.0, .allowance = 0.05},
     {.z = 31, .betaDeg = 12.0, .hand = -1, .bore = 12.0, .dinKeyway = true, .hubSide = 3, .hubDiameter = 24.0,
      .hubLength = 6.0, .allowance = 0.05},
     0.37},
    {"pinion with rack",
     DisplayKind::PinionRack,
     {.z = 14, .allowance = 0.05},
     {.kind = Kind::Rack, .z = 8, .allowance = 0.05, .rim = 12.0},
     0.2},
    {"internal pair",
     DisplayKind::Internal,
     {.z = 14, .allowance = 0.05},
     {.kind = Kind::Ring, .z = 36, .allowance = 0.05, .rim = 6.0},
     0.25},
    // Bores and hubs at six-decimal ties on turned bodies off the origin.
    {"pair turned, bores and hub at ties",
     DisplayKind::Pair,
     {.z = 14, .bore = 7.654321, .allowance = 0.05},
     {.z = 23, .bore = 10.123457, .dinKeyway = true, .hubSide = 2, .hubDiameter = 30.000003, .hubLength = 5.0,
      .allowance = 0.05},
     0.2},
    {"pinion with rack, pinion bore at a tie",
     DisplayKind::PinionRack,
     {.z = 14, .bore = 5.000001, .allowance = 0.05},
     {.kind = Kind::Rack, .z = 8, .allowance = 0.05, .rim = 12.0},
     0.2},
    {"internal pair, keyed pinion bore at a tie",
     DisplayKind::Internal,
     {.z = 16, .bore = 10.123457, .dinKeyway = true, .allowance = 0.05},
     {.kind = Kind::Ring, .z = 36, .allowance = 0.05, .rim = 6.0},
     0.25},
};

TEST_F(StepReaderTest, BodiesAsShownDoNotOverlap) {
  for (const ArrangementRow& row : kArrangements) {
    SCOPED_TRACE(row.name);
    const std::vector<Placed> bodies = PlaceAsShown(row);
    ASSERT_EQ(bodies.size(), 2u);
    ASSERT_EQ(bodies[0].body.valid, 1);
    ASSERT_EQ(bodies[1].body.valid, 1);
    const StepCheck check = WriteAndCheck("pair.stp", bodies, {"--common"});
    for (const CheckedRead* read : {&check.healed, &check.raw}) {
      ASSERT_EQ(read->solids.size(), 2u);
      if (read == &check.raw) {  // the overlap is computed of the solids as written
        EXPECT_TRUE(read->hasCommon) << check.output;
        EXPECT_NEAR(read->common, 0.0, 1e-3);
      }
      // Meshing, not apart: the boxes overlap across the teeth.
      const CheckedSolid &a = read->solids[0], &b = read->solids[1];
      EXPECT_LT(std::fmax(a.box[0], b.box[0]), std::fmin(a.box[3], b.box[3]));
      EXPECT_LT(std::fmax(a.box[1], b.box[1]), std::fmin(a.box[4], b.box[4]));
    }
  }
}

// The keyway stands under tooth 0 and turns with the body: half-way up the keyed
// bore reaches R + t2 along the body's rotation and R against it.
TEST_F(StepReaderTest, KeywayTurnsWithTheDriveAngle) {
  const ArrangementRow& row = kArrangements[1];
  const std::vector<Placed> bodies = PlaceAsShown(row);
  const GearRecord& g = bodies[0].body;
  ASSERT_TRUE(HasKeyway(g));
  const StepCheck check = WriteAndCheck("keyway.stp", bodies, {"--section", "5", "--points"});
  ASSERT_EQ(check.raw.solids.size(), 2u);
  const CheckedSolid& s = check.raw.solids[0];
  const double ux = std::cos(row.drive), uy = std::sin(row.drive);
  double far = -1e9, near = 1e9;
  for (const SectionWire& w : s.wires)
    for (const auto& p : w.points) {
      // Only the bore's wire: well inside the tooth outline.
      if (std::hypot(p.first, p.second) > (ComputeBoreContourRadius(g) + g.rootRadius) / 2.0) continue;
      const double along = p.first * ux + p.second * uy;
      far = std::fmax(far, along);
      near = std::fmin(near, along);
    }
  EXPECT_NEAR(far, g.boreDiameter / 2.0 + g.keywayDepth, 1e-4);
  EXPECT_NEAR(near, -g.boreDiameter / 2.0, 1e-4);
}

}  // namespace
}  // namespace kovrex::test
