// Screen thinning of outlines: every dropped point stays within the tolerance of
// the chord that replaced it, the order and the run ends are kept.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/outline_simplify.h"
#include "geometry/gear_record.h"

namespace kovrex {
namespace {

double DistanceToSegment(const OutlinePoint& p, const OutlinePoint& a, const OutlinePoint& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0.0;
  t = std::fmax(0.0, std::fmin(1.0, t));
  return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

// Checks that `thin` is an ordered subset of `dense` holding its first point, and
// that every point of `dense` lies within tol of the kept chord spanning it.
void ExpectFaithful(const std::vector<OutlinePoint>& dense, const std::vector<OutlinePoint>& thin, double tol) {
  ASSERT_GE(thin.size(), 2u);
  EXPECT_EQ(thin.front().x, dense.front().x);
  EXPECT_EQ(thin.front().y, dense.front().y);
  size_t k = 0;
  for (size_t i = 0; i < dense.size(); ++i) {
    if (k + 1 < thin.size() && dense[i].x == thin[k + 1].x && dense[i].y == thin[k + 1].y) ++k;
    const OutlinePoint& a = thin[k];
    const OutlinePoint& b = k + 1 < thin.size() ? thin[k + 1] : thin.front();
    EXPECT_LE(DistanceToSegment(dense[i], a, b), tol + 1e-12) << "point " << i;
  }
  EXPECT_EQ(k + 1, thin.size()) << "every kept point found in order";
}

TEST(OutlineSimplify, DenseCircleKeepsItsShapeWithinTheTolerance) {
  std::vector<OutlinePoint> dense;
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * kPi * i / n;
    dense.push_back({100 * std::cos(a), 100 * std::sin(a)});
  }
  std::vector<OutlinePoint> thin = dense;
  SimplifyClosedOutline(thin, 0.1);
  ExpectFaithful(dense, thin, 0.1);
  // A chord of sagitta 0.1 on radius 100 spans 2·sqrt(2·100·0.1) ≈ 8.9 units, so
  // about 70 chords would do; the runs of 32 points keep some more.
  EXPECT_LT(thin.size(), dense.size() / 20);
}

TEST(OutlineSimplify, CornersAndZigzagsBeyondTheToleranceStay) {
  // A square with dense sides and a zigzag of amplitude 0.3 on one side.
  std::vector<OutlinePoint> dense;
  for (int i = 0; i < 100; ++i) dense.push_back({i * 0.1, (i % 2) * 0.3});
  for (int i = 0; i < 100; ++i) dense.push_back({10.0, i * 0.1});
  for (int i = 0; i < 100; ++i) dense.push_back({10.0 - i * 0.1, 10.0});
  for (int i = 0; i < 100; ++i) dense.push_back({0.0, 10.0 - i * 0.1});
  std::vector<OutlinePoint> thin = dense;
  SimplifyClosedOutline(thin, 0.1);
  ExpectFaithful(dense, thin, 0.1);
  for (const OutlinePoint& corner : {OutlinePoint{10.0, 0.0}, OutlinePoint{10.0, 10.0}, OutlinePoint{0.0, 10.0}}) {
    bool found = false;
    for (const OutlinePoint& p : thin) found = found || (std::fabs(p.x - corner.x) < 1e-12 && std::fabs(p.y - corner.y) < 1e-12);
    EXPECT_TRUE(found) << corner.x << ", " << corner.y;
  }
  // The zigzag (0.3 > 0.1) survives point by point.
  EXPECT_GE(thin.size(), 100u);
}

TEST(OutlineSimplify, SmallOrUntolerancedListsAreLeftAlone) {
  std::vector<OutlinePoint> tri{{0, 0}, {1e-6, 0}, {0, 1e-6}};
  SimplifyClosedOutline(tri, 1.0);
  EXPECT_EQ(tri.size(), 3u);
  std::vector<OutlinePoint> line{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}};
  SimplifyClosedOutline(line, 0.0);
  EXPECT_EQ(line.size(), 5u);
  SimplifyClosedOutline(line, std::nan(""));
  EXPECT_EQ(line.size(), 5u);
}

}  // namespace
}  // namespace kovrex
