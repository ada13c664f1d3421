// Rack tab commands on the in-memory controls: rejected inputs change nothing, the
// backlash is shared between pinion and rack, and pinion and rack mesh at the pitch
// line offset (tooth thickness against space width, measured on the two outlines).
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "app/controls.h"
#include "app/rack_commands.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "support/outline_checks.h"
#include "support/test_support.h"

namespace kovrex {
namespace {

class RackCommandsTest : public test::KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    // The Rack tab as the main window starts it.
    const struct {
      int control;
      const char* text;
    } defaults[] = {{GadgetRackModule, "2"},     {GadgetRackPinionTeeth, "20"}, {GadgetRackProfileShift, "0"},
                    {GadgetRackPressureAngle, "20"}, {GadgetRackHelixAngle, "0"},   {GadgetRackFaceWidth, "20"},
                    {GadgetRackPinionBore, "8"}, {GadgetRackBacklash, "0"},     {GadgetRackTeeth, "20"},
                    {GadgetRackHeight, "15"}};
    for (const auto& d : defaults) store.SetText(d.control, d.text);
    store.AddItem(GadgetRackHand, "right");
    store.AddItem(GadgetRackHand, "left");
    store.SetState(GadgetRackHand, 0);
  }
  void Set(int control, const std::string& text) { store.SetText(control, text); }
};

// Everything a rejected run could have touched.
void ExpectSameRecord(const GearRecord& a, const GearRecord& b, const char* what) {
  EXPECT_EQ(a.normalModule, b.normalModule) << what;
  EXPECT_EQ(a.toothCount, b.toothCount) << what;
  EXPECT_EQ(a.profileShift, b.profileShift) << what;
  EXPECT_EQ(a.pressureAngle, b.pressureAngle) << what;
  EXPECT_EQ(a.helixAngle, b.helixAngle) << what;
  EXPECT_EQ(a.hand, b.hand) << what;
  EXPECT_EQ(a.faceWidth, b.faceWidth) << what;
  EXPECT_EQ(a.boreDiameter, b.boreDiameter) << what;
  EXPECT_EQ(a.thicknessAllowance, b.thicknessAllowance) << what;
  EXPECT_EQ(a.pitchRadius, b.pitchRadius) << what;
  EXPECT_EQ(a.tipRadius, b.tipRadius) << what;
  EXPECT_EQ(a.rootRadius, b.rootRadius) << what;
  EXPECT_EQ(a.rackHeight, b.rackHeight) << what;
  EXPECT_EQ(a.rackLength, b.rackLength) << what;
  EXPECT_EQ(a.valid, b.valid) << what;
  ASSERT_EQ(a.outline.size(), b.outline.size()) << what;
  for (size_t i = 0; i < a.outline.size(); ++i) {
    ASSERT_EQ(a.outline[i].points.size(), b.outline[i].points.size()) << what;
    for (size_t k = 0; k < a.outline[i].points.size(); ++k) {
      ASSERT_EQ(a.outline[i].points[k].x, b.outline[i].points[k].x) << what;
      ASSERT_EQ(a.outline[i].points[k].y, b.outline[i].points[k].y) << what;
    }
  }
}

struct InputCase {
  const char* name;
  int control;
  const char* text;
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

const InputCase kRejected[] = {
    {"pinion_teeth_2", GadgetRackPinionTeeth, "2"},
    {"pinion_teeth_1001", GadgetRackPinionTeeth, "1001"},
    {"pressure_angle_9_9", GadgetRackPressureAngle, "9.9"},
    {"pressure_angle_35_1", GadgetRackPressureAngle, "35,1"},
    {"helix_minus_1", GadgetRackHelixAngle, "-1"},
    {"helix_46", GadgetRackHelixAngle, "46"},
    {"rack_teeth_0", GadgetRackTeeth, "0"},
    {"rack_teeth_2001", GadgetRackTeeth, "2001"},
    {"module_0", GadgetRackModule, "0"},
    {"module_negative", GadgetRackModule, "-2"},
    {"module_empty", GadgetRackModule, ""},
    {"module_inf", GadgetRackModule, "inf"},
    {"module_overflow", GadgetRackModule, "1e999"},
    {"face_width_0", GadgetRackFaceWidth, "0"},
    {"face_width_negative", GadgetRackFaceWidth, "-20"},
    {"face_width_nan", GadgetRackFaceWidth, "nan"},
    {"bore_negative", GadgetRackPinionBore, "-1"},
};

class RackRejectTest : public RackCommandsTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(RackRejectTest, ChangesNothing) {
  ASSERT_EQ(ComputeRackFromInputs(1), 0);
  // As if the user had gone to another tab since.
  DisplayMode = static_cast<int>(DisplayKind::Pair);
  store.SetText(GadgetReport, "previous report");
  const int redraws = services.redraws;
  const GearRecord pinion = Gear1, rack = Rack;

  Set(GetParam().control, GetParam().text);
  EXPECT_EQ(ComputeRackFromInputs(1), 1);
  EXPECT_EQ(DisplayMode, static_cast<int>(DisplayKind::Pair));
  EXPECT_EQ(services.redraws, redraws);
  EXPECT_EQ(store.GetText(GadgetReport), "previous report");
  ExpectSameRecord(Gear1, pinion, "pinion");
  ExpectSameRecord(Rack, rack, "rack");
}

INSTANTIATE_TEST_SUITE_P(RackTab, RackRejectTest, ::testing::ValuesIn(kRejected),
                         [](const ::testing::TestParamInfo<InputCase>& i) { return std::string(i.param.name); });

const InputCase kAccepted[] = {
    {"rack_teeth_1", GadgetRackTeeth, "1"},
    {"rack_teeth_2000", GadgetRackTeeth, "2000"},
    {"pinion_teeth_17", GadgetRackPinionTeeth, "17"},
    {"pinion_teeth_1000", GadgetRackPinionTeeth, "1000"},
    {"pressure_angle_10", GadgetRackPressureAngle, "10"},
    {"helix_45", GadgetRackHelixAngle, "45"},
    {"bore_0", GadgetRackPinionBore, "0"},
    // Unreadable text reads as 0, which is a usable profile shift.
    {"profile_shift_nan", GadgetRackProfileShift, "nan"},
};

class RackAcceptTest : public RackCommandsTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(RackAcceptTest, BuildsPinionAndRack) {
  Set(GetParam().control, GetParam().text);
  EXPECT_EQ(ComputeRackFromInputs(0), 0);
  EXPECT_EQ(DisplayMode, static_cast<int>(DisplayKind::PinionRack));
  EXPECT_GT(services.redraws, 0);
  EXPECT_EQ(Gear1.valid, 1);
  EXPECT_EQ(Rack.valid, 1);
  EXPECT_EQ(Rack.isRack, 1);
  test::Contour rack = test::JoinOutline(Rack);
  EXPECT_EQ(rack.error, "");
  test::Contour pinion = test::JoinOutline(Gear1);
  EXPECT_EQ(pinion.error, "");
  EXPECT_TRUE(std::isfinite(ComputeRackPitchLineOffset()));
}

INSTANTIATE_TEST_SUITE_P(RackTab, RackAcceptTest, ::testing::ValuesIn(kAccepted),
                         [](const ::testing::TestParamInfo<InputCase>& i) { return std::string(i.param.name); });

TEST_F(RackCommandsTest, PitchLineMovesOutByTheProfileShift) {
  Set(GadgetRackProfileShift, "0.5");
  ASSERT_EQ(ComputeRackFromInputs(0), 0);
  // r = z m / 2 = 20 mm for m 2, z 20; x m = 1 mm.
  EXPECT_NEAR(ComputeRackPitchLineOffset(), -21.0, 1e-12);

  Set(GadgetRackHelixAngle, "15");
  ASSERT_EQ(ComputeRackFromInputs(0), 0);
  EXPECT_NEAR(ComputeRackPitchLineOffset(), -(20.0 * 2.0 / (2.0 * std::cos(15.0 * kPi / 180.0)) + 1.0), 1e-12);
}

TEST_F(RackCommandsTest, BacklashIsSharedByPinionAndRack) {
  Set(GadgetRackBacklash, "0,1");
  ASSERT_EQ(ComputeRackFromInputs(0), 0);
  // jn / (2 cos 20 deg) = 0.05321 mm each.
  EXPECT_NEAR(Gear1.thicknessAllowance, 0.0532, 5e-5);
  EXPECT_NEAR(Rack.thicknessAllowance, 0.0532, 5e-5);
  EXPECT_NEAR(Gear1.thicknessAllowance, 0.1 / (2.0 * std::cos(20.0 * kPi / 180.0)), 1e-12);
  EXPECT_EQ(Rack.thicknessAllowance, Gear1.thicknessAllowance);
}

TEST_F(RackCommandsTest, LeftHandGivesBothTheLeftHand) {
  Set(GadgetRackHelixAngle, "20");
  store.SetState(GadgetRackHand, 1);
  ASSERT_EQ(ComputeRackFromInputs(0), 0);
  EXPECT_EQ(Gear1.hand, -1);
  EXPECT_EQ(Rack.hand, -1);
  EXPECT_NEAR(Rack.rackHelixOffset, -20.0 * std::tan(20.0 * kPi / 180.0), 1e-12);
}

TEST_F(RackCommandsTest, RebuildAtExportDensityIgnoresChangedFields) {
  ASSERT_EQ(ComputeRackFromInputs(0), 0);
  const GearRecord shown = Rack;
  Set(GadgetRackTeeth, "2001");  // rejected by the tab, still in the field
  Set(GadgetRackModule, "3");
  RebuildRackAtDensity(4);
  EXPECT_EQ(Rack.valid, 1);
  EXPECT_EQ(Rack.toothCount, shown.toothCount);
  EXPECT_EQ(Rack.normalModule, shown.normalModule);
  EXPECT_EQ(Rack.outline.size(), shown.outline.size());
  EXPECT_EQ(Rack.outline[2 + 1].points.size(), 6u * 4u + 1u);  // first right fillet
  RebuildRackAtDensity(1);
  ExpectSameRecord(Rack, shown, "rack back at density 1");
}

struct MeshCase {
  const char* name;
  const char* m;
  const char* z;
  const char* x;
  const char* alpha;
  const char* beta;
  int hand;
  double backlash;
};

void PrintTo(const MeshCase& c, std::ostream* os) { *os << c.name; }

const MeshCase kMeshes[] = {
    {"spur", "2", "20", "0", "20", "0", 0, 0.0},
    {"spur_shifted", "2", "20", "0.5", "20", "0", 0, 0.0},
    {"spur_negative_shift", "3", "40", "-0.4", "20", "0", 0, 0.0},
    {"helical_left_shifted", "2.5", "23", "0.3", "20", "15", 1, 0.0},
    {"helical_30_degrees", "1.5", "31", "0.2", "17.5", "30", 0, 0.0},
    {"spur_backlash", "2", "20", "0", "20", "0", 0, 0.1},
    {"helical_backlash", "2", "25", "0.25", "20", "20", 1, 0.2},
};

class RackMeshTest : public RackCommandsTest, public ::testing::WithParamInterface<MeshCase> {};

// The pinion's pitch circle rolls on the rack line x m above the rack's pitch line,
// so on that line the rack's space must hold the pinion's tooth with jn / (cos a_n
// cos b) of transverse play (jn in the normal section).
TEST_P(RackMeshTest, PinionToothFitsTheRackSpace) {
  const MeshCase& c = GetParam();
  Set(GadgetRackModule, c.m);
  Set(GadgetRackPinionTeeth, c.z);
  Set(GadgetRackProfileShift, c.x);
  Set(GadgetRackPressureAngle, c.alpha);
  Set(GadgetRackHelixAngle, c.beta);
  store.SetState(GadgetRackHand, c.hand);
  Set(GadgetRackBacklash, std::to_string(c.backlash));
  ASSERT_EQ(ComputeRackFromInputs(0), 0);
  ASSERT_EQ(Gear1.valid, 1);
  ASSERT_EQ(Rack.valid, 1);

  const double m = std::stod(c.m), z = std::stod(c.z);
  const double an = std::stod(c.alpha) * kPi / 180.0, beta = std::stod(c.beta) * kPi / 180.0;
  const double r = z * m / (2.0 * std::cos(beta));

  // Pinion tooth 0 (centred on +x) on its pitch circle; a dense copy keeps the
  // chord error of the flank polyline well below the tolerance.
  GearRecord pinion = Gear1;
  ComputeExternalGearGeometry(pinion, /*detail=*/16);
  test::Contour pc = test::JoinOutline(pinion);
  ASSERT_EQ(pc.error, "");
  std::vector<double> angles = test::CrossingsWithCircle(pc.points, r);
  double below = -kPi, above = kPi;
  for (double a : angles) {
    if (a < 0.0 && a > below) below = a;
    if (a > 0.0 && a < above) above = a;
  }
  const double toothArc = r * (above - below);

  // Rack spaces on the line where the pitch circle touches, in the rack's frame.
  const double rollingLine = -r - ComputeRackPitchLineOffset();
  test::Contour rc = test::JoinOutline(Rack);
  ASSERT_EQ(rc.error, "");
  std::vector<double> xs = test::CrossingsWithHorizontal(rc.points, rollingLine);
  ASSERT_EQ(xs.size(), 2u * 20u);
  const size_t j = 9;  // a space in the middle of the rack
  const double space = xs[2 * j + 2] - xs[2 * j + 1];

  // The flank polyline's chords lie inside the convex involute, so the measured
  // tooth comes out about 1e-5 mm thin even at detail 16; a wrong share of the
  // backlash or a pitch line off by the shift is off by 1e-3 mm or (much) more.
  const double normalBacklash = (space - toothArc) * std::cos(an) * std::cos(beta);
  EXPECT_NEAR(normalBacklash, c.backlash, 1e-4) << "space " << space << " tooth " << toothArc;
}

INSTANTIATE_TEST_SUITE_P(RackTab, RackMeshTest, ::testing::ValuesIn(kMeshes),
                         [](const ::testing::TestParamInfo<MeshCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace kovrex
