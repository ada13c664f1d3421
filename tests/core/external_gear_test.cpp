// External gear geometry and outline: circles and thicknesses against DIN 3960
// values, the outline's shape (closed, counter-clockwise, simple, point counts),
// undercut, pointed tips, the thickness allowance and rejected input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "support/outline_checks.h"

namespace kovrex {
namespace {

struct GearSpec {
  const char* name;
  double m;
  int64_t z;
  double x;
  double alphaDeg;
  double betaDeg;
  double allowance = 0.0;
  double tipShortening = 0.0;
};

GearRecord MakeGear(const GearSpec& s, int detail = 1) {
  GearRecord g;
  InitGearParams(g, s.m, s.z, s.x, s.alphaDeg, 20.0, 0.0, s.tipShortening, s.betaDeg, 1);
  g.thicknessAllowance = s.allowance;
  ComputeExternalGearGeometry(g, detail);
  return g;
}

// Half-angle of the tooth at radius r from the textbook involute, worked from the
// basic data alone: s_t / (2 r_p) + inv alpha_t - inv alpha(r).
double IndependentHalfAngle(const GearSpec& s, double r) {
  const double an = s.alphaDeg * kDegToRad;
  const double cb = std::cos(s.betaDeg * kDegToRad);
  const double at = std::atan(std::tan(an) / cb);
  const double rp = s.z * s.m / (2 * cb);
  const double rb = rp * std::cos(at);
  const double xE = s.x - s.allowance / (2 * s.m * std::tan(an));
  const double st = s.m / cb * (kPi / 2 + 2 * xE * std::tan(an));
  const double ar = std::acos(std::min(1.0, rb / r));
  return st / (2 * rp) + (std::tan(at) - at) - (std::tan(ar) - ar);
}

double PolarRadius(const OutlinePoint& p) { return std::hypot(p.x, p.y); }
double PolarAngle(const OutlinePoint& p) { return std::atan2(p.y, p.x); }

TEST(ExternalGearGeometry, CirclesOfAHelicalGear) {
  // m_n = 3, z = 25, beta = 15 deg, x = 0.2: d = 77.6457, d_b = 72.6586,
  // alpha_t = 20.6469 deg, beta_b = 14.0761 deg (DIN 3960 relations).
  const GearRecord g = MakeGear({"helical", 3, 25, 0.2, 20, 15});
  ASSERT_EQ(g.valid, 1);
  EXPECT_NEAR(g.transverseModule, 3.105829, 1e-6);
  EXPECT_NEAR(2 * g.pitchRadius, 77.645714, 1e-6);
  EXPECT_NEAR(2 * g.baseRadius, 72.658626, 1e-6);
  EXPECT_NEAR(g.transversePressureAngle * kRadToDeg, 20.646896, 1e-6);
  EXPECT_NEAR(g.baseHelixAngle * kRadToDeg, 14.076095, 1e-6);
  // d_a = d + 2 m (1 + x), d_f = d - 2 m (1.25 - x)
  EXPECT_NEAR(2 * g.tipRadius, 77.645714 + 2 * 3 * 1.2, 1e-6);
  EXPECT_NEAR(2 * g.rootRadius, 77.645714 - 2 * 3 * 1.05, 1e-6);
  // s_t = m_t (pi/2 + 2 x tan alpha_n)
  EXPECT_NEAR(g.pitchToothThickness, 3.105829 * (kPi / 2 + 0.4 * std::tan(20 * kDegToRad)), 1e-6);
  EXPECT_EQ(g.undercutFlag, 0);
  EXPECT_EQ(g.pointedTipFlag, 0);
  EXPECT_NEAR(g.tipToothThickness, 2 * g.tipRadius * IndependentHalfAngle({"", 3, 25, 0.2, 20, 15}, g.tipRadius), 1e-9);
}

TEST(ExternalGearGeometry, RejectsUnusableBasicData) {
  const GearSpec cases[] = {
      {"two teeth", 2, 2, 0, 20, 0},
      {"beta 84.3 deg (cos < 0.1)", 2, 20, 0, 20, 84.3},
      {"module 0", 0, 20, 0, 20, 0},
      {"negative module", -2, 20, 0, 20, 0},
      {"root below the centre", 2, 3, -1.0, 20, 0},
      {"pressure angle 0", 2, 20, 0, 0, 0},
      {"NaN shift", 2, 20, std::nan(""), 20, 0},
      {"infinite allowance", 2, 20, 0, 20, 0, std::numeric_limits<double>::infinity()},
  };
  for (const GearSpec& s : cases) {
    GearRecord g;
    InitGearParams(g, s.m, s.z, s.x, s.alphaDeg, 20.0, 0.0, 0.0, s.betaDeg, 1);
    g.thicknessAllowance = s.allowance;
    g.outline.resize(3);  // an old outline must not survive
    g.valid = 1;
    ComputeExternalGearGeometry(g, 1);
    EXPECT_EQ(g.valid, 0) << s.name;
    EXPECT_TRUE(g.outline.empty()) << s.name;
  }
  // cos(84.26 deg) is just above 0.1: still a gear.
  EXPECT_EQ(MakeGear({"beta 84.2", 2, 20, 0, 20, 84.2}).valid, 1);
}

// A broad set of gears whose outline must be one closed, counter-clockwise,
// simple contour at every detail level.
const GearSpec kShapeCases[] = {
    {"spur z20", 2, 20, 0, 20, 0},
    {"helical z25 x0.3", 3, 25, 0.3, 20, 20},
    {"undercut z12", 2, 12, 0, 20, 0},
    {"deep undercut z6 x-0.3", 2, 6, -0.3, 20, 0},
    {"no root arc alpha 25", 2, 20, 0, 25, 0},
    {"pointed z6 x1.2", 2, 6, 1.2, 20, 0},
    {"three teeth", 5, 3, 0.6, 20, 0},
    {"negative shift z60", 1, 60, -0.5, 20, 10},
    {"allowance", 2, 20, 0.2, 20, 15, 0.15},
    {"tip shortening", 2, 33, 0.4, 20, 0, 0, 0.1},
    {"steep helix", 1, 14, 0.2, 20, 45},
    {"alpha 10 z200", 1, 200, 0, 10, 0},
    {"alpha 35 z9", 1, 9, 0.5, 35, 30},
};

TEST(ExternalGearOutline, ClosedCounterClockwiseAndSimple) {
  for (const GearSpec& s : kShapeCases) {
    for (int detail : {1, 3, 4, 8, 16}) {
      const GearRecord g = MakeGear(s, detail);
      const std::string where = std::string(s.name) + " detail " + std::to_string(detail);
      ASSERT_EQ(g.valid, 1) << where;
      ASSERT_TRUE(test::OutlineAllFinite(g.outline)) << where;
      const test::JointGap gap = test::MaxJointGap(g.outline);
      EXPECT_LE(gap.gap, 1e-9) << where << " after polyline " << gap.index;
      const std::vector<OutlinePoint> ring = test::OutlineRing(g.outline);
      const double area = test::SignedArea(ring);
      // Between the root and tip discs, and positive: counter-clockwise.
      EXPECT_GT(area, kPi * g.rootRadius * g.rootRadius) << where;
      EXPECT_LT(area, kPi * g.tipRadius * g.tipRadius) << where;
      const test::SelfIntersection cut = test::FindSelfIntersection(ring);
      EXPECT_FALSE(cut.found) << where << " edges " << cut.edgeA << " and " << cut.edgeB;
      // Tooth 0 is centred on +x: the outline there is at the tip.
      double best = 0;
      for (const OutlinePolyline& line : g.outline)
        for (const OutlinePoint& p : line.points)
          if (std::fabs(p.y) < 1e-9 && p.x > best) best = p.x;
      EXPECT_NEAR(best, g.tipRadius, 1e-9) << where;
    }
  }
}

TEST(ExternalGearOutline, PointCountsPerDetailLevel) {
  // z = 30, x = 0: neither undercut nor clipped at the space centre, so the fillet
  // is the whole raw trochoid of 14 n + 1 points.
  const GearSpec s{"z30", 2, 30, 0, 20, 0};
  for (int detail : {1, 3, 4, 8, 16}) {
    const GearRecord g = MakeGear(s, detail);
    ASSERT_EQ(g.valid, 1);
    ASSERT_EQ(g.undercutFlag, 0);
    ASSERT_EQ(g.outline.size(), 30u * 6u) << detail;
    const size_t curve = 14 * detail + 1, arc = 4 * detail + 1;
    const size_t expected[6] = {arc, curve, curve, arc, curve, curve};
    for (size_t i = 0; i < g.outline.size(); ++i)
      ASSERT_EQ(g.outline[i].points.size(), expected[i % 6]) << "detail " << detail << " polyline " << i;
  }
}

TEST(ExternalGearOutline, SeventeenTeethHaveSixPolylinesPerTooth) {
  const GearRecord g = MakeGear({"z17", 2, 17, 0, 20, 0});
  ASSERT_EQ(g.valid, 1);
  EXPECT_EQ(g.outline.size(), 17u * 6u);
  EXPECT_LE(test::MaxJointGap(g.outline).gap, 1e-9);
  // Root arc on r_f = r - 1.25 m = 14.5 mm, tip arc on r_a = r + m = 19 mm.
  for (const OutlinePoint& p : g.outline[0].points) EXPECT_NEAR(PolarRadius(p), 14.5, 1e-12);
  for (const OutlinePoint& p : g.outline[3].points) EXPECT_NEAR(PolarRadius(p), 19.0, 1e-12);
  // The root arc of tooth 0 ends where its fillet begins, at -u_t / r.
  const double an = 20 * kDegToRad;
  const double u = kPi * 2 / 4 + (1.25 * 2 - 0.76 + 0.76 * std::sin(an)) * std::tan(an) + 0.76 * std::cos(an);
  EXPECT_NEAR(PolarAngle(g.outline[0].points.back()), -u / 17.0, 1e-12);
}

TEST(ExternalGearOutline, WithoutRootArcTheFilletsMeetOnTheSpaceCentre) {
  // alpha_n = 25 deg: the rounding centres of neighbouring flanks are more than
  // half a pitch apart, u_t / r > pi / z.
  const GearRecord g = MakeGear({"alpha 25", 2, 20, 0, 25, 0});
  ASSERT_EQ(g.valid, 1);
  ASSERT_EQ(g.outline.size(), 20u * 5u);
  const OutlinePoint first = g.outline[0].points.front();
  EXPECT_NEAR(PolarAngle(first), -kPi / 20, 1e-12);
  // The previous tooth's last fillet ends in the same point.
  EXPECT_LT(test::PointDistance(g.outline.back().points.back(), first), 1e-9);
}

TEST(ExternalGearOutline, FilletEndsOnTheInvoluteWithoutUndercut) {
  const GearSpec cases[] = {
      {"spur z30", 2, 30, 0, 20, 0},
      {"helical z20 x0.4", 2, 20, 0.4, 20, 25},
      {"z17 x0.1", 3, 17, 0.1, 20, 0},
      {"alpha 25", 1.5, 24, 0, 25, 0},
      {"allowance", 2, 40, 0, 20, 10, 0.2},
  };
  for (const GearSpec& s : cases) {
    const GearRecord g = MakeGear(s);
    ASSERT_EQ(g.valid, 1) << s.name;
    ASSERT_EQ(g.undercutFlag, 0) << s.name;
    // Tooth 0: [root arc], fillet, involute, ...; the fillet is the polyline before
    // the first one that reaches the tip radius's neighbourhood.
    const size_t filletIndex = g.outline.size() / s.z == 6 ? 1 : 0;
    const OutlinePoint end = g.outline[filletIndex].points.back();
    const double r = PolarRadius(end);
    EXPECT_GT(r, g.baseRadius) << s.name;
    EXPECT_NEAR(-PolarAngle(end), IndependentHalfAngle(s, r), 1e-12) << s.name;
    EXPECT_NEAR(g.involuteStartRadius, r, 1e-12) << s.name;
    // Every involute point lies on the textbook involute.
    for (const OutlinePoint& p : g.outline[filletIndex + 1].points)
      EXPECT_NEAR(-PolarAngle(p), IndependentHalfAngle(s, PolarRadius(p)), 1e-12) << s.name;
  }
}

TEST(ExternalGearUndercut, TwelveTeethAreUndercutUntilShifted) {
  const GearSpec s{"z12", 2, 12, 0, 20, 0};
  const GearRecord g = MakeGear(s);
  ASSERT_EQ(g.valid, 1);
  EXPECT_EQ(g.undercutFlag, 1);
  // x_min = 1.25 - 0.38 (1 - sin 20) - 12 sin^2 20 / 2 = 0.298101
  EXPECT_NEAR(g.undercutLimitShift, 0.298101, 1e-6);
  // The fillet ends on the involute, above the base circle, where the trochoid
  // crosses it; the involute starts from there.
  const OutlinePoint end = g.outline[1].points.back();
  const double rx = PolarRadius(end);
  EXPECT_GT(rx, g.baseRadius);
  EXPECT_LT(rx, 12.0);
  EXPECT_NEAR(-PolarAngle(end), IndependentHalfAngle(s, rx), 1e-12);
  EXPECT_NEAR(g.involuteStartRadius, rx, 1e-12);
  EXPECT_EQ(MakeGear({"z12 x0.5", 2, 12, 0.5, 20, 0}).undercutFlag, 0);
  EXPECT_EQ(MakeGear({"z12 x0.29", 2, 12, 0.29, 20, 0}).undercutFlag, 1);
  EXPECT_EQ(MakeGear({"z12 x0.3", 2, 12, 0.3, 20, 0}).undercutFlag, 0);
}

TEST(ExternalGearUndercut, DeepUndercutKeepsTheTipAboveTheBaseCircle) {
  // Few teeth with a negative shift: the fillet ends below r_b; the tip must still
  // lie above the base circle, or acos(r_b / r_a) has no value.
  for (const GearSpec& s : {GearSpec{"z5 x-0.2", 2, 5, -0.2, 20, 0}, GearSpec{"z4 x0", 2, 4, 0.0, 14.5, 0},
                            GearSpec{"z3 x-0.1 k1", 3, 3, -0.1, 20, 0, 0, 1.0}}) {
    const GearRecord g = MakeGear(s);
    if (g.valid == 0) continue;
    EXPECT_GT(g.tipRadius, g.baseRadius) << s.name;
    EXPECT_TRUE(test::OutlineAllFinite(g.outline)) << s.name;
    EXPECT_LE(test::MaxJointGap(g.outline).gap, 1e-9) << s.name;
  }
}

TEST(ExternalGearPointedTip, TipDropsToThePointedRadius) {
  const GearSpec s{"z6 x1.2", 2, 6, 1.2, 20, 0};
  const GearRecord g = MakeGear(s);
  ASSERT_EQ(g.valid, 1);
  EXPECT_EQ(g.pointedTipFlag, 1);
  EXPECT_LT(g.tipRadius, 6.0 + 2 * 2.2);
  // 60 halvings leave the radius where the textbook half-angle is zero.
  EXPECT_NEAR(IndependentHalfAngle(s, g.tipRadius), 0.0, 1e-12);
  EXPECT_GE(IndependentHalfAngle(s, g.tipRadius), -1e-15);
  EXPECT_NEAR(g.tipToothThickness, 0.0, 1e-12);
  // No tip arc: both involutes end in one point on the tooth centre line.
  ASSERT_EQ(g.outline.size(), 6u * 5u);  // root arc, fillet, involute, involute, fillet
  const OutlinePoint a = g.outline[2].points.back();
  const OutlinePoint b = g.outline[3].points.front();
  EXPECT_EQ(a.x, b.x);
  EXPECT_EQ(a.y, b.y);
  EXPECT_NEAR(a.y, 0.0, 1e-12);
  EXPECT_NEAR(a.x, g.tipRadius, 1e-12);

  EXPECT_EQ(MakeGear({"z6 x0.3", 2, 6, 0.3, 20, 0}).pointedTipFlag, 0);
}

TEST(ExternalGearAllowance, ThinnerToothDeeperRootSameTip) {
  const GearSpec plain{"plain", 2, 30, 0.25, 20, 12};
  GearSpec thinner = plain;
  thinner.allowance = 0.12;
  const GearRecord a = MakeGear(plain);
  const GearRecord b = MakeGear(thinner);
  ASSERT_EQ(a.valid, 1);
  ASSERT_EQ(b.valid, 1);
  const double an = 20 * kDegToRad;
  // The tool moves in by A_s / (2 tan alpha_n); the transverse thickness loses
  // A_s / cos beta (A_s is a normal-section thickness).
  EXPECT_NEAR(a.rootRadius - b.rootRadius, 0.12 / (2 * std::tan(an)), 1e-12);
  EXPECT_NEAR(a.toolProfileShift - b.toolProfileShift, 0.12 / (2 * 2 * std::tan(an)), 1e-12);
  EXPECT_NEAR(a.pitchToothThickness - b.pitchToothThickness, 0.12 / std::cos(12 * kDegToRad), 1e-12);
  EXPECT_EQ(a.tipRadius, b.tipRadius);
  EXPECT_LT(b.tipToothThickness, a.tipToothThickness);
  EXPECT_DOUBLE_EQ(b.profileShift, 0.25);
}

}  // namespace
}  // namespace kovrex
