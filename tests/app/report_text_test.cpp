// Report text: every warning line with the condition that raises it and its
// absence on the other side of the condition, the fixed lines an engineer relies
// on, and no "nan", "inf" or negative zero in any line, whatever the records hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/report.h"
#include "app/report_text.h"
#include "geometry/arrangement_state.h"
#include "geometry/gear_record.h"
#include "geometry/line_of_action.h"
#include "numbers/number_text.h"
#include "support/report_lines.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex {
namespace {

using test::ContainsLines;
using test::FirstBadLine;
using test::KovrexTest;
using test::SplitLines;

// ---------------------------------------------------------------------------
// Records built by hand from the closed forms, so that each field can be set to
// just the value that raises or clears one warning. Every baseline below gives a
// report without a single warning line (checked by BaselinesHaveNoWarnings).

GearRecord HandGear(double m, int64_t z, double x, double betaDeg = 0.0, double k = 0.0) {
  GearRecord g;
  InitGearParams(g, m, z, x, 20.0, /*faceWidth=*/20.0, /*bore=*/0.0, k, betaDeg, /*hand=*/1);
  double an = g.pressureAngle, b = g.helixAngle;
  g.transverseModule = m / std::cos(b);
  g.transversePressureAngle = std::atan(std::tan(an) / std::cos(b));
  g.baseHelixAngle = std::asin(std::sin(b) * std::cos(an));
  g.pitchRadius = static_cast<double>(z) * g.transverseModule / 2.0;
  g.baseRadius = g.pitchRadius * std::cos(g.transversePressureAngle);
  g.toolProfileShift = x;
  g.pitchToothThickness = g.transverseModule * (kPi / 2.0 + 2.0 * x * std::tan(an));
  g.rootRadius = g.pitchRadius + x * m - 1.25 * m;
  g.tipRadius = g.pitchRadius + m * (1.0 + x - k);
  g.undercutLimitShift = ComputeMinProfileShift(z, 20.0, betaDeg);
  // Where the ISO 53 rack's straight flank, which ends (1.25 - 0.38 (1 - sin α_n)) m
  // below its datum, stops generating the involute (DIN 3960 d_Ff).
  const double at = g.transversePressureAngle;
  const double rollFf = g.pitchRadius * std::sin(at) - (1.25 - 0.38 * (1 - std::sin(an)) - x) * m / std::sin(at);
  g.involuteStartRadius = std::hypot(g.baseRadius, std::max(rollFf, 0.0));
  g.tipToothThickness = 2.0 * g.tipRadius * ComputeHalfToothAngleAtRadius(g, g.tipRadius);
  g.spanTeeth = 3;
  g.spanMeasurement = 15.0;
  g.spanContactRadius = g.pitchRadius;
  g.minFaceWidthForSpan = g.spanMeasurement * std::sin(g.baseHelixAngle);
  g.ballDiameter = 3.5;
  g.dimensionOverBalls = 2.0 * g.tipRadius + 1.0;
  g.ballContactRadius = g.pitchRadius;
  g.ballBeyondTipFlag = 1;
  g.valid = 1;
  return g;
}

GearRecord HandRack(double m, int64_t n, double height) {
  GearRecord r;
  InitGearParams(r, m, n, 0.0, 20.0, 20.0, 0.0, 0.0, 0.0, 1);
  r.isRack = 1;
  r.transverseModule = m;
  r.transversePressureAngle = r.pressureAngle;
  r.pitchToothThickness = kPi * m / 2.0;
  r.tipRadius = m;
  r.rootRadius = 1.25 * m;
  r.rackLength = static_cast<double>(n) * kPi * m;
  r.rackHeight = height;
  r.valid = 1;
  return r;
}

GearRecord HandRing(double m, int64_t z, double tipRadius) {
  GearRecord g;
  InitGearParams(g, m, z, 0.0, 20.0, 20.0, 0.0, 0.0, 0.0, 1);
  g.isInternal = 1;
  g.rootRadiusCoeff = 0.25;
  g.transverseModule = m;
  g.transversePressureAngle = g.pressureAngle;
  g.pitchRadius = static_cast<double>(z) * m / 2.0;
  g.baseRadius = g.pitchRadius * std::cos(g.pressureAngle);
  g.pitchToothThickness = kPi * m / 2.0;
  g.tipRadius = g.involuteStartRadius = tipRadius;
  g.tipShortening = (tipRadius - (g.pitchRadius - m)) / m;
  g.rootRadius = g.pitchRadius + 1.25 * m;
  g.rimRadius = g.rootRadius + 6.0;
  g.tipToothThickness = 2.0 * tipRadius * (kPi / static_cast<double>(z) - ComputeHalfToothAngleAtRadius(g, tipRadius));
  g.ballDiameter = 3.5;
  g.dimensionOverBalls = 2.0 * g.pitchRadius - 3.0;
  g.ballBeyondTipFlag = 1;
  g.valid = 1;
  return g;
}

// m 2, z 20 / 40 at the reference centre distance 60: εα about 1.6.
void SetPair() {
  Gear1 = HandGear(2.0, 20, 0.0);
  Gear2 = HandGear(2.0, 40, 0.0);
  Gear2.hand = -1;
  PairCentreDistance = 60.0;
  DisplayMode = static_cast<int>(DisplayKind::Pair);
}

void SetSingle() {
  Gear1 = HandGear(2.0, 20, 0.0);
  DisplayMode = static_cast<int>(DisplayKind::Single);
}

void SetRack() {
  Gear1 = HandGear(2.0, 20, 0.0);
  Rack = HandRack(2.0, 10, 20.0);
  DisplayMode = static_cast<int>(DisplayKind::PinionRack);
}

// z 20 in z 50, a 30, the ring tip raised to 48.6 so that it stays clear of the
// pinion's root fillet (A ≈ 2.2 mm beyond T1, the involute starts at ≈ 0.87 mm).
void SetInternal() {
  Gear1 = HandGear(2.0, 20, 0.0);
  RingGear = HandRing(2.0, 50, 48.6);
  InternalCentreDistance = 30.0;
  InternalPenetration = -1e9;
  DisplayMode = static_cast<int>(DisplayKind::Internal);
}

// Moves the tip circle of gear 2 until the contact ratio of the pair is exactly
// `target` in double arithmetic, so the report's boundary is tested where it is
// and not 1e-12 beside it. Returns false when no such tip radius was found.
bool TunePairContactRatio(double target) {
  auto ratio = [] { return ComputePairContactRatio(Gear1, Gear2, PairCentreDistance); };
  double lo = Gear2.baseRadius + 1e-6, hi = Gear2.pitchRadius + 3.0 * Gear2.normalModule;
  for (int i = 0; i < 200; ++i) {
    Gear2.tipRadius = 0.5 * (lo + hi);
    (ratio() < target ? lo : hi) = Gear2.tipRadius;
  }
  // The ratio moves in steps of several units in the last place per step of the
  // tip radius, so walk both tip radii over a small neighbourhood.
  auto ulpsAway = [](double v, int n) {
    for (; n > 0; --n) v = std::nextafter(v, 1e300);
    for (; n < 0; ++n) v = std::nextafter(v, -1e300);
    return v;
  };
  const double ra1 = Gear1.tipRadius, ra2 = Gear2.tipRadius;
  for (int i = -64; i <= 64; ++i) {
    for (int j = -64; j <= 64; ++j) {
      Gear1.tipRadius = ulpsAway(ra1, i);
      Gear2.tipRadius = ulpsAway(ra2, j);
      if (ratio() == target) return true;
    }
  }
  return false;
}

// Pair with ε_α = 0.9 (gear 2's tip lowered) and helical teeth of 10°.
void SetHelicalPairWithLowContactRatio(double faceWidth) {
  Gear1 = HandGear(2.0, 20, 0.0, 10.0);
  Gear2 = HandGear(2.0, 40, 0.0, 10.0);
  Gear2.hand = -1;
  Gear1.faceWidth = Gear2.faceWidth = faceWidth;
  PairCentreDistance = Gear1.pitchRadius + Gear2.pitchRadius;
  DisplayMode = static_cast<int>(DisplayKind::Pair);
  TunePairContactRatio(0.9);
}

// ---------------------------------------------------------------------------

struct WarningRow {
  const char* name;
  std::function<void()> setup;  // the baseline with the one change
  const char* english;          // the line(s) looked for, without the last line feed
  const char* dutch;
  bool shown;
};

class ReportWarnings : public KovrexTest {};

TEST_F(ReportWarnings, BaselinesHaveNoWarnings) {
  for (auto set : {SetPair, SetSingle, SetRack, SetInternal}) {
    for (bool dutch : {false, true}) {
      SetTextLanguageForTest(dutch);
      set();
      std::string text = BuildReportText();
      ASSERT_FALSE(text.empty()) << "mode " << DisplayMode;
      for (const std::string& line : SplitLines(text))
        EXPECT_NE(line.rfind("  ! ", 0), 0u) << "mode " << DisplayMode << ": " << line;
    }
  }
}

TEST_F(ReportWarnings, EachWarningAndItsCondition) {
  const double m = 2.0;
  const WarningRow rows[] = {
      // Pair block
      {"pair, ε_α exactly 1.1: no warning",
       [] { SetPair(); ASSERT_TRUE(TunePairContactRatio(1.1)); },
       "  ! contact ratio too small", "  ! ingrijpingsgraad te klein", false},
      {"pair, ε_α just below 1.1",
       [] {
         SetPair();
         ASSERT_TRUE(TunePairContactRatio(1.1));
         while (ComputePairContactRatio(Gear1, Gear2, PairCentreDistance) >= 1.1)
           Gear2.tipRadius = std::nextafter(Gear2.tipRadius, 0.0);
       },
       "  ! contact ratio too small", "  ! ingrijpingsgraad te klein", true},
      {"helical pair, ε_α 0.9 but ε_α + ε_β ≥ 1.1", [] { SetHelicalPairWithLowContactRatio(20.0); },
       "  ! contact ratio too small", "  ! ingrijpingsgraad te klein", false},
      {"helical pair, ε_α + ε_β < 1.1", [] { SetHelicalPairWithLowContactRatio(1.0); },
       "  ! contact ratio too small", "  ! ingrijpingsgraad te klein", true},

      // Gear block
      {"span contact beyond the tip", [] { SetSingle(); Gear1.spanContactRadius = Gear1.tipRadius + 0.001; },
       "  ! Wk measuring points outside the involute", "  ! meetpunten Wk buiten de evolvente", true},
      {"span contact below the involute start",
       [] { SetSingle(); Gear1.spanContactRadius = Gear1.involuteStartRadius - 0.001; },
       "  ! Wk measuring points outside the involute", "  ! meetpunten Wk buiten de evolvente", true},
      {"span contact exactly on the tip", [] { SetSingle(); Gear1.spanContactRadius = Gear1.tipRadius; },
       "  ! Wk measuring points outside the involute", "  ! meetpunten Wk buiten de evolvente", false},
      {"helical, b + 2 mm short of the span width",
       [] { Gear1 = HandGear(2.0, 20, 0.0, 15.0); Gear1.minFaceWidthForSpan = 9.0; Gear1.faceWidth = 10.0;
            DisplayMode = 2; },
       "  ! b too narrow to measure Wk (min. 11.0)", "  ! b te smal om Wk te meten (min. 11.0)", true},
      {"helical, b exactly span width + 2 mm",
       [] { Gear1 = HandGear(2.0, 20, 0.0, 15.0); Gear1.minFaceWidthForSpan = 8.0; Gear1.faceWidth = 10.0;
            DisplayMode = 2; },
       "  ! b too narrow to measure Wk (min. 10.0)", "  ! b te smal om Wk te meten (min. 10.0)", false},
      {"spur gear never needs the span width",
       [] { SetSingle(); Gear1.minFaceWidthForSpan = 9.0; Gear1.faceWidth = 10.0; },
       "  ! b too narrow to measure Wk (min. 11.0)", "  ! b te smal om Wk te meten (min. 11.0)", false},
      {"pin inside the tip circle", [] { SetSingle(); Gear1.ballBeyondTipFlag = 0; },
       "  ! pin does not protrude beyond the tip circle", "  ! pen steekt niet buiten de kopcirkel", true},
      {"pin contact beyond the tip", [] { SetSingle(); Gear1.ballContactRadius = Gear1.tipRadius + 0.001; },
       "  ! pin touches outside the involute", "  ! pen raakt buiten de evolvente", true},
      {"pin contact below the involute start",
       [] { SetSingle(); Gear1.ballContactRadius = Gear1.involuteStartRadius - 0.001; },
       "  ! pin touches outside the involute", "  ! pen raakt buiten de evolvente", true},
      {"pin contact exactly at the involute start",
       [] { SetSingle(); Gear1.ballContactRadius = Gear1.involuteStartRadius; },
       "  ! pin touches outside the involute", "  ! pen raakt buiten de evolvente", false},
      {"undercut", [] { SetSingle(); Gear1.undercutFlag = 1; }, "  ! undercut (x < x min)",
       "  ! ondersnijding (x < x min)", true},
      {"pointed tooth", [] { SetSingle(); Gear1.pointedTipFlag = 1; Gear1.tipToothThickness = 0.0; },
       "  ! pointed tooth, tip circle reduced", "  ! spitse tand, kopcirkel verkleind", true},
      {"pointed tooth: no separate thin-tip warning",
       [] { SetSingle(); Gear1.pointedTipFlag = 1; Gear1.tipToothThickness = 0.0; },
       "  ! tip thickness < 0.25 m", "  ! kopdikte < 0,25 m", false},
      {"tip thickness just below 0.25 m",
       [m] { SetSingle(); Gear1.tipToothThickness = std::nextafter(0.25 * m, 0.0); },
       "  ! tip thickness < 0.25 m", "  ! kopdikte < 0,25 m", true},
      {"tip thickness exactly 0.25 m", [m] { SetSingle(); Gear1.tipToothThickness = 0.25 * m; },
       "  ! tip thickness < 0.25 m", "  ! kopdikte < 0,25 m", false},
      {"bore equal to the root diameter", [] { SetSingle(); Gear1.boreDiameter = 2.0 * Gear1.rootRadius; },
       "  ! bore larger than root circle", "  ! boring groter dan voetcirkel", true},
      {"bore just inside the root circle",
       [] { SetSingle(); Gear1.boreDiameter = 2.0 * Gear1.rootRadius - 0.01; },
       "  ! bore larger than root circle", "  ! boring groter dan voetcirkel", false},
      {"invalid gear", [] { SetSingle(); Gear1.valid = 0; }, "  ! invalid geometry", "  ! geometrie ongeldig",
       true},

      // Hub and keyway lines; r_f = 17.5 mm, m = 2
      {"keyway 1.9 mm under the root",
       [] { SetSingle(); Gear1.boreDiameter = 24.0; Gear1.keywayWidth = 8.0; Gear1.keywayDepth = 3.6; },
       "  keyway b × t2 = 8.0 × 3.6  (custom size)\n  ! too little material between keyway and root (1.90 mm)",
       "  spiebaan b × t2 = 8.0 × 3.6  (eigen maten)\n  ! te weinig materiaal tussen spiebaan en voet (1.90 mm)",
       true},
      {"keyway exactly m under the root",
       [] { SetSingle(); Gear1.boreDiameter = 24.0; Gear1.keywayWidth = 8.0; Gear1.keywayDepth = 3.5; },
       "  ! too little material between keyway and root (2.00 mm)",
       "  ! te weinig materiaal tussen spiebaan en voet (2.00 mm)", false},
      {"plain bore 1.9 mm under the root", [] { SetSingle(); Gear1.boreDiameter = 31.2; },
       "  ! too little material between bore and root (1.90 mm)",
       "  ! te weinig materiaal tussen boring en voet (1.90 mm)", true},
      {"plain bore exactly m under the root", [] { SetSingle(); Gear1.boreDiameter = 31.0; },
       "  ! too little material between bore and root (2.00 mm)",
       "  ! te weinig materiaal tussen boring en voet (2.00 mm)", false},
      {"with a keyway the plain-bore check is not made",
       [] { SetSingle(); Gear1.boreDiameter = 31.2; Gear1.keywayWidth = 8.0; Gear1.keywayDepth = 0.1; },
       "  ! too little material between bore and root (1.90 mm)",
       "  ! te weinig materiaal tussen boring en voet (1.90 mm)", false},
      {"one hub message",
       [] { SetSingle(); Gear1.messages = TextSetIsDutch() ? "naaf: lengte 0; " : "hub: length 0; "; },
       "  ! hub: length 0", "  ! naaf: lengte 0", true},
      {"every trailing separator goes, after the trailing blanks",
       [] { SetSingle(); Gear1.messages = TextSetIsDutch() ? "naaf: lengte 0;; " : "hub: length 0;; "; },
       "  ! hub: length 0", "  ! naaf: lengte 0", true},
      {"two messages keep their inner separator",
       [] { SetSingle(); Gear1.messages = TextSetIsDutch() ? "spiebaan: geen boring; naaf: lengte 0; "
                                                           : "keyway: no bore; hub: length 0; "; },
       "  ! keyway: no bore; hub: length 0", "  ! spiebaan: geen boring; naaf: lengte 0", true},

      // Pinion with rack
      {"rack pair, ε_α below 1.1", [] { SetRack(); Gear1.tipRadius = Gear1.pitchRadius; },
       "  ! contact ratio too small", "  ! ingrijpingsgraad te klein", true},
      {"rack pair, invalid rack: no contact ratio judged",
       [] { SetRack(); Gear1.tipRadius = Gear1.pitchRadius; Rack.valid = 0; },
       "  ! contact ratio too small", "  ! ingrijpingsgraad te klein", false},
      {"invalid rack", [] { SetRack(); Rack.valid = 0; },
       "RACK (orange)\n  ! invalid: Hp must be larger than hf = 1.25 m",
       "HEUGEL (oranje)\n  ! ongeldig: Hp moet groter zijn dan hf = 1,25 m", true},
      {"pointed rack tooth", [] { SetRack(); Rack.pointedTipFlag = 1; }, "  ! pointed rack tooth",
       "  ! spitse heugeltand", true},
      {"pointed but invalid rack shows only the invalid line",
       [] { SetRack(); Rack.pointedTipFlag = 1; Rack.valid = 0; }, "  ! pointed rack tooth",
       "  ! spitse heugeltand", false},

      // Internal pair
      {"internal pair, invalid pinion", [] { SetInternal(); Gear1.valid = 0; },
       "INTERNAL GEAR PAIR\n  ! invalid geometry (rim thickness > 0?)\n\nRING GEAR (orange)",
       "BINNENVERTANDING\n  ! geometrie ongeldig (randdikte > 0?)\n\nRING (oranje)", true},
      {"internal pair, invalid ring", [] { SetInternal(); RingGear.valid = 0; },
       "  ! invalid geometry (rim thickness > 0?)\n\nRING GEAR (orange)",
       "  ! geometrie ongeldig (randdikte > 0?)\n\nRING (oranje)", true},
      {"internal pair, ε_α below 1.1", [] { SetInternal(); Gear1.tipRadius = Gear1.pitchRadius + 0.2; },
       "  ! contact ratio too small", "  ! ingrijpingsgraad te klein", true},
      {"pinion tip clearance 0.15 mm < 0.1 m",
       [] { SetInternal(); RingGear.rootRadius = InternalCentreDistance + Gear1.tipRadius + 0.15; },
       "  ! tip clearance smaller than 0.1 m", "  ! kopspeling kleiner dan 0,1 m", true},
      {"pinion tip clearance 0.25 mm",
       [] { SetInternal(); RingGear.rootRadius = InternalCentreDistance + Gear1.tipRadius + 0.25; },
       "  ! tip clearance smaller than 0.1 m", "  ! kopspeling kleiner dan 0,1 m", false},
      {"ring tip clearance 0.15 mm < 0.1 m",
       [] { SetInternal(); Gear1.rootRadius = RingGear.tipRadius - InternalCentreDistance - 0.15; },
       "  ! tip clearance smaller than 0.1 m", "  ! kopspeling kleiner dan 0,1 m", true},
      {"ring tip at its nominal circle meets the pinion fillet",
       [] { SetInternal(); RingGear.tipRadius = 48.0; },
       "  ! ring tip touches the pinion root fillet (switch on 'shorten ring tip')",
       "  ! ringkop raakt de voetronding van het rondsel (zet 'ringkop inkorten' aan)", true},
      {"penetration exactly 0.002 m", [m] { SetInternal(); InternalPenetration = 0.002 * m; },
       "  no interference (checked over one full pitch)",
       "  geen interferentie (gecontroleerd over een volle steek)", true},
      {"penetration 0.0123 mm",
       [] { SetInternal(); InternalPenetration = 0.0123; },
       "  ! INTERFERENCE: teeth overlap by 0.012 mm\n"
       "    (larger tooth difference, other x or less addendum needed)",
       "  ! INTERFERENTIE: tanden dringen 0.012 mm in elkaar\n"
       "    (groter tandverschil, andere x of minder kophoogte nodig)",
       true},
      {"check not run (-1) is no interference", [] { SetInternal(); InternalPenetration = -1.0; },
       "  no interference (checked over one full pitch)",
       "  geen interferentie (gecontroleerd over een volle steek)", true},

      // Ring block
      {"ball inside the ring's tip circle", [] { SetInternal(); RingGear.ballBeyondTipFlag = 0; },
       "  ! ball does not protrude inside the tip circle", "  ! kogel steekt niet binnen de kopcirkel uit", true},
      {"ring tip raised to the base circle", [] { SetInternal(); RingGear.undercutFlag = 1; },
       "  ! tip circle below the base circle", "  ! kopcirkel onder de basiscirkel", true},
      {"pointed ring tooth", [] { SetInternal(); RingGear.pointedTipFlag = 1; },
       "  ! pointed ring tooth, tip circle enlarged", "  ! spitse ringtand, kopcirkel vergroot", true},
      {"invalid ring block", [] { SetInternal(); RingGear.valid = 0; },
       "RING GEAR (orange)\n  z  = 50     m = 2 mm", "RING (oranje)\n  z  = 50     m = 2 mm", true},
  };
  for (const WarningRow& row : rows) {
    for (bool dutch : {false, true}) {
      SetTextLanguageForTest(dutch);
      row.setup();
      std::string text = BuildReportText();
      const char* expected = dutch ? row.dutch : row.english;
      EXPECT_EQ(ContainsLines(text, expected), row.shown)
          << row.name << (dutch ? " (nl)" : " (en)") << "\nlooked for:\n" << expected << "\nin:\n" << text;
    }
  }
}

TEST_F(ReportWarnings, InvalidRingBlockEndsWithItsWarning) {
  SetInternal();
  RingGear.valid = 0;
  std::vector<std::string> lines = SplitLines(BuildReportText());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "  ! invalid geometry");
  // Nothing of the pair is reported for an invalid ring.
  for (const std::string& line : lines) EXPECT_NE(line.rfind("  a  = ", 0), 0u) << line;
}

// ---------------------------------------------------------------------------

class ReportLines : public KovrexTest {};

TEST_F(ReportLines, HandNames) {
  const struct {
    int64_t hand;
    const char* english;
    const char* dutch;
  } cases[] = {{0, "right", "rechts"}, {1, "right", "rechts"}, {-1, "left", "links"}, {-7, "left", "links"},
               {5, "right", "rechts"}};
  for (const auto& c : cases) {
    SetTextLanguageForTest(false);
    EXPECT_EQ(GetHandName(c.hand), c.english) << c.hand;
    SetTextLanguageForTest(true);
    EXPECT_EQ(GetHandName(c.hand), c.dutch) << c.hand;
  }
}

TEST_F(ReportLines, AllowanceLineOnlyWhenAllowanceIsNotZero) {
  SetSingle();
  Gear1.thicknessAllowance = 0.0;
  for (const std::string& line : SplitLines(BuildReportText())) EXPECT_NE(line.rfind("  As", 0), 0u) << line;
  Gear1.thicknessAllowance = 0.05;
  Gear1.toolProfileShift = -0.0687;
  EXPECT_TRUE(ContainsLines(BuildReportText(), "  As = 0.0500   thickness allowance (tool at x = -0.0687)"));
  SetTextLanguageForTest(true);
  EXPECT_TRUE(ContainsLines(BuildReportText(), "  As = 0.0500   afmaat (gereedschap op x = -0.0687)"));
}

TEST_F(ReportLines, PinsForEvenSpurGearsBallsOtherwise) {
  const struct {
    int64_t z;
    double betaDeg;
    const char* english;
    const char* dutch;
  } cases[] = {
      {20, 0.0, "   over 2 pins Ø 3.50", "   over 2 pennen Ø 3.50"},
      {20, 12.0, "   over 2 balls Ø 3.50", "   over 2 kogels Ø 3.50"},
      {21, 0.0, "   over 2 balls Ø 3.50 (odd z)", "   over 2 kogels Ø 3.50 (z oneven)"},
      {21, 12.0, "   over 2 balls Ø 3.50 (odd z)", "   over 2 kogels Ø 3.50 (z oneven)"},
  };
  for (const auto& c : cases) {
    Gear1 = HandGear(2.0, c.z, 0.0, c.betaDeg);
    Gear1.dimensionOverBalls = 47.125;
    DisplayMode = static_cast<int>(DisplayKind::Single);
    for (bool dutch : {false, true}) {
      SetTextLanguageForTest(dutch);
      std::string expected = std::string("  Md = 47.125") + (dutch ? c.dutch : c.english);
      EXPECT_TRUE(ContainsLines(BuildReportText(), expected)) << expected;
    }
  }
}

TEST_F(ReportLines, HubKeywayLines) {
  const struct {
    const char* name;
    std::function<void(GearRecord&)> setup;
    const char* english;
    const char* dutch;
  } cases[] = {
      {"hub on both sides, b 10, L 10",
       [](GearRecord& g) { g.faceWidth = 10.0; g.hubSide = 3; g.hubDiameter = 30.0; g.hubLength = 10.0; },
       "  hub Ø 30.0 × 10.0 on both sides   (total length 30.0)",
       "  naaf Ø 30.0 × 10.0 aan beide kanten   (totale lengte 30.0)"},
      {"hub on the left",
       [](GearRecord& g) { g.faceWidth = 12.0; g.hubSide = 1; g.hubDiameter = 28.5; g.hubLength = 15.0; },
       "  hub Ø 28.5 × 15.0 left   (total length 27.0)", "  naaf Ø 28.5 × 15.0 links   (totale lengte 27.0)"},
      {"hub on the right",
       [](GearRecord& g) { g.faceWidth = 12.0; g.hubSide = 2; g.hubDiameter = 28.5; g.hubLength = 15.0; },
       "  hub Ø 28.5 × 15.0 right   (total length 27.0)", "  naaf Ø 28.5 × 15.0 rechts   (totale lengte 27.0)"},
      {"DIN keyway in a 10 mm bore (b 3, h 3, t2 1.4)",
       [](GearRecord& g) { g.boreDiameter = 10.0; g.keywayWidth = 3.0; g.keywayDepth = 1.4; g.keyHeight = 3.0;
                           g.keyIsDin = 1; },
       "  keyway b × t2 = 3.0 × 1.4  (DIN 6885-1, key 3 × 3)",
       "  spiebaan b × t2 = 3.0 × 1.4  (DIN 6885-1, spie 3 × 3)"},
  };
  for (const auto& c : cases) {
    SetSingle();
    c.setup(Gear1);
    for (bool dutch : {false, true}) {
      SetTextLanguageForTest(dutch);
      const char* expected = dutch ? c.dutch : c.english;
      EXPECT_TRUE(ContainsLines(BuildHubKeyReportBlock(Gear1), expected)) << c.name << "\n" << expected;
      EXPECT_TRUE(ContainsLines(BuildReportText(), expected)) << c.name;
    }
  }
  // Nothing at all for a solid gear without hub or messages.
  SetSingle();
  EXPECT_EQ(BuildHubKeyReportBlock(Gear1), "");
  // A keyway as wide as the bore is no keyway (and the plain-bore check applies).
  Gear1.boreDiameter = 8.0;
  Gear1.keywayWidth = 8.0;
  Gear1.keywayDepth = 1.0;
  EXPECT_EQ(BuildHubKeyReportBlock(Gear1), "");
}

TEST_F(ReportLines, HelicalPairLines) {
  Gear1 = HandGear(2.0, 20, 0.0, 10.0);
  Gear2 = HandGear(2.0, 40, 0.0, 10.0);
  Gear2.hand = -1;
  PairCentreDistance = Gear1.pitchRadius + Gear2.pitchRadius;
  DisplayMode = static_cast<int>(DisplayKind::Pair);
  // At the reference centre distance α_w = α_t; ε_α from the tip circles, ε_β =
  // b sin β / (π m) with b = 20.
  double at = Gear1.transversePressureAngle, a = PairCentreDistance;
  auto tangent = [](const GearRecord& g) { return std::sqrt(g.tipRadius * g.tipRadius - g.baseRadius * g.baseRadius); };
  double epsAlpha = (tangent(Gear1) + tangent(Gear2) - a * std::sin(at)) / (kPi * Gear1.transverseModule * std::cos(at));
  double epsBeta = 20.0 * std::sin(10.0 * kPi / 180.0) / (kPi * 2.0);
  const std::string alpha = FormatFixed(3, at * 180.0 / kPi), ea = FormatFixed(3, epsAlpha),
                    eb = FormatFixed(3, epsBeta), eg = FormatFixed(3, epsAlpha + epsBeta);
  EXPECT_EQ(eb, "0.553");
  const std::string english = "  β  = 10.000°   gear 1 right, gear 2 left\n  αw = " + alpha +
                              "°  operating pressure angle";
  const std::string dutch = "  β  = 10.000°   wiel 1 rechts, wiel 2 links\n  αw = " + alpha + "°  bedrijfsdrukhoek";
  const std::string englishRatios = "  εα = " + ea + "   transverse contact ratio\n  εβ = " + eb +
                                    "   overlap ratio\n  εγ = " + eg + "   total contact ratio";
  const std::string dutchRatios = "  εα = " + ea + "   profieloverdekking\n  εβ = " + eb +
                                  "   sprongoverdekking\n  εγ = " + eg + "   totale overdekking";
  std::string text = BuildReportText();
  EXPECT_TRUE(ContainsLines(text, english)) << text;
  EXPECT_TRUE(ContainsLines(text, englishRatios)) << text;
  SetTextLanguageForTest(true);
  text = BuildReportText();
  EXPECT_TRUE(ContainsLines(text, dutch)) << text;
  EXPECT_TRUE(ContainsLines(text, dutchRatios)) << text;
  // A spur pair has none of the three.
  SetPair();
  for (const std::string& line : SplitLines(BuildReportText())) {
    EXPECT_NE(line.rfind("  β", 0), 0u) << line;
    EXPECT_NE(line.rfind("  εβ", 0), 0u) << line;
    EXPECT_NE(line.rfind("  εγ", 0), 0u) << line;
  }
}

// Spur teeth on the rack and in the ring: the plain pitch line, and none of the
// helix lines (β, pt, εβ, εγ) that only helical teeth have.
TEST_F(ReportLines, SpurRackAndInternalPairLeaveOutTheHelixLines) {
  auto startsAny = [](const std::string& text, std::initializer_list<const char*> labels) {
    for (const std::string& line : SplitLines(text))
      for (const char* label : labels)
        if (line.rfind(label, 0) == 0) return line;
    return std::string();
  };
  // Pinion m 2, z 20, x 0 on a rack: p = π m; v = z p; ε_α of a pinion with a
  // rack, (√(r_a² − r_b²) − r sin α + h_a / sin α) / (π m cos α) = 1.7688.
  SetRack();
  for (bool dutch : {false, true}) {
    SetTextLanguageForTest(dutch);
    std::string text = BuildReportText();
    EXPECT_TRUE(ContainsLines(text, dutch ? "  p  = 6.2832   steek" : "  p  = 6.2832   pitch")) << text;
    EXPECT_TRUE(ContainsLines(text, dutch ? "  v  = 125.664   verplaatsing per omwenteling"
                                          : "  v  = 125.664   travel per revolution"))
        << text;
    EXPECT_TRUE(ContainsLines(text, dutch ? "  εα = 1.769   profieloverdekking" : "  εα = 1.769   transverse contact ratio"))
        << text;
    EXPECT_EQ(startsAny(text, {"  β", "  pt", "  εβ", "  εγ"}), "") << text;
  }
  SetTextLanguageForTest(false);
  // Without both records valid there is no contact ratio at all.
  for (auto invalidate : {+[] { Gear1.valid = 0; }, +[] { Rack.valid = 0; }}) {
    SetRack();
    invalidate();
    EXPECT_EQ(startsAny(BuildReportText(), {"  εα", "  εβ", "  εγ"}), "");
  }

  SetInternal();
  std::string text = BuildReportText();
  EXPECT_EQ(startsAny(text, {"  β", "  εβ", "  εγ"}), "") << text;
  EXPECT_TRUE(ContainsLines(text, "RING GEAR (orange)\n  z  = 50     m = 2 mm")) << text;
  // The ring tip was raised from r − m = 48 to 48.6: 0.6 mm of tip reduction.
  EXPECT_TRUE(ContainsLines(text, "  k·m = 0.600   tip reduction (against interference)")) << text;
  RingGear.tipShortening = 0.0;
  EXPECT_EQ(startsAny(BuildReportText(), {"  k·m"}), "");
}

// A ball dimension the geometry could not compute is left at 0 and shows "-":
// "0.000" would read as a measurement.
TEST_F(ReportLines, BallDimensionLeftAtZeroShowsDash) {
  SetSingle();
  Gear1.dimensionOverBalls = 0.0;
  EXPECT_TRUE(ContainsLines(BuildReportText(), "  Md = -   over 2 pins Ø 3.50"));
  SetInternal();
  RingGear.dimensionOverBalls = 0.0;
  EXPECT_TRUE(ContainsLines(BuildReportText(), "  Mi = -   between 2 balls Ø 3.50"));
  SetTextLanguageForTest(true);
  EXPECT_TRUE(ContainsLines(BuildReportText(), "  Mi = -   tussen 2 kogels Ø 3.50"));
  // No ball either: a computed ball is at least 0.01 mm.
  RingGear.ballDiameter = 0.0;
  EXPECT_TRUE(ContainsLines(BuildReportText(), "  Mi = -   tussen 2 kogels Ø -"));
  SetTextLanguageForTest(false);
  Gear1 = HandGear(2.0, 21, 0.0);
  Gear1.dimensionOverBalls = Gear1.ballDiameter = 0.0;
  DisplayMode = static_cast<int>(DisplayKind::Single);
  EXPECT_TRUE(ContainsLines(BuildReportText(), "  Md = -   over 2 balls Ø - (odd z)"));
}

TEST_F(ReportLines, UncomputableValuesShowDashAndRaiseTheirWarning) {
  // A centre distance below r_b1 + r_b2 has no operating pressure angle.
  SetPair();
  PairCentreDistance = 50.0;
  std::string text = BuildReportText();
  EXPECT_TRUE(ContainsLines(text, "  αw = -°  operating pressure angle")) << text;
  EXPECT_TRUE(ContainsLines(text, "  εα = -   transverse contact ratio")) << text;
  EXPECT_TRUE(ContainsLines(text, "  gα = -   length of path of contact A–E")) << text;
  // An unknown contact ratio is not a sufficient one.
  EXPECT_TRUE(ContainsLines(text, "  ! contact ratio too small")) << text;
  // The same for an internal pair whose ring is too close: (r_b2 - r_b1) / a > 1.
  SetInternal();
  InternalCentreDistance = 5.0;
  text = BuildReportText();
  EXPECT_TRUE(ContainsLines(text, "  αw = -°  operating pressure angle")) << text;
  EXPECT_TRUE(ContainsLines(text, "  gα = -   length of path of contact A–E")) << text;
  EXPECT_TRUE(ContainsLines(text, "  εα = -   transverse contact ratio")) << text;
  EXPECT_TRUE(ContainsLines(text, "  ! contact ratio too small")) << text;
  // No tooth on gear 1: the ratio z2/z1 has no value.
  SetPair();
  Gear1.toothCount = 0;
  EXPECT_TRUE(ContainsLines(BuildReportText(), "  i  = -   (z2/z1)"));
}

// Tips that do not reach the line of action give a contact ratio of 0 or less:
// not a value to print. εα, the path it comes from and εγ show "-", and the
// too-small warning stays, in all three arrangements that have a mate.
TEST_F(ReportLines, ContactRatioOfZeroOrLessShowsDashAndKeepsItsWarning) {
  // Tip circles barely above the base circles: the two tip tangents together are
  // far shorter than the span a sin αw they would have to cover.
  auto lowerTips = [] {
    Gear1.tipRadius = Gear1.baseRadius + 0.01;
    Gear2.tipRadius = Gear2.baseRadius + 0.01;
  };
  SetPair();
  lowerTips();
  ASSERT_LE(ComputePairContactRatio(Gear1, Gear2, PairCentreDistance), 0.0);
  std::string text = BuildReportText();
  EXPECT_TRUE(ContainsLines(text, "  gα = -   length of path of contact A–E")) << text;
  EXPECT_TRUE(ContainsLines(text, "  εα = -   transverse contact ratio")) << text;
  EXPECT_TRUE(ContainsLines(text, "  ! contact ratio too small")) << text;

  Gear1 = HandGear(2.0, 20, 0.0, 10.0);
  Gear2 = HandGear(2.0, 40, 0.0, 10.0);
  Gear2.hand = -1;
  PairCentreDistance = Gear1.pitchRadius + Gear2.pitchRadius;
  lowerTips();
  text = BuildReportText();
  EXPECT_TRUE(ContainsLines(text, "  εα = -   transverse contact ratio\n  εβ = 0.553   overlap ratio\n"
                                  "  εγ = -   total contact ratio\n  ! contact ratio too small"))
      << text;

  // The rack: the pinion's tip at its base circle.
  SetRack();
  Gear1.tipRadius = Gear1.baseRadius + 1e-9;
  text = BuildReportText();
  EXPECT_TRUE(ContainsLines(text, "  εα = -   transverse contact ratio")) << text;
  EXPECT_TRUE(ContainsLines(text, "  ! contact ratio too small")) << text;

  // The ring: pinion and ring tips pulled back to their base circles.
  SetInternal();
  Gear1.tipRadius = Gear1.baseRadius + 1e-9;
  RingGear.tipRadius = RingGear.baseRadius + 20.0;
  text = BuildReportText();
  EXPECT_TRUE(ContainsLines(text, "  gα = -   length of path of contact A–E")) << text;
  EXPECT_TRUE(ContainsLines(text, "  εα = -   transverse contact ratio")) << text;
  EXPECT_TRUE(ContainsLines(text, "  ! contact ratio too small")) << text;
}

TEST_F(ReportLines, ModesAndTheReportControl) {
  SetSingle();
  RefreshReport();
  std::string single = store.GetText(GadgetReport);
  std::vector<std::string> lines = SplitLines(single);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "GEAR");
  EXPECT_EQ(single, BuildGearReportSection(Gear1, "GEAR"));
  for (const std::string& line : lines) EXPECT_EQ(line.find("GEAR PAIR"), std::string::npos);

  SetPair();
  RefreshReport();
  std::string pair = store.GetText(GadgetReport);
  EXPECT_EQ(pair.rfind("GEAR PAIR\n", 0), 0u);
  // The blocks follow the pair lines, each after an empty line.
  EXPECT_NE(pair.find("\n\nGEAR 1 (blue)\n"), std::string::npos);
  EXPECT_NE(pair.find("\n\nGEAR 2 (orange)\n"), std::string::npos);
  EXPECT_EQ(pair.substr(pair.size() - BuildGearReportSection(Gear2, "GEAR 2 (orange)").size()),
            BuildGearReportSection(Gear2, "GEAR 2 (orange)"));

  DisplayMode = static_cast<int>(DisplayKind::Nothing);
  RefreshReport();
  EXPECT_EQ(store.GetText(GadgetReport), "");
  DisplayMode = 9;
  RefreshReport();
  EXPECT_EQ(store.GetText(GadgetReport), "");
}

// ---------------------------------------------------------------------------
// Whatever the records hold, no line carries "nan", "inf" or a negative zero.

const std::vector<double GearRecord::*>& DoubleFields() {
  static const std::vector<double GearRecord::*> fields = {
      &GearRecord::normalModule,        &GearRecord::profileShift,
      &GearRecord::pressureAngle,       &GearRecord::helixAngle,
      &GearRecord::faceWidth,           &GearRecord::boreDiameter,
      &GearRecord::tipShortening,       &GearRecord::thicknessAllowance,
      &GearRecord::addendumCoeff,       &GearRecord::dedendumCoeff,
      &GearRecord::rootRadiusCoeff,     &GearRecord::transverseModule,
      &GearRecord::transversePressureAngle, &GearRecord::baseHelixAngle,
      &GearRecord::pitchRadius,         &GearRecord::baseRadius,
      &GearRecord::tipRadius,           &GearRecord::rootRadius,
      &GearRecord::pitchToothThickness, &GearRecord::tipToothThickness,
      &GearRecord::toolProfileShift,    &GearRecord::undercutLimitShift,
      &GearRecord::involuteStartRadius, &GearRecord::spanMeasurement,
      &GearRecord::spanContactRadius,   &GearRecord::ballDiameter,
      &GearRecord::dimensionOverBalls,  &GearRecord::ballContactRadius,
      &GearRecord::minFaceWidthForSpan, &GearRecord::rackLength,
      &GearRecord::rackHeight,          &GearRecord::rimRadius,
      &GearRecord::hubDiameter,         &GearRecord::hubLength,
      &GearRecord::keywayWidth,         &GearRecord::keywayDepth,
      &GearRecord::keyHeight,
  };
  return fields;
}

class ReportNumbers : public KovrexTest {};

TEST_F(ReportNumbers, NoNanInfOrNegativeZeroForBrokenRecords) {
  const double inf = std::numeric_limits<double>::infinity();
  const double poison[] = {std::nan(""), inf, -inf, 0.0, -0.0, -1e-12, -4e-4, 1e300, -1e300};
  const int64_t teeth[] = {0, -3, 1, 7};
  const int64_t flags[] = {0, 1};
  int reports = 0;
  for (auto set : {SetPair, SetSingle, SetRack, SetInternal}) {
    for (double p : poison) {
      for (int64_t z : teeth) {
        for (int64_t flag : flags) {
          // One field at a time keeps the rest of the report meaningful; all of
          // them at once reaches the lines a single bad field cannot.
          for (size_t only = 0; only <= DoubleFields().size(); ++only) {
            set();
            for (GearRecord* g : {&Gear1, &Gear2, &RingGear, &Rack}) {
              for (size_t f = 0; f < DoubleFields().size(); ++f)
                if (only == DoubleFields().size() || f == only) g->*(DoubleFields()[f]) = p;
              if (only == DoubleFields().size()) {
                g->toothCount = z;
                g->spanTeeth = z;
                g->valid = flag;
                g->undercutFlag = g->pointedTipFlag = g->ballBeyondTipFlag = flag;
                g->hubSide = 3 * flag;
                g->keyIsDin = flag;
                g->hand = z;
              }
            }
            PairCentreDistance = InternalCentreDistance = InternalPenetration = p;
            for (bool dutch : {false, true}) {
              SetTextLanguageForTest(dutch);
              std::string text = BuildReportText();
              ++reports;
              std::string bad = FirstBadLine(text);
              ASSERT_EQ(bad, "") << "mode " << DisplayMode << ", value " << p << ", field " << only;
            }
          }
        }
      }
    }
  }
  EXPECT_GT(reports, 1000);
}

TEST(ReportLineCheck, FindsWhatItLooksFor) {
  // The checker itself: it must see each bad form and pass the good ones.
  EXPECT_NE(FirstBadLine("  x  = -0.0000   (x min = 0.123)\n"), "");
  EXPECT_NE(FirstBadLine("  a  = -0   x\n"), "");
  EXPECT_NE(FirstBadLine("  d  = NaN   pitch circle\n"), "");
  EXPECT_NE(FirstBadLine("  d  = +Infinity\n"), "");
  EXPECT_NE(FirstBadLine("  d  = -inf\n"), "");
  EXPECT_EQ(FirstBadLine("  x  = -0.5000   (x min = -0.017)\n  Δx = 0.1000   (x2 - x1)\n"), "");
  EXPECT_EQ(FirstBadLine("  ! INTERFERENCE: teeth overlap by 0.012 mm\n  naaf Ø 30.0\n"), "");
}

}  // namespace
}  // namespace kovrex
