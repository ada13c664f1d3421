// Ring gear outline and dimension between balls: the contour is closed, simple and
// clockwise, flanks are involutes, fillets are 0.25 m circles tangent to flank and
// root (cut on the space centre line where the space is too narrow), and the ball
// dimension agrees with a ball placed numerically between the two flanks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "geometry/ring_gear.h"
#include "support/outline_checks.h"

namespace kovrex {
namespace {

using test::JoinOutline;
using test::SignedArea;

struct RingCase {
  const char* name;
  double m;
  int64_t z;
  double x, alphaDeg, betaDeg;
  int64_t hand;
  double rim, allowance;
  int detail;
  double tipOverride;
  // What the case is meant to exercise (checked against the outline's shape).
  bool fillet, rootArc, tipArc;
  int undercut, pointed;
};

// The internal defaults (a = 41 selects m 3, z 13 / 39, x2 = 1.017) and m 1, z 24,
// x 0.5 have a root space narrower than two 0.25 m fillets: the fillets meet on the
// space centre line and there is no root arc.
const RingCase kRings[] = {
    {"internal_defaults_d1", 3.0, 39, 1.017, 20.0, 0.0, 1, 6.0, 0.0, 1, 0.0, true, false, true, 0, 0},
    {"internal_defaults_d3", 3.0, 39, 1.017, 20.0, 0.0, 1, 6.0, 0.0, 3, 0.0, true, false, true, 0, 0},
    {"internal_defaults_d4", 3.0, 39, 1.017, 20.0, 0.0, 1, 6.0, 0.0, 4, 0.0, true, false, true, 0, 0},
    {"internal_defaults_d8", 3.0, 39, 1.017, 20.0, 0.0, 1, 6.0, 0.0, 8, 0.0, true, false, true, 0, 0},
    {"internal_defaults_d16", 3.0, 39, 1.017, 20.0, 0.0, 1, 6.0, 0.0, 16, 0.0, true, false, true, 0, 0},
    {"m1_z24_x05", 1.0, 24, 0.5, 20.0, 0.0, 1, 6.0, 0.0, 1, 0.0, true, false, true, 0, 0},
    {"m1_z25_x05_odd", 1.0, 25, 0.5, 20.0, 0.0, 1, 6.0, 0.0, 1, 0.0, true, false, true, 0, 0},
    {"plain_m2_z60", 2.0, 60, 0.0, 20.0, 0.0, 1, 6.0, 0.0, 1, 0.0, true, true, true, 0, 0},
    {"plain_m2_z61_odd_d4", 2.0, 61, 0.0, 20.0, 0.0, 1, 6.0, 0.0, 4, 0.0, true, true, true, 0, 0},
    {"helical_m2_z60_b15", 2.0, 60, 0.0, 20.0, 15.0, 1, 6.0, 0.0, 1, 0.0, true, true, true, 0, 0},
    {"helical_left_m2_z57_b25_d8", 2.0, 57, 0.3, 20.0, -25.0, -1, 6.0, 0.05, 8, 0.0, true, true, true, 0, 0},
    {"tip_below_base_m1_z24", 1.0, 24, 0.0, 20.0, 0.0, 1, 6.0, 0.0, 1, 0.0, true, true, true, 1, 0},
    {"tip_below_base_m1_z12", 1.0, 12, -0.5, 20.0, 0.0, 1, 3.0, 0.0, 3, 0.0, true, true, true, 1, 0},
    {"tip_below_base_m2_z20_d16", 2.0, 20, 0.0, 20.0, 0.0, 1, 6.0, 0.0, 16, 0.0, true, true, true, 1, 0},
    {"allowance_narrow_root", 2.0, 60, 0.0, 20.0, 0.0, 1, 6.0, 1.5, 1, 0.0, true, false, true, 0, 0},
    {"pointed_tip_m2_z60", 2.0, 60, 0.0, 20.0, 0.0, 1, 6.0, 2.5, 1, 0.0, true, false, false, 0, 1},
    {"pointed_tip_m2_z60_d4", 2.0, 60, 0.0, 20.0, 0.0, 1, 6.0, 2.0, 4, 0.0, true, false, false, 0, 1},
    {"tip_override_used", 2.0, 60, 0.0, 20.0, 0.0, 1, 6.0, 0.0, 1, 59.0, true, true, true, 0, 0},
    // A tip raised to just inside rf - 0.1 m leaves no room for the fillet circle:
    // the flank runs to the root circle and the root arc spans +-psi(rf).
    {"tip_override_no_fillet", 2.0, 60, 0.0, 20.0, 0.0, 1, 6.0, 0.0, 1, 62.29, false, true, true, 0, 0},
    {"alpha_25_m5_z80", 5.0, 80, 0.2, 25.0, 10.0, 1, 10.0, 0.0, 1, 0.0, true, true, true, 0, 0},
};

// The ring's circles from the basic rack's closed forms, independent of the code.
struct RingRef {
  double r, rb, alphaT, et, theta0, tau, rfNominal, raNominal, cosBetaB, rho;
};

double Inv(double a) { return std::tan(a) - a; }

RingRef Reference(const RingCase& c) {
  RingRef e{};
  const double an = c.alphaDeg * kPi / 180.0;
  const double b = std::fabs(c.betaDeg) * kPi / 180.0;
  const double mt = c.m / std::cos(b);
  e.alphaT = std::atan(std::tan(an) / std::cos(b));
  e.r = static_cast<double>(c.z) * mt / 2.0;
  e.rb = e.r * std::cos(e.alphaT);
  const double xE = c.x + c.allowance / (2.0 * c.m * std::tan(an));
  e.et = mt * (kPi / 2.0 + 2.0 * xE * std::tan(an));
  e.theta0 = Inv(e.alphaT) + e.et / (2.0 * e.r);  // half space angle at the base circle
  e.tau = kPi / static_cast<double>(c.z);
  e.rfNominal = e.r + c.m * (1.25 + xE);
  e.raNominal = e.r - c.m * (1.0 - c.x);
  e.cosBetaB = std::cos(std::asin(std::sin(b) * std::cos(an)));
  e.rho = 0.25 * c.m;
  return e;
}

// Polar angle of the flank of space 0 (upper side) at radius R >= r_b.
double FlankAngle(const RingRef& e, double R) { return e.theta0 - Inv(std::acos(std::min(1.0, e.rb / R))); }

OutlinePoint FlankPoint(const RingRef& e, double R) {
  double a = FlankAngle(e, R);
  return {R * std::cos(a), R * std::sin(a)};
}

GearRecord Build(const RingCase& c) {
  GearRecord g;
  GenerateToothProfile(g, c.m, c.z, c.x, c.alphaDeg, 10.0, c.rim, c.allowance, c.betaDeg, c.hand, c.detail,
                       c.tipOverride);
  return g;
}

void PrintTo(const RingCase& c, std::ostream* os) { *os << c.name; }

class RingOutlineTest : public ::testing::TestWithParam<RingCase> {};

TEST_P(RingOutlineTest, ContourIsClosedSimpleClockwise) {
  const RingCase& c = GetParam();
  const GearRecord g = Build(c);
  ASSERT_EQ(g.valid, 1);
  EXPECT_EQ(g.isInternal, 1);
  EXPECT_EQ(g.isRack, 0);
  EXPECT_EQ(g.undercutFlag, c.undercut);
  EXPECT_EQ(g.pointedTipFlag, c.pointed);
  test::Contour contour = JoinOutline(g);
  ASSERT_EQ(contour.error, "");
  EXPECT_LT(SignedArea(contour.points), 0.0) << "not clockwise";
  EXPECT_FALSE(test::FindSelfIntersection(contour.points).found);
  for (const OutlinePoint& p : contour.points) {
    double R = std::hypot(p.x, p.y);
    EXPECT_GE(R, g.tipRadius - 1e-9);
    EXPECT_LE(R, g.rootRadius + 1e-9);
  }
}

TEST_P(RingOutlineTest, PointCountsPerSpace) {
  const RingCase& c = GetParam();
  const GearRecord g = Build(c);
  ASSERT_EQ(g.valid, 1);
  const size_t d = static_cast<size_t>(c.detail);
  std::vector<size_t> space = {14 * d + 1};
  if (c.fillet) space.push_back(8 * d + 1);
  if (c.rootArc) space.push_back(4 * d + 1);
  if (c.fillet) space.push_back(8 * d + 1);
  space.push_back(14 * d + 1);
  if (c.tipArc) space.push_back(4 * d + 1);
  ASSERT_EQ(g.outline.size(), space.size() * static_cast<size_t>(c.z));
  for (size_t i = 0; i < g.outline.size(); ++i)
    ASSERT_EQ(g.outline[i].points.size(), space[i % space.size()]) << "polyline " << i;
}

TEST_P(RingOutlineTest, FlanksAreInvolutesAndFilletsTangent) {
  const RingCase& c = GetParam();
  const RingRef e = Reference(c);
  const GearRecord g = Build(c);
  ASSERT_EQ(g.valid, 1);
  const double tol = 1e-9 * c.m;

  // Flank of space 0, from the tip circle outwards, and its mirror.
  const auto& flank = g.outline[0].points;
  for (const OutlinePoint& p : flank) {
    double R = std::hypot(p.x, p.y);
    EXPECT_NEAR(std::atan2(p.y, p.x), FlankAngle(e, R), 1e-11) << "R = " << R;
  }
  EXPECT_NEAR(std::hypot(flank.front().x, flank.front().y), g.tipRadius, tol);

  // Tip circle: the nominal one, raised to the base circle, moved to where the ring
  // tooth has no thickness, or the override.
  double ra = e.raNominal;
  if (c.tipOverride > ra && c.tipOverride < e.rfNominal - 0.1 * c.m) ra = c.tipOverride;
  if (c.undercut) ra = e.rb;
  if (c.pointed) {
    EXPECT_GT(g.tipRadius, ra);
    EXPECT_NEAR(FlankAngle(e, g.tipRadius), e.tau, 1e-12) << "spaces must meet at the pointed tip";
  } else {
    EXPECT_NEAR(g.tipRadius, ra, tol);
  }
  EXPECT_NEAR(g.rootRadius, e.rfNominal, tol);

  if (!c.fillet) {
    const OutlinePoint& last = flank.back();
    EXPECT_NEAR(std::hypot(last.x, last.y), e.rfNominal, tol);
    return;
  }
  const auto& fillet = g.outline[1].points;
  const OutlinePoint t = fillet.front();
  EXPECT_NEAR(t.x, flank.back().x, 1e-12);
  EXPECT_NEAR(t.y, flank.back().y, 1e-12);

  // Circle through three fillet points.
  const OutlinePoint& a = fillet.front();
  const OutlinePoint& b = fillet[fillet.size() / 2];
  const OutlinePoint& q = fillet.back();
  double dd = 2.0 * (a.x * (b.y - q.y) + b.x * (q.y - a.y) + q.x * (a.y - b.y));
  double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, q2 = q.x * q.x + q.y * q.y;
  double cx = (a2 * (b.y - q.y) + b2 * (q.y - a.y) + q2 * (a.y - b.y)) / dd;
  double cy = (a2 * (q.x - b.x) + b2 * (a.x - q.x) + q2 * (b.x - a.x)) / dd;
  for (const OutlinePoint& p : fillet) EXPECT_NEAR(std::hypot(p.x - cx, p.y - cy), e.rho, 1e-7 * c.m);

  // Tangent to the flank: an involute's normal is tangent to the base circle, so the
  // line from the touch point through the fillet centre passes r_b from the origin.
  // (The flank direction is a forward difference over 1e-6 m, good to about 1e-6 mm
  // here; a wrong normal is off by a good fraction of the module.)
  const double nx = cx - t.x, ny = cy - t.y;
  EXPECT_NEAR(std::fabs(t.x * ny - t.y * nx) / std::hypot(nx, ny), e.rb, 1e-5 * c.m);

  const double centreAngle = std::atan2(cy, cx);
  if (c.rootArc) {
    // Tangent to the root circle from inside, short of the space centre line.
    EXPECT_NEAR(std::hypot(cx, cy) + e.rho, e.rfNominal, 1e-7 * c.m);
    EXPECT_GT(centreAngle, 0.0);
    EXPECT_NEAR(std::hypot(q.x, q.y), e.rfNominal, tol);
  } else {
    // The full fillet would touch the root beyond the centre line and cross its
    // mirror image; it ends on the centre line instead, inside the root circle.
    EXPECT_LT(centreAngle, 0.0);
    EXPECT_NEAR(q.y, 0.0, 1e-12);
    EXPECT_GT(q.x, 0.0);
    EXPECT_LE(std::hypot(q.x, q.y), e.rfNominal + tol);
  }
}

// Second method for the dimension between balls: place the ball on the space centre
// line by bisection so that its distance to the flank (nearest point on the involute,
// found by sampling and golden-section refinement) equals its transverse radius.
double DistanceToFlank(const RingRef& e, double cx, double rMax) {
  auto dist = [&](double R) {
    OutlinePoint p = FlankPoint(e, R);
    return std::hypot(p.x - cx, p.y);
  };
  const int samples = 4000;
  int best = 0;
  double bestD = 1e300;
  for (int i = 0; i <= samples; ++i) {
    double d = dist(e.rb + (rMax - e.rb) * i / samples);
    if (d < bestD) {
      bestD = d;
      best = i;
    }
  }
  double lo = e.rb + (rMax - e.rb) * std::max(0, best - 1) / samples;
  double hi = e.rb + (rMax - e.rb) * std::min(samples, best + 1) / samples;
  const double g = (std::sqrt(5.0) - 1.0) / 2.0;
  for (int i = 0; i < 200; ++i) {
    double m1 = hi - g * (hi - lo), m2 = lo + g * (hi - lo);
    if (dist(m1) < dist(m2))
      hi = m2;
    else
      lo = m1;
  }
  return dist((lo + hi) / 2.0);
}

TEST_P(RingOutlineTest, DimensionBetweenBallsMatchesPlacedBall) {
  const RingCase& c = GetParam();
  const RingRef e = Reference(c);
  const GearRecord g = Build(c);
  ASSERT_EQ(g.valid, 1);
  const double D = g.ballDiameter;
  ASSERT_GT(D, 0.0);
  ASSERT_GT(g.dimensionOverBalls, 0.0);
  EXPECT_EQ(g.spanTeeth, 0);
  EXPECT_EQ(g.spanMeasurement, 0.0);

  // The ball diameter: the ball centred on the axis whose circle is normal to the
  // flank at r + x m (or mid-flank), from the involute's analytic normal, rounded.
  double rLow = std::max(g.tipRadius, e.rb);
  double rM = e.r + c.x * c.m;
  if (rM <= rLow || rM >= g.rootRadius) rM = (rLow + g.rootRadius) / 2.0;
  const double th = FlankAngle(e, rM);
  const double tanA = std::tan(std::acos(e.rb / rM));
  const double nyy = tanA * std::sin(th) + std::cos(th);  // normal = tan(a) e_r + e_t
  const double lambda = rM * std::sin(th) * std::hypot(tanA, 1.0) / std::fabs(nyy);
  const double raw = 2.0 * lambda * e.cosBetaB;
  const double grid = raw < 1.0 ? 0.01 : 0.05;
  EXPECT_NEAR(D, grid * std::round(raw / grid), 1e-9);

  // Where a ball of this diameter sits: its transverse section is taken as a circle
  // of radius D / (2 cos beta_b) touching both flanks.
  const double target = D / (2.0 * e.cosBetaB);
  double rZero = e.rb;  // where the extended flank reaches the centre line
  {
    double lo = e.rb, hi = 2.0 * e.rfNominal;
    for (int i = 0; i < 200; ++i) {
      double mid = (lo + hi) / 2.0;
      (FlankAngle(e, mid) > 0.0 ? lo : hi) = mid;
    }
    rZero = lo;
  }
  double lo = e.rb, hi = rZero;
  ASSERT_GT(DistanceToFlank(e, lo, rZero), target) << "ball does not fit above the base circle";
  for (int i = 0; i < 100; ++i) {
    double mid = (lo + hi) / 2.0;
    (DistanceToFlank(e, mid, rZero) > target ? lo : hi) = mid;
  }
  const double centre = (lo + hi) / 2.0;
  const double expected = c.z % 2 == 0 ? 2.0 * centre - D
                                       : 2.0 * centre * std::cos(kPi / (2.0 * static_cast<double>(c.z))) - D;
  EXPECT_NEAR(g.dimensionOverBalls, expected, 1e-7);
  EXPECT_EQ(g.ballBeyondTipFlag, centre - D / 2.0 < g.tipRadius ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Rings, RingOutlineTest, ::testing::ValuesIn(kRings),
                         [](const ::testing::TestParamInfo<RingCase>& i) { return std::string(i.param.name); });

TEST(RingGear, RimWidthZeroComputesCirclesButNoOutline) {
  GearRecord full, bare;
  GenerateToothProfile(full, 3.0, 39, 1.017, 20.0, 10.0, 6.0, 0.0, 0.0, 1, 1, 0.0);
  GenerateToothProfile(bare, 3.0, 39, 1.017, 20.0, 10.0, 0.0, 0.0, 0.0, 1, 1, 0.0);
  ASSERT_EQ(full.valid, 1);
  EXPECT_EQ(bare.valid, 0);
  EXPECT_TRUE(bare.outline.empty());
  EXPECT_DOUBLE_EQ(bare.tipRadius, full.tipRadius);
  EXPECT_DOUBLE_EQ(bare.rootRadius, full.rootRadius);
  EXPECT_DOUBLE_EQ(bare.baseRadius, full.baseRadius);
  EXPECT_DOUBLE_EQ(bare.tipToothThickness, full.tipToothThickness);
  EXPECT_DOUBLE_EQ(bare.rimRadius, bare.rootRadius);
  EXPECT_EQ(bare.dimensionOverBalls, 0.0);
}

TEST(RingGear, UnusableInputsStoreOnlyTheInputs) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    double m;
    int64_t z;
    double beta, rim;
  } cases[] = {{"z5", 2.0, 5, 0.0, 6.0}, {"m0", 0.0, 40, 0.0, 6.0}, {"beta85", 2.0, 40, 85.0, 6.0},
               {"m_nan", nan, 40, 0.0, 6.0}, {"rim_nan", 2.0, 40, 0.0, nan}};
  for (const Case& c : cases) {
    GearRecord g;
    g.outline.push_back(OutlinePolyline{{{1.0, 2.0}, {3.0, 4.0}}});
    g.valid = 1;
    GenerateToothProfile(g, c.m, c.z, 0.3, 20.0, 10.0, c.rim, 0.1, c.beta, 0, 1, 0.0);
    EXPECT_EQ(g.valid, 0) << c.name;
    EXPECT_TRUE(g.outline.empty()) << c.name;
    EXPECT_EQ(g.isInternal, 1) << c.name;
    EXPECT_EQ(g.hand, 1) << c.name;
    EXPECT_EQ(g.toothCount, c.z) << c.name;
    EXPECT_DOUBLE_EQ(g.rootRadiusCoeff, 0.25) << c.name;
    EXPECT_EQ(g.baseRadius, 0.0) << c.name;
    EXPECT_EQ(g.tipRadius, 0.0) << c.name;
    EXPECT_EQ(g.dimensionOverBalls, 0.0) << c.name;
  }
}

TEST(RingGear, TipOverrideOnlyBetweenNominalTipAndRootLessTenthModule) {
  // m 2, z 60, x 0: r_a = 58, r_f = 62.5, so the override must lie in (58, 62.3).
  struct Case {
    double override_, tipRadius, shortening;
  } cases[] = {{0.0, 58.0, 0.0},  {57.0, 58.0, 0.0}, {58.0, 58.0, 0.0},
               {60.0, 60.0, 1.0}, {62.3, 58.0, 0.0}, {62.4, 58.0, 0.0}};
  for (const Case& c : cases) {
    GearRecord g;
    GenerateToothProfile(g, 2.0, 60, 0.0, 20.0, 10.0, 6.0, 0.0, 0.0, 1, 1, c.override_);
    ASSERT_EQ(g.valid, 1) << c.override_;
    EXPECT_NEAR(g.tipRadius, c.tipRadius, 1e-9) << c.override_;
    EXPECT_NEAR(g.tipShortening, c.shortening, 1e-9) << c.override_;
    EXPECT_DOUBLE_EQ(g.tipRadiusOverride, c.override_);
  }
}

TEST(RingGear, HelixSignOnlyChangesTheHand) {
  GearRecord right, left;
  GenerateToothProfile(right, 2.0, 50, 0.2, 20.0, 10.0, 6.0, 0.0, 15.0, 1, 1, 0.0);
  GenerateToothProfile(left, 2.0, 50, 0.2, 20.0, 10.0, 6.0, 0.0, -15.0, -1, 1, 0.0);
  ASSERT_EQ(right.valid, 1);
  ASSERT_EQ(left.valid, 1);
  EXPECT_EQ(left.hand, -1);
  EXPECT_DOUBLE_EQ(left.helixAngle, right.helixAngle);
  EXPECT_DOUBLE_EQ(left.dimensionOverBalls, right.dimensionOverBalls);
  ASSERT_EQ(left.outline.size(), right.outline.size());
  for (size_t i = 0; i < left.outline.size(); ++i)
    for (size_t k = 0; k < left.outline[i].points.size(); ++k) {
      ASSERT_EQ(left.outline[i].points[k].x, right.outline[i].points[k].x);
      ASSERT_EQ(left.outline[i].points[k].y, right.outline[i].points[k].y);
    }
}

// Shifts typed far outside the useful range (x1 on the Internal tab is free): the
// space has already closed at the tip circle, or the root circle lies inside the
// tip circle raised to r_b. Built as they stand, the flanks cross their mirror
// images and the polylines no longer meet; such a ring must not count as built.
TEST(RingGear, SpaceClosedAtTheTipOrRootInsideTheTipIsNoRing) {
  struct Case {
    RingCase ring;
    bool spaceClosedAtTip;  // else: root circle inside the base circle (= raised tip)
  } cases[] = {
      {{"m1_z12_x5", 1.0, 12, 5.0, 20.0, 0.0, 1, 6.0, 0.0, 1, 0.0, false, false, false, 0, 0}, true},
      {{"m1_z12_x5_b45", 1.0, 12, 5.0, 10.0, 45.0, 1, 6.0, 0.0, 1, 0.0, false, false, false, 0, 0}, true},
      {{"m1_z40_x-3", 1.0, 40, -3.0, 20.0, 0.0, 1, 6.0, 0.0, 1, 0.0, false, false, false, 0, 0}, false},
      {{"m2_z40_x-3_d3", 2.0, 40, -3.0, 20.0, 0.0, 1, 6.0, 0.0, 3, 0.0, false, false, false, 0, 0}, false},
  };
  for (const Case& c : cases) {
    const RingRef e = Reference(c.ring);
    if (c.spaceClosedAtTip)
      ASSERT_LT(FlankAngle(e, e.raNominal), 0.0) << c.ring.name << ": space still open at the tip";
    else
      ASSERT_LT(e.rfNominal, e.rb) << c.ring.name << ": root circle outside the base circle";
    GearRecord g;
    g.ballDiameter = 3.0;  // left from an earlier ring
    g.dimensionOverBalls = 100.0;
    GenerateToothProfile(g, c.ring.m, c.ring.z, c.ring.x, c.ring.alphaDeg, 10.0, c.ring.rim, c.ring.allowance,
                         c.ring.betaDeg, c.ring.hand, c.ring.detail, c.ring.tipOverride);
    EXPECT_EQ(g.valid, 0) << c.ring.name;
    EXPECT_TRUE(g.outline.empty()) << c.ring.name;
    EXPECT_EQ(g.ballDiameter, 0.0) << c.ring.name;
    EXPECT_EQ(g.dimensionOverBalls, 0.0) << c.ring.name;
    EXPECT_NEAR(g.baseRadius, e.rb, 1e-12) << c.ring.name;  // the circles are still computed
  }
}

// A small ring whose tip is raised to the base circle: the ball of the diameter
// rule would sit below the base circle (inv alpha_M <= 0), so there is no dimension
// between balls; the outline itself is fine.
TEST(RingGear, BallDimensionThatCannotBeComputedStaysZero) {
  RingCase c{"m1_z8", 1.0, 8, 0.0, 20.0, 0.0, 1, 6.0, 0.0, 1, 0.0, true, true, true, 1, 0};
  const RingRef e = Reference(c);
  const GearRecord g = Build(c);
  ASSERT_EQ(g.valid, 1);
  EXPECT_EQ(g.undercutFlag, 1);
  ASSERT_GT(g.ballDiameter, 0.0);
  const double invM = Inv(e.alphaT) + e.et / (2.0 * e.r) - g.ballDiameter / (2.0 * e.rb * e.cosBetaB);
  ASSERT_LE(invM, 0.0) << "case no longer exercises the missing dimension";
  EXPECT_EQ(g.dimensionOverBalls, 0.0);
  EXPECT_EQ(g.ballBeyondTipFlag, 0);
  EXPECT_TRUE(std::isfinite(g.ballDiameter));
  test::Contour contour = JoinOutline(g);
  EXPECT_EQ(contour.error, "");
  EXPECT_FALSE(test::FindSelfIntersection(contour.points).found);
}

TEST(RingFilletResidual, ZeroWhereTheCircleTouchesTheRoot) {
  GearRecord g;
  GenerateToothProfile(g, 2.0, 60, 0.0, 20.0, 10.0, 6.0, 0.0, 0.0, 1, 1, 0.0);
  ASSERT_EQ(g.valid, 1);
  const double rho = 0.5, rf = g.rootRadius;
  OutlinePoint t, c;
  // Near the tip the circle lies well inside the root circle; at the root it pokes out.
  EXPECT_LT(ComputeRingFilletResidual(g, g.tipRadius + 0.01, rho, rf, t, c), 0.0);
  EXPECT_GT(ComputeRingFilletResidual(g, rf, rho, rf, t, c), 0.0);
  const double s = 61.0;
  const double res = ComputeRingFilletResidual(g, s, rho, rf, t, c);
  EXPECT_NEAR(std::hypot(t.x, t.y), s, 1e-12);
  EXPECT_NEAR(std::hypot(c.x - t.x, c.y - t.y), rho, 1e-9);
  EXPECT_LT(std::atan2(c.y, c.x), std::atan2(t.y, t.x)) << "centre must lie towards the space centre";
  EXPECT_NEAR(res, std::hypot(c.x, c.y) - (rf - rho), 1e-12);
}

}  // namespace
}  // namespace kovrex
