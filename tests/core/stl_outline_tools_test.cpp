// The planar tools of the STL meshes on small fixtures whose answers are known by
// hand: the closing-duplicate and junction rules of the flattening, Douglas-Peucker
// at its exact tolerance and with a zero chord, and ear clipping (triangle count,
// orientation and area of every face, slits, the ending without ears, and no
// slivers on nearly straight runs).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "export/outline_tools.h"
#include "geometry/gear_record.h"

namespace kovrex {
namespace {

struct ToolCase {
  const char* name;
  std::function<void()> check;
};

void PrintTo(const ToolCase& c, std::ostream* out) { *out << c.name; }

GearRecord Outline(std::vector<std::vector<OutlinePoint>> lines) {
  GearRecord g;
  for (auto& l : lines) g.outline.push_back(OutlinePolyline{l});
  return g;
}

double PolygonArea(const std::vector<int64_t>& poly, const std::vector<double>& x, const std::vector<double>& y) {
  double a = 0.0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const int64_t p = poly[i], q = poly[(i + 1) % poly.size()];
    a += x[p] * y[q] - x[q] * y[p];
  }
  return a / 2.0;
}

// h - 2 triangles, each counter-clockwise, together covering the polygon's area,
// every edge of the polygon in one of them. Returns the least altitude of any.
double ExpectFullTriangulation(const std::vector<int64_t>& poly, const std::vector<double>& x,
                               const std::vector<double>& y, double minHeight = 0.0) {
  FaceTriangleList t;
  TriangulatePolygon(poly, x, y, t, minHeight);
  EXPECT_EQ(t.size(), 3 * (poly.size() - 2));
  double sum = 0.0, thinnest = 1e300;
  std::multiset<std::pair<int64_t, int64_t>> edges;
  for (size_t i = 0; i + 2 < t.size(); i += 3) {
    const double a = CrossProduct2D(x[t[i]], y[t[i]], x[t[i + 1]], y[t[i + 1]], x[t[i + 2]], y[t[i + 2]]) / 2.0;
    EXPECT_GT(a, 0.0) << "triangle " << i / 3;
    sum += a;
    double longest = 0.0;
    for (int k = 0; k < 3; ++k) {
      const int64_t p = t[i + k], q = t[i + (k + 1) % 3];
      edges.insert({p, q});
      longest = std::max(longest, std::hypot(x[q] - x[p], y[q] - y[p]));
    }
    thinnest = std::min(thinnest, 2.0 * a / longest);
  }
  EXPECT_NEAR(sum, PolygonArea(poly, x, y), 1e-12);
  for (size_t i = 0; i < poly.size(); ++i)
    EXPECT_EQ(edges.count({poly[i], poly[(i + 1) % poly.size()]}), 1u) << "polygon edge " << i;
  return thinnest;
}

// The same for the clipping alone and with every triangle counted thin, so that
// each face is flipped as far as it goes and must still be whole.
void ExpectFullTriangulationFlippedOrNot(const std::vector<int64_t>& poly, const std::vector<double>& x,
                                         const std::vector<double>& y) {
  ExpectFullTriangulation(poly, x, y);
  ExpectFullTriangulation(poly, x, y, 1e9);
}

// A straight run of points bulging out by a few nanometres, from (0, 0) to
// (1.8, 0), under an apex: given starting on the run, the first ears are its
// corners of almost 180 degrees, and clipping fans slivers from (0, 0).
void StraightRunUnderAnApex(int points, double bulge, std::vector<int64_t>& poly, std::vector<double>& x,
                            std::vector<double>& y) {
  for (int i = 0; i <= points; ++i) {
    const double u = 1.8 * i / points;
    x.push_back(u);
    y.push_back(-bulge * u * (1.8 - u));
  }
  x.push_back(0.9);
  y.push_back(1.0);
  for (int i = 1; i <= points + 1; ++i) poly.push_back(i);
  poly.push_back(0);
}

const ToolCase kCases[] = {
    {"ClosingPointWithin1e9IsDropped",
     [] {
       std::vector<double> x, y;
       std::vector<uint8_t> f;
       CollectOutlinePoints(Outline({{{0, 0}, {1, 0}, {1, 1}}, {{1, 1}, {0, 1}, {5e-10, -5e-10}}}), x, y, f);
       ASSERT_EQ(x.size(), 4u);
       EXPECT_EQ(f, (std::vector<uint8_t>{1, 0, 1, 0})) << "start and the junction (1, 1) are break points";
       EXPECT_EQ(x[2], 1.0);
       EXPECT_EQ(y[2], 1.0);
     }},
    {"ClosingPoint1e9AwayIsKept",
     [] {
       std::vector<double> x, y;
       std::vector<uint8_t> f;
       CollectOutlinePoints(Outline({{{0, 0}, {1, 0}, {1, 1}, {1e-9, 0}}}), x, y, f);
       EXPECT_EQ(x.size(), 4u);
     }},
    {"StraightRunKeepsItsEnds",
     [] {
       std::vector<double> x, y;
       for (int i = 0; i <= 10; ++i) {
         x.push_back(i);
         y.push_back(0.0);
       }
       std::vector<uint8_t> keep(x.size(), 0);
       SimplifyPolylineDouglasPeucker(x, y, 0, 10, keep, 1e-9);
       EXPECT_EQ(keep, (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
     }},
    {"PointExactlyAtTheToleranceIsDropped",
     [] {
       // Distance of (1, 0.5) from the chord (0,0)-(2,0) is exactly 0.5.
       std::vector<double> x{0, 1, 2}, y{0, 0.5, 0};
       std::vector<uint8_t> keep(3, 0);
       SimplifyPolylineDouglasPeucker(x, y, 0, 2, keep, 0.5);
       EXPECT_EQ(keep[1], 0);
       SimplifyPolylineDouglasPeucker(x, y, 0, 2, keep, 0.4999999);
       EXPECT_EQ(keep[1], 1);
     }},
    {"ZeroChordMeasuresFromTheFirstPoint",
     [] {
       // Ends coincide: distances 1 and sqrt(0.29) from (0, 0); the farther stays,
       // then (0.5, 0.2) is 0.2 from the chord (1, 0)-(0, 0).
       std::vector<double> x{0, 1, 0.5, 0}, y{0, 0, 0.2, 0};
       std::vector<uint8_t> keep(4, 0);
       SimplifyPolylineDouglasPeucker(x, y, 0, 3, keep, 0.9);
       EXPECT_EQ(keep, (std::vector<uint8_t>{1, 1, 0, 1}));
     }},
    {"BreakPointsSurviveAndDroppedPointsMapToMinusOne",
     [] {
       // A square with extra points on its sides; (2, 1) is a break point on a
       // straight side and must stay.
       std::vector<double> x{0, 1, 2, 2, 2, 1, 0, 0}, y{0, 0, 0, 1, 2, 2, 2, 1};
       std::vector<uint8_t> f{0, 0, 0, 1, 0, 0, 0, 0};
       std::vector<double> xo, yo;
       std::vector<int64_t> map;
       const int64_t m = SimplifyPolyline(x, y, f, xo, yo, map, 1e-6);
       EXPECT_EQ(f[0], 1);
       EXPECT_EQ(m, 5);
       EXPECT_EQ(map, (std::vector<int64_t>{0, -1, 1, 2, 3, -1, 4, -1}));
       EXPECT_EQ(x.size(), 8u) << "the closing copy is removed again";
     }},
    {"TriangleIsAppendedUnchanged",
     [] {
       std::vector<double> x{0, 0, 1}, y{0, 1, 0};  // clockwise
       FaceTriangleList t;
       TriangulatePolygon({0, 1, 2}, x, y, t);
       // The same triangle in the same turning sense, starting anywhere.
       ASSERT_EQ(t.size(), 3u);
       const size_t at = static_cast<size_t>(std::find(t.begin(), t.end(), 0) - t.begin());
       ASSERT_LT(at, 3u);
       EXPECT_EQ(t[(at + 1) % 3], 1);
       EXPECT_EQ(t[(at + 2) % 3], 2);
     }},
    {"SquareGivesTwoTriangles",
     [] { ExpectFullTriangulationFlippedOrNot({0, 1, 2, 3}, {0, 1, 1, 0}, {0, 0, 1, 1}); }},
    {"CombOfTeeth",
     [] {
       // A base bar with 8 slim teeth: most corners are reflex, and ears must not
       // swallow the neighbouring teeth.
       std::vector<double> x{0, 17}, y{0, 0};
       for (int k = 8; k >= 1; --k) {
         const double left = 2.0 * k - 1.0;
         x.insert(x.end(), {left + 1.0, left + 1.0, left, left});
         y.insert(y.end(), {1.0, 5.0, 5.0, 1.0});
       }
       x.push_back(0);
       y.push_back(1);
       std::vector<int64_t> poly;
       for (size_t i = 0; i < x.size(); ++i) poly.push_back(static_cast<int64_t>(i));
       ExpectFullTriangulationFlippedOrNot(poly, x, y);
     }},
    {"SlitDoesNotBlockItsEars",
     [] {
       // Square ring cut open along a slit from corner 0 to inner corner 4: the
       // indices 0 and 4 occur twice.
       std::vector<double> x{0, 4, 4, 0, 1, 3, 3, 1}, y{0, 0, 4, 4, 1, 1, 3, 3};
       ExpectFullTriangulationFlippedOrNot({0, 1, 2, 3, 0, 4, 7, 6, 5, 4}, x, y);
     }},
    {"NoEarStillEnds",
     [] {
       // Given clockwise, every corner is reflex: the largest-corner rule clips
       // anyway and the polygon still yields h - 2 triangles.
       std::vector<double> x{0, 0, 1, 2, 2}, y{0, 2, 2.5, 2, 0};
       FaceTriangleList t;
       TriangulatePolygon({0, 1, 2, 3, 4}, x, y, t);
       EXPECT_EQ(t.size(), 9u);
       std::vector<double> cx{0, 1, 2, 3, 4}, cy{0, 0, 0, 0, 0};
       FaceTriangleList straight;
       TriangulatePolygon({0, 1, 2, 3, 4}, cx, cy, straight);
       EXPECT_EQ(straight.size(), 9u);
     }},
    {"StraightRunGivesNoSliver",
     [] {
       std::vector<int64_t> poly;
       std::vector<double> x, y;
       StraightRunUnderAnApex(20, 1e-8, poly, x, y);
       EXPECT_LT(ExpectFullTriangulation(poly, x, y), 1e-8) << "the fixture no longer makes slivers";
       // Flipped onto the fan from the apex: the thinnest triangle has the height
       // of a 0.09 mm run edge seen from 1 mm away.
       EXPECT_GT(ExpectFullTriangulation(poly, x, y, 1e-5), 0.05);
       std::vector<int64_t> longer;
       std::vector<double> lx, ly;
       StraightRunUnderAnApex(40, 1e-8, longer, lx, ly);
       ExpectFullTriangulationFlippedOrNot(longer, lx, ly);
     }},
    {"PointsFiveMicrometresApartAtTheEndOfARun",
     [] {
       // The ring's case: two outline points 5 um apart, the next 1.8 mm on along
       // the line through them, and the tooth's far side beyond.
       std::vector<double> x{-0.005e-3, 0.0, 1.8, 1.9, 0.9, -0.1}, y{1e-12, 0.0, 1e-9, 0.6, 1.2, 0.6};
       EXPECT_LT(ExpectFullTriangulation({1, 2, 3, 4, 5, 0}, x, y), 1e-9) << "the fixture no longer makes a sliver";
       EXPECT_GT(ExpectFullTriangulation({1, 2, 3, 4, 5, 0}, x, y, 1e-5), 1e-6);
     }},
    {"CloseNeighboursMergeIntoThePinnedOne",
     [] {
       std::vector<double> x{0, 1, 1 + 4e-6, 2, 2e-6}, y{0, 0, 0, 1, 0};
       std::vector<uint8_t> f{1, 1, 0, 0, 0}, pinned{0, 0, 1, 0, 0};
       MergeClosePoints(x, y, f, pinned, 1e-5);
       EXPECT_EQ(x, (std::vector<double>{0, 1 + 4e-6, 2}));
       EXPECT_EQ(f, (std::vector<uint8_t>{1, 1, 0}));
       EXPECT_EQ(pinned, (std::vector<uint8_t>{0, 1, 0}));
     }},
};

class StlOutlineTools : public ::testing::TestWithParam<ToolCase> {};

TEST_P(StlOutlineTools, Fixture) { GetParam().check(); }

INSTANTIATE_TEST_SUITE_P(Cases, StlOutlineTools, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ToolCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace kovrex
