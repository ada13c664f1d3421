// View transform and the clippers of the canvas: hand-made polygons, segments and
// circles against a known clip box, read back from the Cairo path.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/canvas_clip.h"
#include "support/canvas_probe.h"
#include "support/test_support.h"

namespace kovrex {
namespace {

using test::ImageCanvas;
using test::PathPoint;
using test::ReadPath;
using test::SubPath;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A 100 x 100 canvas: clip box -40 .. 140 in x and y.
class ClipTest : public test::KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    CanvasWidth = 100;
    CanvasHeight = 100;
    SetCanvasClipBox(100, 100);
  }
  ImageCanvas canvas{100, 100};
};

bool InsideBox(const PathPoint& p) {
  return p.x >= ClipXMin - 1e-9 && p.x <= ClipXMax + 1e-9 && p.y >= ClipYMin - 1e-9 && p.y <= ClipYMax + 1e-9;
}

TEST_F(ClipTest, WorldToCanvasCentresThePanPoint) {
  CanvasWidth = 800;
  CanvasHeight = 600;
  CanvasPoint o = WorldToCanvas(0, 0);
  EXPECT_DOUBLE_EQ(o.x, 400);
  EXPECT_DOUBLE_EQ(o.y, 300);
  CanvasPoint p = WorldToCanvas(10, 10);
  EXPECT_DOUBLE_EQ(p.x, 410);
  EXPECT_DOUBLE_EQ(p.y, 290);

  // Round trip through the inverse mapping (canvas y downwards, world y upwards).
  ZoomPxPerMm = 3.7;
  PanX = 5.0;
  PanY = -2.0;
  for (double x : {-20.0, 0.0, 5.0, 31.25}) {
    for (double y : {-7.5, -2.0, 0.0, 12.0}) {
      CanvasPoint c = WorldToCanvas(x, y);
      EXPECT_NEAR(PanX + (c.x - 400) / ZoomPxPerMm, x, 1e-12);
      EXPECT_NEAR(PanY - (c.y - 300) / ZoomPxPerMm, y, 1e-12);
    }
  }
  // The pan point is the canvas centre at every zoom.
  CanvasPoint centre = WorldToCanvas(5.0, -2.0);
  EXPECT_DOUBLE_EQ(centre.x, 400);
  EXPECT_DOUBLE_EQ(centre.y, 300);
}

TEST_F(ClipTest, ClipBoxIsTheCanvasGrownBy40Pixels) {
  SetCanvasClipBox(840, 660);
  EXPECT_EQ(ClipXMin, -40);
  EXPECT_EQ(ClipYMin, -40);
  EXPECT_EQ(ClipXMax, 880);
  EXPECT_EQ(ClipYMax, 700);
  EXPECT_TRUE(IsPointInClipRect({-40, 700}));
  EXPECT_TRUE(IsPointInClipRect({880, -40}));
  EXPECT_FALSE(IsPointInClipRect({-40.001, 0}));
  EXPECT_FALSE(IsPointInClipRect({0, 700.001}));
  EXPECT_FALSE(IsPointInClipRect({kNaN, 0}));
  EXPECT_FALSE(IsPointInClipRect({0, kNaN}));
}

// Clipping a rectangle to the box is the intersection of two rectangles, whose
// area and extent are known in closed form.
struct RectCase {
  const char* name;
  double x0, y0, x1, y1;  // rectangle corners, counter-clockwise walk
};

TEST_F(ClipTest, PolygonsCrossingEdgesAndCornersAreCutToTheBox) {
  const RectCase cases[] = {
      {"inside", 0, 0, 50, 30},
      {"across left edge", -100, 10, 20, 60},
      {"across right edge", 100, 10, 300, 60},
      {"across top edge", 10, -90, 60, 20},
      {"across bottom edge", 10, 90, 60, 400},
      {"over top-left corner", -80, -80, 0, 0},
      {"over bottom-right corner", 120, 130, 200, 200},
      {"covers the whole box", -1000, -1000, 1000, 1000},
      {"outside left", -200, 0, -50, 50},
      {"outside below", 0, 150, 50, 300},
  };
  for (const RectCase& c : cases) {
    SCOPED_TRACE(c.name);
    cairo_new_path(canvas.cr());
    CanvasPointList poly{{c.x0, c.y0}, {c.x1, c.y0}, {c.x1, c.y1}, {c.x0, c.y1}};
    AddClippedPolygonToPath(canvas.cr(), poly);
    const double ix0 = std::max(c.x0, ClipXMin), ix1 = std::min(c.x1, ClipXMax);
    const double iy0 = std::max(c.y0, ClipYMin), iy1 = std::min(c.y1, ClipYMax);
    std::vector<SubPath> path = ReadPath(canvas.cr());
    if (ix0 >= ix1 || iy0 >= iy1) {
      EXPECT_TRUE(path.empty());
      EXPECT_TRUE(poly.empty());
      continue;
    }
    ASSERT_EQ(path.size(), 1u);
    EXPECT_TRUE(path[0].closed);
    EXPECT_NEAR(std::fabs(test::PolygonArea(path[0].points)), (ix1 - ix0) * (iy1 - iy0), 1e-9);
    double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
    for (const PathPoint& p : path[0].points) {
      xmin = std::min(xmin, p.x);
      xmax = std::max(xmax, p.x);
      ymin = std::min(ymin, p.y);
      ymax = std::max(ymax, p.y);
    }
    EXPECT_NEAR(xmin, ix0, 1e-9);
    EXPECT_NEAR(xmax, ix1, 1e-9);
    EXPECT_NEAR(ymin, iy0, 1e-9);
    EXPECT_NEAR(ymax, iy1, 1e-9);
    EXPECT_EQ(poly.size(), path[0].points.size());
  }
}

TEST_F(ClipTest, PolygonCoveringTheBoxBecomesTheBox) {
  CanvasPointList poly{{-1e7, -1e7}, {1e7, -1e7}, {1e7, 1e7}, {-1e7, 1e7}};
  AddClippedPolygonToPath(canvas.cr(), poly);
  ASSERT_EQ(poly.size(), 4u);
  for (const CanvasPoint& p : poly) {
    EXPECT_TRUE(p.x == ClipXMin || p.x == ClipXMax) << p.x;
    EXPECT_TRUE(p.y == ClipYMin || p.y == ClipYMax) << p.y;
  }
}

TEST_F(ClipTest, TriangleOverACornerKeepsTheCutArea) {
  // The triangle x <= 0, y <= 0, x + y >= -k cut by x >= -40, y >= -40: the
  // square [-40, 0]^2, less the corner triangle where x + y < -k once k < 80.
  CanvasPointList poly{{-100, 0}, {0, 0}, {0, -100}};
  AddClippedPolygonToPath(canvas.cr(), poly);
  std::vector<SubPath> path = ReadPath(canvas.cr());
  ASSERT_EQ(path.size(), 1u);
  EXPECT_NEAR(std::fabs(test::PolygonArea(path[0].points)), 40.0 * 40.0, 1e-9);
  cairo_new_path(canvas.cr());
  CanvasPointList poly2{{-90, 0}, {0, 0}, {0, -90}};
  AddClippedPolygonToPath(canvas.cr(), poly2);
  path = ReadPath(canvas.cr());
  ASSERT_EQ(path.size(), 1u);
  EXPECT_NEAR(std::fabs(test::PolygonArea(path[0].points)), 1600.0, 1e-9);
  cairo_new_path(canvas.cr());
  CanvasPointList poly3{{-70, 0}, {0, 0}, {0, -70}};
  AddClippedPolygonToPath(canvas.cr(), poly3);
  path = ReadPath(canvas.cr());
  ASSERT_EQ(path.size(), 1u);
  // x + y >= -70 inside [-40, 0]^2: the square less the corner triangle with legs 10.
  EXPECT_NEAR(std::fabs(test::PolygonArea(path[0].points)), 1600.0 - 50.0, 1e-9);
}

TEST_F(ClipTest, PolygonDropsNonFinitePoints) {
  const double bad[][2] = {{kNaN, 10}, {10, kNaN}, {kInf, 10}, {10, -kInf}};
  for (const auto& b : bad) {
    cairo_new_path(canvas.cr());
    CanvasPointList poly{{0, 0}, {50, 0}, {b[0], b[1]}, {50, 30}, {0, 30}};
    AddClippedPolygonToPath(canvas.cr(), poly);
    std::vector<SubPath> path = ReadPath(canvas.cr());
    ASSERT_EQ(path.size(), 1u);
    EXPECT_NEAR(std::fabs(test::PolygonArea(path[0].points)), 1500.0, 1e-9);
    for (const PathPoint& p : path[0].points) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
  }
  // Fewer than 3 finite points: nothing.
  cairo_new_path(canvas.cr());
  CanvasPointList poly{{0, 0}, {kNaN, kNaN}, {50, 0}};
  AddClippedPolygonToPath(canvas.cr(), poly);
  EXPECT_TRUE(ReadPath(canvas.cr()).empty());
}

struct SegmentCase {
  const char* name;
  CanvasPoint p0, p1;
  bool visible;
  double t0, t1;
};

TEST_F(ClipTest, LiangBarskySegments) {
  // Box -40 .. 140; t values from the crossing points worked by hand.
  const SegmentCase cases[] = {
      {"inside", {0, 0}, {100, 50}, true, 0, 1},
      {"enters at left", {-140, 50}, {60, 50}, true, 0.5, 1},
      {"leaves at right", {40, 50}, {240, 50}, true, 0, 0.5},
      {"enters at top", {50, -140}, {50, 60}, true, 0.5, 1},
      {"leaves at bottom", {50, 40}, {50, 240}, true, 0, 0.5},
      {"through two corners", {-140, -140}, {240, 240}, true, 100.0 / 380.0, 280.0 / 380.0},
      {"both ends outside, crossing", {-240, 50}, {260, 50}, true, 0.4, 0.76},
      {"wholly left", {-100, -100}, {-50, 200}, false, 0, 0},
      {"misses a corner", {-100, 0}, {0, -100}, false, 0, 0},
      {"touches a corner", {-60, -20}, {-20, -60}, true, 0.5, 0.5},
      {"along the left edge", {-40, 0}, {-40, 100}, true, 0, 1},
      {"along the bottom edge, longer", {-100, 140}, {200, 140}, true, 0.2, 0.8},
      {"a point inside", {10, 10}, {10, 10}, true, 0, 1},
      {"a point outside", {-50, 10}, {-50, 10}, false, 0, 0},
      {"NaN start", {kNaN, 10}, {10, 10}, false, 0, 0},
      {"infinite end", {10, 10}, {10, kInf}, false, 0, 0},
  };
  for (const SegmentCase& c : cases) {
    SCOPED_TRACE(c.name);
    bool v = ClipSegmentToViewRect(c.p0, c.p1);
    EXPECT_EQ(v, c.visible);
    if (v && c.visible) {
      EXPECT_NEAR(ClipT0, c.t0, 1e-12);
      EXPECT_NEAR(ClipT1, c.t1, 1e-12);
    }
  }
}

TEST_F(ClipTest, PolylineBreaksWhereItLeavesTheBoxAndResumesWhereItReturns) {
  // In, out past the right edge, back in: two sub-paths, every point in the box.
  CanvasPointList line{{0, 50}, {100, 50}, {300, 50}, {300, 80}, {100, 80}, {0, 80}};
  AddPolylineToPath(canvas.cr(), line, false);
  std::vector<SubPath> path = ReadPath(canvas.cr());
  ASSERT_EQ(path.size(), 2u);
  EXPECT_FALSE(path[0].closed);
  EXPECT_DOUBLE_EQ(path[0].points.front().x, 0);
  EXPECT_DOUBLE_EQ(path[0].points.back().x, 140);
  EXPECT_DOUBLE_EQ(path[0].points.back().y, 50);
  EXPECT_DOUBLE_EQ(path[1].points.front().x, 140);
  EXPECT_DOUBLE_EQ(path[1].points.front().y, 80);
  EXPECT_DOUBLE_EQ(path[1].points.back().x, 0);

  // A closed polyline inside: one sub-path that returns to its start with a
  // line, not with close_path.
  cairo_new_path(canvas.cr());
  AddPolylineToPath(canvas.cr(), {{0, 0}, {50, 0}, {50, 50}}, true);
  path = ReadPath(canvas.cr());
  ASSERT_EQ(path.size(), 1u);
  EXPECT_FALSE(path[0].closed);
  ASSERT_EQ(path[0].points.size(), 4u);
  EXPECT_DOUBLE_EQ(path[0].points[3].x, 0);
  EXPECT_DOUBLE_EQ(path[0].points[3].y, 0);

  // A NaN vertex breaks the line and nothing of it reaches the path.
  cairo_new_path(canvas.cr());
  AddPolylineToPath(canvas.cr(), {{0, 0}, {50, 0}, {kNaN, 20}, {50, 50}, {0, 50}}, false);
  path = ReadPath(canvas.cr());
  ASSERT_EQ(path.size(), 2u);
  for (const SubPath& s : path)
    for (const PathPoint& p : s.points) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));

  // One point adds nothing.
  cairo_new_path(canvas.cr());
  AddPolylineToPath(canvas.cr(), {{0, 0}}, true);
  EXPECT_TRUE(ReadPath(canvas.cr()).empty());
}

TEST_F(ClipTest, LineOfActionPointsFollowTheLine) {
  CanvasWidth = 200;
  CanvasHeight = 100;
  ZoomPxPerMm = 2.0;
  ContactGeometry g;
  g.originX = 3.0;
  g.originY = -4.0;
  g.directionX = 0.6;
  g.directionY = 0.8;
  // s = 5 from (3, -4) along (0.6, 0.8) is the world point (6, 0).
  CanvasPoint p = LineOfActionPointToCanvas(g, 5.0);
  EXPECT_NEAR(p.x, 100 + 12, 1e-12);
  EXPECT_NEAR(p.y, 50, 1e-12);
}

double Dist(const CanvasPoint& a, const CanvasPoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }

TEST_F(ClipTest, CirclesThatCannotShowAddNothing) {
  CanvasPointList pts;
  EXPECT_FALSE(BuildVisibleCircleArc(pts, false, 0, 0, 0.0));
  EXPECT_TRUE(pts.empty());
  EXPECT_FALSE(BuildVisibleCircleArc(pts, false, 0, 0, -3.0));
  EXPECT_FALSE(BuildVisibleCircleArc(pts, false, 0, 0, kNaN));
  EXPECT_FALSE(BuildVisibleCircleArc(pts, false, kNaN, 0, 5.0));
  // Far away: the box centre is 10000 px from the centre of a 1 px circle.
  EXPECT_FALSE(BuildVisibleCircleArc(pts, false, 10000, 0, 1.0));
  // The box wholly inside a huge circle: its line passes far outside.
  EXPECT_FALSE(BuildVisibleCircleArc(pts, false, 0, 0, 1e6));
  AddCircleToPath(canvas.cr(), 0, 0, 0.0);
  AddCircleToPath(canvas.cr(), 10000, 0, 1.0);
  AddCircleToPath(canvas.cr(), 0, 0, 1e6);
  EXPECT_TRUE(ReadPath(canvas.cr()).empty());
}

TEST_F(ClipTest, SmallCircleIsClosedWithoutRepeatingItsFirstPoint) {
  for (double r : {3.0, 40.0}) {
    SCOPED_TRACE(r);
    CanvasPointList pts;
    ASSERT_TRUE(BuildVisibleCircleArc(pts, /*addCentre=*/true, 0, 0, r));
    ASSERT_GE(pts.size(), 8u);
    const CanvasPoint c = WorldToCanvas(0, 0);
    for (const CanvasPoint& p : pts) EXPECT_NEAR(Dist(p, c), r, 1e-9);  // no centre added for a whole circle
    EXPECT_GT(Dist(pts.front(), pts.back()), 1e-6);
    // Chord error: about a quarter pixel at most, never coarser than 5 degrees.
    const double step = std::atan2(pts[1].y - c.y, pts[1].x - c.x) - std::atan2(pts[0].y - c.y, pts[0].x - c.x);
    EXPECT_LE(r * (1 - std::cos(std::fabs(step) / 2)), 0.25 + 1e-9);
    EXPECT_LE(std::fabs(step), 5.0 * 3.14159265358979 / 180.0 + 1e-12);

    cairo_new_path(canvas.cr());
    AddCircleToPath(canvas.cr(), 0, 0, r);
    std::vector<SubPath> path = ReadPath(canvas.cr());
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0].points.size(), pts.size() + 1);  // back to the first point
    EXPECT_DOUBLE_EQ(path[0].points.back().x, path[0].points.front().x);
    EXPECT_DOUBLE_EQ(path[0].points.back().y, path[0].points.front().y);
  }
}

TEST_F(ClipTest, HugeCircleCrossingTheViewIsAnOpenArc) {
  // Centre 1e6 px below the canvas, line through the canvas centre.
  const double r = 1e6;
  CanvasPointList pts;
  ASSERT_TRUE(BuildVisibleCircleArc(pts, false, 0, -r, r));
  ASSERT_GE(pts.size(), 9u);
  const CanvasPoint c = WorldToCanvas(0, -r);
  for (const CanvasPoint& p : pts) EXPECT_NEAR(Dist(p, c), r, 1e-6);
  // Both ends beyond the box, so the cut ends never show.
  EXPECT_FALSE(IsPointInClipRect(pts.front()));
  EXPECT_FALSE(IsPointInClipRect(pts.back()));
  // Chords stay within about a quarter pixel of the circle.
  for (size_t i = 1; i < pts.size(); ++i) {
    CanvasPoint mid{(pts[i - 1].x + pts[i].x) / 2, (pts[i - 1].y + pts[i].y) / 2};
    EXPECT_LE(r - Dist(mid, c), 0.25 + 1e-3);
  }

  AddCircleToPath(canvas.cr(), 0, -r, r);
  std::vector<SubPath> path = ReadPath(canvas.cr());
  ASSERT_EQ(path.size(), 1u);
  EXPECT_FALSE(path[0].closed);
  for (const PathPoint& p : path[0].points) EXPECT_TRUE(InsideBox(p)) << p.x << ", " << p.y;
  // It runs across the whole box: from the left edge to the right edge.
  EXPECT_NEAR(std::min(path[0].points.front().x, path[0].points.back().x), ClipXMin, 1e-6);
  EXPECT_NEAR(std::max(path[0].points.front().x, path[0].points.back().x), ClipXMax, 1e-6);

  // With the centre flag: a sector, the centre last.
  ASSERT_TRUE(BuildVisibleCircleArc(pts, true, 0, -r, r));
  EXPECT_DOUBLE_EQ(pts.back().x, c.x);
  EXPECT_DOUBLE_EQ(pts.back().y, c.y);
}

TEST_F(ClipTest, HugeZoomPathsStayInsideTheClipBox) {
  // A 20 mm circle polygon and circle line at 100000 px/mm seen near its edge.
  ZoomPxPerMm = 100000;
  PanX = 10.0;
  PanY = 0.0005;
  CanvasPointList poly;
  for (int i = 0; i < 720; ++i) {
    double a = 2 * 3.14159265358979 * i / 720;
    poly.push_back(WorldToCanvas(10 * std::cos(a), 10 * std::sin(a)));
  }
  AddClippedPolygonToPath(canvas.cr(), poly);
  AddCircleToPath(canvas.cr(), 0, 0, 10.0);
  AddSegmentToPath(canvas.cr(), -1e9, -1e9, 1e9, 1e9);
  std::vector<SubPath> path = ReadPath(canvas.cr());
  ASSERT_GE(path.size(), 2u);
  for (const SubPath& s : path)
    for (const PathPoint& p : s.points) EXPECT_TRUE(InsideBox(p)) << p.x << ", " << p.y;
}

}  // namespace
}  // namespace kovrex
