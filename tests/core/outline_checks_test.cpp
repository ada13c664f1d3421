// The shared outline checks themselves: they must find what they claim to find,
// or every generator's test built on them proves nothing.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/gear_record.h"
#include "support/outline_checks.h"

namespace kovrex {
namespace {

std::vector<OutlinePoint> Ring(std::initializer_list<OutlinePoint> pts) { return std::vector<OutlinePoint>(pts); }

std::vector<OutlinePoint> Circle(int n, double r) {
  std::vector<OutlinePoint> ring;
  for (int i = 0; i < n; ++i) ring.push_back({r * std::cos(2 * kPi * i / n), r * std::sin(2 * kPi * i / n)});
  return ring;
}

TEST(OutlineChecks, SignedAreaFollowsTheDirection) {
  const auto square = Ring({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
  EXPECT_DOUBLE_EQ(test::SignedArea(square), 4.0);
  const auto reversed = Ring({{0, 0}, {0, 2}, {2, 2}, {2, 0}});
  EXPECT_DOUBLE_EQ(test::SignedArea(reversed), -4.0);
  EXPECT_NEAR(test::SignedArea(Circle(100000, 1.0)), kPi, 1e-8);
}

TEST(OutlineChecks, FindsCrossingsTouchesAndFoldBacks) {
  struct Case {
    const char* name;
    std::vector<OutlinePoint> ring;
    bool crossed;
  };
  const Case cases[] = {
      {"square", Ring({{0, 0}, {2, 0}, {2, 2}, {0, 2}}), false},
      {"figure eight", Ring({{0, 0}, {2, 2}, {2, 0}, {0, 2}}), true},
      {"vertex touching an edge", Ring({{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}}), true},
      {"spike folding back", Ring({{0, 0}, {4, 0}, {6, 0}, {5, 0}, {4, 4}}), true},
      {"concave but simple", Ring({{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}}), false},
  };
  for (const Case& c : cases) EXPECT_EQ(test::FindSelfIntersection(c.ring).found, c.crossed) << c.name;

  // A large ring with one dent pushed through the opposite side.
  auto big = Circle(200000, 10.0);
  EXPECT_FALSE(test::FindSelfIntersection(big).found);
  big[100] = {-10.5, 0.01};
  const test::SelfIntersection cut = test::FindSelfIntersection(big);
  EXPECT_TRUE(cut.found);
  EXPECT_TRUE(cut.edgeA == 99 || cut.edgeA == 100 || cut.edgeB == 99 || cut.edgeB == 100);
  // An open chain is not closed by its first and last points.
  const auto hook = Ring({{0, 0}, {2, 2}, {2, 0}, {3, 1}});
  EXPECT_FALSE(test::FindSelfIntersection(hook, /*closed=*/false).found);
  EXPECT_TRUE(test::FindSelfIntersection(hook).found);  // closing edge (3,1)-(0,0) crosses (2,2)-(2,0)
  EXPECT_TRUE(test::FindSelfIntersection(Ring({{0, 0}, {2, 2}, {2, 0}, {0, 2}}), /*closed=*/false).found);
}

TEST(OutlineChecks, JointsAndRing) {
  std::vector<OutlinePolyline> outline(3);
  outline[0].points = {{0, 0}, {1, 0}};
  outline[1].points = {{1, 0}, {1, 1}};
  outline[2].points = {{1, 1}, {0, 1e-3}};
  const test::JointGap gap = test::MaxJointGap(outline);
  EXPECT_DOUBLE_EQ(gap.gap, 1e-3);  // last end to first start
  EXPECT_EQ(gap.index, 2u);
  EXPECT_EQ(test::OutlineRing(outline).size(), 4u);
  outline[2].points.back() = {0, 0};
  EXPECT_EQ(test::MaxJointGap(outline).gap, 0.0);
  EXPECT_EQ(test::OutlineRing(outline).size(), 3u);
  outline[1].points.clear();
  EXPECT_TRUE(std::isinf(test::MaxJointGap(outline).gap));
  outline[0].points[0].x = NAN;
  EXPECT_FALSE(test::OutlineAllFinite(outline));
}

TEST(OutlineChecks, JoinOutlineNamesTheFirstBrokenJoint) {
  struct Case {
    const char* name;
    std::vector<std::vector<OutlinePoint>> polylines;
    std::string error;
    size_t points;
  };
  const Case cases[] = {
      {"closed square", {{{0, 0}, {2, 0}}, {{2, 0}, {2, 2}, {0, 2}}, {{0, 2}, {0, 0}}}, "", 4},
      {"empty", {}, "empty outline", 0},
      {"single point", {{{0, 0}, {2, 0}}, {{2, 0}}}, "polyline 1 has fewer than 2 points", 0},
      {"gap", {{{0, 0}, {2, 0}}, {{2, 1e-6}, {2, 2}}, {{2, 2}, {0, 0}}},
       "polyline 1 does not start where the previous one ends", 0},
      {"open", {{{0, 0}, {2, 0}}, {{2, 0}, {2, 2}}}, "outline is not closed", 0},
      {"nan", {{{0, 0}, {NAN, 0}}, {{2, 0}, {0, 0}}}, "non-finite point in polyline 0", 0},
  };
  for (const Case& c : cases) {
    GearRecord g;
    for (const auto& pts : c.polylines) g.outline.push_back(OutlinePolyline{pts});
    const test::Contour contour = test::JoinOutline(g);
    EXPECT_EQ(contour.error, c.error) << c.name;
    if (c.error.empty()) {
      EXPECT_EQ(contour.points.size(), c.points) << c.name;
    }
  }
}

TEST(OutlineChecks, CrossingsWithALineAndACircle) {
  // The square (-1, -1) .. (1, 1) with its side midpoints: y = 0.5 crosses its sides
  // at x = -1 and 1; the circle of radius 1.2 crosses every half side once, where
  // |x| or |y| = sqrt(1.44 - 1).
  const auto square = Ring({{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}});
  const std::vector<double> xs = test::CrossingsWithHorizontal(square, 0.5);
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_DOUBLE_EQ(xs[0], -1.0);
  EXPECT_DOUBLE_EQ(xs[1], 1.0);
  EXPECT_TRUE(test::CrossingsWithHorizontal(square, 2.0).empty());
  const std::vector<double> angles = test::CrossingsWithCircle(square, 1.2);
  ASSERT_EQ(angles.size(), 8u);
  const double a = std::atan2(std::sqrt(1.44 - 1.0), 1.0);  // first crossing above +x
  EXPECT_NEAR(angles[4], a, 1e-12);
  EXPECT_NEAR(angles[5], kPi / 2 - a, 1e-12);
  EXPECT_TRUE(test::CrossingsWithCircle(square, 0.5).empty());
}

}  // namespace
}  // namespace kovrex
