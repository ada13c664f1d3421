// The gear record's basic operations: filling the basic data, the involute function
// and its inverse (also outside its useful range), the tooth half-angle, the minimum
// profile shift against undercut and the small predicates.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/gear_record.h"

namespace kovrex {
namespace {

TEST(InitGearParams, StoresBasicRackAndNormalisesHandAndHelix) {
  GearRecord g;
  g.keywayWidth = 5;
  g.hubSide = 3;
  g.thicknessAllowance = 0.1;
  g.tipRadius = 12.0;  // a derived field: left for the generators
  InitGearParams(g, 2.5, 31, 0.2, 20, 30, 10, 0.05, -15, 0);
  EXPECT_EQ(g.hand, 1);
  EXPECT_DOUBLE_EQ(g.helixAngle, 15.0 * kPi / 180.0);
  EXPECT_DOUBLE_EQ(g.pressureAngle, 20.0 * kPi / 180.0);
  EXPECT_EQ(g.normalModule, 2.5);
  EXPECT_EQ(g.toothCount, 31);
  EXPECT_EQ(g.profileShift, 0.2);
  EXPECT_EQ(g.faceWidth, 30);
  EXPECT_EQ(g.boreDiameter, 10);
  EXPECT_EQ(g.tipShortening, 0.05);
  EXPECT_EQ(g.addendumCoeff, 1.0);
  EXPECT_EQ(g.dedendumCoeff, 1.25);
  EXPECT_EQ(g.rootRadiusCoeff, 0.38);
  EXPECT_EQ(g.thicknessAllowance, 0.0);
  EXPECT_EQ(g.keywayWidth, 0.0);
  EXPECT_EQ(g.hubSide, 0);
  EXPECT_EQ(g.tipRadius, 12.0);

  InitGearParams(g, 2, 20, 0, 20, 10, 0, 0, -15, -1);
  EXPECT_EQ(g.hand, -1);  // the hand is kept as given, only beta loses its sign
  EXPECT_DOUBLE_EQ(g.helixAngle, 15.0 * kPi / 180.0);
}

TEST(InvertInvoluteFunction, RoundTripsOverTheWorkingRange) {
  for (double deg : {5.0, 10.0, 14.5, 20.0, 25.0, 30.0, 45.0, 60.0, 75.0, 85.0}) {
    const double a = deg * kDegToRad;
    EXPECT_NEAR(InvertInvoluteFunction(InvoluteFunction(a)), a, 1e-14) << deg;
  }
  EXPECT_DOUBLE_EQ(InvertInvoluteFunction(InvoluteFunction(20 * kDegToRad)), 20 * kDegToRad);
  // Textbook value: inv 20 deg = 0.014904383867...
  EXPECT_NEAR(InvoluteFunction(20 * kDegToRad), 0.0149043839, 1e-10);
}

TEST(InvertInvoluteFunction, OutsideTheUsefulRangeStaysFinite) {
  // v = 0 would be 0/0 in the first Newton step, v < 0 has no real cube root start.
  EXPECT_EQ(InvertInvoluteFunction(0.0), 0.0);
  EXPECT_EQ(InvertInvoluteFunction(-0.01), 0.0);
  EXPECT_EQ(InvertInvoluteFunction(-1e300), 0.0);
  EXPECT_EQ(InvertInvoluteFunction(std::nan("")), 0.0);
  // (3v)^(1/3) > pi/2 for v >= 1.3: uncapped, Newton runs off the branch.
  for (double v : {1.5, 2.0, 4.0, 5.0, 10.0, 100.0, 1e4}) {
    const double a = InvertInvoluteFunction(v);
    ASSERT_TRUE(a > 0 && a < kPi / 2) << v;
    EXPECT_NEAR(InvoluteFunction(a), v, 1e-12 * v) << v;
  }
}

GearRecord SpurRecord() {
  // Fields as the geometry would set them for m = 2, z = 20, alpha = 20 deg, x = 0.
  GearRecord g;
  g.transversePressureAngle = 20 * kDegToRad;
  g.pitchRadius = 20.0;
  g.baseRadius = 20.0 * std::cos(20 * kDegToRad);
  g.pitchToothThickness = kPi;  // pi m / 2
  return g;
}

TEST(ComputeHalfToothAngleAtRadius, ConstantBelowTheBaseCircle) {
  const GearRecord g = SpurRecord();
  const double atBase = ComputeHalfToothAngleAtRadius(g, g.baseRadius);
  // Half of s_t / r plus inv alpha_t: pi/40 + inv 20 deg.
  EXPECT_NEAR(atBase, kPi / 40 + 0.0149043839, 1e-10);
  for (double r : {0.0, 1.0, 10.0, g.baseRadius - 1e-9}) EXPECT_EQ(ComputeHalfToothAngleAtRadius(g, r), atBase) << r;
  // On the pitch circle the half-angle is s_t / (2 r).
  EXPECT_NEAR(ComputeHalfToothAngleAtRadius(g, 20.0), kPi / 40, 1e-15);
  OutlinePoint p;
  InvolutePointAtRadius(g, p, 20.0);
  EXPECT_NEAR(std::hypot(p.x, p.y), 20.0, 1e-12);
  EXPECT_NEAR(std::atan2(p.y, p.x), kPi / 40, 1e-15);
}

TEST(ComputeMinProfileShift, WorkedValues) {
  struct Case {
    int64_t z;
    double alphaDeg, betaDeg, expected, tol;
  };
  const double s20 = std::sin(20 * kDegToRad);
  const Case cases[] = {
      {17, 20, 0, 1.25 - 0.38 * (1 - s20) - 17 * s20 * s20 / 2, 1e-14},
      {17, 20, 0, 0.0057, 1e-4},
      {14, 20, 0, 0.181, 1e-3},
      {30, 20, 0, -0.755, 1e-3},
      // Helical: alpha_t = atan(tan 20 / cos 30) = 22.796 deg, sin^2 = 0.1501169.
      {20, 20, 30, 1.25 - 0.38 * (1 - s20) - 20 * 0.1501169 / (2 * std::cos(30 * kDegToRad)), 1e-5},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(ComputeMinProfileShift(c.z, c.alphaDeg, c.betaDeg), c.expected, c.tol) << "z = " << c.z;
}

TEST(HasKeyway, NeedsABoreWiderThanTheKeyway) {
  struct Case {
    double bore, width, depth;
    bool expected;
  };
  const Case cases[] = {
      {20, 6, 2.8, true}, {20, 20, 2.8, false}, {20, 25, 2.8, false},
      {0, 6, 2.8, false}, {20, 0, 2.8, false},  {20, 6, 0, false},
  };
  for (const Case& c : cases) {
    GearRecord g;
    g.boreDiameter = c.bore;
    g.keywayWidth = c.width;
    g.keywayDepth = c.depth;
    EXPECT_EQ(HasKeyway(g), c.expected) << c.bore << " / " << c.width << " / " << c.depth;
    EXPECT_EQ(ComputeBoreContourRadius(g), c.expected ? c.bore / 2 + c.depth : c.bore / 2);
  }
}

TEST(AddSegmentIfNotDegenerate, SkipsSegmentsShorterThanTheLimit) {
  GearRecord g;
  AddSegmentIfNotDegenerate(g, 1.0, 2.0, 1.0 + 1e-10, 2.0);
  AddSegmentIfNotDegenerate(g, 1.0, 2.0, 1.0 + 4e-10, 2.0 + 4e-10);  // |dx| + |dy| = 8e-10
  EXPECT_TRUE(g.outline.empty());
  AddSegmentIfNotDegenerate(g, 0.0, 0.0, 3e-9, 0.0);
  AddSegmentIfNotDegenerate(g, 1.0, 2.0, 3.0, 4.0);
  ASSERT_EQ(g.outline.size(), 2u);
  ASSERT_EQ(g.outline[1].points.size(), 2u);
  EXPECT_EQ(g.outline[1].points[0].x, 1.0);
  EXPECT_EQ(g.outline[1].points[1].y, 4.0);
}

TEST(GearRecordHelpers, PolarPointsAndMinMax) {
  std::vector<OutlinePoint> list;
  SetPolarPoint(list, 2.0, kPi / 2);
  AddPointToList(list, 3.0, -1.0);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_NEAR(list[0].x, 0.0, 1e-15);
  EXPECT_EQ(list[0].y, 2.0);
  EXPECT_EQ(list[1].x, 3.0);
  EXPECT_EQ(MinOfTwo(1, 2), 1);
  EXPECT_EQ(MaxDouble(1, 2), 2);
}

TEST(ComputeOverlapRatio, FaceWidthOverAxialPitch) {
  GearRecord g;
  g.faceWidth = 20;
  g.helixAngle = 15 * kDegToRad;
  g.normalModule = 2;
  // b sin(beta) / (pi m) = 20 * 0.258819 / 6.283185
  EXPECT_NEAR(ComputeOverlapRatio(g), 0.8238466, 1e-6);
}

}  // namespace
}  // namespace kovrex
