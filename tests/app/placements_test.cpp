// Body placements for the drive angle: gear 2 and the rack stay in mesh with the
// pinion and the ring turns with it, proved by rasterising each body on its own
// and counting pixels that both cover; and the red root-section marks.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/canvas_clip.h"
#include "app/canvas_scenes.h"
#include "app/placements.h"
#include "capacity/strength_types.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"
#include "support/canvas_probe.h"
#include "support/sample_bodies.h"
#include "support/test_support.h"

namespace kovrex {
namespace {

using test::MakeGear;
using test::MakeRack;
using test::MakeRing;

using test::ImageCanvas;

constexpr int kSide = 600;

class PlacementTest : public test::KovrexTest {
 protected:
  void View(double panX, double panY, double zoom) {
    CanvasWidth = kSide;
    CanvasHeight = kSide;
    SetCanvasClipBox(kSide, kSide);
    PanX = panX;
    PanY = panY;
    ZoomPxPerMm = zoom;
  }

  // Fills one placed body alone, even-odd, opaque black.
  static void Rasterise(ImageCanvas& c, const BodyPlacement& b) {
    c.Clear();
    cairo_new_path(c.cr());
    cairo_set_fill_rule(c.cr(), CAIRO_FILL_RULE_EVEN_ODD);
    AddGearFillPath(c.cr(), *b.body, b.x, b.y, b.rotation);
    cairo_set_source_rgba(c.cr(), 0, 0, 0, 1);
    cairo_fill(c.cr());
  }

  // Pixels covered more than half by each of the two bodies; with play on every
  // flank two meshing bodies share none.
  static int SharedPixels(const BodyPlacement& a, const BodyPlacement& b, int* coveredA = nullptr) {
    ImageCanvas ca(kSide, kSide), cb(kSide, kSide);
    Rasterise(ca, a);
    Rasterise(cb, b);
    const std::vector<uint8_t> alphaA = ca.Alphas(), alphaB = cb.Alphas();
    int shared = 0, covered = 0;
    for (size_t i = 0; i < alphaA.size(); ++i) {
      const bool inA = alphaA[i] >= 128;
      covered += inA ? 1 : 0;
      if (inA && alphaB[i] >= 128) ++shared;
    }
    if (coveredA != nullptr) *coveredA = covered;
    return shared;
  }

  static std::vector<double> DriveAngles() { return {0.0, 0.05, 0.11, 0.2, 0.37, 1.0, 2.5, 4.1}; }
};

TEST_F(PlacementTest, Gear2IsTurnedHalfATurnAndHalfAPitch) {
  Gear1.toothCount = 20;
  Gear2.toothCount = 40;
  DriveAngle = 0.0;
  EXPECT_DOUBLE_EQ(ComputeGear2Angle(), kPi + kPi / 40.0);
  // It turns back at the ratio 20/40.
  DriveAngle = 0.3;
  EXPECT_NEAR(ComputeGear2Angle(), kPi + kPi / 40.0 - 0.15, 1e-15);
  Gear2.toothCount = 0;
  EXPECT_TRUE(std::isfinite(ComputeGear2Angle()));
}

TEST_F(PlacementTest, PlacementTableOfEveryMode) {
  Gear1.toothCount = 20;
  Gear2.toothCount = 40;
  RingGear.toothCount = 60;
  PairCentreDistance = 61.5;
  InternalCentreDistance = 40.25;
  DriveAngle = 0.6;
  BodyPlacement p[2];
  DisplayMode = 0;
  EXPECT_EQ(ComputeBodyPlacements(p), 0);
  DisplayMode = 2;
  ASSERT_EQ(ComputeBodyPlacements(p), 1);
  EXPECT_EQ(p[0].body, &Gear1);
  EXPECT_DOUBLE_EQ(p[0].rotation, 0.6);
  DisplayMode = 1;
  ASSERT_EQ(ComputeBodyPlacements(p), 2);
  EXPECT_EQ(p[1].body, &Gear2);
  EXPECT_DOUBLE_EQ(p[1].x, 61.5);
  EXPECT_NEAR(p[1].rotation, kPi + kPi / 40 - 0.3, 1e-15);
  DisplayMode = 4;
  ASSERT_EQ(ComputeBodyPlacements(p), 2);
  EXPECT_EQ(p[0].body, &RingGear);  // the ring first, under the pinion
  EXPECT_NEAR(p[0].rotation, 0.6 * 20 / 60, 1e-15);
  EXPECT_EQ(p[1].body, &Gear1);
  EXPECT_DOUBLE_EQ(p[1].x, 40.25);
  EXPECT_DOUBLE_EQ(p[1].rotation, 0.6);
  DisplayMode = 3;
  MakeGear(Gear1, 2.0, 20);
  Gear1.profileShift = 0.5;
  MakeRack(Rack, 2.0, 10, 12.0);
  ASSERT_EQ(ComputeBodyPlacements(p), 2);
  EXPECT_EQ(p[1].body, &Rack);
  EXPECT_DOUBLE_EQ(p[1].y, -(20.0 + 0.5 * 2.0));  // pitch line below the pinion, moved by x·m
  EXPECT_DOUBLE_EQ(p[1].rotation, 0.0);
}

TEST_F(PlacementTest, ExternalPairTeethInterlockAtEveryDriveAngle) {
  // z1 = 20, z2 = 40, m = 2 at the reference centre distance 60: the tips reach
  // 2 mm past each other's pitch circle, so bodies that never share a pixel
  // must interlock.
  MakeGear(Gear1, 2.0, 20, /*allowance=*/0.2);
  MakeGear(Gear2, 2.0, 40, /*allowance=*/0.2);
  PairCentreDistance = 60.0;
  DisplayMode = 1;
  View(20.0, 0.0, 20.0);  // 30 mm around the pitch point
  for (double t : DriveAngles()) {
    SCOPED_TRACE(t);
    DriveAngle = t;
    BodyPlacement p[2];
    ASSERT_EQ(ComputeBodyPlacements(p), 2);
    int covered = 0;
    EXPECT_EQ(SharedPixels(p[0], p[1], &covered), 0);
    EXPECT_GT(covered, 1000);
    // Half a pitch off, tooth meets tooth: the test sees it.
    p[1].rotation += kPi / 40.0;
    EXPECT_GT(SharedPixels(p[0], p[1]), 500);
  }
}

TEST_F(PlacementTest, RackMeshesForOddAndEvenToothCounts) {
  MakeGear(Gear1, 2.0, 20, /*allowance=*/0.2);
  DisplayMode = 3;
  View(0.0, -20.0, 20.0);  // around the pitch point below the pinion
  for (int64_t n : {1, 3, 4, 7, 20}) {
    MakeRack(Rack, 2.0, n, 10.0, /*allowance=*/0.2);
    for (double t : DriveAngles()) {
      SCOPED_TRACE("n = " + std::to_string(n) + ", t = " + std::to_string(t));
      DriveAngle = t;
      BodyPlacement p[2];
      ASSERT_EQ(ComputeBodyPlacements(p), 2);
      int covered = 0;
      EXPECT_EQ(SharedPixels(p[1], p[0], &covered), 0);
      EXPECT_GT(covered, 1000);  // the rack is in view, under the pinion
      p[1].x += kPi * 2.0 / 2.0;  // half a pitch off
      EXPECT_GT(SharedPixels(p[1], p[0]), 300);
    }
  }
}

TEST_F(PlacementTest, RackShiftRollsAndJumpsBackByWholePitches) {
  MakeGear(Gear1, 2.0, 20);
  const double pt = kPi * 2.0;
  struct Case {
    int64_t n;
    int jumpPitches;  // max(1, n div 4)
  } cases[] = {{1, 1}, {3, 1}, {4, 1}, {7, 1}, {8, 2}, {20, 5}, {41, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    MakeRack(Rack, 2.0, c.n, 10.0);
    const double r = Gear1.pitchRadius;
    double previous = ComputeRackShift(Gear1, Rack, 0.0);
    int jumps = 0, badJumps = 0, outOfMesh = 0, offCentre = 0;
    const double dt = 1e-3;
    for (int i = 1; i <= 20000; ++i) {
      const double t = i * dt;
      const double shift = ComputeRackShift(Gear1, Rack, t);
      const double step = shift - previous;
      if (std::fabs(step - r * dt) > 1e-9) {
        // Anything but rolling is a jump back by max(1, n div 4) pitches.
        ++jumps;
        if (std::fabs(step - (r * dt - c.jumpPitches * pt)) > 1e-9) ++badJumps;
      }
      // The rack's tooth spaces (at whole pitches of its own frame) stay under
      // the pinion's teeth, which pass the pitch point at r·(t + pi/2) + k·pt.
      if (std::fabs(std::remainder(shift - r * (t + kPi / 2.0), pt)) > 1e-9) ++outOfMesh;
      // And the rack stays centred under the pinion.
      if (std::fabs(shift + c.n * pt / 2.0) > c.jumpPitches * pt / 2.0 + pt / 2.0 + 1e-9) ++offCentre;
      previous = shift;
    }
    EXPECT_EQ(badJumps, 0);
    EXPECT_EQ(outOfMesh, 0);
    EXPECT_EQ(offCentre, 0);
    EXPECT_GT(jumps, 0);
  }
  // No pitch: no shift and no NaN.
  Rack = GearRecord{};
  EXPECT_EQ(ComputeRackShift(Gear1, Rack, 1.0), 0.0);
}

TEST_F(PlacementTest, RingTurnsWithThePinionAtTheRatio) {
  // Pinion 20 in a ring of 60, m = 2, at a = r2 - r1 = 40.
  MakeGear(Gear1, 2.0, 20, /*allowance=*/0.2);
  MakeRing(RingGear, 2.0, 60, /*rimWidth=*/8.0, /*allowance=*/0.2);
  InternalCentreDistance = 40.0;
  DisplayMode = 4;
  View(60.0, 0.0, 20.0);
  for (double t : DriveAngles()) {
    SCOPED_TRACE(t);
    DriveAngle = t;
    BodyPlacement p[2];
    ASSERT_EQ(ComputeBodyPlacements(p), 2);
    EXPECT_NEAR(p[0].rotation, t / 3.0, 1e-15);
    int covered = 0;
    EXPECT_EQ(SharedPixels(p[1], p[0], &covered), 0);
    EXPECT_GT(covered, 1000);
    p[0].rotation += kPi / 60.0;  // ring half a pitch off
    EXPECT_GT(SharedPixels(p[1], p[0]), 300);
  }
}

// Root sections: a vertical red mark for a tooth pointing along +x.
class RootSectionTest : public PlacementTest {
 protected:
  void SetUp() override {
    PlacementTest::SetUp();
    StrengthWindowOpen = 1;
    StrengthResultGlobal.ok = 1;
    for (RootSectionResult& s : StrengthResultGlobal.rootSection) {
      s.found = 1;
      s.sectionHalfWidth = 1.5;
    }
  }
  static bool Red(const ImageCanvas& c, const CanvasPoint& p) {
    return test::NearColour(c.At(static_cast<int>(p.x), static_cast<int>(p.y)), 220, 0, 0, 8);
  }
  static void Paint(ImageCanvas& c) {
    c.Clear();
    DrawRootSectionMarkers(c.cr());
  }
};

TEST_F(RootSectionTest, MarksTurnWithTheGearsOfAPair) {
  Gear1.toothCount = 20;
  Gear2.toothCount = 40;
  PairCentreDistance = 60.0;
  DisplayMode = 1;
  StrengthResultGlobal.rootSection[0].sectionPosition = 17.0;
  StrengthResultGlobal.rootSection[1].sectionPosition = 37.0;
  View(30.0, 0.0, 8.0);
  ImageCanvas c(kSide, kSide);
  for (double t : {0.0, 0.4}) {
    SCOPED_TRACE(t);
    DriveAngle = t;
    Paint(c);
    // Gear 1: across the tooth centre line at 17 mm from the axis, direction t.
    EXPECT_TRUE(Red(c, WorldToCanvas(17.0 * std::cos(t), 17.0 * std::sin(t))));
    const double a2 = kPi + kPi / 40.0 - t / 2.0;
    EXPECT_TRUE(Red(c, WorldToCanvas(60.0 + 37.0 * std::cos(a2), 37.0 * std::sin(a2))));
    // Ends at the half width, perpendicular to the centre line.
    const double ex = 17.0 * std::cos(t) + 1.2 * std::sin(t), ey = 17.0 * std::sin(t) - 1.2 * std::cos(t);
    EXPECT_TRUE(Red(c, WorldToCanvas(ex, ey)));
    EXPECT_FALSE(Red(c, WorldToCanvas(17.0 * std::cos(t) + 2.5 * std::sin(t), 17.0 * std::sin(t) - 2.5 * std::cos(t))));
  }
}

TEST_F(RootSectionTest, RackAndRingMarks) {
  MakeGear(Gear1, 2.0, 20);
  MakeRack(Rack, 2.0, 8, 10.0);
  DisplayMode = 3;
  DriveAngle = 0.0;
  StrengthResultGlobal.rootSection[1].sectionPosition = -2.0;  // below the rack's pitch line
  View(0.0, -20.0, 10.0);
  ImageCanvas c(kSide, kSide);
  Paint(c);
  const double x0 = ComputeRackShift(Gear1, Rack, 0.0) + kPi * 2.0 / 2.0;
  EXPECT_TRUE(Red(c, WorldToCanvas(x0, -22.0)));
  EXPECT_TRUE(Red(c, WorldToCanvas(x0 + 1.2, -22.0)));

  // Ring: its section position is negative (measured towards the inside); the
  // mark lies on the ring's tooth centre line at (t·z1 - pi)/z2.
  MakeRing(RingGear, 2.0, 60, 8.0);
  InternalCentreDistance = 40.0;
  DisplayMode = 4;
  DriveAngle = 0.9;
  StrengthResultGlobal.rootSection[1].sectionPosition = -62.5;
  StrengthResultGlobal.rootSection[0].found = 0;
  View(0.0, 0.0, 4.0);
  Paint(c);
  const double a = (0.9 * 20 - kPi) / 60;
  EXPECT_TRUE(Red(c, WorldToCanvas(62.5 * std::cos(a), 62.5 * std::sin(a))));
}

TEST_F(RootSectionTest, NoMarksForHelicalGearsSingleGearOrClosedWindow) {
  Gear1.toothCount = 20;
  Gear2.toothCount = 40;
  PairCentreDistance = 60.0;
  StrengthResultGlobal.rootSection[0].sectionPosition = 17.0;
  View(17.0, 0.0, 8.0);
  ImageCanvas c(kSide, kSide);
  const CanvasPoint centre{kSide / 2.0, kSide / 2.0};
  DisplayMode = 1;
  Paint(c);
  ASSERT_TRUE(Red(c, centre));  // the control: a spur pair with the window open
  struct Case {
    const char* name;
    void (*set)();
  } cases[] = {
      {"helical", [] { Gear1.helixAngle = 10.0 * kPi / 180.0; }},
      {"single gear", [] { DisplayMode = 2; }},
      {"window closed", [] { StrengthWindowOpen = 0; }},
      {"no result", [] { StrengthResultGlobal.ok = 0; }},
      {"not found", [] { StrengthResultGlobal.rootSection[0].found = 0; }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DisplayMode = 1;
    Gear1.helixAngle = 0.0;
    StrengthWindowOpen = 1;
    StrengthResultGlobal.ok = 1;
    StrengthResultGlobal.rootSection[0].found = 1;
    k.set();
    Paint(c);
    EXPECT_FALSE(Red(c, centre));
  }
}

}  // namespace
}  // namespace kovrex
