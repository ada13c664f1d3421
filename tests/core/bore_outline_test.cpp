// Bore and keyway contour: point counts of worked examples, exact keyway corners,
// and geometric properties checked on their own (simple, counter-clockwise,
// chords within the tolerance, enclosed area against the closed form).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "geometry/bore_outline.h"
#include "geometry/gear_record.h"

namespace kovrex {
namespace {

GearRecord Bore(double bore, double keywayWidth = 0.0, double keywayDepth = 0.0) {
  GearRecord g;
  InitGearParams(g, 2.0, 30, 0.0, 20.0, 20.0, bore, 0.0, 0.0, 1);
  g.keywayWidth = keywayWidth;
  g.keywayDepth = keywayDepth;
  return g;
}

double SignedArea(const std::vector<OutlinePoint>& p) {
  double a = 0.0;
  for (size_t i = 0; i < p.size(); ++i) {
    const OutlinePoint& u = p[i];
    const OutlinePoint& v = p[(i + 1) % p.size()];
    a += u.x * v.y - v.x * u.y;
  }
  return a / 2.0;
}

double Cross(const OutlinePoint& o, const OutlinePoint& a, const OutlinePoint& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Proper crossing or touching of two closed segments.
bool SegmentsMeet(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c,
                  const OutlinePoint& d) {
  double d1 = Cross(c, d, a), d2 = Cross(c, d, b), d3 = Cross(a, b, c), d4 = Cross(a, b, d);
  return ((d1 > 0) != (d2 > 0) || d1 == 0 || d2 == 0) && ((d3 > 0) != (d4 > 0) || d3 == 0 || d4 == 0) &&
         std::fmin(a.x, b.x) <= std::fmax(c.x, d.x) && std::fmin(c.x, d.x) <= std::fmax(a.x, b.x) &&
         std::fmin(a.y, b.y) <= std::fmax(c.y, d.y) && std::fmin(c.y, d.y) <= std::fmax(a.y, b.y);
}

// No two edges of the closed polygon meet except neighbours at their shared corner.
bool IsSimple(const std::vector<OutlinePoint>& p) {
  size_t n = p.size();
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = i + 1; j < n; ++j) {
      if (j == i + 1 || (i == 0 && j == n - 1)) continue;
      if (SegmentsMeet(p[i], p[(i + 1) % n], p[j], p[(j + 1) % n])) return false;
    }
  }
  return true;
}

// Largest distance by which a chord's midpoint falls inside the circle of radius R,
// over the first `chords` edges (all of a plain bore; the arc part of a keyed one).
double LargestSagitta(const std::vector<OutlinePoint>& p, double R, size_t chords) {
  double worst = 0.0;
  for (size_t i = 0; i < chords; ++i) {
    const OutlinePoint& u = p[i];
    const OutlinePoint& v = p[(i + 1) % p.size()];
    worst = std::fmax(worst, R - std::hypot((u.x + v.x) / 2, (u.y + v.y) / 2));
  }
  return worst;
}

TEST(BoreOutline, PointCountsOfAPlainBore) {
  struct Case {
    const char* name;
    double bore, tolerance;
    size_t points;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // 2 acos(1 - t/R): 0.01 on R 5 gives 7.25 deg, capped at 5 deg = 72 points;
  // 0.001 gives 2.29 deg, ceil(360/2.2918) = 158. A tolerance past the radius,
  // 0, negative, NaN or infinite all take the coarsest step, capped at 5 deg.
  const Case cases[] = {
      {"tol 0.01", 10, 0.01, 72},  {"tol 0.001", 10, 0.001, 158}, {"tol 10", 10, 10, 72},
      {"tol 0", 10, 0.0, 72},      {"tol -1", 10, -1.0, 72},      {"tol NaN", 10, nan, 72},
      {"tol inf", 10, inf, 72},    {"tiny bore", 0.01, 1.0, 72},
  };
  for (const Case& c : cases) {
    std::vector<OutlinePoint> pts;
    BuildBoreOutline(Bore(c.bore), pts, c.tolerance);
    EXPECT_EQ(pts.size(), c.points) << c.name;
  }
}

TEST(BoreOutline, NoBoreGivesAnEmptyList) {
  const double values[] = {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()};
  for (double bore : values) {
    std::vector<OutlinePoint> pts = {{1, 2}, {3, 4}};
    BuildBoreOutline(Bore(bore, 6.0, 2.8), pts, 0.01);
    EXPECT_TRUE(pts.empty()) << bore;
  }
}

TEST(BoreOutline, ToleranceFarBelowTheRadiusStillEnds) {
  // 1 - 1e-20/5 rounds to 1: acos gives a step of 0. The outline must still end,
  // with a bounded number of points all on the circle, as fine as a double can
  // usefully show (not fallen back to a coarse polygon).
  std::vector<OutlinePoint> pts;
  BuildBoreOutline(Bore(10), pts, 1e-20);
  ASSERT_GE(pts.size(), 8u);
  EXPECT_LE(pts.size(), 2000000u);
  for (const OutlinePoint& p : pts) ASSERT_NEAR(std::hypot(p.x, p.y), 5.0, 1e-12);
  EXPECT_LE(LargestSagitta(pts, 5.0, pts.size()), 1e-9);
}

TEST(BoreOutline, KeyedBoreCornersOfADinKeyway) {
  // Bore 20, key 6 x 2.8 (DIN 6885-1, 17 < d <= 22): the arc meets the keyway sides
  // at x = sqrt(10^2 - 3^2); the floor lies at R + t2 = 12.8.
  std::vector<OutlinePoint> pts;
  BuildBoreOutline(Bore(20, 6.0, 2.8), pts, 0.01);
  ASSERT_GE(pts.size(), 7u);
  const double d = std::sqrt(91.0);
  // Exact equality on purpose: the keyway walls must be exactly parallel to x
  // (10 sin(2 pi - w) alone gives -3.000000000000003).
  EXPECT_EQ(pts.front().x, d);
  EXPECT_EQ(pts.front().y, 3.0);
  EXPECT_NEAR(pts.front().x, 9.539392, 1e-6);
  const OutlinePoint& arcEnd = pts[pts.size() - 3];
  EXPECT_EQ(arcEnd.x, d);
  EXPECT_EQ(arcEnd.y, -3.0);
  EXPECT_DOUBLE_EQ(pts[pts.size() - 2].x, 12.8);
  EXPECT_EQ(pts[pts.size() - 2].y, -3.0);
  EXPECT_DOUBLE_EQ(pts.back().x, 12.8);
  EXPECT_EQ(pts.back().y, 3.0);
}

TEST(BoreOutline, KeyedBorePointCount) {
  // Wide keyway in a small bore with a huge tolerance: the arc sweep 2 pi - 2w is
  // cut into ceil(sweep / 5 deg) steps (at least 4), giving steps + 1 arc points
  // and 2 floor points.
  std::vector<OutlinePoint> pts;
  BuildBoreOutline(Bore(2.0, 1.9, 0.5), pts, 100.0);
  double w = std::asin(0.95);
  size_t steps = static_cast<size_t>(std::ceil((2 * kPi - 2 * w) / 0.0872665));
  EXPECT_EQ(pts.size(), std::max<size_t>(steps, 4) + 3);
}

TEST(BoreOutline, ContourIsSimpleCounterClockwiseAndWithinTolerance) {
  struct Case {
    const char* name;
    double bore, width, depth, tolerance;
  };
  const Case cases[] = {
      {"plain 10 / 0.01", 10, 0, 0, 0.01},       {"plain 10 / 0.001", 10, 0, 0, 0.001},
      {"plain 250 / 0.0001", 250, 0, 0, 0.0001}, {"keyed 20 / 0.01", 20, 6, 2.8, 0.01},
      {"keyed 20 / 0.001", 20, 6, 2.8, 0.001},   {"keyed 8 / 0.5", 8, 2, 1.0, 0.5},
      {"keyed 100 / 0.0001", 100, 28, 6.4, 0.0001},
  };
  for (const Case& c : cases) {
    GearRecord g = Bore(c.bore, c.width, c.depth);
    std::vector<OutlinePoint> pts;
    BuildBoreOutline(g, pts, c.tolerance);
    const double R = c.bore / 2;
    const bool keyed = c.width > 0;
    const size_t arcPoints = keyed ? pts.size() - 2 : pts.size();
    ASSERT_GE(pts.size(), 8u) << c.name;
    for (size_t i = 0; i < arcPoints; ++i) ASSERT_NEAR(std::hypot(pts[i].x, pts[i].y), R, 1e-9) << c.name;
    EXPECT_TRUE(IsSimple(pts)) << c.name;
    EXPECT_LE(LargestSagitta(pts, R, keyed ? arcPoints - 1 : arcPoints), c.tolerance * (1 + 1e-9)) << c.name;

    // Area of the true contour: the circle less the segment beyond the chord
    // x = d (R^2 w - h d), plus the keyway rectangle from x = d to R + t2. The
    // polygon lies inside it by at most the tolerance along the circumference.
    double area = kPi * R * R;
    if (keyed) {
      double h = c.width / 2, w = std::asin(h / R), d = std::sqrt(R * R - h * h);
      area += -(R * R * w - h * d) + 2 * h * (R + c.depth - d);
    }
    double polygon = SignedArea(pts);
    EXPECT_GT(polygon, 0.0) << c.name << ": counter-clockwise";
    EXPECT_LE(polygon, area * (1 + 1e-12)) << c.name;
    EXPECT_GE(polygon, area - 2 * kPi * R * c.tolerance) << c.name;
  }
}

}  // namespace
}  // namespace kovrex
