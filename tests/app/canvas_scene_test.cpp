// The canvas paint of every display mode, probed pixel by pixel in a Cairo image
// surface: body colours, holes of the even-odd fill, hint and footer, the line of
// action with its points, and zoom to fit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/canvas.h"
#include "app/canvas_clip.h"
#include "app/canvas_scenes.h"
#include "app/controls.h"
#include "app/placements.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/line_of_action.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"
#include "support/canvas_probe.h"
#include "support/sample_bodies.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex {
namespace {

using test::MakeGear;
using test::MakeRack;
using test::MakeRing;

using test::ImageCanvas;
using test::NearColour;
using test::Rgba;

constexpr Rgba kBackground{250, 250, 252, 255};
constexpr int kW = 400, kH = 400;

bool IsBackground(const Rgba& c) { return NearColour(c, 250, 250, 252, 1); }
bool IsBlue(const Rgba& c) { return NearColour(c, 140, 175, 220); }
bool IsOrange(const Rgba& c) { return NearColour(c, 235, 185, 110); }
bool IsGreenDot(const Rgba& c) { return NearColour(c, 0, 170, 70); }

// src with alpha a (0..255) over an opaque dst, as Cairo's OVER composes it.
Rgba Over(const Rgba& src, int a, const Rgba& dst) {
  auto mix = [a](int s, int d) { return static_cast<int>(std::lround((s * a + d * (255 - a)) / 255.0)); };
  return {mix(src.r, dst.r), mix(src.g, dst.g), mix(src.b, dst.b), 255};
}

class SceneTest : public test::KovrexTest {
 public:
  void SetUp() override {
    KovrexTest::SetUp();
    store.SetState(GadgetLineOfAction, 1);
    store.SetSize(GadgetCanvas, kW, kH);
  }
  void Paint() {
    PaintCanvas(canvas.cr(), kW, kH);
    // KOVREX_DUMP_CANVAS=1 writes every painted canvas to /tmp, for a person to look at.
    static int n = 0;
    if (std::getenv("KOVREX_DUMP_CANVAS") != nullptr) cairo_surface_write_to_png(canvas.surface(), ("/tmp/scene_" + std::to_string(n++) + ".png").c_str());
  }
  Rgba At(double worldX, double worldY) const {
    CanvasWidth = kW;
    CanvasHeight = kH;
    const CanvasPoint p = WorldToCanvas(worldX, worldY);
    return canvas.At(static_cast<int>(p.x), static_cast<int>(p.y));
  }
  // A polar world point about (cx, cy).
  Rgba AtPolar(double cx, double cy, double r, double deg) const {
    const double a = deg * kPi / 180.0;
    return At(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  bool FooterHasInk() const {
    for (int y = kH - 24; y < kH - 6; ++y)
      for (int x = 10; x < 300; ++x)
        if (!IsBackground(canvas.At(x, y))) return true;
    return false;
  }

  // Gear 1: z 20, m 2, bore 10 (r 20, r_a 22, r_f 17.5).
  static void MakePinion() { MakeGear(Gear1, 2.0, 20, /*allowance=*/0.2, /*bore=*/10.0); }
  void Single() {
    MakePinion();
    DisplayMode = 2;
    ZoomPxPerMm = 8.0;
  }
  void SingleKeyed() {
    Single();
    Gear1.keywayWidth = 3.0;
    Gear1.keywayDepth = 1.4;
  }
  void Pair() {
    MakePinion();
    MakeGear(Gear2, 2.0, 40, /*allowance=*/0.2, /*bore=*/16.0);
    PairCentreDistance = 60.0;
    DisplayMode = 1;
    ZoomPxPerMm = 4.0;
    PanX = 30.0;
  }
  void RackMode() {
    MakePinion();
    MakeRack(Rack, 2.0, 10, 10.0, /*allowance=*/0.2);
    DisplayMode = 3;
    ZoomPxPerMm = 4.0;
    PanY = -10.0;
  }
  void Internal() {
    MakePinion();
    MakeRing(RingGear, 2.0, 60, /*rimWidth=*/8.0, /*allowance=*/0.2);  // r_f 62.5, rim 70.5
    InternalCentreDistance = 40.0;
    DisplayMode = 4;
    ZoomPxPerMm = 2.5;
  }

  ImageCanvas canvas{kW, kH};
};

TEST_F(SceneTest, NothingDisplayedShowsOnlyTheHint) {
  DisplayMode = 0;
  MakePinion();  // a valid record is not drawn in mode 0
  Paint();
  EXPECT_FALSE(FooterHasInk());
  int ink = 0, inkOutsideHint = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      if (IsBackground(canvas.At(x, y))) continue;
      ++ink;
      if (y < 15 || y > 50) ++inkOutsideHint;
    }
  EXPECT_GT(ink, 50);  // the hint text, at (20, 20) in Sans 16
  EXPECT_EQ(inkOutsideHint, 0);
  EXPECT_EQ(canvas.At(kW / 2, kH / 2), kBackground);
}

TEST_F(SceneTest, BodiesAreFilledInTheirColoursWithBoresAsHoles) {
  struct Probe {
    double x, y, r, deg;  // polar about (x, y)
    bool (*expect)(const Rgba&);
    const char* what;
  };
  struct Case {
    const char* name;
    void (SceneTest::*setup)();
    std::vector<Probe> probes;
  };
  const Case cases[] = {
      {"single gear",
       &SceneTest::Single,
       {{0, 0, 12, 30, IsBlue, "body"},
        {0, 0, 21, 18, IsBlue, "tooth 1 between pitch and tip"},
        {0, 0, 21, 9, IsBackground, "space between teeth 0 and 1"},
        {0, 0, 3.5, 45, IsBackground, "bore"},
        {0, 0, 30, 40, IsBackground, "outside the tip circle"}}},
      {"pair",
       &SceneTest::Pair,
       {{0, 0, 12, 30, IsBlue, "gear 1 body"},
        {0, 0, 3.5, 45, IsBackground, "bore 1"},
        {60, 0, 25, 120, IsOrange, "gear 2 body"},
        {60, 0, 5, 135, IsBackground, "bore 2"}}},
      {"pinion and rack",
       &SceneTest::RackMode,
       {{0, 0, 12, 30, IsBlue, "pinion body"},
        {0, -26, 6, 0, IsOrange, "rack body under the pinion"},
        {0, -26, 16, 180, IsOrange, "rack body to the left"}}},
      {"internal pair",
       &SceneTest::Internal,
       {{0, 0, 66, 135, IsOrange, "ring rim"},
        {0, 0, 42, 150, IsBackground, "inside the ring"},
        {40, 0, 12, 30, IsBlue, "pinion body"},
        {40, 0, 3.5, 45, IsBackground, "pinion bore"},
        {0, 0, 80, 100, IsBackground, "outside the rim"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    store.SetState(GadgetLineOfAction, 0);
    (this->*c.setup)();
    Paint();
    for (const Probe& p : c.probes) {
      const Rgba got = AtPolar(p.x, p.y, p.r, p.deg);
      EXPECT_TRUE(p.expect(got)) << p.what << ": " << got.r << "," << got.g << "," << got.b;
    }
    EXPECT_TRUE(FooterHasInk());
  }
}

TEST_F(SceneTest, RackToothSitsInThePinionsToothSpace) {
  // At DriveAngle 0 the pinion (z = 20: a tooth every 18 degrees from 0) has a
  // tooth straight down; the rack has a space there and teeth half a pitch to
  // either side.
  RackMode();
  ZoomPxPerMm = 20.0;
  PanY = -20.0;
  Paint();
  EXPECT_TRUE(IsBlue(At(0.3, -21.0)));  // pinion tooth below the rack's pitch line (x = 0: the cross)
  EXPECT_TRUE(IsOrange(At(kPi, -19.5)));
  EXPECT_TRUE(IsOrange(At(-kPi, -19.5)));
  EXPECT_TRUE(IsBackground(At(kPi, -17.6))) << "tip clearance between rack tooth and pinion root";
}

TEST_F(SceneTest, LineOfActionOverlayFollowsTheCheckBox) {
  struct Case {
    const char* name;
    void (SceneTest::*setup)();
    bool overlay;  // with the box on
  };
  const Case cases[] = {{"pair", &SceneTest::Pair, true},
                        {"pinion and rack", &SceneTest::RackMode, true},
                        {"internal pair", &SceneTest::Internal, true},
                        {"single gear", &SceneTest::Single, false}};
  const Rgba pink = Over({220, 40, 150, 255}, 230, kBackground);
  for (const Case& c : cases) {
    for (int box : {1, 0}) {
      SCOPED_TRACE(std::string(c.name) + (box ? ", box on" : ", box off"));
      ResetAllState();
      store.SetState(GadgetLineOfAction, box);
      (this->*c.setup)();
      PanX = 1000.0;  // bodies far out of view: only the legend can reach the corner
      Paint();
      const bool legend = box == 1 && c.overlay;
      EXPECT_EQ(NearColour(canvas.At(26, 10), pink.r, pink.g, pink.b), legend);
      EXPECT_EQ(NearColour(canvas.At(26, 30), 200, 0, 0), legend);
      EXPECT_EQ(NearColour(canvas.At(26, 50), 0, 170, 70), legend);
      if (!legend) {
        EXPECT_TRUE(IsBackground(canvas.At(26, 30)));
      }
    }
  }
  // Overlays need both bodies valid.
  ResetAllState();
  store.SetState(GadgetLineOfAction, 1);
  Pair();
  Gear2.valid = 0;
  Paint();
  EXPECT_TRUE(IsBackground(canvas.At(26, 30)));
}

TEST_F(SceneTest, CurrentContactsLieWhereTheFlanksTouch) {
  // Every green contact dot of the pair lies on the boundary between the two
  // bodies: within a few pixels there is blue and there is orange.
  Pair();
  ZoomPxPerMm = 40.0;
  PanX = 20.0;
  for (double t : {0.0, 0.07, 0.13}) {
    SCOPED_TRACE(t);
    DriveAngle = t;
    Paint();
    ContactGeometry g;
    ASSERT_EQ(ComputePairLineOfAction(Gear1, Gear2, g, PairCentreDistance, DriveAngle), 0);
    ASSERT_GE(g.contactCount, 1);
    for (int64_t i = 0; i < g.contactCount; ++i) {
      const CanvasPoint p = LineOfActionPointToCanvas(g, g.contactPositions[i]);
      EXPECT_TRUE(IsGreenDot(canvas.At(static_cast<int>(p.x), static_cast<int>(p.y))));
      bool blue = false, orange = false;
      for (int dy = -9; dy <= 9; ++dy)
        for (int dx = -9; dx <= 9; ++dx) {
          const Rgba q = canvas.At(static_cast<int>(p.x) + dx, static_cast<int>(p.y) + dy);
          blue = blue || IsBlue(q);
          orange = orange || IsOrange(q);
        }
      EXPECT_TRUE(blue && orange) << "contact " << i;
    }
  }
}

TEST_F(SceneTest, KeyedBoreIsAHoleThatTurnsWithTheGear) {
  Single();
  Gear1.keywayWidth = 3.0;
  Gear1.keywayDepth = 1.4;  // keyway floor at 6.4 mm from the axis, on the +x axis of the gear
  for (double t : {0.5, 2.0}) {
    SCOPED_TRACE(t);
    DriveAngle = t;
    ZoomPxPerMm = 8.0;
    Paint();
    const double deg = t * 180.0 / kPi;
    EXPECT_TRUE(IsBackground(AtPolar(0, 0, 5.8, deg))) << "in the keyway";
    EXPECT_TRUE(IsBlue(AtPolar(0, 0, 5.8, deg + 90))) << "beside the bore, away from the keyway";
    EXPECT_TRUE(IsBlue(AtPolar(0, 0, 7.2, deg))) << "beyond the keyway floor";
    EXPECT_TRUE(IsBackground(AtPolar(0, 0, 3.0, deg + 45))) << "in the bore";
    // Deep inside the keyway at the highest zoom: still a hole.
    ZoomPxPerMm = 100000.0;
    PanX = 5.9 * std::cos(t);
    PanY = 5.9 * std::sin(t);
    Paint();
    EXPECT_TRUE(IsBackground(canvas.At(kW / 2, kH / 2)));
    EXPECT_TRUE(IsBackground(canvas.At(5, 5)));
    PanX = PanY = 0.0;
  }
}

TEST_F(SceneTest, ARegeneratedGearIsDrawnAnewAtTheSameZoom) {
  // The screen keeps a thinned copy of each outline per zoom; a new outline with
  // the same zoom must not be drawn from the old copy.
  Single();
  Paint();
  EXPECT_TRUE(IsBackground(AtPolar(0, 0, 24.3, 18))) << "beyond the tip of m = 2";
  MakeGear(Gear1, 2.5, 20, /*allowance=*/0.2, /*bore=*/10.0);
  Paint();
  EXPECT_TRUE(IsBlue(AtPolar(0, 0, 24.3, 18))) << "inside tooth 1 of m = 2.5";
  MakePinion();
  Paint();
  EXPECT_TRUE(IsBackground(AtPolar(0, 0, 24.3, 18)));
}

TEST_F(SceneTest, InvalidRecordsAreNotDrawn) {
  Pair();
  Gear1.valid = 0;
  Gear2.valid = 0;
  Paint();
  EXPECT_TRUE(IsBackground(AtPolar(0, 0, 12, 30)));
  EXPECT_TRUE(IsBackground(AtPolar(60, 0, 25, 30)));
  EXPECT_TRUE(FooterHasInk());
}

TEST_F(SceneTest, ViewsDeepInsideABoreOrARim) {
  struct Case {
    const char* name;
    void (SceneTest::*setup)();
    double panX, panY;
    bool (*expect)(const Rgba&);
  };
  const double d = 66.0 / std::sqrt(2.0);
  const Case cases[] = {
      {"inside the bore", &SceneTest::Single, 2.5, 2.5, IsBackground},
      {"inside the gear's body", &SceneTest::Single, 9.0, 7.0, IsBlue},
      {"inside the ring's rim, outside its teeth", &SceneTest::Internal, -d, d, IsOrange},
      {"inside the ring, away from teeth and pinion", &SceneTest::Internal, -30.0, 30.0, IsBackground},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    (this->*c.setup)();
    ZoomPxPerMm = 100000.0;
    PanX = c.panX;
    PanY = c.panY;
    Paint();
    for (int y : {5, kH / 2, kH - 40})
      for (int x : {5, kW / 2, kW - 5}) EXPECT_TRUE(c.expect(canvas.At(x, y))) << x << "," << y;
  }
}

// Every point of every path handed to Cairo, checked against the clip box.
struct PathBounds {
  static inline int outside = 0;
  static inline int points = 0;
  static void Check(cairo_t* cr) {
    for (const test::SubPath& s : test::ReadPath(cr))
      for (const test::PathPoint& p : s.points) {
        ++points;
        // A labelled dot or contact circle (radius up to 5.5 px) is drawn only
        // around a point inside the box, so its arc may reach 5.5 px beyond it.
        const double slack = s.curved ? 6.0 : 1e-6;
        if (p.x < ClipXMin - slack || p.x > ClipXMax + slack || p.y < ClipYMin - slack || p.y > ClipYMax + slack)
          ++outside;
      }
  }
};

TEST_F(SceneTest, AtTheHighestZoomNothingOutsideTheClipBoxReachesCairo) {
  struct Case {
    const char* name;
    void (SceneTest::*setup)();
    double panX, panY;
  };
  // Each view sits on a flank or a circle, so that clipped shapes cross it.
  const Case cases[] = {
      {"single gear, pitch circle and cross", &SceneTest::Single, 0.0, 20.0},
      {"single gear, bore edge", &SceneTest::Single, 0.0, 5.0},
      {"single gear, keyway corner", &SceneTest::SingleKeyed, 6.4, 1.5},
      {"pair, pitch point", &SceneTest::Pair, 20.0, 0.0},
      {"rack, pitch line", &SceneTest::RackMode, 0.3, -20.0},
      {"internal, rim edge", &SceneTest::Internal, -70.5, 0.0},
      {"internal, pitch point", &SceneTest::Internal, 60.0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    (this->*c.setup)();
    ZoomPxPerMm = 100000.0;
    PanX = c.panX;
    PanY = c.panY;
    PathBounds::outside = 0;
    PathBounds::points = 0;
    CanvasPathObserver = &PathBounds::Check;
    Paint();
    CanvasPathObserver = nullptr;
    EXPECT_EQ(PathBounds::outside, 0);
    EXPECT_GT(PathBounds::points, 0);
  }
}

TEST_F(SceneTest, FooterShowsTheZoomInBothLanguages) {
  ZoomPxPerMm = 13.636363;
  EXPECT_EQ(CanvasFooterText(), "Wheel = zoom   drag = pan   double-click = fit   (13.64 px/mm)");
  SetTextLanguageForTest(true);
  EXPECT_EQ(CanvasFooterText(), "Wiel = zoomen   slepen = verschuiven   dubbelklik = passend   (13.64 px/mm)");
}

// A horizontal line of action across the middle of a 600 x 200 canvas: world
// x = s, on the pixel row 100 (PanY puts the line half a pixel down, so that a
// 1 px line covers that row fully).
TEST_F(SceneTest, PathOfContactIsDrawnOverTheUsableFlanksOnly) {
  // A 10-tooth pinion on the rack is undercut: the rack's tip line cuts the line of
  // action 3.4 mm before the pinion's involute begins. That stretch is no contact
  // and is drawn as bare line; the path starts where the involute does.
  MakeGear(Gear1, 2.0, 10);
  MakeRack(Rack, 2.0, 10, 10.0);
  DisplayMode = 3;
  ZoomPxPerMm = 20.0;
  ContactGeometry g;
  ASSERT_EQ(ComputeRackLineOfAction(Gear1, Rack, g, DriveAngle), 0);
  ASSERT_GT(g.positionA - g.tipPositionA, 3.0);
  const double pb = g.positionD - g.positionA;
  auto pinkAt = [&](double s) {
    PanX = g.originX + s * g.directionX;
    PanY = g.originY + s * g.directionY;
    Paint();
    const CanvasPoint p = LineOfActionPointToCanvas(g, s);
    const Rgba c = canvas.At(static_cast<int>(p.x), static_cast<int>(p.y));
    return c.r > 180 && c.g < 100 && c.b > 110;
  };
  EXPECT_FALSE(pinkAt((g.tipPositionA + g.positionA) / 2));
  EXPECT_FALSE(pinkAt(g.positionA - 0.5));
  EXPECT_TRUE(pinkAt(g.positionA + 0.05 * pb));
  EXPECT_TRUE(pinkAt(g.positionE - 0.05 * pb));
}

class LineOfActionTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    CanvasWidth = 600;
    CanvasHeight = 200;
    SetCanvasClipBox(600, 200);
    ZoomPxPerMm = 10.0;
    PanX = 25.0;
    PanY = 0.05;
    g.originX = 0.0;
    g.originY = 0.0;
    g.directionX = 1.0;
    g.directionY = 0.0;
    g.lineLength = 50.0;
    g.positionA = 10.0;
    g.positionB = 22.0;
    g.positionC = 25.0;
    g.positionD = 28.0;
    g.positionE = 40.0;
    g.contactCount = 2;
    g.contactPositions[0] = 15.0;
    g.contactPositions[1] = 35.0;
  }
  void Draw(const std::string& label) {
    wide.Clear();
    cairo_set_source_rgb(wide.cr(), 250 / 255.0, 250 / 255.0, 252 / 255.0);
    cairo_paint(wide.cr());
    DrawLineOfAction(wide.cr(), g, label);
  }
  Rgba OnLine(double s) const {
    const CanvasPoint p = LineOfActionPointToCanvas(g, s);
    return wide.At(static_cast<int>(p.x), static_cast<int>(p.y));
  }
  ContactGeometry g;
  ImageCanvas wide{600, 200};
};

const Rgba kLineColour{80, 80, 90, 255};
const Rgba kPink{220, 40, 150, 255};
bool IsDot(const Rgba& c) { return NearColour(c, 40, 40, 50); }
bool IsRed(const Rgba& c) { return NearColour(c, 200, 0, 0); }
bool IsGreen(const Rgba& c) { return NearColour(c, 0, 170, 70); }

TEST_F(LineOfActionTest, SegmentsPointsAndContacts) {
  Draw("T2");
  const Rgba line = Over(kLineColour, 220, kBackground);
  const Rgba pink = Over(kPink, 230, line);
  EXPECT_TRUE(NearColour(OnLine(5.0), line.r, line.g, line.b)) << "T1 to A";
  EXPECT_TRUE(NearColour(OnLine(12.5), pink.r, pink.g, pink.b)) << "A to B";
  EXPECT_TRUE(IsRed(OnLine(23.5))) << "B to D";
  EXPECT_TRUE(NearColour(OnLine(45.0), line.r, line.g, line.b)) << "E to T2";
  for (double s : {0.0, 10.0, 22.0, 25.0, 28.0, 40.0, 49.8}) EXPECT_TRUE(IsDot(OnLine(s))) << "dot at " << s;
  EXPECT_TRUE(IsGreen(OnLine(15.0)));
  EXPECT_TRUE(IsGreen(OnLine(35.0)));
  EXPECT_TRUE(IsBackground(OnLine(-3.0))) << "nothing before T1";
  // The label sits 9 px off the line on the side of its normal, (dy, dx) = (0, 1)
  // here: below the line. Nothing is drawn above it.
  bool inkBelow = false, inkAbove = false;
  const CanvasPoint c = LineOfActionPointToCanvas(g, 25.0);
  for (int y = 0; y < 200; ++y)
    for (int x = static_cast<int>(c.x) - 2; x < static_cast<int>(c.x) + 10; ++x) {
      if (IsBackground(wide.At(x, y))) continue;
      if (y > c.y + 5) inkBelow = true;
      if (y < c.y - 5) inkAbove = true;
    }
  EXPECT_TRUE(inkBelow);
  EXPECT_FALSE(inkAbove);
}

TEST_F(LineOfActionTest, PointsOutsideThePathOfContactAreNotLabelled) {
  // Contact ratio below 1: B = E - pb lies before A, D = A + pb after E; no
  // single-contact zone is drawn as D < B.
  g.positionB = 8.0;
  g.positionD = 42.0;
  Draw("");
  EXPECT_FALSE(IsDot(OnLine(8.0)));
  EXPECT_FALSE(IsDot(OnLine(42.0)));
  EXPECT_TRUE(IsRed(OnLine(23.5)));  // D > B: the zone runs from A to E
  EXPECT_FALSE(IsDot(OnLine(49.8))) << "no T2 label without a label text";

  g.positionB = 30.0;
  g.positionD = 20.0;
  Draw("");
  EXPECT_FALSE(IsRed(OnLine(23.5))) << "D < B: no single-contact zone";
  EXPECT_TRUE(IsDot(OnLine(20.0))) << "D inside A-E keeps its label";
  EXPECT_TRUE(IsDot(OnLine(30.0))) << "B inside A-E keeps its label";
}

TEST_F(LineOfActionTest, LegendInTheTopLeftCorner) {
  wide.Clear();
  cairo_set_source_rgb(wide.cr(), 250 / 255.0, 250 / 255.0, 252 / 255.0);
  cairo_paint(wide.cr());
  DrawLineOfActionLegend(wide.cr(), Tx(TextId::CanvasLegendOperatingCircles));
  const Rgba pink = Over(kPink, 230, kBackground);
  EXPECT_TRUE(NearColour(wide.At(26, 10), pink.r, pink.g, pink.b));
  EXPECT_TRUE(IsRed(wide.At(26, 30)));
  EXPECT_TRUE(IsGreen(wide.At(26, 50)));
  int ink = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 48; x < 500; ++x) ink += IsBackground(wide.At(x, y)) ? 0 : 1;
  EXPECT_GT(ink, 100);
}

// Zoom to fit: pan and zoom from the bounding box of the display mode, 20 px
// margin left and right and 30 px top and bottom (840 x 660 canvas).
TEST_F(SceneTest, ZoomToFitBoxesOfEveryMode) {
  struct Case {
    const char* name;
    std::function<void()> setup;
    double panX, panY, zoom;
  };
  const double halfRack = 10 * kPi * 2.0 / 2.0 + kPi * 2.0;  // L/2 + pi·m_t
  const Case cases[] = {
      {"single gear d_a 44", [] { DisplayMode = 2; Gear1.tipRadius = 22.0; }, 0.0, 0.0, 600.0 / 44.0},
      {"pair", [] { DisplayMode = 1; Gear1.tipRadius = 22.0; Gear2.tipRadius = 42.0; PairCentreDistance = 60.0; },
       40.0, 0.0, 800.0 / 124.0},
      {"pinion and rack",
       [] {
         DisplayMode = 3;
         MakeGear(Gear1, 2.0, 20);
         Gear1.profileShift = 0.25;
         MakeRack(Rack, 2.0, 10, 10.0);
       },
       0.0, (22.0 - 20.5 - 10.0) / 2.0, std::min(800.0 / (2 * halfRack), 600.0 / (22.0 + 30.5))},
      {"internal pair", [] { DisplayMode = 4; RingGear.rimRadius = 70.5; }, 0.0, 0.0, 600.0 / 141.0},
      {"internal pair, rim below 1 mm", [] { DisplayMode = 4; RingGear.rimRadius = 0.4; }, 0.0, 0.0, 300.0},
  };
  store.SetSize(GadgetCanvas, 840, 660);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    c.setup();
    ZoomToFit();
    EXPECT_NEAR(PanX, c.panX, 1e-12);
    EXPECT_NEAR(PanY, c.panY, 1e-12);
    EXPECT_NEAR(ZoomPxPerMm, c.zoom, 1e-12);
  }
  ResetAllState();
  DisplayMode = 2;
  Gear1.tipRadius = 22.0;
  ZoomToFit();
  EXPECT_NEAR(ZoomPxPerMm, 13.636363636363637, 1e-12);
}

TEST_F(SceneTest, ZoomToFitKeepsTheZoomWhenTheBoxGivesNoScale) {
  struct Case {
    const char* name;
    int w, h;
    std::function<void()> setup;
  };
  const Case cases[] = {
      {"box of size 0", 840, 660, [] { DisplayMode = 2; }},
      {"canvas narrower than the margin", 30, 30, [] { DisplayMode = 2; Gear1.tipRadius = 22.0; }},
      {"NaN radius", 840, 660, [] { DisplayMode = 2; Gear1.tipRadius = std::nan(""); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    store.SetSize(GadgetCanvas, c.w, c.h);
    c.setup();
    ZoomPxPerMm = 2.5;
    ZoomToFit();
    EXPECT_EQ(ZoomPxPerMm, 2.5);
    EXPECT_TRUE(std::isfinite(PanX) && std::isfinite(PanY));
  }
  // Nothing displayed: nothing changes.
  ResetAllState();
  DisplayMode = 0;
  PanX = 7.0;
  ZoomPxPerMm = 3.0;
  ZoomToFit();
  EXPECT_EQ(PanX, 7.0);
  EXPECT_EQ(ZoomPxPerMm, 3.0);
}

TEST_F(SceneTest, AfterZoomToFitEveryBodyIsOnTheCanvasWithinItsMargin) {
  struct Case {
    const char* name;
    void (SceneTest::*setup)();
  };
  const Case cases[] = {{"single", &SceneTest::Single}, {"pair", &SceneTest::Pair}, {"rack", &SceneTest::RackMode},
                        {"internal", &SceneTest::Internal}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAllState();
    store.SetState(GadgetLineOfAction, 0);
    (this->*c.setup)();
    ZoomToFit();
    Paint();
    // The body colours stay 20 px from the sides and 30 px from top and bottom,
    // and reach within a few pixels of the tighter margin.
    int outsideMargin = 0, nearestSide = kW;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const Rgba p = canvas.At(x, y);
        if (!IsBlue(p) && !IsOrange(p)) continue;
        if (x < 19 || x > kW - 19 || y < 29 || y > kH - 29) ++outsideMargin;
        nearestSide = std::min({nearestSide, x - 20, kW - 20 - x, y - 30, kH - 30 - y});
      }
    EXPECT_EQ(outsideMargin, 0);
    EXPECT_LE(nearestSide, 4);
  }
}

}  // namespace
}  // namespace kovrex
