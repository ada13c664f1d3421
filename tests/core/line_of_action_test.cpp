// Line of action, points A to E, current contacts and contact ratio, checked
// against textbook closed forms, a published profile-shifted pair and a
// brute-force search for the places where the flanks of gear 1 touch the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "geometry/gear_record.h"
#include "geometry/line_of_action.h"

namespace kovrex {
namespace {

double Inv(double a) { return std::tan(a) - a; }

// Circles and thickness of an ISO 53 gear written straight from DIN 3960, so that
// these tests do not depend on the outline generator.
GearRecord TextbookGear(double m, int64_t z, double x, double alphaDeg, double betaDeg, double k = 0.0) {
  GearRecord g;
  g.normalModule = m;
  g.toothCount = z;
  g.profileShift = x;
  g.pressureAngle = alphaDeg * kDegToRad;
  g.helixAngle = betaDeg * kDegToRad;
  g.addendumCoeff = 1.0;
  g.dedendumCoeff = 1.25;
  g.transverseModule = m / std::cos(g.helixAngle);
  g.transversePressureAngle = std::atan(std::tan(g.pressureAngle) / std::cos(g.helixAngle));
  g.pitchRadius = z * g.transverseModule / 2.0;
  g.baseRadius = g.pitchRadius * std::cos(g.transversePressureAngle);
  g.pitchToothThickness = g.transverseModule * (kPi / 2.0 + 2.0 * x * std::tan(g.pressureAngle));
  g.tipRadius = g.pitchRadius + m * (1.0 + x - k);
  g.valid = 1;
  return g;
}

struct Vec {
  double x, y;
};

// Where the flanks of a gear (centre c, turned by phi) touch the line through T1
// with direction d, between positions A and E. A flank touches the line where it
// crosses it with its normal along the line; crossings at other angles are the
// flanks of the other side passing through.
std::vector<double> BruteForceContacts(const GearRecord& g, Vec c, double phi, const ContactGeometry& l) {
  const double rb = g.baseRadius;
  auto halfAngle = [&](double r) {
    return g.pitchToothThickness / (2.0 * g.pitchRadius) + Inv(g.transversePressureAngle) -
           Inv(std::acos(std::min(1.0, rb / r)));
  };
  // Only teeth near the stretch A..E of the line can touch it; the others are
  // skipped to keep the test quick for gears of hundreds of teeth.
  auto polarAngleAt = [&](double s) {
    return std::atan2(l.originY + s * l.directionY - c.y, l.originX + s * l.directionX - c.x);
  };
  const double pitch = 2.0 * kPi / static_cast<double>(g.toothCount);
  const double sFrom = std::max(l.positionA, 0.0);
  const double angA = polarAngleAt(sFrom), angE = polarAngleAt(l.positionE);
  auto wrap = [](double a) { return a - 2.0 * kPi * std::floor((a + kPi) / (2.0 * kPi)); };
  const double mid = angA + 0.5 * wrap(angE - angA), halfSpan = 0.5 * std::fabs(wrap(angE - angA)) + 2.0 * pitch;
  std::vector<double> found;
  for (int64_t j = 0; j < g.toothCount; ++j) {
    const double centre = phi + pitch * static_cast<double>(j);
    if (std::fabs(wrap(centre - mid)) > halfSpan) continue;
    for (int side = -1; side <= 1; side += 2) {
      auto point = [&](double r) {
        double a = centre + side * halfAngle(r);
        return Vec{c.x + r * std::cos(a), c.y + r * std::sin(a)};
      };
      auto offset = [&](double r) {
        Vec p = point(r);
        return (p.x - l.originX) * l.directionY - (p.y - l.originY) * l.directionX;
      };
      const int n = 400;
      const double r0 = rb, r1 = g.tipRadius;
      for (int i = 0; i < n; ++i) {
        double lo = r0 + (r1 - r0) * i / n, hi = r0 + (r1 - r0) * (i + 1) / n;
        double flo = offset(lo), fhi = offset(hi);
        if ((flo > 0.0) == (fhi > 0.0)) continue;
        for (int it = 0; it < 100; ++it) {
          double mid = 0.5 * (lo + hi);
          if ((offset(mid) > 0.0) == (flo > 0.0))
            lo = mid;
          else
            hi = mid;
        }
        double r = 0.5 * (lo + hi);
        Vec p = point(r), q = point(r + 1e-6), o = point(r - 1e-6);
        double tx = q.x - o.x, ty = q.y - o.y, tl = std::hypot(tx, ty);
        if (std::fabs(tx * l.directionX + ty * l.directionY) / tl > 1e-3) continue;
        double s = (p.x - l.originX) * l.directionX + (p.y - l.originY) * l.directionY;
        // Behind T1 (s < 0) the flanks of the other side touch the line too; the
        // line of action itself starts at T1.
        if (s >= 0.0 && s >= l.positionA && s <= l.positionE) found.push_back(s);
      }
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Compares the contacts of the record with the brute-force ones over many drive
// angles; angles that put a flank within 1e-6 mm of A or E are left out, since
// there the two methods may fairly disagree about the end point.
void ExpectContactsAgree(const GearRecord& g, Vec centre,
                         const std::function<void(ContactGeometry&, double)>& compute, int& checked,
                         int& maxCount) {
  uint64_t seed = 12345;
  for (int n = 0; n < 150; ++n) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    double phi = -10.0 + 20.0 * static_cast<double>(seed >> 11) / 9007199254740992.0;
    ContactGeometry l;
    compute(l, phi);
    std::vector<double> expect = BruteForceContacts(g, centre, phi, l);
    bool nearEnd = false;
    for (double s : expect)
      if (std::fabs(s - l.positionA) < 1e-6 || std::fabs(s - l.positionE) < 1e-6) nearEnd = true;
    if (nearEnd) continue;
    ++checked;
    ASSERT_EQ(l.contactCount, static_cast<int64_t>(std::min<size_t>(expect.size(), 4)))
        << "z1 " << g.toothCount << " phi " << phi;
    ASSERT_GT(l.contactCount, 0) << "z1 " << g.toothCount << " phi " << phi;
    for (int64_t k = 0; k < l.contactCount; ++k)
      EXPECT_NEAR(l.contactPositions[k], expect[k], 1e-7) << "z1 " << g.toothCount << " phi " << phi;
    maxCount = std::max<int>(maxCount, static_cast<int>(l.contactCount));
  }
}

TEST(PairLineOfAction, ReferenceCentreDistanceGivesThePitchPointOnTheCentreLine) {
  GearRecord g1 = TextbookGear(2, 20, 0, 20, 0), g2 = TextbookGear(2, 40, 0, 20, 0);
  ContactGeometry l;
  EXPECT_EQ(ComputePairLineOfAction(g1, g2, l, 60.0, 0.0), 0);
  EXPECT_NEAR(l.workingPressureAngle, 20.0 * kDegToRad, 1e-12);
  EXPECT_NEAR(l.workingPitchRadius1, 20.0, 1e-12);
  EXPECT_NEAR(l.workingPitchRadius2, 40.0, 1e-12);
  EXPECT_NEAR(l.positionC, g1.baseRadius * std::tan(20.0 * kDegToRad), 1e-12);
  EXPECT_NEAR(l.originX + l.positionC * l.directionX, 20.0, 1e-12);
  EXPECT_NEAR(l.originY + l.positionC * l.directionY, 0.0, 1e-12);
  // T2, the far end of the line, touches gear 2's base circle at (a, 0).
  double t2x = l.originX + l.lineLength * l.directionX, t2y = l.originY + l.lineLength * l.directionY;
  EXPECT_NEAR(std::hypot(t2x - 60.0, t2y), g2.baseRadius, 1e-12);
  EXPECT_NEAR(std::hypot(l.directionX, l.directionY), 1.0, 1e-15);
  // A and E lie on the tip circles of gear 2 and gear 1.
  EXPECT_NEAR(std::hypot(l.originX + l.positionA * l.directionX - 60.0, l.originY + l.positionA * l.directionY),
              g2.tipRadius, 1e-9);
  EXPECT_NEAR(std::hypot(l.originX + l.positionE * l.directionX, l.originY + l.positionE * l.directionY),
              g1.tipRadius, 1e-9);
  const double pbt = kPi * 2.0 * std::cos(20.0 * kDegToRad);
  EXPECT_NEAR(l.positionB, l.positionE - pbt, 1e-12);
  EXPECT_NEAR(l.positionD, l.positionA + pbt, 1e-12);
}

// Published example of a profile-shifted pair (m 3, alpha 20 deg, z 12 / 24,
// x 0.6 / 0.36, a 56.5): alpha_w = 26.0888 deg, d_a = 44.840 / 79.400 mm and
// eps_alpha = 1.202; the tips are shortened by k = 0.1267 to keep the clearance.
TEST(PairLineOfAction, PublishedProfileShiftedPair) {
  const double k = 18.0 + 0.96 - 56.5 / 3.0;
  GearRecord g1 = TextbookGear(3, 12, 0.6, 20, 0, k), g2 = TextbookGear(3, 24, 0.36, 20, 0, k);
  EXPECT_NEAR(2.0 * g1.tipRadius, 44.840, 5e-4);
  EXPECT_NEAR(2.0 * g2.tipRadius, 79.400, 5e-4);
  ContactGeometry l;
  ComputePairLineOfAction(g1, g2, l, 56.5, 0.0);
  EXPECT_NEAR(l.workingPressureAngle * kRadToDeg, 26.0888, 5e-5);
  EXPECT_NEAR(ComputePairContactRatio(g1, g2, 56.5), 1.202, 5e-4);
  EXPECT_NEAR((l.positionE - l.positionA) / (kPi * 3.0 * std::cos(20.0 * kDegToRad)), 1.202, 5e-4);
}

TEST(PairLineOfAction, ContactRatioOfAHelicalPairUsesTheTransverseSection) {
  // Closed form for z 20 / 40, m 2, beta 15 deg at the reference centre distance.
  GearRecord g1 = TextbookGear(2, 20, 0, 20, 15), g2 = TextbookGear(2, 40, 0, 20, 15);
  const double a = g1.pitchRadius + g2.pitchRadius;
  const double at = g1.transversePressureAngle;
  const double expect = (std::sqrt(std::pow(g1.tipRadius, 2) - std::pow(g1.baseRadius, 2)) +
                         std::sqrt(std::pow(g2.tipRadius, 2) - std::pow(g2.baseRadius, 2)) - a * std::sin(at)) /
                        (kPi * g1.transverseModule * std::cos(at));
  EXPECT_NEAR(ComputePairContactRatio(g1, g2, a), expect, 1e-12);
  EXPECT_GT(expect, 1.4);
  EXPECT_LT(expect, 1.7);
}

TEST(PairLineOfAction, ACentreDistanceThatCannotCarryTheBaseCirclesGivesNoNumbers) {
  GearRecord g1 = TextbookGear(2, 20, 0, 20, 0), g2 = TextbookGear(2, 40, 0, 20, 0);
  const double rbSum = g1.baseRadius + g2.baseRadius;
  for (double a : {rbSum, rbSum - 1.0, 0.0, -60.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    ContactGeometry l;
    l.contactCount = 3;
    EXPECT_EQ(ComputePairLineOfAction(g1, g2, l, a, 0.3), 1) << a;
    EXPECT_EQ(l.contactCount, 0) << a;
    EXPECT_EQ(l.workingPressureAngle, 0.0) << a;
    EXPECT_EQ(ComputePairContactRatio(g1, g2, a), 0.0) << a;
  }
}

TEST(PairLineOfAction, ContactsAgreeWithTheFlanksForSmallAndLargeTeethNumbers) {
  struct Case {
    double m;
    int64_t z1, z2;
    double x1, x2, beta, a;
  };
  const Case cases[] = {
      {2.0, 20, 40, 0.0, 0.0, 0.0, 60.0},
      {2.0, 20, 40, 0.3, 0.2, 12.0, 0.0},  // a from the shift sum below
      {0.5, 100, 200, 0.0, 0.0, 0.0, 75.0},
      {0.2, 200, 400, 0.0, 0.0, 0.0, 60.0},  // the start-up pair
  };
  for (const Case& c : cases) {
    GearRecord g1 = TextbookGear(c.m, c.z1, c.x1, 20, c.beta), g2 = TextbookGear(c.m, c.z2, c.x2, 20, c.beta);
    double a = c.a;
    if (a == 0.0) {
      // Working centre distance of the shift sum, inverse involute by bisection.
      double target = Inv(g1.transversePressureAngle) +
                      2.0 * (c.x1 + c.x2) * std::tan(20.0 * kDegToRad) / static_cast<double>(c.z1 + c.z2);
      double lo = 0.0, hi = 1.5;
      for (int i = 0; i < 200; ++i) (Inv(0.5 * (lo + hi)) < target ? lo : hi) = 0.5 * (lo + hi);
      a = (g1.baseRadius + g2.baseRadius) / std::cos(lo);
    }
    int checked = 0, maxCount = 0;
    ExpectContactsAgree(
        g1, {0.0, 0.0}, [&](ContactGeometry& l, double phi) { ComputePairLineOfAction(g1, g2, l, a, phi); },
        checked, maxCount);
    EXPECT_GT(checked, 140) << c.z1;
    EXPECT_EQ(maxCount, 2) << c.z1;  // contact ratio between 1 and 2
  }
}

TEST(PairLineOfAction, FlankOnAOrEWithinTheToleranceIsKept) {
  GearRecord g1 = TextbookGear(2, 20, 0, 20, 0), g2 = TextbookGear(2, 40, 0, 20, 0);
  ContactGeometry l;
  ComputePairLineOfAction(g1, g2, l, 60.0, 0.0);
  // The drive flank of tooth 0 lies at s = r_b (phi + s/(2r) + inv alpha_t + alpha_w).
  const double base = g1.pitchToothThickness / (2.0 * g1.pitchRadius) + Inv(g1.transversePressureAngle) +
                      l.workingPressureAngle;
  struct Case {
    double s;
    bool kept;
  };
  const Case cases[] = {{l.positionA, true},         {l.positionA - 0.5e-9, true}, {l.positionA - 1e-7, false},
                        {l.positionE, true},         {l.positionE + 0.5e-9, true}, {l.positionE + 1e-7, false}};
  for (const Case& c : cases) {
    ContactGeometry m;
    ComputePairLineOfAction(g1, g2, m, 60.0, c.s / g1.baseRadius - base);
    bool kept = false;
    for (int64_t k = 0; k < m.contactCount; ++k) kept = kept || std::fabs(m.contactPositions[k] - c.s) < 1e-12;
    EXPECT_EQ(kept, c.kept) << c.s;
  }
}

TEST(RackLineOfAction, PitchPointTipLineAndContacts) {
  for (double x : {0.0, 0.3, -0.2}) {
    GearRecord p = TextbookGear(2, 18, x, 20, 0);
    GearRecord rack;
    rack.normalModule = 2.0;
    rack.addendumCoeff = 1.0;
    ContactGeometry l;
    EXPECT_EQ(ComputeRackLineOfAction(p, rack, l, 0.0), 0);
    EXPECT_NEAR(l.originX + l.positionC * l.directionX, 0.0, 1e-12);
    EXPECT_NEAR(l.originY + l.positionC * l.directionY, -p.pitchRadius, 1e-12);
    // The rack's pitch line lies x m below the pitch circle, its tip line h_a* m above that.
    EXPECT_NEAR(l.originY + l.positionA * l.directionY, -(p.pitchRadius + x * 2.0 - 2.0), 1e-12);
    EXPECT_NEAR(std::hypot(l.originX + l.positionE * l.directionX, l.originY + l.positionE * l.directionY),
                p.tipRadius, 1e-9);
    EXPECT_NEAR(std::hypot(l.originX, l.originY), p.baseRadius, 1e-12);
    EXPECT_NEAR(l.originX * l.directionX + l.originY * l.directionY, 0.0, 1e-12);  // tangent at T1
    EXPECT_EQ(l.workingPitchRadius2, 0.0);
    int checked = 0, maxCount = 0;
    ExpectContactsAgree(
        p, {0.0, 0.0}, [&](ContactGeometry& m, double phi) { ComputeRackLineOfAction(p, rack, m, phi); }, checked,
        maxCount);
    EXPECT_GT(checked, 140);
  }
}

TEST(InternalLineOfAction, PointsInTheRingFrame) {
  // Pinion z 20 inside a ring of 60 teeth, m 2: the ring's tip circle lies m
  // inside its pitch circle.
  GearRecord pinion = TextbookGear(2, 20, 0, 20, 0);
  GearRecord ring;
  ring.baseRadius = 60.0 * std::cos(20.0 * kDegToRad);
  ring.tipRadius = 58.0;
  const double a = 40.0;
  ContactGeometry l;
  ComputeInternalLineOfAction(pinion, ring, l, a, 0.0);
  const double aw = std::acos((ring.baseRadius - pinion.baseRadius) / a);
  EXPECT_NEAR(l.workingPressureAngle, 20.0 * kDegToRad, 1e-12);
  EXPECT_NEAR(l.workingPitchRadius1, 20.0, 1e-12);
  EXPECT_NEAR(l.workingPitchRadius2, 60.0, 1e-12);
  // C is the pitch point on the centre line, at r_w2 from the ring centre.
  EXPECT_NEAR(l.originX + l.positionC * l.directionX, l.workingPitchRadius2, 1e-12);
  EXPECT_NEAR(l.originY + l.positionC * l.directionY, 0.0, 1e-12);
  // T1 on the pinion's base circle, T2 (at lineLength) on the ring's.
  EXPECT_NEAR(std::hypot(l.originX - a, l.originY), pinion.baseRadius, 1e-12);
  EXPECT_LT(l.lineLength, 0.0);
  EXPECT_NEAR(std::hypot(l.originX + l.lineLength * l.directionX, l.originY + l.lineLength * l.directionY),
              ring.baseRadius, 1e-12);
  // Path of contact g = sqrt(ra1^2 - rb1^2) + a sin aw - sqrt(ra2^2 - rb2^2).
  const double g = std::sqrt(22.0 * 22.0 - pinion.baseRadius * pinion.baseRadius) + a * std::sin(aw) -
                   std::sqrt(58.0 * 58.0 - ring.baseRadius * ring.baseRadius);
  EXPECT_NEAR(l.positionE - l.positionA, g, 1e-12);
  EXPECT_NEAR(std::hypot(l.originX + l.positionA * l.directionX, l.originY + l.positionA * l.directionY), 58.0,
              1e-9);
}

TEST(InternalLineOfAction, ContactsAgreeWithThePinionFlanks) {
  struct Case {
    double m;
    int64_t z1, z2;
  };
  for (const Case& c : {Case{2.0, 20, 60}, Case{0.5, 100, 200}, Case{0.25, 200, 260}}) {
    GearRecord pinion = TextbookGear(c.m, c.z1, 0, 20, 0);
    GearRecord ring;
    ring.baseRadius = c.z2 * c.m / 2.0 * std::cos(20.0 * kDegToRad);
    ring.tipRadius = c.z2 * c.m / 2.0 - c.m;
    const double a = (c.z2 - c.z1) * c.m / 2.0;
    int checked = 0, maxCount = 0;
    ExpectContactsAgree(
        pinion, {a, 0.0},
        [&](ContactGeometry& l, double phi) { ComputeInternalLineOfAction(pinion, ring, l, a, phi); }, checked,
        maxCount);
    EXPECT_GT(checked, 140) << c.z1;
    EXPECT_GE(maxCount, 2) << c.z1;
  }
}

TEST(InternalLineOfAction, RingThatCannotMeshLeavesTheRecordCleared) {
  GearRecord pinion = TextbookGear(2, 20, 0, 20, 0);
  GearRecord ring;
  ring.baseRadius = 60.0 * std::cos(20.0 * kDegToRad);
  ring.tipRadius = 58.0;
  for (double a : {ring.baseRadius - pinion.baseRadius, 30.0, 0.0, std::nan("")}) {
    ContactGeometry l;
    ComputeInternalLineOfAction(pinion, ring, l, a, 0.0);
    EXPECT_EQ(l.contactCount, 0) << a;
    EXPECT_EQ(l.positionE, 0.0) << a;
  }
}

}  // namespace
}  // namespace kovrex
