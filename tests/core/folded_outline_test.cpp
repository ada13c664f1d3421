// The folded outline of the mesh check on two small hand-made outlines: a pinion
// of 6 teeth whose approach flank overhangs a pocket (two flank radii at one
// angle, as on an undercut tooth) and a ring of 8 spaces with sharp tip corners.
// Signed depths of points all around them are compared with the whole closed
// outline judged plainly: a horizontal ray's crossings for the side, the nearest
// of all segments (and of the ring's rim) for the distance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "geometry/folded_outline.h"
#include "geometry/gear_record.h"

namespace kovrex {
namespace {

OutlinePoint Polar(double r, double deg) { return {r * std::cos(deg * kDegToRad), r * std::sin(deg * kDegToRad)}; }

// A gear of z teeth whose tooth 0 (ring: space 0) runs through the polar points
// (radius, degrees) of its half from angle -180/z to 0, mirrored for the other
// half; one polyline per tooth (space), the first one first, counter-clockwise.
GearRecord HandMadeGear(int z, const std::vector<std::pair<double, double>>& half, bool ring, double rim) {
  GearRecord g;
  g.toothCount = z;
  g.normalModule = 1.0;
  g.isInternal = ring ? 1 : 0;
  g.rimRadius = rim;
  std::vector<std::pair<double, double>> tooth = half;
  for (auto it = half.rbegin() + 1; it != half.rend(); ++it) tooth.push_back({it->first, -it->second});
  for (int k = 0; k < z; ++k) {
    OutlinePolyline line;
    for (const auto& [r, deg] : tooth) line.points.push_back(Polar(r, deg + 360.0 * k / z));
    g.outline.push_back(line);
  }
  return g;
}

// The pinion: root chord at r 8, the approach flank leans out over the space to
// (9, -20 deg) before it rises to the tip corner at (10, -6 deg).
GearRecord OverhangPinion() { return HandMadeGear(6, {{8, -30}, {8, -14}, {9, -20}, {10, -6}, {10, 0}}, false, 0.0); }

// The ring: tip at r 10 from the tooth centre to the tip corner at (10, -15 deg),
// flank up to the root at r 12, space centre at 0.
GearRecord CornerRing() { return HandMadeGear(8, {{10, -22.5}, {10, -15}, {11, -12}, {12, -8}, {12, 0}}, true, 14.0); }

// The signed distance to the material of the whole closed outline, judged plainly.
double PlainSignedDistance(const GearRecord& g, OutlinePoint p) {
  std::vector<OutlinePoint> loop;
  for (const OutlinePolyline& line : g.outline)
    for (const OutlinePoint& q : line.points)
      if (loop.empty() || std::hypot(q.x - loop.back().x, q.y - loop.back().y) > 1e-12) loop.push_back(q);
  bool inLoop = false;
  double nearest = 1e300;
  for (size_t i = 0; i < loop.size(); ++i) {
    const OutlinePoint a = loop[i], b = loop[(i + 1) % loop.size()];
    if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) inLoop = !inLoop;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    nearest = std::min(nearest, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
  }
  if (g.isInternal == 0) return inLoop ? nearest : -nearest;
  const double r = std::hypot(p.x, p.y);
  if (r >= g.rimRadius) return -(r - g.rimRadius);
  return inLoop ? -nearest : std::min(nearest, g.rimRadius - r);
}

struct Probe {
  const char* what;
  double r, deg;
};

TEST(FoldedOutline, PocketUnderAnOverhangIsSpaceAndTheOverhangMaterial) {
  const GearRecord g = OverhangPinion();
  FoldedOutline f;
  ASSERT_TRUE(f.Build(g));
  // A radius per angle would read one flank radius at -17 deg and call all of
  // the pocket below the overhang material.
  const Probe probes[] = {
      {"in the pocket under the overhang", 8.3, -17},
      {"in the overhang", 8.8, -17},
      {"the same pocket on tooth 3, recess side", 8.3, 180 + 17},
      // Nearest to the corner itself, where neither segment's side alone tells.
      {"beside the tip corner", 10.02, -6.2},
      {"just inside the tip corner", 9.97, -5.5},
      {"deep in the tooth", 5.0, 3},
  };
  for (const Probe& p : probes) {
    const OutlinePoint q = Polar(p.r, p.deg);
    const double truth = PlainSignedDistance(g, q);
    const FoldedOutline::Depth d = f.SignedDepth(f.Fold(q));
    EXPECT_LE(truth, d.upper + 1e-12) << p.what;
    EXPECT_GE(truth, d.lower - 1e-12) << p.what;
    if (truth > -f.Band()) {
      EXPECT_NEAR(f.ExactSignedDepth(f.Fold(q)), truth, 1e-12) << p.what;
    }
  }
  EXPECT_LT(f.SignedDepth(f.Fold(Polar(8.3, -17))).upper, 0.0);
  EXPECT_GT(f.SignedDepth(f.Fold(Polar(8.8, -17))).lower, 0.0);
}

TEST(FoldedOutline, RadiiOfTheOutlinePolygon) {
  FoldedOutline pinion, ring;
  ASSERT_TRUE(pinion.Build(OverhangPinion()));
  ASSERT_TRUE(ring.Build(CornerRing()));
  // The root chords span 16 degrees, from the space centre to the flank; their
  // middles are nearest the centre.
  EXPECT_NEAR(pinion.MinRadius(), 8 * std::cos(8 * kDegToRad), 1e-12);
  EXPECT_NEAR(pinion.MaxRadius(), 10, 1e-12);
  // The ring's tip chords span 7.5 degrees.
  EXPECT_NEAR(ring.MinRadius(), 10 * std::cos(3.75 * kDegToRad), 1e-12);
  EXPECT_NEAR(ring.MaxRadius(), 12, 1e-12);
  // One half profile: from the centre line to the space (ring: tooth) centre.
  EXPECT_EQ(pinion.HalfProfile().size(), 5u);
  EXPECT_NEAR(pinion.HalfProfile().front().y, 0.0, 1e-15);
  EXPECT_NEAR(std::atan2(pinion.HalfProfile().back().y, pinion.HalfProfile().back().x), 30 * kDegToRad, 1e-12);
}

class FoldedOutlineAllAround : public ::testing::TestWithParam<bool> {};

TEST_P(FoldedOutlineAllAround, SignedDepthMatchesThePlainJudgement) {
  const bool ring = GetParam();
  const GearRecord g = ring ? CornerRing() : OverhangPinion();
  FoldedOutline f;
  ASSERT_TRUE(f.Build(g));
  std::mt19937 random(ring ? 7 : 5);
  // Half of the points all over, half close to the teeth.
  std::uniform_real_distribution<double> angle(-kPi, kPi), all(ring ? 8.0 : 4.0, ring ? 15.0 : 11.5),
      teeth(ring ? 9.8 : 7.8, ring ? 12.2 : 10.2);
  int exact = 0, near = 0;
  for (int i = 0; i < 20000; ++i) {
    const OutlinePoint p = Polar(i % 2 ? all(random) : teeth(random), angle(random) * kRadToDeg);
    const double truth = PlainSignedDistance(g, p);
    const OutlinePoint q = f.Fold(p);
    const FoldedOutline::Depth d = f.SignedDepth(q);
    SCOPED_TRACE(testing::Message() << "point (" << p.x << ", " << p.y << "), truth " << truth);
    // Never deeper than the truth, never shallower where it says so.
    EXPECT_LE(truth, d.upper + 1e-12);
    EXPECT_GE(truth, d.lower - 1e-12);
    if (d.Exact()) ++exact;
    // Exact wherever the point is near the outline or in the material.
    if (truth > -f.Band()) {
      EXPECT_NEAR(f.ExactSignedDepth(q), truth, 1e-12);
      ++near;
    }
  }
  // Enough of the points fell near the outline to mean something.
  EXPECT_GT(exact, 300) << near;
  EXPECT_GT(near, 1000) << exact;
}

INSTANTIATE_TEST_SUITE_P(PinionAndRing, FoldedOutlineAllAround, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Ring" : "Pinion"; });

TEST(FoldedOutline, RefusesAnOutlineWithoutAWholeFirstTooth) {
  FoldedOutline f;
  GearRecord none;
  none.toothCount = 6;
  none.normalModule = 1;
  EXPECT_FALSE(f.Build(none));
  // Tooth 0 cut off before its centre line.
  GearRecord cut = OverhangPinion();
  cut.outline.resize(1);
  cut.outline[0].points.resize(3);
  EXPECT_FALSE(f.Build(cut));
  GearRecord two = OverhangPinion();
  two.toothCount = 2;
  EXPECT_FALSE(f.Build(two));
}

}  // namespace
}  // namespace kovrex
