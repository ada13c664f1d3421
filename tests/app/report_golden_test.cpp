// Golden reports: one small case per arrangement and language, built by the real
// generators and compared line by line with tests/golden/report_*.txt, and the
// numbers in them checked against closed forms that do not go through the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/control_store.h"
#include "app/controls.h"
#include "app/hub_key_command.h"
#include "app/internal_commands.h"
#include "app/pair_commands.h"
#include "app/rack_commands.h"
#include "app/report_text.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/mesh_penetration.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"
#include "numbers/number_text.h"
#include "support/report_lines.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex {
namespace {

using test::FirstBadLine;
using test::KovrexTest;
using test::SplitLines;

const double kAlpha = 20.0 * kPi / 180.0;

// Compares line by line; on a difference the actual text is written beside the
// golden file as <name>.actual, so that a person can diff the two.
void ExpectMatchesGolden(const std::string& name, const std::string& actual) {
  const std::string dir = std::string(KOVREX_SOURCE_DIR) + "/tests/golden/";
  auto writeActual = [&] { std::ofstream(dir + name + ".actual", std::ios::binary) << actual; };
  std::ifstream in(dir + name + ".txt", std::ios::binary);
  if (!in) {
    writeActual();
    ADD_FAILURE() << name << ": no golden file; the actual text is in tests/golden/" << name << ".actual";
    return;
  }
  std::stringstream golden;
  golden << in.rdbuf();
  if (golden.str() == actual) return;
  writeActual();
  std::vector<std::string> want = SplitLines(golden.str()), got = SplitLines(actual);
  for (size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
    std::string w = i < want.size() ? want[i] : "<none>", g = i < got.size() ? got[i] : "<none>";
    EXPECT_EQ(w, g) << name << " line " << i + 1 << " (actual text in tests/golden/" << name << ".actual)";
  }
  // Same lines but a different ending (a missing or extra last line feed).
  EXPECT_EQ(golden.str().size(), actual.size()) << name;
}

// The number printed after `label` on the first line that starts with it, below
// the line `title` (the block of one gear); NaN when there is no such line.
double ValueAfter(const std::string& text, const std::string& title, const std::string& label) {
  std::vector<std::string> lines = SplitLines(text);
  size_t i = 0;
  if (!title.empty()) {
    while (i < lines.size() && lines[i] != title) ++i;
  }
  for (; i < lines.size(); ++i) {
    size_t at = lines[i].find(label);
    if (at != std::string::npos) {
      std::string rest = lines[i].substr(at + label.size());
      size_t end = rest.find_first_of(" °");
      return ParseDecimalNumber(rest.substr(0, end));
    }
  }
  return std::nan("");
}

double Inv(double a) { return std::tan(a) - a; }

// Inverse involute by bisection, a second method beside the program's Newton steps.
double InvInverse(double v) {
  double lo = 0.0, hi = 1.5;
  for (int i = 0; i < 200; ++i) {
    double mid = 0.5 * (lo + hi);
    (Inv(mid) < v ? lo : hi) = mid;
  }
  return lo;
}

// Span measurement of DIN 3960 in its textbook form,
// W_k = m_n cos α_n [π (k − 0.5) + z inv α_t] + 2 x_E m_n sin α_n.
double DinSpan(double mn, int64_t z, double xE, double betaRad, int64_t k) {
  double at = std::atan(std::tan(kAlpha) / std::cos(betaRad));
  return mn * std::cos(kAlpha) * (kPi * (static_cast<double>(k) - 0.5) + static_cast<double>(z) * Inv(at)) +
         2.0 * xE * mn * std::sin(kAlpha);
}

// Dimension over two balls of DIN 3960: inv α_Mt = s_n/(m_n z) + inv α_t +
// D_M/(m_n z cos α_n) − π/z; M = d_b/cos α_Mt (· cos(90°/z) for odd z) + D_M.
double DinBallDimension(double mn, int64_t z, double xE, double betaRad, double ballDiameter) {
  double zz = static_cast<double>(z);
  double at = std::atan(std::tan(kAlpha) / std::cos(betaRad));
  double sn = mn * (kPi / 2.0 + 2.0 * xE * std::tan(kAlpha));
  double invM = sn / (mn * zz) + Inv(at) + ballDiameter / (mn * zz * std::cos(kAlpha)) - kPi / zz;
  double db = zz * mn / std::cos(betaRad) * std::cos(at);
  double centres = db / std::cos(InvInverse(invM));
  if (z % 2 != 0) centres *= std::cos(kPi / (2.0 * zz));
  return centres + ballDiameter;
}

// Minimum profile shift against undercut of the ISO 53 rack (h_f* 1.25, ρ* 0.38).
double MinShift(int64_t z, double betaRad) {
  double at = std::atan(std::tan(kAlpha) / std::cos(betaRad));
  return 1.25 - 0.38 * (1.0 - std::sin(kAlpha)) -
         static_cast<double>(z) * std::sin(at) * std::sin(at) / (2.0 * std::cos(betaRad));
}

struct Expectation {
  const char* title;  // block to look in ("" for the pair lines at the top)
  const char* label;
  double value;
  double tolerance;  // half a unit of the last printed decimal, unless noted
};

void ExpectValues(const std::string& text, const std::vector<Expectation>& rows) {
  for (const Expectation& e : rows) {
    double v = ValueAfter(text, e.title, e.label);
    EXPECT_NEAR(v, e.value, e.tolerance) << "[" << e.title << "] " << e.label;
  }
}

class ReportGolden : public KovrexTest {
 protected:
  // Runs one case in both languages: golden comparison, then no bad number.
  void CheckBothLanguages(const std::string& name, const std::function<void()>& build) {
    for (bool dutch : {false, true}) {
      SetTextLanguageForTest(dutch);
      build();
      std::string text = BuildReportText();
      ExpectMatchesGolden("report_" + name + (dutch ? "_nl" : "_en"), text);
    }
    SetTextLanguageForTest(false);
    build();
  }
};

// ---------------------------------------------------------------------------
// External pair m 3, z 12 / 24, a 56.5, x1 0.6, x2 0.36, α 20°, normal backlash
// 0.1 (a published DIN 3960 example: α_w 26.0888°, d_a 44.840 / 79.400, ε_α 1.202).
// Gear 2 has a 20 mm bore with a DIN 6885-1 keyway.

const double kPairModule = 3.0, kPairA = 56.5, kPairX1 = 0.6, kPairX2 = 0.36, kPairBacklash = 0.1;

void BuildPublishedPair() {
  // The tip shortening that keeps the tip clearance at the working centre distance.
  double k = (12.0 + 24.0) / 2.0 + (kPairX1 + kPairX2) - kPairA / kPairModule;
  InitGearParams(Gear1, kPairModule, 12, kPairX1, 20.0, 20.0, 0.0, k, 0.0, 1);
  InitGearParams(Gear2, kPairModule, 24, kPairX2, 20.0, 20.0, 20.0, k, 0.0, -1);
  Gear1.thicknessAllowance = Gear2.thicknessAllowance = kPairBacklash / (2.0 * std::cos(kAlpha));
  ComputeExternalGearGeometry(Gear1, 1);
  ComputeExternalGearGeometry(Gear2, 1);
  Controls().SetState(GadgetKeyway2, 1);  // DIN 6885-1
  ComputeHubAndKey(Gear1, 0);
  ComputeHubAndKey(Gear2, 1);
  PairCentreDistance = kPairA;
  DisplayMode = static_cast<int>(DisplayKind::Pair);
}

TEST_F(ReportGolden, PublishedPair) {
  CheckBothLanguages("pair", BuildPublishedPair);
  std::string text = BuildReportText();

  const double m = kPairModule, as = kPairBacklash / (2.0 * std::cos(kAlpha));
  const double xE1 = kPairX1 - as / (2.0 * m * std::tan(kAlpha)), xE2 = kPairX2 - as / (2.0 * m * std::tan(kAlpha));
  const double alphaW = InvInverse(Inv(kAlpha) + 2.0 * std::tan(kAlpha) * (kPairX1 + kPairX2) / 36.0);
  const double k = 18.0 + 0.96 - kPairA / m;
  std::vector<Expectation> rows = {
      {"", "  a  = ", 56.5, 5e-4},
      {"", "  a0 = ", 54.0, 5e-4},
      {"", "  i  = ", 2.0, 5e-5},
      // α_w from the involute equation, not from the arccos the report uses; the
      // published 56.5 is rounded from 56.49987, which moves α_w by 3e-4°.
      {"", "  αw = ", alphaW * kRadToDeg, 6e-4},
      {"", "  Σx = ", 0.96, 5e-5},
      {"", "  k·m = ", k * m, 5e-4},
      {"", "  jn = ", kPairBacklash, 5e-5},
      {"", "  jt = ", kPairBacklash / std::cos(alphaW), 6e-5},
      {"", "  εα = ", 1.202, 6e-4},  // published value
      {"", "  gα = ", 1.2021186 * kPi * m * std::cos(kAlpha), 6e-4},
      {"GEAR 1 (blue)", "  d  = ", 36.0, 5e-4},
      {"GEAR 1 (blue)", "  da = ", 44.840, 5e-4},  // published
      {"GEAR 1 (blue)", "  df = ", 36.0 - 2.5 * m + 2.0 * xE1 * m, 5e-4},
      {"GEAR 1 (blue)", "  db = ", 36.0 * std::cos(kAlpha), 5e-4},
      {"GEAR 1 (blue)", "  x  = ", 0.6, 5e-5},
      {"GEAR 1 (blue)", "(x min = ", MinShift(12, 0.0), 5e-4},
      {"GEAR 1 (blue)", "  s  = ", m * (kPi / 2.0 + 2.0 * xE1 * std::tan(kAlpha)), 5e-4},
      {"GEAR 1 (blue)", "  As = ", as, 5e-5},
      {"GEAR 1 (blue)", "(tool at x = ", xE1, 5e-5},
      {"GEAR 2 (orange)", "  d  = ", 72.0, 5e-4},
      {"GEAR 2 (orange)", "  da = ", 79.400, 5e-4},  // published
      {"GEAR 2 (orange)", "  df = ", 72.0 - 2.5 * m + 2.0 * xE2 * m, 5e-4},
      {"GEAR 2 (orange)", "  db = ", 72.0 * std::cos(kAlpha), 5e-4},
      {"GEAR 2 (orange)", "(x min = ", MinShift(24, 0.0), 5e-4},
      {"GEAR 2 (orange)", "   bore = ", 20.0, 5e-3},
      // DIN 6885-1 row 17 < d ≤ 22: b 6, t2 2.8, h 6.
      {"GEAR 2 (orange)", "  keyway b × t2 = ", 6.0, 0.05},
  };
  ExpectValues(text, rows);
  for (const char* title : {"GEAR 1 (blue)", "GEAR 2 (orange)"}) {
    const GearRecord& g = title[5] == '1' ? Gear1 : Gear2;
    const double xE = title[5] == '1' ? xE1 : xE2;
    int64_t spanK = static_cast<int64_t>(ValueAfter(text, title, "span over k = "));
    EXPECT_NEAR(ValueAfter(text, title, "  Wk = "), DinSpan(m, g.toothCount, xE, 0.0, spanK), 5e-4) << title;
    double ball = ValueAfter(text, title, "pins Ø ");
    EXPECT_NEAR(ValueAfter(text, title, "  Md = "), DinBallDimension(m, g.toothCount, xE, 0.0, ball), 5e-4)
        << title;
  }
  // The number of teeth spanned after DIN 3960: z α_x/π + 0.5, cos α_x = z cos α/(z + 2x).
  for (auto [z, x, title] : {std::tuple{12.0, kPairX1, "GEAR 1 (blue)"}, std::tuple{24.0, kPairX2, "GEAR 2 (orange)"}}) {
    double ax = std::acos(z * std::cos(kAlpha) / (z + 2.0 * x));
    EXPECT_EQ(ValueAfter(text, title, "span over k = "), std::round(z * ax / kPi + 0.5)) << title;
  }
  // Our own closed form of ε_α on the published pair, as a check of the published
  // value we compare with.
  {
    double r1 = 18.0, r2 = 36.0, rb1 = r1 * std::cos(kAlpha), rb2 = r2 * std::cos(kAlpha);
    double ra1 = r1 + m * (1.0 + kPairX1 - k), ra2 = r2 + m * (1.0 + kPairX2 - k);
    double aw = std::acos((rb1 + rb2) / kPairA);
    double eps = (std::sqrt(ra1 * ra1 - rb1 * rb1) + std::sqrt(ra2 * ra2 - rb2 * rb2) - kPairA * std::sin(aw)) /
                 (kPi * m * std::cos(kAlpha));
    EXPECT_NEAR(eps, 1.202, 5e-4);
  }
}

// ---------------------------------------------------------------------------
// Single helical gear, m 2.5, z 21 (odd), x 0.2, β 15° left, b 30, bore 25 with a
// DIN keyway, automatic hub on both sides 12 mm long, allowance 0.05.

void BuildSingleHelical() {
  InitGearParams(Gear1, 2.5, 21, 0.2, 20.0, 30.0, 25.0, 0.0, 15.0, -1);
  Gear1.thicknessAllowance = 0.05;
  ComputeExternalGearGeometry(Gear1, 1);
  Controls().SetState(GadgetKeyway1, 1);
  Controls().SetState(GadgetHub1, 3);
  Controls().SetText(GadgetHubDiameter1, "");
  Controls().SetText(GadgetHubLength1, "12");
  ComputeHubAndKey(Gear1, 0);
  DisplayMode = static_cast<int>(DisplayKind::Single);
}

TEST_F(ReportGolden, SingleHelicalGear) {
  CheckBothLanguages("single", BuildSingleHelical);
  std::string text = BuildReportText();
  const double m = 2.5, beta = 15.0 * kPi / 180.0, z = 21.0;
  const double mt = m / std::cos(beta), at = std::atan(std::tan(kAlpha) / std::cos(beta));
  const double d = z * mt, xE = 0.2 - 0.05 / (2.0 * m * std::tan(kAlpha));
  int64_t spanK = static_cast<int64_t>(ValueAfter(text, "GEAR", "span over k = "));
  double ball = ValueAfter(text, "GEAR", "balls Ø ");
  std::vector<Expectation> rows = {
      {"GEAR", "  z  = ", 21.0, 0.0},
      {"GEAR", "     mn = ", 2.5, 0.0},
      {"GEAR", " mm   mt = ", mt, 5e-5},
      {"GEAR", "  β  = ", 15.0, 5e-4},
      {"GEAR", "   βb = ", std::asin(std::sin(beta) * std::cos(kAlpha)) * kRadToDeg, 5e-4},
      {"GEAR", "°   αt = ", at * kRadToDeg, 5e-4},
      {"GEAR", "(x min = ", MinShift(21, beta), 5e-4},
      {"GEAR", "  d  = ", d, 5e-4},
      {"GEAR", "  da = ", d + 2.0 * m * 1.2, 5e-4},
      {"GEAR", "  df = ", d - 2.5 * m + 2.0 * xE * m, 5e-4},
      {"GEAR", "  db = ", d * std::cos(at), 5e-4},
      {"GEAR", "  st = ", mt * (kPi / 2.0 + 2.0 * xE * std::tan(kAlpha)), 5e-4},
      {"GEAR", "  pz = ", kPi * d / std::tan(beta), 5e-3},
      {"GEAR", "(tool at x = ", xE, 5e-5},
      // DIN 6885-1 row 22 < d ≤ 30: b 8, t2 3.3, h 7.
      {"GEAR", "  keyway b × t2 = ", 8.0, 0.05},
      {"GEAR", "8.0 × ", 3.3, 0.05},
      // Automatic hub: min(max(1.8 bore, 2 (bore/2 + t2) + 2·3), 2 r_f − 2 m).
      {"GEAR", "  hub Ø ", std::min(std::max(45.0, 2.0 * (12.5 + 3.3) + 6.0), 2.0 * (d / 2.0 - 1.25 * m + xE * m) - 2.0 * m), 0.05},
      {"GEAR", "(total length ", 30.0 + 2.0 * 12.0, 0.05},
      {"GEAR", "  Wk = ", DinSpan(m, 21, xE, beta, spanK), 5e-4},
      {"GEAR", "  Md = ", DinBallDimension(m, 21, xE, beta, ball), 5e-4},
  };
  ExpectValues(text, rows);
  // k from the virtual tooth number z' = z inv α_t / inv α_n.
  double zv = z * Inv(at) / Inv(kAlpha);
  double ax = std::acos(zv * std::cos(kAlpha) / (zv + 0.4));
  EXPECT_EQ(static_cast<double>(spanK), std::round(zv * ax / kPi + 0.5));
}

// ---------------------------------------------------------------------------
// Pinion m 2, z 18, x 0.3, β 10° right with a rack of 12 teeth, H_p 20, b 20,
// normal backlash 0.1.

void BuildRackPair() {
  const double as = 0.1 / (2.0 * std::cos(kAlpha));
  InitGearParams(Gear1, 2.0, 18, 0.3, 20.0, 20.0, 0.0, 0.0, 10.0, 1);
  Gear1.thicknessAllowance = as;
  ComputeExternalGearGeometry(Gear1, 1);
  ComputeHubAndKey(Gear1, 0);
  BuildRackOutline(Rack, 2.0, 20.0, 10.0, 1, 12, 20.0, 20.0, as, 1);
  DisplayMode = static_cast<int>(DisplayKind::PinionRack);
}

TEST_F(ReportGolden, PinionWithRack) {
  CheckBothLanguages("rack", BuildRackPair);
  std::string text = BuildReportText();
  const double m = 2.0, beta = 10.0 * kPi / 180.0, x = 0.3, as = 0.1 / (2.0 * std::cos(kAlpha));
  const double mt = m / std::cos(beta), at = std::atan(std::tan(kAlpha) / std::cos(beta));
  const double r = 18.0 * mt / 2.0, rb = r * std::cos(at), ra = r + m * (1.0 + x);
  const double pt = kPi * mt;
  // Path of contact from the pinion's tip circle to the rack's tip line, in the
  // transverse plane: √(r_a² − r_b²) − r sin α_t + (h_a − x m)/sin α_t.
  const double epsAlpha =
      (std::sqrt(ra * ra - rb * rb) - r * std::sin(at) + (m - x * m) / std::sin(at)) / (pt * std::cos(at));
  const double epsBeta = 20.0 * std::sin(beta) / (kPi * m);
  std::vector<Expectation> rows = {
      {"", "  a  = ", r + x * m, 5e-4},
      {"", "  H  = ", r + x * m + 20.0, 5e-4},
      {"", "  β  = ", 10.0, 5e-4},
      {"", "  pt = ", pt, 5e-5},
      {"", "(pn = ", kPi * m, 5e-5},
      {"", "  v  = ", 18.0 * pt, 5e-4},
      {"", "  jn = ", 0.1, 5e-5},
      {"", "  εα = ", epsAlpha, 5e-4},
      {"", "  εβ = ", epsBeta, 5e-4},
      {"", "  εγ = ", epsAlpha + epsBeta, 6e-4},
      {"RACK (orange)", "  n  = ", 12.0, 0.0},
      {"RACK (orange)", "L = ", 12.0 * pt, 5e-4},
      {"RACK (orange)", "  s  = ", (kPi * m / 2.0 - as) / std::cos(beta), 5e-4},
      {"RACK (orange)", "  ha = ", 2.0, 5e-4},
      {"RACK (orange)", "hf = ", 2.5, 5e-4},
      {"RACK (orange)", "  Hp = ", 20.0, 5e-4},
      {"PINION (blue)", "  da = ", 2.0 * ra, 5e-4},
      {"PINION (blue)", "  d  = ", 2.0 * r, 5e-4},
  };
  ExpectValues(text, rows);
}

// ---------------------------------------------------------------------------
// Internal pair: pinion m 2, z 20, x 0.1 in a ring of 50 teeth, x 0.1 (Δx = 0), β
// 12° right, at the reference centre distance, rim 8, b 20, backlash 0.1, the ring
// tip moved out of the pinion's root fillet as the shortening option does.

double InternalA() { return (50.0 - 20.0) * 2.0 / std::cos(12.0 * kPi / 180.0) / 2.0; }

void BuildInternalPair() {
  const double as = 0.1 / (2.0 * std::cos(kAlpha)), a = InternalA();
  InitGearParams(Gear1, 2.0, 20, 0.1, 20.0, 20.0, 0.0, 0.0, 12.0, 1);
  Gear1.thicknessAllowance = as;
  ComputeExternalGearGeometry(Gear1, 1);
  ComputeHubAndKey(Gear1, 0);
  GenerateToothProfile(RingGear, 2.0, 50, 0.1, 20.0, 20.0, 8.0, as, 12.0, 1, 1, 0.0);
  double limit = ComputeRingTipLimitRadius(Gear1, RingGear, a) + 0.0001 * 2.0;
  if (RingGear.tipRadius < limit)
    GenerateToothProfile(RingGear, 2.0, 50, 0.1, 20.0, 20.0, 8.0, as, 12.0, 1, 1, limit);
  GearRecord pinion = Gear1;
  ComputeExternalGearGeometry(pinion, 3);
  GearRecord ring;
  GenerateToothProfile(ring, 2.0, 50, 0.1, 20.0, 20.0, 8.0, as, 12.0, 1, 3, RingGear.tipRadiusOverride);
  InternalCentreDistance = a;
  InternalPenetration = ComputeInternalMeshPenetration(pinion, ring, a);
  DisplayMode = static_cast<int>(DisplayKind::Internal);
}

TEST_F(ReportGolden, InternalPair) {
  CheckBothLanguages("internal", BuildInternalPair);
  std::string text = BuildReportText();
  const double m = 2.0, beta = 12.0 * kPi / 180.0, a = InternalA();
  const double mt = m / std::cos(beta), at = std::atan(std::tan(kAlpha) / std::cos(beta));
  const double as = 0.1 / (2.0 * std::cos(kAlpha));
  const double r1 = 20.0 * mt / 2.0, r2 = 50.0 * mt / 2.0;
  const double rb1 = r1 * std::cos(at), rb2 = r2 * std::cos(at);
  const double ra1 = r1 + m * 1.1;
  const double ra2 = ValueAfter(text, "RING GEAR (orange)", "  da = ") / 2.0;
  // At the reference centre distance α_w is α_t; the path of contact of an
  // internal pair is √(r_a1² − r_b1²) − √(r_a2² − r_b2²) + a sin α_w.
  const double path = std::sqrt(ra1 * ra1 - rb1 * rb1) - std::sqrt(ra2 * ra2 - rb2 * rb2) + a * std::sin(at);
  const double xE2 = 0.1 + as / (2.0 * m * std::tan(kAlpha));
  std::vector<Expectation> rows = {
      {"", "  a  = ", a, 5e-4},
      {"", "  a0 = ", a, 5e-4},
      {"", "  i  = ", 2.5, 5e-5},
      {"", "  β  = ", 12.0, 5e-4},
      {"", "  αw = ", at * kRadToDeg, 5e-4},
      {"", "  Δx = ", 0.0, 5e-5},
      {"", "  jn = ", 0.1, 5e-5},
      // The tip of the ring was moved, so its printed radius (3 decimals) enters
      // the path: 5e-4 in d_a moves the path by about 2e-3 here.
      {"", "  gα = ", path, 3e-3},
      {"", "  εα = ", path / (kPi * mt * std::cos(at)), 6e-4},
      {"", "  c1 = ", r2 + m * (1.25 + xE2) - (a + ra1), 5e-4},
      {"RING GEAR (orange)", "  d  = ", 2.0 * r2, 5e-4},
      {"RING GEAR (orange)", "  df = ", 2.0 * (r2 + m * (1.25 + xE2)), 5e-4},
      {"RING GEAR (orange)", "  db = ", 2.0 * rb2, 5e-4},
      {"RING GEAR (orange)", "  Da = ", 2.0 * (r2 + m * (1.25 + xE2) + 8.0), 5e-4},
      {"RING GEAR (orange)", "  e  = ", mt * (kPi / 2.0 + 2.0 * xE2 * std::tan(kAlpha)), 5e-4},
      {"PINION (blue)", "  da = ", 2.0 * ra1, 5e-4},
  };
  ExpectValues(text, rows);
  // The ring tip was raised out of its nominal circle r − m (1 − x), so the tip
  // reduction line is there.
  EXPECT_GT(ra2, r2 - m * 0.9);
  EXPECT_FALSE(std::isnan(ValueAfter(text, "RING GEAR (orange)", "  k·m = ")));
}

// ---------------------------------------------------------------------------
// The same cases typed into the tabs: the commands put exactly the golden text
// into the report control.

std::string GoldenText(const std::string& name) {
  std::ifstream in(std::string(KOVREX_SOURCE_DIR) + "/tests/golden/" + name + ".txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST_F(ReportGolden, PairCommandFillsTheReportControl) {
  PairResultList = {PairCombination{3.0, 12, 24, 0.0, 2.0, 0.0, 0.96, 0.0}};
  PairSelectedRow = 0;
  const std::pair<int, const char*> fields[] = {
      {GadgetPairCentreDistance, "56,5"}, {GadgetPairPressureAngle, "20"}, {GadgetPairX1, "0.6"},
      {GadgetPairFaceWidth, "20"},        {GadgetPairBacklash, "0.1"},     {GadgetPairBore1, "0"},
      {GadgetPairBore2, "20"},
  };
  for (auto [control, text] : fields) store.SetText(control, text);
  store.SetState(GadgetPairHand, 0);  // right
  store.SetState(GadgetKeyway2, 1);   // DIN 6885-1
  for (bool dutch : {false, true}) {
    SetTextLanguageForTest(dutch);
    ASSERT_EQ(ComputePairFromSelection(/*refit=*/false), 0);
    EXPECT_EQ(store.GetText(GadgetReport), GoldenText(dutch ? "report_pair_nl" : "report_pair_en"));
  }
}

TEST_F(ReportGolden, SingleGearCommandFillsTheReportControl) {
  const std::pair<int, const char*> fields[] = {
      {GadgetSingleModule, "2.5"},     {GadgetSingleTeeth, "21"},      {GadgetSingleProfileShift, "0.2"},
      {GadgetSinglePressureAngle, "20"}, {GadgetSingleHelixAngle, "15"}, {GadgetSingleFaceWidth, "30"},
      {GadgetSingleThicknessAllowance, "0.05"}, {GadgetSingleBore, "25"}, {GadgetHubLength1, "12"},
  };
  for (auto [control, text] : fields) store.SetText(control, text);
  store.SetState(GadgetSingleHand, 1);  // left
  store.SetState(GadgetKeyway1, 1);
  store.SetState(GadgetHub1, 3);
  for (bool dutch : {false, true}) {
    SetTextLanguageForTest(dutch);
    ASSERT_EQ(ComputeSingleGearFromInputs(/*refit=*/false), 0);
    EXPECT_EQ(store.GetText(GadgetReport), GoldenText(dutch ? "report_single_nl" : "report_single_en"));
  }
}

TEST_F(ReportGolden, RackCommandFillsTheReportControl) {
  const std::pair<int, const char*> fields[] = {
      {GadgetRackModule, "2"},        {GadgetRackPinionTeeth, "18"}, {GadgetRackProfileShift, "0.3"},
      {GadgetRackPressureAngle, "20"}, {GadgetRackHelixAngle, "10"},  {GadgetRackFaceWidth, "20"},
      {GadgetRackPinionBore, "0"},    {GadgetRackBacklash, "0.1"},   {GadgetRackTeeth, "12"},
      {GadgetRackHeight, "20"},
  };
  for (auto [control, text] : fields) store.SetText(control, text);
  store.SetState(GadgetRackHand, 0);  // right
  for (bool dutch : {false, true}) {
    SetTextLanguageForTest(dutch);
    ASSERT_EQ(ComputeRackFromInputs(/*refit=*/0), 0);
    EXPECT_EQ(store.GetText(GadgetReport), GoldenText(dutch ? "report_rack_nl" : "report_rack_en"));
  }
}

TEST_F(ReportGolden, InternalCommandFillsTheReportControl) {
  InternalResultList = {InternalCombination{2.0, 20, 50, 12.0, 2.5, 0.0, 0.0, 0.0}};
  InternalSelectedRow = 0;
  // Seventeen decimals read back as the same double, so the command works at
  // exactly the reference centre distance of the golden case.
  const std::string a = FormatFixed(17, InternalA());
  const std::pair<int, std::string> fields[] = {
      {GadgetInternalCentreDistance, a}, {GadgetInternalPressureAngle, "20"}, {GadgetInternalX1, "0.1"},
      {GadgetInternalFaceWidth, "20"},   {GadgetInternalBacklash, "0.1"},     {GadgetInternalPinionBore, "0"},
      {GadgetInternalRingRim, "8"},
  };
  for (const auto& [control, text] : fields) store.SetText(control, text);
  store.SetState(GadgetInternalHand, 0);        // right
  store.SetState(GadgetInternalShortenTip, 1);  // move the ring tip out of the pinion's fillet
  for (bool dutch : {false, true}) {
    SetTextLanguageForTest(dutch);
    ComputeInternalPairFromSelection(/*fitView=*/0);
    EXPECT_EQ(store.GetText(GadgetReport), GoldenText(dutch ? "report_internal_nl" : "report_internal_en"));
  }
}

// ---------------------------------------------------------------------------
// Over a grid of inputs the arrangements accept (z 3 … 1000, x −1 … 1.5, α 10 …
// 35°, β 0 … 45°, A_s 0 … 0.2), built by the generators, no report line holds
// "nan", "inf" or a negative zero.

struct GridInput {
  double module;
  int64_t z;
  double x, alphaDeg, betaDeg, allowance;
  bool withHub;
};

std::vector<GridInput> InputGrid() {
  std::vector<GridInput> grid;
  int n = 0;
  for (int64_t z : {3, 4, 5, 7, 12, 17, 21, 50, 101, 200, 1000})
    for (double x : {-1.0, -0.5, 0.0, 0.5, 1.0, 1.5})
      for (double alpha : {10.0, 20.0, 35.0})
        for (double beta : {0.0, 15.0, 45.0})
          for (double as : {0.0, 0.2}) grid.push_back({n % 3 == 0 ? 0.5 : 2.0, z, x, alpha, beta, as, ++n % 2 == 0});
  return grid;
}

// Bore, DIN keyway and an automatic hub on both sides for half of the cases.
void AddHub(GearRecord& g, const GridInput& in, int wheel) {
  if (in.withHub) {
    g.boreDiameter = 0.4 * in.module * static_cast<double>(in.z);
    Controls().SetState(wheel == 0 ? GadgetKeyway1 : GadgetKeyway2, 1);
    Controls().SetState(wheel == 0 ? GadgetHub1 : GadgetHub2, 3);
    Controls().SetText(wheel == 0 ? GadgetHubLength1 : GadgetHubLength2, "10");
  } else {
    Controls().SetState(wheel == 0 ? GadgetKeyway1 : GadgetKeyway2, 0);
    Controls().SetState(wheel == 0 ? GadgetHub1 : GadgetHub2, 0);
  }
  ComputeHubAndKey(g, wheel);
}

void BuildExternal(GearRecord& g, const GridInput& in, int64_t z, double x, double k, int64_t hand, int wheel) {
  InitGearParams(g, in.module, z, x, in.alphaDeg, 20.0, 0.0, k, in.betaDeg, hand);
  g.thicknessAllowance = in.allowance;
  AddHub(g, in, wheel);  // the bore must be in place before the geometry
  ComputeExternalGearGeometry(g, 1);
  AddHub(g, in, wheel);
}

class ReportSweep : public KovrexTest {
 protected:
  void ExpectClean(const GridInput& in) {
    for (bool dutch : {false, true}) {
      SetTextLanguageForTest(dutch);
      std::string text = BuildReportText();
      ASSERT_FALSE(text.empty());
      ASSERT_EQ(FirstBadLine(text), "") << "mode " << DisplayMode << " m " << in.module << " z " << in.z << " x "
                                        << in.x << " α " << in.alphaDeg << " β " << in.betaDeg << " As "
                                        << in.allowance << "\n" << text;
    }
  }
};

TEST_F(ReportSweep, SingleGear) {
  for (const GridInput& in : InputGrid()) {
    BuildExternal(Gear1, in, in.z, in.x, 0.0, 1, 0);
    DisplayMode = static_cast<int>(DisplayKind::Single);
    ExpectClean(in);
  }
}

TEST_F(ReportSweep, ExternalPair) {
  for (const GridInput& in : InputGrid()) {
    const int64_t z2 = std::min<int64_t>(2 * in.z + 1, 1000);
    const double x2 = 0.2, beta = in.betaDeg * kPi / 180.0;
    // A centre distance that moves with the profile shifts, and the tip
    // shortening of the pair command (never negative).
    const double a = in.module * static_cast<double>(in.z + z2) / (2.0 * std::cos(beta)) + (in.x + x2) * in.module;
    const double k = std::max(0.0, static_cast<double>(in.z + z2) / (2.0 * std::cos(beta)) + in.x + x2 - a / in.module);
    BuildExternal(Gear1, in, in.z, in.x, k, 1, 0);
    BuildExternal(Gear2, in, z2, x2, k, -1, 1);
    PairCentreDistance = a;
    DisplayMode = static_cast<int>(DisplayKind::Pair);
    ExpectClean(in);
  }
}

TEST_F(ReportSweep, PinionWithRack) {
  for (const GridInput& in : InputGrid()) {
    BuildExternal(Gear1, in, in.z, in.x, 0.0, 1, 0);
    const int64_t teeth = in.z % 2 == 0 ? 10 : 1;
    BuildRackOutline(Rack, in.module, in.alphaDeg, in.betaDeg, 1, teeth, 3.0 * in.module, 20.0, in.allowance, 1);
    DisplayMode = static_cast<int>(DisplayKind::PinionRack);
    ExpectClean(in);
  }
}

TEST_F(ReportSweep, InternalPair) {
  for (const GridInput& in : InputGrid()) {
    const int64_t z2 = in.z + (in.z % 2 == 0 ? 6 : 31);
    const double beta = in.betaDeg * kPi / 180.0;
    BuildExternal(Gear1, in, in.z, in.x, 0.0, 1, 0);
    GenerateToothProfile(RingGear, in.module, z2, in.x, in.alphaDeg, 20.0, in.withHub ? 8.0 : 0.5, in.allowance,
                         in.betaDeg, 1, 1, 0.0);
    InternalCentreDistance = in.module * static_cast<double>(z2 - in.z) / (2.0 * std::cos(beta));
    InternalPenetration = in.withHub ? -1e9 : 0.0123;
    DisplayMode = static_cast<int>(DisplayKind::Internal);
    ExpectClean(in);
  }
}

}  // namespace
}  // namespace kovrex
