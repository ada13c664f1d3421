// Clearance of the end-face contour of a STEP solid: contours of straight pieces
// whose clearance is plain from their coordinates (crossings, slots, spikes, tip
// edges of nanometres), and curves fitted through points of circles, where the
// circle says whether two curves cross between points that keep apart.
#include "export/step_contour_clearance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "export/step_bspline.h"

namespace kovrex {
namespace {

constexpr double kGap = 1e-6;  // the STEP file's length precision, mm

StepPlanarCurve Line(StepControlPoint a, StepControlPoint b) { return {1, {0.0, 0.0, 1.0, 1.0}, {a, b}}; }

// The closed chain of straight pieces through the corners, back to the first.
std::vector<StepPlanarCurve> Polygon(const std::vector<StepControlPoint>& corners) {
  std::vector<StepPlanarCurve> chain;
  for (size_t i = 0; i < corners.size(); ++i) chain.push_back(Line(corners[i], corners[(i + 1) % corners.size()]));
  return chain;
}

// The curve the helical writer fits through the points: interpolation at their
// chord-length parameters.
StepPlanarCurve Fitted(const std::vector<StepControlPoint>& points) {
  const size_t n = points.size();
  std::vector<double> u(n, 0.0), knots, inverse;
  for (size_t i = 1; i < n; ++i)
    u[i] = u[i - 1] + std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
  for (double& v : u) v /= u[n - 1];
  StepPlanarCurve c;
  c.degree = InterpolateBSplineCurve(u, knots, inverse);
  c.knots = knots;
  c.points.resize(n);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) {
      c.points[i].x += inverse[i * n + j] * points[j].x;
      c.points[i].y += inverse[i * n + j] * points[j].y;
    }
  return c;
}

struct PolygonCase {
  const char* name;
  std::vector<StepControlPoint> corners;
  bool clear;
};

TEST(StepContourClearance, PolygonsByTheirCoordinates) {
  const double tan1 = std::tan(1.0 * 3.14159265358979 / 180.0);
  const PolygonCase cases[] = {
      {"square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true},
      {"bow tie: two sides cross", {{0, 0}, {10, 10}, {10, 0}, {0, 10}}, false},
      // A slot 1 mm deep from the top: its walls stand 2 nm apart, or 0.5 nm, which
      // the file cannot tell from touching. Its floor joins the walls within a few
      // nanometres: that only excuses them where they meet the floor.
      {"slot 2 nm wide",
       {{0, 0}, {10, 0}, {10, 10}, {5 + 1e-6, 10}, {5 + 1e-6, 9}, {5 - 1e-6, 9}, {5 - 1e-6, 10}, {0, 10}},
       true},
      {"slot 0.5 nm wide",
       {{0, 0}, {10, 0}, {10, 10}, {5 + 2.5e-7, 10}, {5 + 2.5e-7, 9}, {5 - 2.5e-7, 9}, {5 - 2.5e-7, 10}, {0, 10}},
       false},
      // Sides that meet at a point separate at once: a spike of 2 degrees, and one whose
      // tip is cut off by an edge of 3 nm.
      {"spike of 2 degrees", {{0, 0}, {10, 0}, {5, 5 / tan1}}, true},
      {"spike with a tip edge of 3 nm", {{0, 0}, {10, 0}, {5 + 1.5e-6, 5 / tan1}, {5 - 1.5e-6, 5 / tan1}}, true},
      // An hourglass whose waist is two corners far apart along the contour, 0.5 nm
      // or 2 nm apart across it.
      {"waist of 0.5 nm", {{0, 0}, {4, 0}, {5, 2}, {6, 0}, {10, 0}, {10, 5}, {6, 5}, {5, 2 + 5e-7}, {4, 5}, {0, 5}},
       false},
      {"waist of 2 nm", {{0, 0}, {4, 0}, {5, 2}, {6, 0}, {10, 0}, {10, 5}, {6, 5}, {5, 2 + 2e-6}, {4, 5}, {0, 5}},
       true},
  };
  for (const PolygonCase& c : cases) EXPECT_EQ(StepContourKeepsClear(Polygon(c.corners), kGap), c.clear) << c.name;
}

// A waisted contour like a tooth between two undercuts: points of a circle of
// radius 10 on either side of x = 0, mirrored, the circles' nearest points `reach`
// across x = 0 (negative: short of it). No point lies at a circle's nearest: the
// points stand some 25 um apart across the waist whatever the circles do.
std::vector<StepControlPoint> WaistSide(double reach) {
  const double R = 10.0, cx = R - reach;
  std::vector<StepControlPoint> side;
  for (int k = 3; k >= -4; --k) {
    const double a = 3.14159265358979 + 0.05 * (2 * k + 1);
    side.push_back({cx + R * std::cos(a), -R * std::sin(a)});
  }
  return side;
}

std::vector<StepControlPoint> Mirrored(const std::vector<StepControlPoint>& side) {
  std::vector<StepControlPoint> other;
  for (auto it = side.rbegin(); it != side.rend(); ++it) other.push_back({-it->x, it->y});
  return other;
}

TEST(StepContourClearance, FittedCurvesCrossWhereTheirPointsKeepApart) {
  struct Case {
    double reach;
    bool clear;
  } cases[] = {{1e-3, false}, {1e-5, false}, {-2e-6, true}, {-1e-5, true}, {-1e-3, true}};
  for (const Case& c : cases) {
    const std::vector<StepControlPoint> right = WaistSide(c.reach), left = Mirrored(right);
    std::vector<StepControlPoint> corners = right;
    corners.insert(corners.end(), left.begin(), left.end());
    EXPECT_TRUE(StepContourKeepsClear(Polygon(corners), kGap)) << c.reach;
    const std::vector<StepPlanarCurve> curves = {Fitted(right), Line(right.back(), left.front()), Fitted(left),
                                                 Line(left.back(), right.front())};
    EXPECT_EQ(StepContourKeepsClear(curves, kGap), c.clear) << c.reach;
  }
}

TEST(StepContourClearance, NumbersThatAreNoNumbersAreNotClear) {
  std::vector<StepPlanarCurve> square = Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  square[2].points[1].x = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(StepContourKeepsClear(square, kGap));
  std::vector<StepPlanarCurve> badKnots = Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  badKnots[1].knots = {0.0, 1.0, 1.0};
  EXPECT_FALSE(StepContourKeepsClear(badKnots, kGap));
  EXPECT_FALSE(StepContourKeepsClear(Polygon({{0, 0}, {10, 0}, {10, 10}}), std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
}  // namespace kovrex
