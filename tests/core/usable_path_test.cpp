// The path of contact over the usable flanks only (DIN 3960: contact ends where a
// tip leaves the mate's involute, d_Nf >= d_Ff), for external pairs in both
// directions, pinions with a rack and internal pairs, across pressure angles of
// 14.5 to 25 degrees and 8 to 200 teeth. The end of each usable flank is worked
// apart from the generators: the DIN 3960 closed form of the root form circle of a
// rack-cut gear, the undercut crossing from the envelope of the rolling rack, the
// rack's straight flank end, and the ring's fillet found as the circle of 0.25 m
// that touches the flank and the root circle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/line_of_action.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"
#include "support/undercut_crossing.h"

namespace kovrex {
namespace {

double Inv(double a) { return std::tan(a) - a; }

struct Basic {
  double m, alphaDeg, betaDeg;
};

double AlphaT(const Basic& b) { return std::atan(std::tan(b.alphaDeg * kDegToRad) / std::cos(b.betaDeg * kDegToRad)); }
double PitchRadius(const Basic& b, int64_t z) { return z * b.m / (2 * std::cos(b.betaDeg * kDegToRad)); }
double BaseRadius(const Basic& b, int64_t z) { return PitchRadius(b, z) * std::cos(AlphaT(b)); }
double BasePitch(const Basic& b) { return kPi * b.m / std::cos(b.betaDeg * kDegToRad) * std::cos(AlphaT(b)); }

// Where the usable involute of a rack-cut external gear begins. Without undercut
// the tool's straight flank, which ends (1.25 - 0.38 (1 - sin alpha_n)) m below its
// datum, generates it down to the root form circle of DIN 3960; with undercut the
// rounding's envelope crosses the involute higher up.
double RootFormRadius(const Basic& b, int64_t z, double x) {
  const double an = b.alphaDeg * kDegToRad, at = AlphaT(b);
  const double roll = PitchRadius(b, z) * std::sin(at) - (1.25 - 0.38 * (1 - std::sin(an)) - x) * b.m / std::sin(at);
  if (roll > 0) return std::hypot(BaseRadius(b, z), roll);
  const std::optional<double> crossing =
      test::EnvelopeFillet({b.m, b.alphaDeg, b.betaDeg, x, 0.0, static_cast<int>(z)}).CrossingRadius();
  EXPECT_TRUE(crossing.has_value()) << "z " << z << " x " << x << " alpha " << b.alphaDeg << " beta " << b.betaDeg;
  return crossing.value_or(NAN);
}

GearRecord ExternalGear(const Basic& b, int64_t z, double x) {
  GearRecord g;
  InitGearParams(g, b.m, z, x, b.alphaDeg, 20.0, 0.0, 0.0, b.betaDeg, 1);
  ComputeExternalGearGeometry(g, /*detail=*/1);
  return g;
}

double TangentLength(double r, double rb) { return std::sqrt(std::max(r * r - rb * rb, 0.0)); }

// The path as a tip crossing, cut back to the mate's usable flank where the tip
// reaches more than 0.001 m past it.
struct ExpectedPath {
  double A, E;
  bool cutA, cutE;
};

ExpectedPath CutBack(double tipA, double flankA, double tipE, double flankE, double m) {
  const bool cutA = flankA - tipA > 0.001 * m, cutE = tipE - flankE > 0.001 * m;
  return {cutA ? flankA : tipA, cutE ? flankE : tipE, cutA, cutE};
}

// Working centre distance of a profile-shifted pair (DIN 3960): inv alpha_w = inv
// alpha_t + 2 tan alpha_n (x1 + x2) / (z1 + z2) for an external pair, with z2 and x2
// negative in the sums for an internal one.
double WorkingCentreDistance(const Basic& b, double z1, double x1, double z2, double x2) {
  const double at = AlphaT(b);
  const double v = Inv(at) + 2 * std::tan(b.alphaDeg * kDegToRad) * (x1 + x2) / (z1 + z2);
  double lo = 0, hi = kPi / 2;
  for (int i = 0; i < 200; ++i) {
    const double mid = (lo + hi) / 2;
    (Inv(mid) < v ? lo : hi) = mid;
  }
  return std::fabs(z1 + z2) * b.m / (2 * std::cos(b.betaDeg * kDegToRad)) * std::cos(at) / std::cos(lo);
}

struct Tally {
  int cutA = 0, cutE = 0, plain = 0;
  void Add(const ExpectedPath& p) {
    cutA += p.cutA;
    cutE += p.cutE;
    plain += !p.cutA && !p.cutE;
  }
};

// ---- external pairs ------------------------------------------------------------

struct PairRow {
  Basic b;
  int64_t z1;
  double x1;
  int64_t z2;
  double x2;
};

const PairRow kPairs[] = {
    {{2, 20, 0}, 10, 0.0, 25, 0.0},     {{2, 20, 0}, 10, -0.4, 25, 0.4},    {{2, 14.5, 0}, 24, 0.0, 40, 0.0},
    {{2, 15, 0}, 40, 0.0, 40, 0.0},     {{1, 17.5, 0}, 17, 0.3, 60, -0.3},  {{3, 25, 0}, 8, 0.0, 200, 0.0},
    {{1.5, 20, 15}, 13, 0.0, 80, 0.3},  {{2, 14.5, 20}, 12, 0.3, 30, 0.0},  {{1, 25, 0}, 200, 0.5, 200, -0.5},
    {{2, 15, 0}, 12, 0.5, 100, 0.0},    {{2, 17.5, 10}, 9, 0.3, 14, -0.1},  {{2, 20, 0}, 20, 0.0, 40, 0.0},
    {{2, 20, 0}, 17, 0.0, 17, 0.0},     {{1, 14.5, 0}, 30, 0.6, 90, -0.6},
};

TEST(UsablePath, ExternalPairsInBothDirections) {
  Tally tally;
  for (const PairRow& row : kPairs) {
    const Basic& b = row.b;
    const double a = WorkingCentreDistance(b, row.z1, row.x1, row.z2, row.x2);
    const double aw = std::acos((BaseRadius(b, row.z1) + BaseRadius(b, row.z2)) / a);
    struct Side {
      int64_t z;
      double x;
    };
    for (const auto& [one, two] : {std::pair<Side, Side>{{row.z1, row.x1}, {row.z2, row.x2}},
                                   std::pair<Side, Side>{{row.z2, row.x2}, {row.z1, row.x1}}}) {
      const std::string name = "alpha " + std::to_string(b.alphaDeg) + " beta " + std::to_string(b.betaDeg) +
                               " z " + std::to_string(one.z) + " x " + std::to_string(one.x) + " with z " +
                               std::to_string(two.z) + " x " + std::to_string(two.x);
      const GearRecord g1 = ExternalGear(b, one.z, one.x), g2 = ExternalGear(b, two.z, two.x);
      ASSERT_EQ(g1.valid * g2.valid, 1) << name;
      const double ra1 = PitchRadius(b, one.z) + b.m * (1 + one.x), ra2 = PitchRadius(b, two.z) + b.m * (1 + two.x);
      ASSERT_NEAR(g1.tipRadius, ra1, 1e-9) << name;  // no pointed tips in the table
      ASSERT_NEAR(g2.tipRadius, ra2, 1e-9) << name;
      const double rb1 = BaseRadius(b, one.z), rb2 = BaseRadius(b, two.z), T2 = a * std::sin(aw);
      const ExpectedPath want = CutBack(T2 - TangentLength(ra2, rb2), TangentLength(RootFormRadius(b, one.z, one.x), rb1),
                                        TangentLength(ra1, rb1), T2 - TangentLength(RootFormRadius(b, two.z, two.x), rb2),
                                        b.m);
      tally.Add(want);
      ContactGeometry c;
      ASSERT_EQ(ComputePairLineOfAction(g1, g2, c, a, 0.0), 0) << name;
      EXPECT_NEAR(c.positionA, want.A, 1e-8 * b.m) << name;
      EXPECT_NEAR(c.positionE, want.E, 1e-8 * b.m) << name;
      EXPECT_NEAR(c.positionD - c.positionA, BasePitch(b), 1e-9) << name;
      EXPECT_NEAR(c.positionE - c.positionB, BasePitch(b), 1e-9) << name;
      EXPECT_EQ(TipReachesPastUsableFlank(c.overreachA, b.m), want.cutA) << name;
      EXPECT_EQ(TipReachesPastUsableFlank(c.overreachE, b.m), want.cutE) << name;
      EXPECT_NEAR(ComputePairContactRatio(g1, g2, a), std::max((want.E - want.A) / BasePitch(b), 0.0), 1e-9) << name;
      // Contacts are shown only on the usable path.
      for (double turn = 0; turn < 2 * kPi / one.z; turn += 0.1 / one.z) {
        ComputePairLineOfAction(g1, g2, c, a, turn);
        for (int64_t k = 0; k < c.contactCount; ++k) {
          EXPECT_GE(c.contactPositions[k], want.A - 1e-9) << name;
          EXPECT_LE(c.contactPositions[k], want.E + 1e-9) << name;
        }
      }
    }
  }
  // The table holds each kind.
  EXPECT_GT(tally.cutA, 0);
  EXPECT_GT(tally.cutE, 0);
  EXPECT_GT(tally.plain, 0);
}

// ---- pinion with rack ------------------------------------------------------------

struct RackRow {
  Basic b;
  int64_t z;
  double x;
};

const RackRow kRacks[] = {
    {{2, 20, 0}, 10, 0.0},   {{2, 15, 0}, 40, 0.0},    {{2, 14.5, 0}, 24, 0.0}, {{2, 17.5, 0}, 17, 0.0},
    {{2, 22.5, 0}, 10, 0.0}, {{1, 20, 0}, 200, 0.0},   {{2, 20, 0}, 12, 0.3},   {{2, 15, 20}, 30, -0.2},
    {{3, 22.5, 10}, 13, 0.5},  {{1, 14.5, 0}, 200, 0.0}, {{2, 17.5, 30}, 9, 0.2}, {{2, 20, 0}, 100, -0.5},
};

TEST(UsablePath, PinionsWithARack) {
  Tally tally;
  for (const RackRow& row : kRacks) {
    const Basic& b = row.b;
    const std::string name = "alpha " + std::to_string(b.alphaDeg) + " beta " + std::to_string(b.betaDeg) + " z " +
                             std::to_string(row.z) + " x " + std::to_string(row.x);
    const GearRecord pinion = ExternalGear(b, row.z, row.x);
    GearRecord rack;
    BuildRackOutline(rack, b.m, b.alphaDeg, b.betaDeg, 1, 20, 10 * b.m, 20.0, 0.0, 1);
    ASSERT_EQ(pinion.valid * rack.valid, 1) << name;
    const double r = PitchRadius(b, row.z), rb = BaseRadius(b, row.z), at = AlphaT(b);
    const double ra = r + b.m * (1 + row.x);
    ASSERT_NEAR(pinion.tipRadius, ra, 1e-9) << name;
    // A point at distance d from the pinion centre, across the rack, lies on the
    // line at (d - r_b cos alpha_t) / sin alpha_t.
    auto onLine = [&](double d) { return (d - rb * std::cos(at)) / std::sin(at); };
    const double pitchLine = r + row.x * b.m;
    const double flankEnd = (1.25 - 0.38 * (1 - std::sin(b.alphaDeg * kDegToRad))) * b.m;
    const ExpectedPath want = CutBack(onLine(pitchLine - b.m), TangentLength(RootFormRadius(b, row.z, row.x), rb),
                                      TangentLength(ra, rb), onLine(pitchLine + flankEnd), b.m);
    tally.Add(want);
    ContactGeometry c;
    ASSERT_EQ(ComputeRackLineOfAction(pinion, rack, c, 0.0), 0) << name;
    EXPECT_NEAR(c.positionA, want.A, 1e-8 * b.m) << name;
    EXPECT_NEAR(c.positionE, want.E, 1e-8 * b.m) << name;
    EXPECT_EQ(TipReachesPastUsableFlank(c.overreachA, b.m), want.cutA) << name;
    EXPECT_EQ(TipReachesPastUsableFlank(c.overreachE, b.m), want.cutE) << name;
  }
  EXPECT_GT(tally.cutA, 0);
  EXPECT_GT(tally.plain, 0);
}

TEST(UsablePath, TwentyDegreeToolRoundingIsNoOverreach) {
  // At 20 degrees the 0.38 m rounding ends the generated involute 0.99997 m below
  // the rolling line: the rack's 1.0 m addendum passes it by 0.00003 m / sin 20 =
  // 0.00009 m along the line. That is the tool, not a fault: the path stays at the
  // tip line, and nothing warns.
  const Basic b{2, 20, 0};
  const GearRecord pinion = ExternalGear(b, 20, 0.0);
  GearRecord rack;
  BuildRackOutline(rack, b.m, b.alphaDeg, b.betaDeg, 1, 20, 20.0, 20.0, 0.0, 1);
  ContactGeometry c;
  ASSERT_EQ(ComputeRackLineOfAction(pinion, rack, c, 0.0), 0);
  const double an = 20 * kDegToRad;
  EXPECT_NEAR(c.overreachA, (1.0 - (1.25 - 0.38 * (1 - std::sin(an)))) * b.m / std::sin(an), 1e-9);
  EXPECT_NEAR(c.overreachA / b.m, 0.0000946, 1e-7);
  EXPECT_FALSE(TipReachesPastUsableFlank(c.overreachA, b.m));
  EXPECT_EQ(c.positionA, c.tipPositionA);
  EXPECT_EQ(c.positionE, c.tipPositionE);
}

// ---- internal pairs --------------------------------------------------------------

struct Vec {
  double x, y;
};

// Where the ring's involute ends: the fillet of radius 0.25 m, centred 0.25 m inside
// the root circle, placed by bisection on its polar angle so that its distance to
// the flank is its radius; the flank point nearest its centre is where it starts.
double RingFilletStart(const GearRecord& ring) {
  const double m = ring.normalModule, rho = 0.25 * m, rf = ring.rootRadius, rb = ring.baseRadius;
  const double r = ring.pitchRadius, at = ring.transversePressureAngle;
  const double xE = ring.profileShift + ring.thicknessAllowance / (2 * m * std::tan(ring.pressureAngle));
  const double et = ring.transverseModule * (kPi / 2 + 2 * xE * std::tan(ring.pressureAngle));
  auto psi = [&](double R) { return et / (2 * r) + Inv(at) - Inv(std::acos(std::min(1.0, rb / R))); };
  auto flank = [&](double R) { return Vec{R * std::cos(psi(R)), R * std::sin(psi(R))}; };
  auto flankSlope = [&](double R) {
    const double d = -std::sqrt(std::max(R * R - rb * rb, 0.0)) / (rb * R);
    return Vec{std::cos(psi(R)) - R * d * std::sin(psi(R)), std::sin(psi(R)) + R * d * std::cos(psi(R))};
  };
  const double lo0 = std::max(ring.tipRadius, rb);
  // Nearest flank point to c: where (F - c) is normal to the flank.
  auto nearest = [&](Vec c) {
    auto g = [&](double R) {
      const Vec f = flank(R), t = flankSlope(R);
      return (f.x - c.x) * t.x + (f.y - c.y) * t.y;
    };
    double best = lo0, bestD = INFINITY;
    const int n = 400;
    for (int i = 0; i <= n; ++i) {
      const double R = lo0 + (rf - lo0) * i / n;
      const double d = std::hypot(flank(R).x - c.x, flank(R).y - c.y);
      if (d < bestD) bestD = d, best = R;
    }
    double lo = std::max(lo0, best - (rf - lo0) / n), hi = std::min(rf, best + (rf - lo0) / n);
    if (g(lo) < 0 && g(hi) > 0)
      for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        (g(mid) < 0 ? lo : hi) = mid;
      }
    return (lo + hi) / 2;
  };
  auto centreAt = [&](double angle) { return Vec{(rf - rho) * std::cos(angle), (rf - rho) * std::sin(angle)}; };
  double lo = 0, hi = psi(rf - rho);
  for (int i = 0; i < 200; ++i) {
    const double mid = (lo + hi) / 2;
    const Vec c = centreAt(mid);
    const double R = nearest(c);
    (std::hypot(flank(R).x - c.x, flank(R).y - c.y) > rho ? lo : hi) = mid;
  }
  return nearest(centreAt((lo + hi) / 2));
}

struct InternalRow {
  Basic b;
  int64_t z1;
  double x1;
  int64_t z2;
  double x2;
};

const InternalRow kInternal[] = {
    {{2, 20, 0}, 20, 0.0, 60, 0.0},     {{2, 20, 0}, 20, 0.3, 50, 0.5},     {{1, 14.5, 0}, 24, 0.0, 80, 0.0},
    {{1.5, 15, 0}, 17, 0.2, 50, 0.2},   {{2, 17.5, 0}, 30, 0.0, 200, 0.0},  {{3, 25, 0}, 8, 0.4, 40, 0.8},
    {{2, 20, 15}, 18, 0.1, 61, 0.3},    {{1, 20, 0}, 40, 0.8, 56, 0.8},     {{1, 25, 0}, 12, 0.6, 30, 1.0},
    {{2, 14.5, 0}, 60, 1.0, 90, 1.0},   {{2, 20, 0}, 10, 0.0, 36, 0.0},
    // The pinion's tip runs into the ring's root fillet (and the ring's tip circle
    // lies inside its base circle, so it is raised to it).
    {{2, 20, 0}, 20, 0.6, 30, -0.6},
};

TEST(UsablePath, InternalPairs) {
  Tally tally;
  for (const InternalRow& row : kInternal) {
    const Basic& b = row.b;
    const std::string name = "alpha " + std::to_string(b.alphaDeg) + " beta " + std::to_string(b.betaDeg) + " z " +
                             std::to_string(row.z1) + " x " + std::to_string(row.x1) + " in z " +
                             std::to_string(row.z2) + " x " + std::to_string(row.x2);
    const GearRecord pinion = ExternalGear(b, row.z1, row.x1);
    GearRecord ring;
    GenerateToothProfile(ring, b.m, row.z2, row.x2, b.alphaDeg, 20.0, 5 * b.m, 0.0, b.betaDeg, 1, 1, 0.0);
    ASSERT_EQ(pinion.valid * ring.valid, 1) << name;
    ASSERT_EQ(ring.pointedTipFlag, 0) << name;
    const double a = WorkingCentreDistance(b, -static_cast<double>(row.z1), -row.x1, static_cast<double>(row.z2), row.x2);
    const double rb1 = BaseRadius(b, row.z1), rb2 = BaseRadius(b, row.z2);
    const double aw = std::acos((rb2 - rb1) / a), T2 = -a * std::sin(aw);
    const double ra1 = PitchRadius(b, row.z1) + b.m * (1 + row.x1), ra2 = std::max(PitchRadius(b, row.z2) - b.m * (1 - row.x2), rb2);
    ASSERT_NEAR(pinion.tipRadius, ra1, 1e-9) << name;
    ASSERT_NEAR(ring.tipRadius, ra2, 1e-9) << name;
    const ExpectedPath want =
        CutBack(T2 + TangentLength(ra2, rb2), TangentLength(RootFormRadius(b, row.z1, row.x1), rb1),
                TangentLength(ra1, rb1), T2 + TangentLength(RingFilletStart(ring), rb2), b.m);
    tally.Add(want);
    ContactGeometry c;
    ComputeInternalLineOfAction(pinion, ring, c, a, 0.0);
    ASSERT_GT(c.workingPressureAngle, 0.0) << name;
    EXPECT_NEAR(c.positionA, want.A, 1e-8 * b.m) << name;
    // The ring's fillet sits where the generator's finite-difference flank normal
    // puts it, a few 1e-8 m from the exact tangent circle.
    EXPECT_NEAR(c.positionE, want.E, 1e-6 * b.m) << name;
    // The ring tip's own crossing stays what the fillet warning tests.
    EXPECT_NEAR(c.tipPositionA, T2 + TangentLength(ra2, rb2), 1e-9) << name;
    EXPECT_EQ(TipReachesPastUsableFlank(c.overreachA, b.m), want.cutA) << name;
    EXPECT_EQ(TipReachesPastUsableFlank(c.overreachE, b.m), want.cutE) << name;
  }
  EXPECT_GT(tally.cutA, 0);
  EXPECT_GT(tally.cutE, 0);
  EXPECT_GT(tally.plain, 0);
}

}  // namespace
}  // namespace kovrex
