// Helical gear solid of the STEP file: section counts of worked cases, the sense
// of the twist for both hands, the layout of the surfaces' control nets, the exact
// control-point estimate behind the size refusal, and the refusals of a file that
// would be too large, would need a singular fit, or whose end curves would cross.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "export/step_contour_clearance.h"
#include "export/step_entities.h"
#include "export/step_helical.h"
#include "export/step_outline.h"
#include "export/step_writer.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"

namespace kovrex {
namespace {

GearRecord Twisted(double betaDeg, double r, double b, int64_t hand = 1) {
  GearRecord g;
  g.helixAngle = betaDeg * kDegToRad;
  g.pitchRadius = r;
  g.faceWidth = b;
  g.hand = hand;
  return g;
}

GearRecord HelicalGear(double m, int64_t z, double betaDeg, double b, int64_t hand = 1, int detail = 1) {
  GearRecord g;
  InitGearParams(g, m, z, 0.0, 20.0, b, 0.0, 0.0, betaDeg, hand);
  ComputeExternalGearGeometry(g, detail);
  EXPECT_EQ(g.valid, 1);
  return g;
}

size_t Count(const std::string& text, const std::string& what, size_t end = std::string::npos) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos && at < end; at = text.find(what, at + 1)) ++n;
  return n;
}

// Coordinates of the CARTESIAN_POINT with entity number n.
void PointOf(const std::string& text, uint64_t n, double& x, double& y, double& z) {
  const std::string key = "#" + std::to_string(n) + "=CARTESIAN_POINT('',(";
  const size_t at = text.find(key);
  ASSERT_NE(at, std::string::npos) << key;
  ASSERT_EQ(std::sscanf(text.c_str() + at + key.size(), "%lf,%lf,%lf", &x, &y, &z), 3);
}

TEST(StepHelicalSections, WorkedSectionCounts) {
  struct Row {
    double betaDeg, r, b;
    int64_t K;
  } rows[] = {
      {10.0, 20.0, 10.0, 4},  // twist 0.0882 rad: 2 sections, raised to 4
      {20.0, 15.0, 20.0, 6},  // twist 0.4853 rad
      {30.0, 10.0, 50.0, 30}, // twist 2.8868 rad
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.K);
    EXPECT_EQ(HelicalSectionCount(Twisted(row.betaDeg, row.r, row.b)), row.K);
    EXPECT_EQ(HelicalSectionCount(Twisted(row.betaDeg, row.r, row.b, -1)), row.K);
  }
  EXPECT_NEAR(HelicalTwistRate(Twisted(20.0, 15.0, 20.0)) * 20.0, 0.4853, 1e-4);
  EXPECT_NEAR(HelicalTwistRate(Twisted(20.0, 15.0, 20.0, -1)) * 20.0, -0.4853, 1e-4);
  // Hand 0 is taken as right.
  EXPECT_GT(HelicalTwistRate(Twisted(20.0, 15.0, 20.0, 0)), 0.0);
}

// The first two vertices of the solid are polyline 0's start at the bottom and at
// the top: the top one is turned by k b, counter-clockwise for a right hand.
TEST(StepHelicalSolid, TopVerticesTurnWithTheHand) {
  for (int64_t hand : {1, -1}) {
    SCOPED_TRACE(hand);
    const GearRecord g = HelicalGear(2.0, 20, 20.0, 20.0, hand);
    const double theta = 0.3;
    ResetStepEntities();
    WriteStepHelicalSolid(g, 5.0, -2.0, theta);
    ASSERT_FALSE(StepLineList.faulty);
    const std::string& text = StepLineList.text;
    double x0, y0, z0, x1, y1, z1;
    PointOf(text, 1, x0, y0, z0);
    PointOf(text, 3, x1, y1, z1);
    const OutlinePoint p = g.outline[0].points[0];
    const double start = std::atan2(p.y, p.x) + theta;
    const double r = std::hypot(p.x, p.y);
    const double twist = hand * std::tan(g.helixAngle) / g.pitchRadius * g.faceWidth;
    EXPECT_NEAR(x0, 5.0 + r * std::cos(start), 2e-6);
    EXPECT_NEAR(y0, -2.0 + r * std::sin(start), 2e-6);
    EXPECT_EQ(z0, 0.0);
    EXPECT_NEAR(x1, 5.0 + r * std::cos(start + twist), 2e-6);
    EXPECT_NEAR(y1, -2.0 + r * std::sin(start + twist), 2e-6);
    EXPECT_NEAR(z1, g.faceWidth, 1e-9);
    // Left hand: clockwise seen from +z, i.e. the cross product is negative.
    const double cross = (x0 - 5.0) * (y1 + 2.0) - (y0 + 2.0) * (x1 - 5.0);
    EXPECT_EQ(cross > 0.0, hand > 0);
    ResetStepEntities();
  }
}

// Every side surface holds m rows of K control points; its multiplicities add up
// to m + pU + 1 along the outline and K + pV + 1 across the face width.
TEST(StepHelicalSolid, ControlNetsHaveOneRowPerOutlinePoint) {
  const GearRecord g = HelicalGear(2.0, 12, 20.0, 20.0);
  const int64_t K = HelicalSectionCount(g);
  ResetStepEntities();
  WriteStepHelicalSolid(g, 0.0, 0.0, 0.0);
  const std::string text = StepLineList.text;
  ResetStepEntities();
  ASSERT_EQ(Count(text, "B_SPLINE_SURFACE_WITH_KNOTS"), g.outline.size());
  size_t at = 0;
  for (const OutlinePolyline& line : g.outline) {
    at = text.find("B_SPLINE_SURFACE_WITH_KNOTS('',", at + 1);
    int pU = 0, pV = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + at, "B_SPLINE_SURFACE_WITH_KNOTS('',%d,%d,", &pU, &pV), 2);
    const size_t m = line.points.size();
    EXPECT_EQ(pU, m < 4 ? static_cast<int>(m) - 1 : 3);
    EXPECT_EQ(pV, 3);
    const size_t end = text.find('\n', at);
    const std::string entity = text.substr(at, end - at);
    const size_t netEnd = entity.find("),.UNSPECIFIED.");
    const std::string net = entity.substr(0, netEnd);
    EXPECT_EQ(Count(net, "("), 2 + m);  // the entity's own, the list's, one per row
    EXPECT_EQ(Count(net, "#"), m * static_cast<size_t>(K));
    // The four knot lists after the surface flags.
    const size_t lists = entity.find(".F.,.F.,.F.,(") + 13;
    std::vector<int> sums;
    size_t pos = lists;
    for (int list = 0; list < 2; ++list) {
      const size_t close = entity.find(')', pos);
      int sum = 0;
      for (size_t k = pos; k < close;) {
        sum += std::atoi(entity.c_str() + k);
        k = entity.find_first_of(",)", k) + 1;
      }
      sums.push_back(sum);
      pos = close + 3;
    }
    EXPECT_EQ(sums[0], static_cast<int>(m) + pU + 1);
    EXPECT_EQ(sums[1], static_cast<int>(K) + pV + 1);
  }
}

// Chord-length parameters: the polyline (0, 0), (3, 4), (3, 10) has u = (0, 5/11,
// 1), so the quadratic through it has the middle control point
// (D1 - (6/11)^2 D0 - (5/11)^2 D2) / (2 (5/11) (6/11)) = (4.8, 3.9), which the
// bottom edge's curve carries at z = 0.
TEST(StepHelicalSolid, ChordLengthParametersOfAThreePointPiece) {
  GearRecord g = Twisted(10.0, 20.0, 5.0);
  g.outline = {{{{0.0, 0.0}, {3.0, 4.0}, {3.0, 10.0}}}, {{{3.0, 10.0}, {0.0, 0.0}}}};
  ResetStepEntities();
  WriteStepHelicalSolid(g, 0.0, 0.0, 0.0);
  const std::string text = StepLineList.text;
  const bool faulty = StepLineList.faulty;
  ResetStepEntities();
  EXPECT_FALSE(faulty);
  EXPECT_NE(text.find("B_SPLINE_SURFACE_WITH_KNOTS('',2,3,"), std::string::npos);
  EXPECT_NE(text.find("B_SPLINE_SURFACE_WITH_KNOTS('',1,3,"), std::string::npos);
  EXPECT_NE(text.find("CARTESIAN_POINT('',(4.800000,3.900000,0.000000))"), std::string::npos);
  // Equal spacing (u = 1/2) would have put it at (4.5, 3) instead.
  EXPECT_EQ(text.find("CARTESIAN_POINT('',(4.500000,3.000000,0.000000))"), std::string::npos);
}

// The estimate is the exact number of control points the helical writer makes:
// every point written before the closure except the two vertices per polyline.
TEST(StepHelicalSolid, EstimateCountsEveryControlPoint) {
  for (double betaDeg : {8.0, 35.0}) {
    SCOPED_TRACE(betaDeg);
    const GearRecord g = HelicalGear(1.5, 15, betaDeg, 30.0, 1, 4);
    ResetStepEntities();
    WriteStepHelicalSolid(g, 0.0, 0.0, 0.0);
    const std::string text = StepLineList.text;
    ResetStepEntities();
    // The side faces come first, one FACE_OUTER_BOUND each.
    size_t lastSide = 0;
    for (size_t s = 0; s < g.outline.size(); ++s) lastSide = text.find("FACE_OUTER_BOUND", lastSide + 1);
    const size_t points = Count(text, "CARTESIAN_POINT", lastSide);
    EXPECT_EQ(EstimateStepControlPoints(g), points - 2 * g.outline.size());
  }
  GearRecord spur = HelicalGear(1.5, 15, 0.0, 30.0);
  EXPECT_EQ(EstimateStepControlPoints(spur), 0u);
  GearRecord rack;
  rack.isRack = 1;
  rack.helixAngle = 0.3;
  rack.outline = spur.outline;
  EXPECT_EQ(EstimateStepControlPoints(rack), 0u);
}

TEST(StepHelicalSolid, TooManyControlPointsRefusesWithTheEstimate) {
  // z 200 with a twist of 14 rad across 10 m: K = 142 sections of some 50 000
  // outline points.
  GearRecord g = HelicalGear(1.0, 200, 45.0, 10000.0, 1, 4);
  const uint64_t estimate = EstimateStepControlPoints(g);
  ASSERT_GT(estimate, kStepControlPointLimit);
  StringSink sink;
  ExportStatus status;
  EXPECT_FALSE(WriteStepFile(sink, "big.stp", g, 0.0, nullptr, 0.0, 0.0, 0.0, &status));
  EXPECT_EQ(status.error, ExportError::StepTooLarge);
  EXPECT_NEAR(status.millions, estimate / 1e6, 1e-9);
  EXPECT_TRUE(sink.bytes.empty());

  // Two bodies count together: each half of the limit alone passes the check.
  GearRecord half = HelicalGear(1.0, 30, 30.0, 20.0, 1, 4);
  ASSERT_LT(2 * EstimateStepControlPoints(half), kStepControlPointLimit);
  EXPECT_TRUE(WriteStepFile(sink, "two.stp", half, 0.0, &half, 100.0, 0.0, 0.0, &status));
}

// Repeated outline points give equal chord parameters: the file merges them before
// fitting and stays writable; a fit that would still be singular refuses the file.
TEST(StepHelicalSolid, RepeatedPointsAreMergedAndASingularFitRefuses) {
  GearRecord g = HelicalGear(2.0, 14, 15.0, 10.0);
  std::vector<OutlinePoint>& pts = g.outline[1].points;
  pts.insert(pts.begin() + 2, pts[2]);
  pts.insert(pts.begin() + 5, {pts[5].x + 2e-7, pts[5].y});
  StringSink sink;
  ExportStatus status;
  EXPECT_TRUE(WriteStepFile(sink, "merged.stp", g, 0.0, nullptr, 0.0, 0.0, 0.0, &status));
  EXPECT_EQ(sink.bytes.find("NaN"), std::string::npos);

  // Straight into the helical writer, unmerged: the zero pivot marks the file.
  ResetStepEntities();
  WriteStepHelicalSolid(g, 0.0, 0.0, 0.0);
  EXPECT_TRUE(StepLineList.faulty);
  ResetStepEntities();

  // A point that is no number refuses the whole file.
  GearRecord bad = HelicalGear(2.0, 14, 15.0, 10.0);
  bad.outline[3].points[1].x = std::numeric_limits<double>::quiet_NaN();
  StringSink none;
  EXPECT_FALSE(WriteStepFile(none, "nan.stp", bad, 0.0, nullptr, 0.0, 0.0, 0.0, &status));
  EXPECT_EQ(status.error, ExportError::InvalidBody);
  EXPECT_TRUE(none.bytes.empty());
}

// z 30, alpha 13.231133899 deg, beta 0.75 deg, allowance 2 mm: pointed teeth
// whose undercuts leave a neck of 4 um (the rolling rack of
// step_undercut_teeth_test). At 13.2186208 deg the rounding cuts the tooth
// through, and the geometry refuses it.
GearRecord ThinToothGear(double alphaDeg, double betaDeg) {
  GearRecord g;
  InitGearParams(g, 2.0, 30, 0.0, alphaDeg, 10.0, 0.0, 0.0, betaDeg, 1);
  g.thicknessAllowance = 2.0;
  ComputeExternalGearGeometry(g, 4);
  EXPECT_EQ(g.valid, 1);
  EXPECT_EQ(g.pointedTipFlag, 1);
  EXPECT_EQ(g.undercutFlag, 1);
  return g;
}

// The neck of tooth 0 pinched through: its fillet point nearest the centre line,
// below the pointed tip, moved to three times its distance on the other side, past
// the other fillet. The fitted fillets then cross, as a tooth cut through between
// its points did before the geometry refused it.
GearRecord PinchedThroughNeck(GearRecord g) {
  const size_t perTooth = g.outline.size() / static_cast<size_t>(g.toothCount);
  OutlinePoint* nearest = nullptr;
  for (size_t i = 0; i < perTooth; ++i)
    for (OutlinePoint& p : g.outline[i].points)
      if (p.y != 0.0 && p.x > 0.0 && std::hypot(p.x, p.y) < g.tipRadius - 0.5 &&
          (nearest == nullptr || std::fabs(p.y) < std::fabs(nearest->y)))
        nearest = &p;
  EXPECT_NE(nearest, nullptr);
  if (nearest != nullptr) nearest->y *= -3.0;
  return g;
}

TEST(StepHelicalSolid, FittedFilletsThatCrossRefuseTheFile) {
  const GearRecord neck = ThinToothGear(13.231133899, 0.75);
  const GearRecord cut = PinchedThroughNeck(neck);
  EXPECT_FALSE(StepEndCurvesKeepClear(cut));
  StringSink sink;
  ExportStatus status;
  EXPECT_FALSE(WriteStepFile(sink, "thin.stp", cut, 0.0, nullptr, 0.0, 0.0, 0.0, &status));
  EXPECT_EQ(status.error, ExportError::InvalidBody);
  EXPECT_TRUE(sink.bytes.empty());

  // A second body is checked as much as the first.
  EXPECT_TRUE(StepEndCurvesKeepClear(neck));
  EXPECT_FALSE(WriteStepFile(sink, "pair.stp", neck, 0.0, &cut, 70.0, 0.0, 0.0, &status));
  EXPECT_EQ(status.error, ExportError::InvalidBody);
  EXPECT_TRUE(sink.bytes.empty());
  EXPECT_TRUE(WriteStepFile(sink, "neck.stp", neck, 0.0, nullptr, 0.0, 0.0, 0.0, &status));

  // The spur gear passes: its curves take the points as control polygon, with
  // uniform knots, and keep to the points' side of the centre line.
  const GearRecord spur = ThinToothGear(13.231133899, 0.0);
  EXPECT_TRUE(StepEndCurvesKeepClear(spur));
  std::vector<StepPlanarCurve> polygons;
  for (const OutlinePolyline& line : MergeCloseOutlinePoints(spur.outline)) {
    StepPlanarCurve c;
    const size_t n = line.points.size();
    c.degree = n < 4 ? static_cast<int>(n) - 1 : 3;
    c.knots.assign(static_cast<size_t>(c.degree) + 1, 0.0);
    for (size_t k = 1; k + static_cast<size_t>(c.degree) < n; ++k) c.knots.push_back(static_cast<double>(k));
    c.knots.insert(c.knots.end(), static_cast<size_t>(c.degree) + 1, static_cast<double>(n - c.degree));
    for (const OutlinePoint& q : line.points) c.points.push_back({q.x, q.y, 0.0});
    polygons.push_back(c);
  }
  EXPECT_TRUE(StepContourKeepsClear(polygons, kStepLengthPrecision));
}

}  // namespace
}  // namespace kovrex
