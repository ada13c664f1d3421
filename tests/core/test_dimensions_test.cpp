// Test dimensions of external gears: span W_k against the DIN 3960 closed form and
// against the generated outline, the dimension over balls against a numeric search
// for the ball that touches the flanks, the ball rounding and the cases where a
// dimension has no value.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "support/gear_inputs.h"
#include "geometry/test_dimensions.h"

namespace kovrex {
namespace {

using test::GearInput;
using test::MakeGear;

double Inv(double a) { return std::tan(a) - a; }

// DIN 3960: W_k = m cos(alpha_n) [(k - 0.5) pi + z inv(alpha_t)] + 2 x m sin(alpha_n),
// with the shift of the tool (the thickness allowance included).
double DinSpan(const GearInput& s, int64_t k) {
  const double an = s.alphaDeg * kDegToRad;
  const double at = std::atan(std::tan(an) / std::cos(s.betaDeg * kDegToRad));
  const double xE = s.x - s.allowance / (2 * s.m * std::tan(an));
  return s.m * std::cos(an) * ((k - 0.5) * kPi + s.z * Inv(at)) + 2 * xE * s.m * std::sin(an);
}

// DIN 3960 number of teeth spanned: k = z' alpha_x / 180 deg + 0.5 on the virtual
// tooth number z' = z inv(alpha_t) / inv(alpha_n), cos alpha_x = z' cos alpha_n / (z' + 2x).
int64_t DinSpanTeeth(const GearInput& s) {
  const double an = s.alphaDeg * kDegToRad;
  const double at = std::atan(std::tan(an) / std::cos(s.betaDeg * kDegToRad));
  const double zv = s.z * Inv(at) / Inv(an);
  const double ax = std::acos(std::min(1.0, zv * std::cos(an) / (zv + 2 * s.x)));
  return std::clamp<int64_t>(static_cast<int64_t>(std::floor(zv * ax / kPi + 1.0)), 1, s.z - 1);
}

const GearInput kSpanCases[] = {
    {"m2 z20", 2, 20, 0, 20, 0},
    {"m2 z30 x0.5", 2, 30, 0.5, 20, 0},
    {"m3 z17 x-0.2", 3, 17, -0.2, 20, 0},
    {"m1 z100", 1, 100, 0, 20, 0},
    {"m2 z25 beta15", 2, 25, 0, 20, 15},
    {"m4 z40 x0.3 beta30", 4, 40, 0.3, 20, 30},
    {"m1.5 z19 beta20 As", 1.5, 19, 0.1, 20, 20, 0.08},
    {"m5 z13 x0.4 alpha25", 5, 13, 0.4, 25, 0},
    {"m2 z60 x-0.5 alpha15 beta10 As", 2, 60, -0.5, 15, 10, 0.2},
};

TEST(SpanMeasurement, DinClosedForm) {
  for (const GearInput& s : kSpanCases) {
    const GearRecord g = MakeGear(s);
    ASSERT_EQ(g.valid, 1) << s.name;
    EXPECT_EQ(g.spanTeeth, DinSpanTeeth(s)) << s.name;
    EXPECT_NEAR(g.spanMeasurement, DinSpan(s, g.spanTeeth), 1e-10) << s.name;
    const double bb = std::asin(std::sin(s.betaDeg * kDegToRad) * std::cos(s.alphaDeg * kDegToRad));
    EXPECT_NEAR(g.minFaceWidthForSpan, g.spanMeasurement * std::sin(bb), 1e-12) << s.name;
  }
  // The textbook example.
  const GearRecord g = MakeGear({"m2 z20", 2, 20, 0, 20, 0});
  EXPECT_EQ(g.spanTeeth, 3);
  EXPECT_NEAR(g.spanMeasurement, 15.321, 5e-4);
}

// Crossings of the line tangent to the base circle at angle tau with the outline,
// as signed distances from the tangent point.
std::vector<double> BaseTangentCrossings(const GearRecord& g, double tau) {
  const double tx = g.baseRadius * std::cos(tau), ty = g.baseRadius * std::sin(tau);
  const double dx = -std::sin(tau), dy = std::cos(tau);
  std::vector<double> out;
  for (const OutlinePolyline& line : g.outline) {
    for (size_t i = 0; i + 1 < line.points.size(); ++i) {
      const OutlinePoint a = line.points[i], b = line.points[i + 1];
      const double ex = b.x - a.x, ey = b.y - a.y;
      const double den = dx * ey - dy * ex;
      if (den == 0) continue;
      const double s = ((a.x - tx) * ey - (a.y - ty) * ex) / den;
      const double u = ((a.x - tx) * dy - (a.y - ty) * dx) / den;
      if (u >= 0 && u < 1) out.push_back(s);
    }
  }
  return out;
}

double NearestTo(const std::vector<double>& values, double target) {
  double best = values.front();
  for (double v : values)
    if (std::fabs(v - target) < std::fabs(best - target)) best = v;
  return best;
}

// A line normal to two involute flanks meets them W_k / cos(beta_b) apart in the
// transverse section; measured on the generated outline, k and k + 1 teeth apart
// differ by the normal base pitch pi m cos(alpha_n). (For a steep helix the
// transverse line reaches the flanks for fewer teeth than the span uses.)
TEST(SpanMeasurement, MatchesTheGeneratedOutline) {
  for (const GearInput& s : {kSpanCases[0], kSpanCases[1], kSpanCases[2], kSpanCases[4], kSpanCases[5]}) {
    const GearRecord g = MakeGear(s, /*detail=*/16);
    ASSERT_EQ(g.valid, 1);
    const double cosBb = std::cos(g.baseHelixAngle);
    const double reach = std::sqrt(g.tipRadius * g.tipRadius - g.baseRadius * g.baseRadius);
    const double start = std::sqrt(g.involuteStartRadius * g.involuteStartRadius - g.baseRadius * g.baseRadius);
    int measuredCount = 0;
    double previous = 0;
    for (int64_t k = 2; k < s.z; ++k) {
      const double half = DinSpan(s, k) / (2 * cosBb);
      if (half < start + 0.05 * s.m || half > reach - 0.05 * s.m) continue;  // not both on the involute
      // Centred on teeth 0 .. k-1, the flanks are met symmetrically.
      const std::vector<double> hits = BaseTangentCrossings(g, (k - 1) * kPi / s.z);
      const double hi = NearestTo(hits, half), lo = NearestTo(hits, -half);
      ASSERT_NEAR(hi, -lo, 1e-6) << s.name << " k " << k;  // the symmetric pair was found
      const double measured = (hi - lo) * cosBb;
      EXPECT_NEAR(measured, DinSpan(s, k), 2e-5) << s.name << " k " << k;
      if (k == g.spanTeeth) {
        EXPECT_NEAR(measured, g.spanMeasurement, 2e-5) << s.name;
      }
      if (measuredCount > 0) {
        EXPECT_NEAR(measured - previous, kPi * s.m * std::cos(s.alphaDeg * kDegToRad), 2e-5) << s.name << " k " << k;
      }
      previous = measured;
      ++measuredCount;
    }
    EXPECT_GE(measuredCount, 2) << s.name;
  }
}

TEST(SpanMeasurement, TeethSpannedStayBetweenOneAndZMinusOne) {
  // z = 3 with a steep helix and a large shift: the formula asks for 3 teeth.
  const GearInput few{"z3", 2, 3, 1.5, 20, 45};
  const GearRecord g = MakeGear(few);
  ASSERT_EQ(g.valid, 1);
  const double an = 20 * kDegToRad, at = std::atan(std::tan(an) / std::cos(45 * kDegToRad));
  const double zv = 3 * Inv(at) / Inv(an);
  ASSERT_GE(zv * std::acos(zv * std::cos(an) / (zv + 3)) / kPi + 0.5, 2.5);
  EXPECT_EQ(g.spanTeeth, 2);
  EXPECT_NEAR(g.spanMeasurement, DinSpan(few, 2), 1e-10);

  // x = -1 on 20 teeth: z' cos(alpha_n) / (z' + 2x) = 1.044, beyond acos.
  const GearInput negative{"z20 x-1", 2, 20, -1.0, 20, 0};
  const GearRecord n = MakeGear(negative);
  ASSERT_EQ(n.valid, 1);
  EXPECT_EQ(n.spanTeeth, 1);
  EXPECT_NEAR(n.spanMeasurement, DinSpan(negative, 1), 1e-10);
  EXPECT_TRUE(std::isfinite(n.spanContactRadius));
}

TEST(SpanMeasurement, ContactRadiusOnTheMeasuringCircle) {
  // Spur: the measuring faces touch where the base tangent is W_k / 2 long.
  const GearRecord g = MakeGear({"m2 z20", 2, 20, 0, 20, 0});
  EXPECT_NEAR(g.spanContactRadius, std::hypot(g.spanMeasurement / 2, 20 * std::cos(20 * kDegToRad)), 1e-12);
  EXPECT_GT(g.spanContactRadius, g.involuteStartRadius);
  EXPECT_LT(g.spanContactRadius, g.tipRadius);
}

// ---- balls ------------------------------------------------------------------

// Upper flank of tooth 0 (polar angle +psi), from the textbook involute alone.
struct Flank {
  double rb, psiBase, tanBetaOverR;
};

Flank FlankOf(const GearInput& s) {
  const double an = s.alphaDeg * kDegToRad;
  const double cb = std::cos(s.betaDeg * kDegToRad);
  const double at = std::atan(std::tan(an) / cb);
  const double rp = s.z * s.m / (2 * cb);
  const double xE = s.x - s.allowance / (2 * s.m * std::tan(an));
  const double st = s.m / cb * (kPi / 2 + 2 * xE * std::tan(an));
  return {rp * std::cos(at), st / (2 * rp) + Inv(at), std::tan(s.betaDeg * kDegToRad) / rp};
}

// Point of the flank at roll parameter t (= tan of the pressure angle there), in the
// transverse section at axial position w (helicoid: the section turns by w tan(beta) / r).
void FlankPoint(const Flank& f, double t, double w, double out[3]) {
  const double radius = f.rb * std::sqrt(1 + t * t);
  const double angle = f.psiBase - (t - std::atan(t)) + w * f.tanBetaOverR;
  out[0] = radius * std::cos(angle);
  out[1] = radius * std::sin(angle);
  out[2] = w;
}

template <class F>
double GoldenMinimum(F f, double lo, double hi, double* argmin) {
  const double g = (std::sqrt(5.0) - 1) / 2;
  double a = lo, b = hi, c = b - g * (b - a), d = a + g * (b - a);
  double fc = f(c), fd = f(d);
  for (int i = 0; i < 120 && b - a > 1e-13 * (1 + std::fabs(a)); ++i) {
    if (fc < fd) {
      b = d, d = c, fd = fc, c = b - g * (b - a), fc = f(c);
    } else {
      a = c, c = d, fc = fd, d = a + g * (b - a), fd = f(d);
    }
  }
  *argmin = (a + b) / 2;
  return f(*argmin);
}

struct Nearest {
  double distance, t, w;
};

// Nearest point of the flank (surface, for a helical gear) to a ball centre on the
// centre line of space 0 at radius R, in the transverse plane w = 0.
Nearest NearestFlankPoint(const Flank& f, int64_t z, double R, double tMax) {
  const double c[3] = {R * std::cos(kPi / z), R * std::sin(kPi / z), 0};
  auto distAt = [&](double t, double w) {
    double p[3];
    FlankPoint(f, t, w, p);
    return std::sqrt((p[0] - c[0]) * (p[0] - c[0]) + (p[1] - c[1]) * (p[1] - c[1]) + (p[2] - c[2]) * (p[2] - c[2]));
  };
  Nearest best{};
  auto overT = [&](double w, double* tOut) { return GoldenMinimum([&](double t) { return distAt(t, w); }, 0, tMax, tOut); };
  if (f.tanBetaOverR == 0) {
    best.distance = overT(0, &best.t);
    return best;
  }
  const double span = f.rb;  // far beyond any contact offset
  best.distance = GoldenMinimum([&](double w) { double t; return overT(w, &t); }, -span, span, &best.w);
  overT(best.w, &best.t);
  return best;
}

// Radius of the ball centre whose distance to the flank is D / 2, by bisection:
// the space widens outward, so the distance grows with R.
double SolveBallCentreRadius(const Flank& f, int64_t z, double D, double tMax) {
  double lo = f.rb, hi = 4 * f.rb + 10 * D;
  for (int i = 0; i < 80; ++i) {
    const double mid = (lo + hi) / 2;
    if (NearestFlankPoint(f, z, mid, tMax).distance < D / 2)
      lo = mid;
    else
      hi = mid;
  }
  return (lo + hi) / 2;
}

const GearInput kBallCases[] = {
    {"spur z20", 2, 20, 0, 20, 0},
    {"spur z21", 2, 21, 0, 20, 0},
    {"spur z17 x0.3", 3, 17, 0.3, 20, 0},
    {"spur z40 x-0.3 As", 1, 40, -0.3, 20, 0, 0.1},
    {"spur z9 alpha25", 4, 9, 0.5, 25, 0},
    {"helical z24 b15", 2, 24, 0, 20, 15},
    {"helical z31 b25 x0.2", 1.5, 31, 0.2, 20, 25},
    {"helical z15 b30 As", 3, 15, 0.4, 20, 30, 0.15},
    {"helical z40 b10", 2, 40, 0, 20, 10},
    {"helical z12 b40 x0.5", 2.5, 12, 0.5, 20, 40},
    {"helical z60 b35 x-0.2", 1, 60, -0.2, 20, 35},
    {"helical z19 b20 alpha15", 3, 19, 0.3, 15, 20},
};

TEST(DimensionOverBalls, BallsTouchTheGeneratedFlanks) {
  for (const GearInput& s : kBallCases) {
    const GearRecord g = MakeGear(s);
    ASSERT_EQ(g.valid, 1) << s.name;
    const double D = g.ballDiameter;
    ASSERT_GT(D, 0) << s.name;
    const Flank f = FlankOf(s);
    const double tMax = std::sqrt(g.tipRadius * g.tipRadius / (f.rb * f.rb) - 1);
    const double R = SolveBallCentreRadius(f, s.z, D, tMax);
    ASSERT_TRUE(std::isfinite(R)) << s.name;
    // Balls in space 0 and in the space nearest the opposite side, measured across:
    // straight through the centre for even z, pi - pi/z apart for odd z.
    const int64_t other = s.z / 2;
    const double a1 = kPi / s.z, a2 = kPi / s.z + 2 * kPi * other / s.z;
    const double across = std::hypot(R * (std::cos(a1) - std::cos(a2)), R * (std::sin(a1) - std::sin(a2))) + D;
    EXPECT_NEAR(g.dimensionOverBalls, across, 1e-6) << s.name;
    const Nearest contact = NearestFlankPoint(f, s.z, R, tMax);
    ASSERT_GT(contact.t, 1e-6) << s.name;  // touches the involute, not its end
    ASSERT_LT(contact.t, tMax - 1e-6) << s.name;
    EXPECT_EQ(g.ballBeyondTipFlag, R + D / 2 > g.tipRadius ? 1 : 0) << s.name;
    // The radius of the point where the ball touches the flank. On a helical flank
    // that point lies off the ball centre's transverse plane, (D/2) sin(beta_b) along
    // the axis; the roll in the transverse plane at the centre is up to a millimetre
    // off.
    EXPECT_NEAR(g.ballContactRadius, f.rb * std::sqrt(1 + contact.t * contact.t), 1e-6) << s.name;
    // A workshop ball: a whole number of 0.05 mm steps.
    EXPECT_NEAR(D / 0.05, std::round(D / 0.05), 1e-9) << s.name;
  }
}

TEST(DimensionOverBalls, NegativeShiftAimsAboveTheBaseCircle) {
  // x = -0.8 on 20 teeth: r + x m = 18.4 mm lies inside the base circle (18.79 mm),
  // so the ball is chosen for contact at m + r_b + (r_a - r)/2 = 20.99 mm, which is
  // above the tip (20.4 mm). M_d is that of a ball touching the involute extended
  // beyond the tip; the report flags the ball as standing out.
  const GearInput s{"z20 x-0.8", 2, 20, -0.8, 20, 0};
  const GearRecord g = MakeGear(s);
  ASSERT_EQ(g.valid, 1);
  ASSERT_GT(g.ballDiameter, 0);
  const Flank f = FlankOf(s);
  const double R = SolveBallCentreRadius(f, s.z, g.ballDiameter, /*tMax=*/3.0);
  EXPECT_NEAR(g.dimensionOverBalls, 2 * R + g.ballDiameter, 1e-6);
  EXPECT_NEAR(g.ballContactRadius, 20.99, 0.1);
  EXPECT_EQ(g.ballBeyondTipFlag, 1);
}

TEST(DimensionOverBalls, AllowanceReducesSpanAndBallDimension) {
  const GearInput plain{"plain", 2, 40, 0.1, 20, 10};
  GearInput thinner = plain;
  thinner.allowance = 0.02;
  const GearRecord a = MakeGear(plain), b = MakeGear(thinner);
  ASSERT_EQ(a.spanTeeth, b.spanTeeth);
  // A_s thinner in the normal section: W_k shrinks by A_s cos(alpha_n).
  EXPECT_NEAR(a.spanMeasurement - b.spanMeasurement, 0.02 * std::cos(20 * kDegToRad), 1e-12);
  // Over the same ball the thinner tooth lets the balls sink in. (The ball is
  // chosen for the thinned space, so a larger allowance may pick the next ball.)
  ASSERT_EQ(a.ballDiameter, b.ballDiameter);
  EXPECT_LT(b.dimensionOverBalls, a.dimensionOverBalls);
}

TEST(BallDiameter, RoundsToWorkshopSteps) {
  const std::pair<double, double> cases[] = {
      {0.987, 0.99}, {3.3374, 3.35}, {3.32, 3.30}, {3.34, 3.35}, {1.0, 1.0},  {0.999, 1.00},
      {0.994, 0.99}, {0.004, 0.01}, {-2.0, 0.01}, {0.0, 0.01},   {3.52, 3.50}, {1.024, 1.0},
  };
  for (const auto& [raw, rounded] : cases) EXPECT_NEAR(RoundBallDiameter(raw), rounded, 1e-12) << raw;
}

TEST(DimensionOverBalls, LeftOutWhenNoBallFits) {
  // Three teeth with x = 1.5: the ball that would touch at r + x m is infinitely
  // large (its centre angle passes pi/2). The span is still there.
  const GearRecord g = MakeGear({"z3 x1.5", 2, 3, 1.5, 20, 0});
  ASSERT_EQ(g.valid, 1);
  EXPECT_EQ(g.ballDiameter, 0.0);
  EXPECT_EQ(g.dimensionOverBalls, 0.0);
  EXPECT_EQ(g.ballContactRadius, 0.0);
  EXPECT_EQ(g.ballBeyondTipFlag, 0);
  EXPECT_GT(g.spanMeasurement, 0.0);
}

TEST(DimensionOverBalls, RecomputingClearsOldValues) {
  GearRecord g = MakeGear({"z20", 2, 20, 0, 20, 0});
  ASSERT_GT(g.dimensionOverBalls, 0);
  InitGearParams(g, 2, 3, 1.5, 20, 20, 0, 0, 0, 1);
  ComputeExternalGearGeometry(g, 1);
  EXPECT_EQ(g.dimensionOverBalls, 0.0);
}

}  // namespace
}  // namespace kovrex
