// External gear geometry and outline: circles and thicknesses against DIN 3960
// values, the outline's shape (closed, counter-clockwise, simple, point counts),
// undercut, pointed tips, the thickness allowance and rejected input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "support/gear_inputs.h"
#include "support/outline_checks.h"
#include "support/undercut_crossing.h"

namespace kovrex {
namespace {

using test::GearInput;
using test::MakeGear;

// Half-angle of the tooth at radius r from the textbook involute, worked from the
// basic data alone: s_t / (2 r_p) + inv alpha_t - inv alpha(r).
double IndependentHalfAngle(const GearInput& s, double r) {
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
  const GearInput cases[] = {
      {"two teeth", 2, 2, 0, 20, 0},
      {"beta 84.3 deg (cos < 0.1)", 2, 20, 0, 20, 84.3},
      {"module 0", 0, 20, 0, 20, 0},
      {"negative module", -2, 20, 0, 20, 0},
      {"root below the centre", 2, 3, -1.0, 20, 0},
      {"pressure angle 0", 2, 20, 0, 0, 0},
      {"NaN shift", 2, 20, std::nan(""), 20, 0},
      {"infinite allowance", 2, 20, 0, 20, 0, std::numeric_limits<double>::infinity()},
  };
  for (const GearInput& s : cases) {
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
const GearInput kShapeCases[] = {
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
  for (const GearInput& s : kShapeCases) {
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
  const GearInput s{"z30", 2, 30, 0, 20, 0};
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
  const GearInput cases[] = {
      {"spur z30", 2, 30, 0, 20, 0},
      {"helical z20 x0.4", 2, 20, 0.4, 20, 25},
      {"z17 x0.1", 3, 17, 0.1, 20, 0},
      {"alpha 25", 1.5, 24, 0, 25, 0},
      {"allowance", 2, 40, 0, 20, 10, 0.2},
  };
  for (const GearInput& s : cases) {
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
  const GearInput s{"z12", 2, 12, 0, 20, 0};
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
  // Few teeth with a negative shift: deep undercut, the trochoid crosses the involute
  // just above r_b; with k = 1 the nominal tip even lies below that crossing. The tip
  // must still lie above the base circle, or acos(r_b / r_a) has no value.
  for (const GearInput& s : {GearInput{"z5 x-0.2", 2, 5, -0.2, 20, 0}, GearInput{"z4 x0", 2, 4, 0.0, 14.5, 0},
                            GearInput{"z3 x-0.1 k1", 3, 3, -0.1, 20, 0, 0, 1.0}}) {
    const GearRecord g = MakeGear(s);
    ASSERT_EQ(g.valid, 1) << s.name;
    EXPECT_EQ(g.undercutFlag, 1) << s.name;
    EXPECT_GT(g.tipRadius, g.baseRadius) << s.name;
    EXPECT_TRUE(test::OutlineAllFinite(g.outline)) << s.name;
    EXPECT_LE(test::MaxJointGap(g.outline).gap, 1e-9) << s.name;
  }
}

TEST(ExternalGearUndercut, InvoluteStartsAtTheExactCrossingAtEveryDetail) {
  // The crossing from the envelope of the rolling rack (support/undercut_crossing.h).
  // A straight line between two trochoid samples missed it by up to 0.066 mm (m 2.5,
  // z 9) and moved it with the detail level, so the gear on screen and the one
  // exported had different involutes.
  const test::UndercutGear cases[] = {
      {2.5, 20, 0, -0.2, 0.1, 9},  {2, 20, 0, 0, 0, 12},     {1, 20, 0, -0.5, 0, 16},  {3, 20, 0, 0.2, 0, 8},
      {2, 20, 0, -0.3, 0, 10},     {2, 20, 15, 0, 0, 11},    {1.5, 20, 30, 0.1, 0, 7}, {2, 20, 40, -0.2, 0, 7}, 
      {2, 20, 0, -0.2, 0, 5},      {4, 25, 0, -0.4, 0, 9},   {1, 14.5, 0, 0.2, 0, 16}, {2, 17.5, 25, -0.1, 0.2, 13},
      {2, 15, 0, -0.5, 0, 16},     {1.25, 20, 10, -0.5, 0, 15},
  };
  for (const test::UndercutGear& c : cases) {
    const std::string name = "m " + std::to_string(c.m) + " z " + std::to_string(c.z) + " x " + std::to_string(c.x) +
                             " alpha " + std::to_string(c.alphaDeg) + " beta " + std::to_string(c.betaDeg);
    const std::optional<double> rs = test::EnvelopeFillet(c).CrossingRadius();
    ASSERT_TRUE(rs.has_value()) << name;
    for (int detail : {1, 3, 4, 8, 16}) {
      GearRecord g = MakeGear({"", c.m, c.z, c.x, c.alphaDeg, c.betaDeg, c.allowance}, detail);
      ASSERT_EQ(g.valid, 1) << name;
      ASSERT_EQ(g.undercutFlag, 1) << name;
      EXPECT_NEAR(g.involuteStartRadius, *rs, 2e-9 * c.m) << name << " detail " << detail;
    }
  }
  // m 2.5, z 9, x -0.2, As 0.1: 10.7562 mm, not the 10.690 of the interpolation.
  EXPECT_NEAR(*test::EnvelopeFillet({2.5, 20, 0, -0.2, 0.1, 9}).CrossingRadius(), 10.7562, 5e-5);
}

TEST(ExternalGearTip, ShortenedBelowTheInvoluteStartIsRaisedJustAboveIt) {
  // k = 1.7 puts the nominal tip (r + m (1 - 1.7) = 18.6 mm) inside the base circle
  // (18.794 mm): there is no involute there to end on.
  const GearInput s{"z20 k1.7", 2, 20, 0, 20, 0, 0, 1.7};
  const GearRecord g = MakeGear(s);
  ASSERT_EQ(g.valid, 1);
  EXPECT_GT(g.involuteStartRadius, g.baseRadius);
  EXPECT_NEAR(g.tipRadius, g.involuteStartRadius + 1e-6 * 2, 1e-12);
  EXPECT_EQ(g.pointedTipFlag, 0);
  EXPECT_TRUE(test::OutlineAllFinite(g.outline));
  EXPECT_LE(test::MaxJointGap(g.outline).gap, 1e-9);
  EXPECT_FALSE(test::FindSelfIntersection(test::OutlineRing(g.outline)).found);
}

TEST(ExternalGearRejects, TeethTheToolCutsThrough) {
  // x = -1 on 8 teeth: the undercut of both flanks meets across the tooth centre
  // line, the tooth is severed. x = 1.5 on 4 teeth with alpha = 10 deg: the tooth
  // is pointed below the end of its own fillet. Either outline would cross itself.
  for (const GearInput& s : {GearInput{"z8 x-1", 1, 8, -1.0, 20, 0}, GearInput{"z4 x1.5 alpha10", 1, 4, 1.5, 10, 0}}) {
    const GearRecord g = MakeGear(s);
    EXPECT_EQ(g.valid, 0) << s.name;
    EXPECT_TRUE(g.outline.empty()) << s.name;
  }
  // m 2, z 30, alpha 13.2186208, beta 0.75, As 2: the rounding crosses the tooth
  // centre line by 0.31 um at r 26.64 (the rack rolled apart), while the nearest
  // trochoid sample keeps 0.55 um clear of it, at every detail.
  for (int detail : {1, 4, 16}) {
    const GearRecord g = MakeGear({"z30 severed", 2, 30, 0.0, 13.2186208, 0.75, 2.0}, detail);
    EXPECT_EQ(g.valid, 0) << detail;
    EXPECT_TRUE(g.outline.empty()) << detail;
  }
  // Just short of that, the gear stands.
  EXPECT_EQ(MakeGear({"z8 x-0.5", 1, 8, -0.5, 20, 0}).valid, 1);
}

TEST(ExternalGearPointedTip, TipDropsToThePointedRadius) {
  const GearInput s{"z6 x1.2", 2, 6, 1.2, 20, 0};
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
  const GearInput plain{"plain", 2, 30, 0.25, 20, 12};
  GearInput thinner = plain;
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

// ---- the outline against the material a rolling basic rack leaves ---------------

// The ISO 53 basic rack in its own frame, transverse section: X across the rack (its
// datum line at X = r + x_E m, tips toward -X), Y along it. A tooth is a polygon of
// tip flat, tip roundings (radius 0.38 m), straight flanks at alpha_n and a back
// line far above the gear's tip; built in the normal section and stretched by
// 1/cos(beta) along Y.
struct RackTooth {
  std::vector<OutlinePoint> polygon;  // (X, Y) relative to the tooth's centre line
  double minX, maxX, maxY;
};

RackTooth BasicRackTooth(const GearInput& s) {
  const double m = s.m, an = s.alphaDeg * kDegToRad, cb = std::cos(s.betaDeg * kDegToRad);
  const double rho = 0.38 * m;
  const double xE = s.x - s.allowance / (2 * m * std::tan(an));
  const double datum = s.z * m / (2 * cb) + xE * m;
  const double tip = datum - 1.25 * m, back = datum + 2.0 * m;
  auto halfWidth = [&](double X) { return kPi * m / 4 + (X - datum) * std::tan(an); };
  const double cx = tip + rho, cy = halfWidth(cx) - rho / std::cos(an);
  std::vector<OutlinePoint> right;  // tip centre to back, normal section
  right.push_back({tip, 0});
  const int arc = 64;
  for (int i = 0; i <= arc; ++i) {
    const double a = kPi - (kPi / 2 - an) * i / arc;
    right.push_back({cx + rho * std::cos(a), cy + rho * std::sin(a)});
  }
  right.push_back({back, halfWidth(back)});
  RackTooth t;
  for (auto it = right.rbegin(); it != right.rend(); ++it) t.polygon.push_back({it->x, -it->y / cb});
  for (const OutlinePoint& p : right) t.polygon.push_back({p.x, p.y / cb});
  t.minX = tip;
  t.maxX = back;
  t.maxY = halfWidth(back) / cb;
  return t;
}

// Signed distance to a simple polygon: negative inside.
double SignedDistance(const std::vector<OutlinePoint>& poly, double x, double y) {
  bool inside = false;
  double best = INFINITY;
  const size_t n = poly.size();
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const OutlinePoint a = poly[j], b = poly[i];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    const double ex = b.x - a.x, ey = b.y - a.y;
    double t = ((x - a.x) * ex + (y - a.y) * ey) / (ex * ex + ey * ey);
    t = std::clamp(t, 0.0, 1.0);
    best = std::min(best, std::hypot(a.x + t * ex - x, a.y + t * ey - y));
  }
  return inside ? -best : best;
}

// Signed distance of a gear point to the rack at roll angle phi: the gear turns by
// phi, the rack moves r phi along its pitch line.
double DistanceAtRoll(const RackTooth& tooth, double r, double pitch, OutlinePoint p, double phi) {
  const double X = p.x * std::cos(phi) - p.y * std::sin(phi);
  const double Y = p.x * std::sin(phi) + p.y * std::cos(phi) - r * phi;
  double best = INFINITY;
  // Rack teeth centred at (j + 1/2) pitch; only the nearest two can be near.
  const double j0 = std::floor(Y / pitch - 0.5);
  for (double j = j0; j <= j0 + 1; ++j) {
    const double dy = Y - (j + 0.5) * pitch;
    const double outside = std::max({tooth.minX - X, X - tooth.maxX, std::fabs(dy) - tooth.maxY, 0.0});
    best = std::min(best, outside > 0 ? outside : SignedDistance(tooth.polygon, X, dy));
  }
  return best;
}

// Smallest signed distance of a gear point to the rack over all rolling positions:
// about 0 on the boundary of the material left, negative where the rack cut it
// away, positive where it never reached. A coarse scan, then a fine one only where
// the distance can still dip below the best found: it changes by at most
// (|p| + r) per radian of roll.
double DistanceToCutMaterial(const GearInput& s, const RackTooth& tooth, OutlinePoint p) {
  const double cb = std::cos(s.betaDeg * kDegToRad);
  const double r = s.z * s.m / (2 * cb), pitch = kPi * s.m / cb;
  const double range = std::min(kPi, 3.5 * pitch / r);
  const int coarse = 250, fine = 40;
  const double step = 2 * range / coarse;
  const double slope = std::hypot(p.x, p.y) + r;
  std::vector<double> d(coarse + 1);
  double best = INFINITY;
  for (int k = 0; k <= coarse; ++k) best = std::min(best, d[k] = DistanceAtRoll(tooth, r, pitch, p, -range + step * k));
  // Most promising intervals first, so that the bound prunes the rest.
  std::vector<int> order(coarse);
  for (int k = 0; k < coarse; ++k) order[k] = k;
  std::sort(order.begin(), order.end(),
            [&](int a, int b) { return std::min(d[a], d[a + 1]) < std::min(d[b], d[b + 1]); });
  for (int k : order) {
    if (std::min(d[k], d[k + 1]) - slope * step / 2 >= best) break;
    for (int i = 1; i < fine; ++i)
      best = std::min(best, DistanceAtRoll(tooth, r, pitch, p, -range + step * (k + double(i) / fine)));
  }
  return best;
}

TEST(ExternalGearOutline, LiesOnTheEnvelopeOfTheRollingRack) {
  struct Case {
    GearInput gear;
    int detail;
  };
  const Case cases[] = {
      {{"spur z20", 2, 20, 0, 20, 0}, 1},
      {{"spur z31 x0.4", 1.5, 31, 0.4, 20, 0}, 4},
      {{"helical z23 b20 x-0.1", 2, 23, -0.1, 20, 20}, 1},
      {{"helical z18 b35 As", 3, 18, 0.2, 20, 35, 0.1}, 3},
      {{"undercut z12", 2, 12, 0, 20, 0}, 1},
      {{"undercut z12 detail 16", 2, 12, 0, 20, 0}, 16},
      {{"undercut z12 x0.1", 2, 12, 0.1, 20, 0}, 16},
      {{"undercut z10 x0.2", 2, 10, 0.2, 20, 0}, 16},
      {{"undercut z16 x-0.2", 2, 16, -0.2, 20, 0}, 16},
      {{"undercut z8 helical", 2, 8, 0.1, 20, 30}, 16},
      {{"undercut z6 x-0.2", 2, 6, -0.2, 20, 0}, 1},
  };
  for (const Case& c : cases) {
    const GearRecord g = MakeGear(c.gear, c.detail);
    ASSERT_EQ(g.valid, 1) << c.gear.name;
    const RackTooth tooth = BasicRackTooth(c.gear);
    const size_t perTooth = g.outline.size() / static_cast<size_t>(c.gear.z);
    // Tooth 0's approach side: root arc, fillet and involute up to the tip, which
    // the rack never touches. At high detail every few points suffice, but the
    // fillet's end, where undercut clips it, is always among them.
    std::vector<OutlinePoint> points;
    for (size_t i = 0; i < perTooth; ++i) {
      const std::vector<OutlinePoint>& line = g.outline[i].points;
      for (size_t k = 0; k < line.size(); ++k) {
        const OutlinePoint p = line[k];
        if (p.y > 1e-12 || std::hypot(p.x, p.y) > g.tipRadius - 1e-9) continue;
        if (k % c.detail == 0 || k + 1 == line.size()) points.push_back(p);
      }
    }
    ASSERT_GT(points.size(), 30u) << c.gear.name;
    double worst = 0;
    for (const OutlinePoint& p : points) {
      const double d = DistanceToCutMaterial(c.gear, tooth, p);
      if (std::fabs(d) > std::fabs(worst)) worst = d;
    }
    EXPECT_LE(std::fabs(worst), 0.003 * c.gear.m) << c.gear.name << ": " << worst / c.gear.m << " m";
  }
}

// ---- no input gives a valid record with a non-finite value -------------------

// Every number of the record that the geometry and the test dimensions write.
std::vector<double> DerivedNumbers(const GearRecord& g) {
  return {g.transverseModule, g.transversePressureAngle, g.baseHelixAngle, g.pitchRadius,
          g.baseRadius,       g.tipRadius,               g.rootRadius,     g.pitchToothThickness,
          g.tipToothThickness, g.toolProfileShift,       g.undercutLimitShift, g.involuteStartRadius,
          g.spanMeasurement,  g.spanContactRadius,       g.ballDiameter,   g.dimensionOverBalls,
          g.ballContactRadius, g.minFaceWidthForSpan};
}

// Teeth z-1, 0 and 1 as one open chain: every tooth is the same shape turned, so a
// crossing anywhere shows up within a tooth or with its neighbours.
std::vector<OutlinePoint> ThreeTeeth(const GearRecord& g) {
  const size_t perTooth = g.outline.size() / static_cast<size_t>(g.toothCount);
  std::vector<OutlinePolyline> part(g.outline.end() - perTooth, g.outline.end());
  part.insert(part.end(), g.outline.begin(), g.outline.begin() + 2 * perTooth);
  return test::OutlineRing(part);
}

struct SweepTally {
  int valid = 0, invalid = 0, undercut = 0, pointed = 0, noBall = 0;
};

void CheckSweepGear(double m, int64_t z, double x, double alphaDeg, double betaDeg, double allowance, int detail,
                    SweepTally& tally) {
  GearRecord g;
  InitGearParams(g, m, z, x, alphaDeg, 20.0, 0.0, 0.0, betaDeg, 1);
  g.thicknessAllowance = allowance;
  ComputeExternalGearGeometry(g, detail);
  const std::string where = "m " + std::to_string(m) + " z " + std::to_string(z) + " x " + std::to_string(x) +
                            " alpha " + std::to_string(alphaDeg) + " beta " + std::to_string(betaDeg) + " As " +
                            std::to_string(allowance) + " detail " + std::to_string(detail);
  if (g.valid == 0) {
    ++tally.invalid;
    ASSERT_TRUE(g.outline.empty()) << where;
    return;
  }
  ++tally.valid;
  tally.undercut += g.undercutFlag == 1;
  tally.pointed += g.pointedTipFlag == 1;
  tally.noBall += g.ballDiameter == 0;
  ASSERT_EQ(g.valid, 1) << where;
  for (double v : DerivedNumbers(g)) ASSERT_TRUE(std::isfinite(v)) << where;
  ASSERT_TRUE(test::OutlineAllFinite(g.outline)) << where;
  ASSERT_EQ(g.outline.size() % static_cast<size_t>(z), 0u) << where;
  ASSERT_GT(g.tipRadius, g.baseRadius) << where;
  ASSERT_GE(g.tipRadius, g.involuteStartRadius) << where;
  ASSERT_LE(test::MaxJointGap(g.outline).gap, 1e-9) << where;
  ASSERT_GE(g.spanTeeth, 1) << where;
  ASSERT_LE(g.spanTeeth, z - 1) << where;
  if (g.ballDiameter == 0) {
    ASSERT_EQ(g.dimensionOverBalls, 0.0) << where;
  } else {
    ASSERT_GT(g.dimensionOverBalls, g.ballDiameter) << where;
  }
  const test::SelfIntersection cut = test::FindSelfIntersection(ThreeTeeth(g), /*closed=*/false);
  EXPECT_FALSE(cut.found) << where << " edges " << cut.edgeA << " and " << cut.edgeB;
}

TEST(ExternalGearSweep, NoInputGivesANonFiniteValidRecord) {
  const int details[] = {1, 3, 4, 8, 16};
  const double modules[] = {0.3, 1.0, 4.0};
  SweepTally tally;
  int run = 0;
  // Small tooth numbers over the whole grid; the detail level and the module
  // change from one gear to the next so that every level meets every kind of gear.
  for (int64_t z : {3, 4, 5, 6, 7, 8, 10, 12, 14, 17, 20, 25, 40})
    for (double x : {-1.0, -0.6, -0.3, 0.0, 0.3, 0.7, 1.1, 1.5})
      for (double alpha : {10.0, 14.5, 20.0, 25.0, 30.0, 35.0})
        for (double beta : {0.0, 15.0, 30.0, 45.0})
          for (double as : {0.0, 0.05, 0.2}) {
            ++run;
            CheckSweepGear(modules[run % 3], z, x, alpha, beta, as, details[run % 5], tally);
            if (HasFatalFailure()) return;
          }
  // Large tooth numbers on a coarser grid (their teeth are the same shapes).
  for (int64_t z : {70, 120, 300, 1000})
    for (double x : {-1.0, 0.0, 1.5})
      for (double alpha : {10.0, 20.0, 35.0})
        for (double beta : {0.0, 45.0})
          for (double as : {0.0, 0.2}) {
            ++run;
            CheckSweepGear(modules[run % 3], z, x, alpha, beta, as, details[run % 5], tally);
            if (HasFatalFailure()) return;
          }
  // The grid reaches every branch: rejected gears, undercut, pointed tips, no ball.
  EXPECT_GT(tally.invalid, 0);
  EXPECT_GT(tally.undercut, 100);
  EXPECT_GT(tally.pointed, 100);
  EXPECT_GT(tally.noBall, 0);
}

}  // namespace
}  // namespace kovrex
