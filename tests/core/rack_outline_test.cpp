// Rack outline: closed simple counter-clockwise contour, flanks and fillets where
// the ISO 53 basic rack puts them, tooth thickness on the pitch line, and the inputs
// that leave no rack. Expected values come from the basic rack's own closed forms.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "geometry/rack_outline.h"
#include "support/outline_checks.h"

namespace kovrex {
namespace {

using test::CrossingsWithHorizontal;
using test::JoinOutline;
using test::SignedArea;

struct RackCase {
  const char* name;
  double m, alphaDeg, betaDeg;
  int64_t hand, teeth;
  double height, faceWidth, allowance;
  int density;
};

const RackCase kValidRacks[] = {
    {"spur_5", 2.0, 20.0, 0.0, 1, 5, 15.0, 20.0, 0.0, 1},
    {"spur_allowance", 2.0, 20.0, 0.0, 1, 5, 15.0, 20.0, 0.0532, 1},
    {"helical_right", 2.0, 20.0, 20.0, 1, 5, 15.0, 20.0, 0.1, 1},
    {"helical_left", 2.0, 20.0, 20.0, -1, 5, 15.0, 20.0, 0.1, 1},
    {"hand_zero_is_right", 3.0, 20.0, 12.0, 0, 4, 20.0, 30.0, 0.0, 1},
    {"one_tooth", 2.0, 20.0, 0.0, 1, 1, 15.0, 20.0, 0.0, 1},
    {"one_tooth_helical_left", 1.5, 22.0, 30.0, -1, 1, 8.0, 12.0, 0.0, 4},
    {"teeth_2000", 1.0, 20.0, 15.0, 1, 2000, 6.0, 10.0, 0.0, 1},
    {"pointed", 2.0, 20.0, 0.0, 1, 5, 15.0, 20.0, 2.0, 1},
    {"pointed_helical", 2.0, 20.0, 25.0, -1, 3, 15.0, 20.0, 2.0, 8},
    {"density_4", 2.5, 20.0, 10.0, 1, 6, 15.0, 20.0, 0.05, 4},
    {"density_8", 4.0, 14.5, 0.0, 1, 3, 20.0, 20.0, 0.0, 8},
    {"density_16", 1.0, 20.0, 45.0, -1, 7, 5.0, 8.0, 0.02, 16},
    {"alpha_30_thinned_beta_45", 0.5, 30.0, 45.0, 1, 10, 2.0, 5.0, 0.2, 1},
};

void PrintTo(const RackCase& c, std::ostream* os) { *os << c.name; }

class RackOutlineTest : public ::testing::TestWithParam<RackCase> {};

// Closed forms of the basic rack in the normal section (heights are the same in
// the transverse section, lengths along the rack are divided by cos beta).
struct RackExpect {
  double cosB, pt, hf, rho, halfS, tipHalf, tipHeight;
  bool pointed;
};

RackExpect Expect(const RackCase& c) {
  RackExpect e{};
  double an = c.alphaDeg * kPi / 180.0;
  e.cosB = std::cos(c.betaDeg * kPi / 180.0);
  e.pt = kPi * c.m / e.cosB;
  e.hf = 1.25 * c.m;
  e.rho = 0.38 * c.m;
  e.halfS = (kPi * c.m / 2.0 - c.allowance) / 2.0;
  double w = e.halfS - c.m * std::tan(an);
  e.pointed = w <= 0.0;
  e.tipHalf = e.pointed ? 0.0 : w;
  e.tipHeight = e.pointed ? e.halfS / std::tan(an) : c.m;
  return e;
}

// Circle through three points.
void CircleThrough(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c, double& cx, double& cy,
                   double& r) {
  double d = 2.0 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
  double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
  cx = (a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d;
  cy = (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d;
  r = std::hypot(a.x - cx, a.y - cy);
}

TEST_P(RackOutlineTest, ContourIsClosedSimpleCounterClockwise) {
  const RackCase& c = GetParam();
  const RackExpect e = Expect(c);
  GearRecord rack;
  BuildRackOutline(rack, c.m, c.alphaDeg, c.betaDeg, c.hand, c.teeth, c.height, c.faceWidth, c.allowance, c.density);
  ASSERT_EQ(rack.valid, 1);
  EXPECT_EQ(rack.isRack, 1);
  EXPECT_EQ(rack.pointedTipFlag, e.pointed ? 1 : 0);

  test::Contour contour = JoinOutline(rack);
  ASSERT_EQ(contour.error, "");
  EXPECT_GT(SignedArea(contour.points), 0.0) << "not counter-clockwise";
  EXPECT_FALSE(test::FindSelfIntersection(contour.points).found);

  double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
  for (const OutlinePoint& p : contour.points) {
    xmin = std::min(xmin, p.x);
    xmax = std::max(xmax, p.x);
    ymin = std::min(ymin, p.y);
    ymax = std::max(ymax, p.y);
  }
  const double length = static_cast<double>(c.teeth) * e.pt;
  EXPECT_DOUBLE_EQ(xmin, 0.0);
  EXPECT_NEAR(xmax, length, 1e-9 * length);
  EXPECT_DOUBLE_EQ(ymin, -c.height);
  EXPECT_NEAR(ymax, e.tipHeight, 1e-12);
  EXPECT_NEAR(rack.rackLength, length, 1e-9 * length);

  // Straight pieces: back, two ends, the root line running to x = 0, and per tooth
  // the root line on its right (the first one from x = L), two flanks and a tip
  // (none when pointed).
  const size_t f1 = static_cast<size_t>(6 * c.density + 1);
  size_t fillets = 0, segments = 0;
  for (const OutlinePolyline& l : rack.outline) {
    if (l.points.size() == f1) ++fillets;
    else if (l.points.size() == 2) ++segments;
    else ADD_FAILURE() << "polyline of " << l.points.size() << " points";
  }
  const size_t n = static_cast<size_t>(c.teeth);
  EXPECT_EQ(fillets, 2 * n);
  EXPECT_EQ(segments, 4 + n + n * (e.pointed ? 2 : 3));
}

TEST_P(RackOutlineTest, FilletsAreTangentToRootLineAndFlank) {
  const RackCase& c = GetParam();
  const RackExpect e = Expect(c);
  const double an = c.alphaDeg * kPi / 180.0;
  GearRecord rack;
  BuildRackOutline(rack, c.m, c.alphaDeg, c.betaDeg, c.hand, c.teeth, c.height, c.faceWidth, c.allowance, c.density);
  ASSERT_EQ(rack.valid, 1);
  const size_t f1 = static_cast<size_t>(6 * c.density + 1);
  const double tol = 1e-9 * std::max(1.0, c.m);
  int checked = 0;
  for (const OutlinePolyline& l : rack.outline) {
    if (l.points.size() != f1) continue;
    // Back to the normal section, where the fillet is a true circle, and relative
    // to the centre of the tooth its upper end belongs to (a circle fitted far from
    // the origin loses digits).
    const double pn = kPi * c.m;
    const OutlinePoint ends[2] = {l.points.front(), l.points.back()};
    const bool rootFirst = std::fabs(ends[0].y + e.hf) < tol;
    const double topX = (rootFirst ? ends[1] : ends[0]).x * e.cosB;
    const double xj = (std::floor(topX / pn) + 0.5) * pn;
    std::vector<OutlinePoint> q;
    for (const OutlinePoint& p : l.points) q.push_back({p.x * e.cosB - xj, p.y});
    const OutlinePoint foot = rootFirst ? q.front() : q.back();
    const OutlinePoint top = rootFirst ? q.back() : q.front();
    EXPECT_NEAR(foot.y, -e.hf, tol);

    double cx, cy, r;
    CircleThrough(q.front(), q[q.size() / 2], q.back(), cx, cy, r);
    EXPECT_NEAR(r, e.rho, tol);
    for (const OutlinePoint& p : q) EXPECT_NEAR(std::hypot(p.x - cx, p.y - cy), e.rho, tol);
    // Tangent to the root line: centre rho above it, foot straight below it.
    EXPECT_NEAR(cy + e.hf, e.rho, tol);
    EXPECT_NEAR(foot.x, cx, tol);

    // Flank in the normal section: x = +-(s/2 - y tan alpha_n) about the tooth centre.
    const double sgn = top.x > 0.0 ? 1.0 : -1.0;
    auto flankDistance = [&](double x, double y) {
      // Distance from the flank line, positive into the space.
      return (sgn * x - e.halfS + y * std::tan(an)) * std::cos(an);
    };
    EXPECT_NEAR(flankDistance(top.x, top.y), 0.0, tol) << "fillet end not on the flank line";
    EXPECT_NEAR(flankDistance(cx, cy), e.rho, tol) << "fillet circle not tangent to the flank";
    ++checked;
  }
  EXPECT_EQ(checked, 2 * c.teeth);
}

TEST_P(RackOutlineTest, PitchLineThicknessAndRecordFields) {
  const RackCase& c = GetParam();
  const RackExpect e = Expect(c);
  GearRecord rack;
  BuildRackOutline(rack, c.m, c.alphaDeg, c.betaDeg, c.hand, c.teeth, c.height, c.faceWidth, c.allowance, c.density);
  ASSERT_EQ(rack.valid, 1);
  test::Contour contour = JoinOutline(rack);
  ASSERT_EQ(contour.error, "");

  // The pitch line y = 0 cuts every tooth once on each flank; the tooth thickness
  // there is the transverse pitch thickness pi m_t / 2 less A_s / cos beta.
  std::vector<double> xs = CrossingsWithHorizontal(contour.points, 0.0);
  ASSERT_EQ(xs.size(), 2u * static_cast<size_t>(c.teeth));
  const double st = kPi * c.m / e.cosB / 2.0 - c.allowance / e.cosB;
  for (int64_t j = 0; j < c.teeth; ++j) {
    double a = xs[2 * j], b = xs[2 * j + 1];
    EXPECT_NEAR(b - a, st, 1e-9) << "tooth " << j;
    EXPECT_NEAR((a + b) / 2.0, (static_cast<double>(j) + 0.5) * e.pt, 1e-9 * e.pt * c.teeth) << "tooth " << j;
  }

  const int64_t hand = c.hand == 0 ? 1 : c.hand;
  const double beta = c.betaDeg * kPi / 180.0;
  EXPECT_EQ(rack.hand, hand);
  EXPECT_NEAR(rack.rackHelixOffset, c.faceWidth * std::tan(beta) * static_cast<double>(hand), 1e-12);
  if (hand < 0 && c.betaDeg > 0) {
    EXPECT_LT(rack.rackHelixOffset, 0.0);
  }
  EXPECT_NEAR(rack.pitchToothThickness, st, 1e-12);
  EXPECT_NEAR(rack.tipToothThickness, 2.0 * e.tipHalf / e.cosB, 1e-12);
  EXPECT_DOUBLE_EQ(rack.rootRadius, e.hf);
  EXPECT_NEAR(rack.tipRadius, e.tipHeight, 1e-12);
  EXPECT_NEAR(rack.transverseModule, c.m / e.cosB, 1e-12);
  EXPECT_NEAR(std::tan(rack.transversePressureAngle), std::tan(c.alphaDeg * kPi / 180.0) / e.cosB, 1e-12);
  EXPECT_DOUBLE_EQ(rack.rackHeight, c.height);
  EXPECT_EQ(rack.toothCount, c.teeth);
}

INSTANTIATE_TEST_SUITE_P(Racks, RackOutlineTest, ::testing::ValuesIn(kValidRacks),
                         [](const ::testing::TestParamInfo<RackCase>& i) { return std::string(i.param.name); });

struct StopCase {
  const char* name;
  double m, alphaDeg, betaDeg;
  int64_t teeth;
  double height, allowance;
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();

const StopCase kStopCases[] = {
    {"height_equals_dedendum", 2.0, 20.0, 0.0, 5, 2.5, 0.0},
    {"height_below_dedendum", 2.0, 20.0, 0.0, 5, 1.0, 0.0},
    {"fillets_of_neighbours_overlap", 2.0, 20.0, 0.0, 5, 15.0, -0.6},
    // The 0.38 m fillets of the basic rack leave no room between the teeth at 35 degrees.
    {"fillets_overlap_at_35_degrees", 2.0, 35.0, 10.0, 5, 15.0, 0.0},
    {"module_zero", 0.0, 20.0, 0.0, 5, 15.0, 0.0},
    {"module_negative", -2.0, 20.0, 0.0, 5, 15.0, 0.0},
    {"no_teeth", 2.0, 20.0, 0.0, 0, 15.0, 0.0},
    {"helix_85", 2.0, 20.0, 85.0, 5, 15.0, 0.0},
    // So much allowance that the fillets of one tooth pass its centre line.
    {"fillets_of_one_tooth_cross", 2.0, 20.0, 0.0, 5, 15.0, 5.0},
    {"module_nan", kNaN, 20.0, 0.0, 5, 15.0, 0.0},
    {"height_nan", 2.0, 20.0, 0.0, 5, kNaN, 0.0},
    {"allowance_nan", 2.0, 20.0, 0.0, 5, 15.0, kNaN},
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class RackStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(RackStopTest, LeavesNoRackButStoresInputs) {
  const StopCase& c = GetParam();
  GearRecord rack;
  rack.outline.push_back(OutlinePolyline{{{1.0, 2.0}, {3.0, 4.0}}});
  rack.valid = 1;
  BuildRackOutline(rack, c.m, c.alphaDeg, c.betaDeg, -1, c.teeth, c.height, 20.0, c.allowance, 1);
  EXPECT_EQ(rack.valid, 0);
  EXPECT_TRUE(rack.outline.empty());
  EXPECT_EQ(rack.isRack, 1);
  EXPECT_EQ(rack.toothCount, c.teeth);
  EXPECT_EQ(rack.hand, -1);
  EXPECT_DOUBLE_EQ(rack.faceWidth, 20.0);
  EXPECT_DOUBLE_EQ(rack.dedendumCoeff, 1.25);
}

INSTANTIATE_TEST_SUITE_P(Racks, RackStopTest, ::testing::ValuesIn(kStopCases),
                         [](const ::testing::TestParamInfo<StopCase>& i) { return std::string(i.param.name); });

TEST(RackOutline, HeightJustAboveDedendumIsARack) {
  GearRecord rack;
  BuildRackOutline(rack, 2.0, 20.0, 0.0, 1, 3, 2.5 + 1e-9, 20.0, 0.0, 1);
  EXPECT_EQ(rack.valid, 1);
  test::Contour contour = JoinOutline(rack);
  EXPECT_EQ(contour.error, "");
}

}  // namespace
}  // namespace kovrex
