// Commands of the Pair and Single tabs on the in-memory controls: the search and
// its messages, the proposed profile shifts, the mesh of a computed pair (checked
// with DIN 3960 closed forms), a published profile-shifted pair, and the inputs
// that are rejected without changing anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/control_defaults.h"
#include "app/controls.h"
#include "app/pair_commands.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/line_of_action.h"
#include "numbers/number_text.h"
#include "support/test_support.h"
#include "text/texts.h"

namespace kovrex {
namespace {

double Inv(double a) { return std::tan(a) - a; }

// Inverse involute by bisection, independent of the program's Newton steps.
double InvInverse(double v) {
  double lo = 0.0, hi = 1.55;
  for (int i = 0; i < 200; ++i) (Inv(0.5 * (lo + hi)) < v ? lo : hi) = 0.5 * (lo + hi);
  return lo;
}

// Working centre distance of a profile-shift sum (DIN 3960).
double WorkingCentreDistance(double m, int64_t z1, int64_t z2, double alphaDeg, double betaDeg, double sumX) {
  const double an = alphaDeg * kDegToRad, b = betaDeg * kDegToRad;
  const double at = std::atan(std::tan(an) / std::cos(b));
  const double aw = InvInverse(Inv(at) + 2.0 * sumX * std::tan(an) / static_cast<double>(z1 + z2));
  return m / std::cos(b) * static_cast<double>(z1 + z2) / 2.0 * std::cos(at) / std::cos(aw);
}

class PairCommandsTest : public test::KovrexTest {
 protected:
  void SetUp() override {
    KovrexTest::SetUp();
    struct Field {
      int control;
      const char* text;
    };
    const Field fields[] = {
        {GadgetPairCentreDistance, "60"}, {GadgetPairRatio, "2"},      {GadgetPairPressureAngle, "20"},
        {GadgetPairHelixAngle, "0"},      {GadgetPairTolerance, "2"},  {GadgetPairSumXMin, "-0.5"},
        {GadgetPairSumXMax, "1.0"},       {GadgetPairZMin, "12"},      {GadgetPairX1, "0"},
        {GadgetPairFaceWidth, "10"},      {GadgetPairBacklash, "0"},   {GadgetPairBore1, "8"},
        {GadgetPairBore2, "12"},          {GadgetSingleModule, "2"},   {GadgetSingleTeeth, "20"},
        {GadgetSingleProfileShift, "0"},  {GadgetSinglePressureAngle, "20"}, {GadgetSingleHelixAngle, "0"},
        {GadgetSingleFaceWidth, "10"},    {GadgetSingleThicknessAllowance, "0"}, {GadgetSingleBore, "8"},
    };
    for (const Field& f : fields) store.SetText(f.control, f.text);
    for (int c : {GadgetPairHand, GadgetPairSearchBeta, GadgetPairSeries2, GadgetSingleHand}) store.SetState(c, 0);
  }

  // A clean start inside a test that walks several cases.
  void Restart() {
    TearDown();
    services = test::ScriptedServices{};
    store.Clear();
    SetUp();
  }

  // A single row to compute, as if a search had found it.
  void UseRow(double m, int64_t z1, int64_t z2, double betaDeg, double sumX) {
    PairCombination r;
    r.module = m;
    r.teeth1 = z1;
    r.teeth2 = z2;
    r.helixAngleDeg = betaDeg;
    r.profileShiftSum = sumX;
    r.actualRatio = static_cast<double>(z2) / z1;
    PairResultList = {r};
  }

  // Computes the only row with x1 as typed (without the proposal of a selection).
  void ComputeRowWithX1(const std::string& x1) {
    PairSelectedRow = 0;
    store.SetText(GadgetPairX1, x1);
    ASSERT_EQ(ComputePairFromSelection(true), 0);
  }
};

TEST_F(PairCommandsTest, SearchOnTheStartUpDefaultsFillsTheResultList) {
  store.AddItem(GadgetPairResults, "old row");
  PairSelectedRow = 4;
  SearchPairCombinations();
  ASSERT_FALSE(PairResultList.empty());
  EXPECT_EQ(PairSelectedRow, -1);
  EXPECT_TRUE(services.messages.empty());
  ASSERT_EQ(store.CountItems(GadgetPairResults), static_cast<int>(PairResultList.size()));
  EXPECT_EQ(store.GetItemText(GadgetPairResults, 0), "0.2\n200\n400\n2.000\n0.00\n0.000\n0.000");
  int m1 = -1;
  for (int k = 0; k < store.CountItems(GadgetPairResults); ++k)
    if (store.GetItemText(GadgetPairResults, k) == "1\n40\n80\n2.000\n0.00\n0.000\n0.000") m1 = k;
  ASSERT_GE(m1, 0);
  for (int k = 0; k < static_cast<int>(PairResultList.size()); ++k) {
    if (PairResultList[k].module < 1.0) {
      EXPECT_LT(k, m1);
    }
    if (PairResultList[k].module > 1.0) {
      EXPECT_GT(k, m1);
    }
  }
}

TEST_F(PairCommandsTest, SearchReadsTheHelixModeAndSeriesTwoBoxes) {
  store.SetText(GadgetPairHelixAngle, "20");
  store.SetState(GadgetPairSearchBeta, 1);
  store.SetState(GadgetPairSeries2, 1);
  SearchPairCombinations();
  ASSERT_FALSE(PairResultList.empty());
  bool series2 = false, helical = false;
  for (const PairCombination& r : PairResultList) {
    EXPECT_EQ(r.profileShiftSum, 0.0);
    EXPECT_LE(r.helixAngleDeg, 20.0 + 1e-9);
    series2 = series2 || r.module == 1.125;
    helical = helical || r.helixAngleDeg > 1.0;
  }
  EXPECT_TRUE(series2);
  EXPECT_TRUE(helical);
}

TEST_F(PairCommandsTest, InvalidSearchInputShowsTheWarningInBothLanguages) {
  struct Case {
    int control;
    const char* text;
  };
  const Case cases[] = {{GadgetPairZMin, "2"},         {GadgetPairPressureAngle, "9.9"},
                        {GadgetPairHelixAngle, "45.1"}, {GadgetPairCentreDistance, "0"},
                        {GadgetPairRatio, "-2"},        {GadgetPairPressureAngle, "nan"}};
  for (bool dutch : {false, true}) {
    SetTextLanguageForTest(dutch);
    for (const Case& c : cases) {
      Restart();
      SetTextLanguageForTest(dutch);
      store.SetText(c.control, c.text);
      SearchPairCombinations();
      ASSERT_EQ(services.messages.size(), 1u) << c.text;
      EXPECT_EQ(services.messages[0].icon, MessageIcon::Warning);
      EXPECT_EQ(services.messages[0].title, "Kovrex");
      EXPECT_EQ(services.messages[0].text,
                dutch ? "Controleer hartafstand, verhouding, drukhoek (10..35), β (0..45) en z min."
                      : "Check centre distance, ratio, pressure angle (10..35), β (0..45) and z min.")
          << c.text;
      EXPECT_TRUE(PairResultList.empty());
      EXPECT_EQ(store.CountItems(GadgetPairResults), 0);
      EXPECT_EQ(PairSelectedRow, -1);
    }
  }
}

TEST_F(PairCommandsTest, NoCombinationShowsTheInformationOfItsMode) {
  struct Case {
    bool dutch;
    int helixMode;
    const char* text;
  };
  const Case cases[] = {
      {false, 0, "No combinations found. Increase the tolerance or the limits of Σx."},
      {false, 1, "No combinations found. Increase the tolerance or the maximum β."},
      {true, 0, "Geen combinaties gevonden. Vergroot de tolerantie of de grenzen van Σx."},
      {true, 1, "Geen combinaties gevonden. Vergroot de tolerantie of de maximale β."},
  };
  for (const Case& c : cases) {
    Restart();
    SetTextLanguageForTest(c.dutch);
    store.SetText(GadgetPairRatio, "34");  // 34 * 12 teeth is already more than 400
    store.SetState(GadgetPairSearchBeta, c.helixMode);
    SearchPairCombinations();
    ASSERT_EQ(services.messages.size(), 1u) << c.text;
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Info);
    EXPECT_EQ(services.messages[0].title, "Kovrex");
    EXPECT_EQ(services.messages[0].text, c.text);
    EXPECT_EQ(store.CountItems(GadgetPairResults), 0);
    EXPECT_EQ(PairSelectedRow, -1);
  }
}

TEST_F(PairCommandsTest, SelectingTheFirstRowComputesTheStartUpPair) {
  SearchPairCombinations();
  DriveAngle = 1.0;
  store.SetText(GadgetPairX1, "0.7");
  EXPECT_EQ(SelectPairCombination(0), 0);
  EXPECT_EQ(PairSelectedRow, 0);
  EXPECT_EQ(DisplayMode, static_cast<int>(DisplayKind::Pair));
  EXPECT_EQ(DriveAngle, 0.0);
  EXPECT_EQ(PairCentreDistance, 60.0);
  EXPECT_EQ(Gear1.toothCount, 200);
  EXPECT_EQ(Gear2.toothCount, 400);
  EXPECT_EQ(store.GetText(GadgetPairX1), "0.0000");  // neither gear needs a shift against undercut
  EXPECT_EQ(store.GetText(GadgetPairX2Text), "x2 = 0.0000");
  EXPECT_GT(services.redraws, 0);
  // The start-up pair has contact points on its line of action at every angle.
  for (double phi : {0.0, 0.01, 0.02}) {
    ContactGeometry l;
    ComputePairLineOfAction(Gear1, Gear2, l, PairCentreDistance, phi);
    EXPECT_GE(l.contactCount, 1) << phi;
  }
  EXPECT_EQ(SelectPairCombination(-1), 1);
  EXPECT_EQ(SelectPairCombination(static_cast<int64_t>(PairResultList.size())), 1);
  EXPECT_EQ(PairSelectedRow, 0);
}

TEST_F(PairCommandsTest, ProposedShiftKeepsTheSmallerGearFreeOfUndercut) {
  // x_min = 1.25 - 0.38 (1 - sin 20 deg) - z sin^2 20 deg / 2: 0.298101 for 12
  // teeth, -1.34 for 40, so a sum of 0.2 gives x1 = 0.298101, x2 = -0.098101 (and
  // the mirror image when gear 2 is the small one). The small gear's share is
  // written upward, to 0.2982: "0.2981" read back is below its x min.
  const double s = std::sin(20.0 * kDegToRad);
  const double xMin12 = 1.25 - 0.38 * (1.0 - s) - 12.0 * s * s / 2.0;
  ASSERT_NEAR(xMin12, 0.298101, 1e-6);
  struct Case {
    int64_t z1, z2;
    double sumX;
    const char* x1;
    const char* x2;
  };
  const Case cases[] = {
      {12, 40, 0.2, "0.2982", "x2 = -0.0982"},
      {40, 12, 0.2, "-0.0982", "x2 = 0.2982"},
      // 13 teeth: x min 0.239612, the case of the Internal tab's default row
      {13, 39, 0.3, "0.2397", "x2 = 0.0603"},
      {39, 13, 0.3, "0.0603", "x2 = 0.2397"},
      {40, 80, 0.3, "0.1500", "x2 = 0.1500"},  // no undercut either way: half each
  };
  for (const Case& c : cases) {
    UseRow(2.0, c.z1, c.z2, 0.0, c.sumX);
    store.SetText(GadgetPairCentreDistance,
                  FormatFixed(9, WorkingCentreDistance(2.0, c.z1, c.z2, 20.0, 0.0, c.sumX)));
    EXPECT_EQ(SelectPairCombination(0), 0);
    EXPECT_EQ(store.GetText(GadgetPairX1), c.x1) << c.z1;
    EXPECT_EQ(store.GetText(GadgetPairX2Text), c.x2) << c.z1;
    EXPECT_NEAR(Gear1.profileShift + Gear2.profileShift, c.sumX, 1e-12);
    // The proposal never flags itself, on either gear.
    EXPECT_EQ(Gear1.undercutFlag, 0) << c.z1;
    EXPECT_EQ(Gear2.undercutFlag, 0) << c.z1;
    EXPECT_EQ(store.GetText(GadgetReport).find(Tx(TextId::RptWarnUndercut)), std::string::npos) << c.z1;
  }
}

// x1 = 5 on a row of the start-up search (m 0.5, 80/160): the tips no longer reach
// the line of action (the ratio of the formula is about -1.5). No negative ratio
// is printed, and the warning stays.
TEST_F(PairCommandsTest, HugeShiftPrintsNoNegativeContactRatio) {
  store.Clear();
  PopulateMainWindowControls(store);
  SearchPairCombinations();
  int64_t row = -1;
  for (size_t i = 0; i < PairResultList.size(); ++i)
    if (PairResultList[i].module == 0.5 && PairResultList[i].teeth1 == 80) row = static_cast<int64_t>(i);
  ASSERT_GE(row, 0);
  ASSERT_EQ(SelectPairCombination(row), 0);
  store.SetText(GadgetPairX1, "5");
  ASSERT_EQ(ComputePairFromSelection(false), 0);
  // The tips do not even reach the line between the tangent points: no path of
  // contact, and a contact ratio that is 0, never negative.
  EXPECT_EQ(ComputePairContactRatio(Gear1, Gear2, PairCentreDistance), 0.0);
  const std::string report = store.GetText(GadgetReport);
  EXPECT_NE(report.find("  εα = -   transverse contact ratio\n"), std::string::npos) << report;
  EXPECT_NE(report.find("  gα = -   length of path of contact A–E\n"), std::string::npos) << report;
  EXPECT_NE(report.find(Tx(TextId::RptWarnContactRatio)), std::string::npos) << report;
}

TEST_F(PairCommandsTest, HandOfGearTwoIsTheOpposite) {
  SearchPairCombinations();
  for (int state : {0, 1}) {
    store.SetState(GadgetPairHand, state);
    SelectPairCombination(0);
    EXPECT_EQ(Gear1.hand, state == 0 ? 1 : -1);
    EXPECT_EQ(Gear2.hand, -Gear1.hand);
  }
}

TEST_F(PairCommandsTest, TipShorteningAtTheReferenceCentreDistance) {
  // m 2, z 20 / 40, a 60 = m (z1 + z2) / 2: no shift needs no shortening; a shift sum
  // of 0.5 at the same a needs k = 0.5, and both tips drop 0.5 m below r + m (1 + x).
  struct Case {
    double sumX;
    const char* x1;
    double k;
  };
  for (const Case& c : {Case{0.0, "0", 0.0}, Case{0.5, "0.25", 0.5}, Case{0.5, "0.4", 0.5}}) {
    UseRow(2.0, 20, 40, 0.0, c.sumX);
    ComputeRowWithX1(c.x1);
    const double x1 = ParseDecimalNumber(c.x1);
    EXPECT_NEAR(Gear1.tipShortening, c.k, 1e-12);
    EXPECT_NEAR(Gear2.tipShortening, c.k, 1e-12);
    EXPECT_NEAR(Gear1.tipRadius, 20.0 + 2.0 * (1.0 + x1) - 2.0 * c.k, 1e-9) << c.x1;
    EXPECT_NEAR(Gear2.tipRadius, 40.0 + 2.0 * (1.0 + c.sumX - x1) - 2.0 * c.k, 1e-9) << c.x1;
  }
}

// The teeth of a computed pair fill each other on the working pitch circles:
// s_w = d_w (s / d + inv alpha_t - inv alpha_w) for each gear (DIN 3960), and the
// transverse gap p_w - s_w1 - s_w2 seen along the normal is the backlash jn. The
// tips, shortened by k, leave 0.25 m to the mating root on both sides.
struct Mesh {
  double normalBacklash;
  double clearance1, clearance2;  // a - r_a1 - r_f2, a - r_a2 - r_f1
};

Mesh MeasureMesh(const GearRecord& g1, const GearRecord& g2, double a) {
  const double aw = std::acos((g1.baseRadius + g2.baseRadius) / a);
  const double rw1 = g1.baseRadius / std::cos(aw), rw2 = g2.baseRadius / std::cos(aw);
  auto sw = [&](const GearRecord& g, double rw) {
    return 2.0 * rw * (g.pitchToothThickness / (2.0 * g.pitchRadius) + Inv(g.transversePressureAngle) - Inv(aw));
  };
  const double pw = 2.0 * kPi * rw1 / static_cast<double>(g1.toothCount);
  EXPECT_NEAR(pw, 2.0 * kPi * rw2 / static_cast<double>(g2.toothCount), 1e-9);
  Mesh m;
  m.normalBacklash = (pw - sw(g1, rw1) - sw(g2, rw2)) * std::cos(aw) * std::cos(g1.baseHelixAngle);
  m.clearance1 = a - g1.tipRadius - g2.rootRadius;
  m.clearance2 = a - g2.tipRadius - g1.rootRadius;
  return m;
}

// Second method: the arc of tooth 0 on the circle of radius rw, measured where the
// outline (regenerated densely) crosses that circle.
double OutlineThicknessAt(const GearRecord& displayed, double rw) {
  GearRecord g = displayed;
  ComputeExternalGearGeometry(g, /*detail=*/16);
  const double half = kPi / static_cast<double>(g.toothCount);
  double lo = 0.0, hi = 0.0;
  int found = 0;
  for (const OutlinePolyline& line : g.outline) {
    for (size_t k = 1; k < line.points.size(); ++k) {
      const OutlinePoint p = line.points[k - 1], q = line.points[k];
      const double dx = q.x - p.x, dy = q.y - p.y;
      // |p + t d| = rw, 0 <= t < 1.
      const double qa = dx * dx + dy * dy, qb = 2.0 * (p.x * dx + p.y * dy), qc = p.x * p.x + p.y * p.y - rw * rw;
      const double disc = qb * qb - 4.0 * qa * qc;
      if (qa == 0.0 || disc < 0.0) continue;
      for (double t : {(-qb - std::sqrt(disc)) / (2.0 * qa), (-qb + std::sqrt(disc)) / (2.0 * qa)}) {
        if (t < 0.0 || t >= 1.0) continue;
        const double angle = std::atan2(p.y + t * dy, p.x + t * dx);
        if (std::fabs(angle) >= half) continue;
        lo = std::min(lo, angle);
        hi = std::max(hi, angle);
        ++found;
      }
    }
  }
  EXPECT_EQ(found, 2);
  return rw * (hi - lo);
}

TEST_F(PairCommandsTest, ComputedPairsMeshWithoutBacklashAndWithTheClearance) {
  struct Case {
    const char* a;
    const char* beta;
    int helixMode;
  };
  const Case cases[] = {{"60", "0", 0}, {"61.3", "0", 0}, {"58.7", "12", 0}, {"60", "25", 1}};
  for (const Case& c : cases) {
    Restart();
    store.SetText(GadgetPairCentreDistance, c.a);
    store.SetText(GadgetPairHelixAngle, c.beta);
    store.SetState(GadgetPairSearchBeta, c.helixMode);
    SearchPairCombinations();
    ASSERT_FALSE(PairResultList.empty()) << c.a;
    int checked = 0, measured = 0;
    for (int64_t row = 0; row < static_cast<int64_t>(PairResultList.size()); ++row) {
      const PairCombination r = PairResultList[static_cast<size_t>(row)];
      ASSERT_EQ(SelectPairCombination(row), 0);
      ASSERT_TRUE(Gear1.valid && Gear2.valid);
      if (Gear1.pointedTipFlag || Gear2.pointedTipFlag) continue;
      const double a = ParseDecimalNumber(c.a);
      const Mesh m = MeasureMesh(Gear1, Gear2, a);
      EXPECT_NEAR(m.normalBacklash, 0.0, 1e-9) << c.a << " m " << r.module << " z1 " << r.teeth1;
      EXPECT_NEAR(m.clearance1, 0.25 * r.module, 1e-9) << c.a << " m " << r.module << " z1 " << r.teeth1;
      EXPECT_NEAR(m.clearance2, 0.25 * r.module, 1e-9) << c.a << " m " << r.module << " z1 " << r.teeth1;
      if (r.teeth2 <= 100) {
        const double aw = std::acos((Gear1.baseRadius + Gear2.baseRadius) / a);
        const double rw1 = Gear1.baseRadius / std::cos(aw), rw2 = Gear2.baseRadius / std::cos(aw);
        EXPECT_NEAR(OutlineThicknessAt(Gear1, rw1) + OutlineThicknessAt(Gear2, rw2),
                    2.0 * kPi * rw1 / static_cast<double>(r.teeth1), 1e-4 * r.module)
            << c.a << " m " << r.module << " z1 " << r.teeth1;
        ++measured;
      }
      ++checked;
    }
    EXPECT_GT(checked, 2) << c.a;
    EXPECT_GT(measured, 0) << c.a;
  }
}

TEST_F(PairCommandsTest, BacklashOfTheComputedPairIsTheOneEntered) {
  for (const char* beta : {"0", "15"}) {
    for (const char* jn : {"0.1", "0.05"}) {
      Restart();
      store.SetText(GadgetPairHelixAngle, beta);
      store.SetText(GadgetPairBacklash, jn);
      SearchPairCombinations();
      ASSERT_GT(PairResultList.size(), 10u);
      SelectPairCombination(static_cast<int64_t>(PairResultList.size() / 2));
      EXPECT_NEAR(MeasureMesh(Gear1, Gear2, 60.0).normalBacklash, ParseDecimalNumber(jn), 1e-9) << beta << " " << jn;
    }
  }
}

// Published example: m 3, alpha 20 deg, z 12 / 24, x 0.6 / 0.36, a 56.5 mm:
// alpha_w 26.0888 deg, d_a 44.840 / 79.400 mm, eps_alpha 1.202.
TEST_F(PairCommandsTest, PublishedProfileShiftedPair) {
  UseRow(3.0, 12, 24, 0.0, 0.96);
  store.SetText(GadgetPairCentreDistance, "56.5");
  ComputeRowWithX1("0.6");
  EXPECT_EQ(store.GetText(GadgetPairX2Text), "x2 = 0.3600");
  EXPECT_NEAR(2.0 * Gear1.tipRadius, 44.840, 5e-4);
  EXPECT_NEAR(2.0 * Gear2.tipRadius, 79.400, 5e-4);
  ContactGeometry l;
  ComputePairLineOfAction(Gear1, Gear2, l, PairCentreDistance, 0.0);
  EXPECT_NEAR(l.workingPressureAngle * kRadToDeg, 26.0888, 5e-5);
  EXPECT_NEAR(ComputePairContactRatio(Gear1, Gear2, PairCentreDistance), 1.202, 5e-4);
}

// What a rejected input must leave alone.
struct Snapshot {
  GearRecord g1, g2;
  int displayMode;
  double centreDistance;
  int64_t selectedRow;
  std::string x2Text, report;
};

Snapshot Take(const MemoryControlStore& store) {
  return {Gear1, Gear2, DisplayMode, PairCentreDistance, PairSelectedRow,
          store.GetText(GadgetPairX2Text), store.GetText(GadgetReport)};
}

void ExpectUnchanged(const Snapshot& s, const MemoryControlStore& store, const std::string& what) {
  EXPECT_EQ(DisplayMode, s.displayMode) << what;
  EXPECT_EQ(PairCentreDistance, s.centreDistance) << what;
  EXPECT_EQ(store.GetText(GadgetPairX2Text), s.x2Text) << what;
  EXPECT_EQ(store.GetText(GadgetReport), s.report) << what;
  for (int k = 0; k < 2; ++k) {
    const GearRecord& now = k == 0 ? Gear1 : Gear2;
    const GearRecord& was = k == 0 ? s.g1 : s.g2;
    EXPECT_EQ(now.toothCount, was.toothCount) << what;
    EXPECT_EQ(now.normalModule, was.normalModule) << what;
    EXPECT_EQ(now.profileShift, was.profileShift) << what;
    EXPECT_EQ(now.pressureAngle, was.pressureAngle) << what;
    EXPECT_EQ(now.faceWidth, was.faceWidth) << what;
    EXPECT_EQ(now.boreDiameter, was.boreDiameter) << what;
    EXPECT_EQ(now.tipRadius, was.tipRadius) << what;
    EXPECT_EQ(now.thicknessAllowance, was.thicknessAllowance) << what;
    EXPECT_EQ(now.outline.size(), was.outline.size()) << what;
  }
}

TEST_F(PairCommandsTest, InputsThatCannotMakeTheSelectedPairChangeNothing) {
  SearchPairCombinations();
  ASSERT_EQ(SelectPairCombination(0), 0);
  const double rbSum = Gear1.baseRadius + Gear2.baseRadius;  // 56.38 mm
  struct Case {
    int control;
    std::string text;
  };
  const Case cases[] = {
      {GadgetPairCentreDistance, FormatFixed(6, rbSum - 1e-5)},
      {GadgetPairCentreDistance, "40"},
      {GadgetPairCentreDistance, "0"},
      {GadgetPairCentreDistance, "-60"},
      {GadgetPairPressureAngle, "9.9"},
      {GadgetPairPressureAngle, "35.5"},
      {GadgetPairFaceWidth, "0"},
      {GadgetPairFaceWidth, "-10"},
      {GadgetPairBore1, "-1"},
      {GadgetPairBore2, "-0.5"},
  };
  const int redraws = services.redraws;
  for (const Case& c : cases) {
    const std::string old = store.GetText(c.control);
    store.SetText(GadgetPairX1, "0.1");
    const Snapshot before = Take(store);
    store.SetText(c.control, c.text);
    EXPECT_EQ(ComputePairFromSelection(false), 1) << c.text;
    ExpectUnchanged(before, store, "field " + std::to_string(c.control) + " = " + c.text);
    // Picking another row with the same inputs computes nothing either.
    SelectPairCombination(1);
    ExpectUnchanged(before, store, "row 1, field " + std::to_string(c.control) + " = " + c.text);
    store.SetText(c.control, old);
    PairSelectedRow = 0;
  }
  EXPECT_EQ(services.redraws, redraws);
  EXPECT_TRUE(services.messages.empty());
  // The same fields back in range compute again.
  store.SetText(GadgetPairX1, "0.1");
  EXPECT_EQ(ComputePairFromSelection(false), 0);
  EXPECT_NEAR(Gear1.profileShift, 0.1, 1e-12);
}

TEST_F(PairCommandsTest, NoSelectedRowComputesNothing) {
  EXPECT_EQ(ComputePairFromSelection(true), 1);
  EXPECT_EQ(DisplayMode, 0);
  EXPECT_EQ(Gear1.toothCount, 0);
}

TEST_F(PairCommandsTest, SingleGearFromTheInputs) {
  EXPECT_EQ(ComputeSingleGearFromInputs(false), 0);
  EXPECT_EQ(DisplayMode, static_cast<int>(DisplayKind::Single));
  EXPECT_EQ(Gear1.toothCount, 20);
  EXPECT_EQ(Gear1.normalModule, 2.0);
  EXPECT_NEAR(Gear1.pitchRadius, 20.0, 1e-12);
  EXPECT_NEAR(Gear1.tipRadius, 22.0, 1e-12);
  EXPECT_EQ(Gear1.faceWidth, 10.0);
  EXPECT_EQ(Gear1.boreDiameter, 8.0);
  EXPECT_EQ(Gear1.hand, 1);
  EXPECT_TRUE(Gear1.valid);
  store.SetState(GadgetSingleHand, 1);
  store.SetText(GadgetSingleHelixAngle, "15");
  EXPECT_EQ(ComputeSingleGearFromInputs(false), 0);
  EXPECT_EQ(Gear1.hand, -1);
  EXPECT_NEAR(Gear1.helixAngle, 15.0 * kDegToRad, 1e-15);
}

TEST_F(PairCommandsTest, SingleGearThicknessAllowanceThinsTheToothAndDeepensTheRoot) {
  // A_s moves the tool by A_s / (2 tan alpha_n) toward the gear: the tooth loses
  // A_s at the pitch circle and the root drops by that tool shift; the tip stays.
  ComputeSingleGearFromInputs(false);
  const GearRecord plain = Gear1;
  store.SetText(GadgetSingleThicknessAllowance, "0,1");
  ComputeSingleGearFromInputs(false);
  EXPECT_NEAR(Gear1.thicknessAllowance, 0.1, 1e-15);
  EXPECT_NEAR(Gear1.pitchToothThickness, plain.pitchToothThickness - 0.1, 1e-12);
  EXPECT_NEAR(Gear1.rootRadius, plain.rootRadius - 0.1 / (2.0 * std::tan(20.0 * kDegToRad)), 1e-12);
  EXPECT_EQ(Gear1.tipRadius, plain.tipRadius);
}

TEST_F(PairCommandsTest, RejectedSingleGearInputsChangeNothing) {
  SearchPairCombinations();
  SelectPairCombination(0);
  struct Case {
    int control;
    const char* text;
  };
  const Case cases[] = {
      {GadgetSingleTeeth, "2"},          {GadgetSingleTeeth, "1001"},      {GadgetSinglePressureAngle, "9.9"},
      {GadgetSinglePressureAngle, "35.1"}, {GadgetSingleHelixAngle, "-1"}, {GadgetSingleHelixAngle, "46"},
      {GadgetSingleModule, "0"},         {GadgetSingleModule, "-2"},       {GadgetSingleFaceWidth, "0"},
      {GadgetSingleFaceWidth, "-5"},     {GadgetSingleBore, "-1"},
  };
  // Once with the pair on display, once with a single gear on display.
  for (bool singleShown : {false, true}) {
    if (singleShown) {
      ASSERT_EQ(ComputeSingleGearFromInputs(false), 0);
    }
    const int redraws = services.redraws;
    for (const Case& c : cases) {
      const std::string old = store.GetText(c.control);
      const Snapshot before = Take(store);
      store.SetText(c.control, c.text);
      EXPECT_EQ(ComputeSingleGearFromInputs(true), 1) << c.text;
      ExpectUnchanged(before, store, std::string("single ") + c.text);
      store.SetText(c.control, old);
    }
    EXPECT_EQ(services.redraws, redraws);
  }
  EXPECT_TRUE(services.messages.empty());
  // The limits themselves are accepted.
  const Case limits[] = {{GadgetSingleTeeth, "3"},          {GadgetSingleTeeth, "1000"},
                         {GadgetSinglePressureAngle, "10"}, {GadgetSinglePressureAngle, "35"},
                         {GadgetSingleHelixAngle, "45"},    {GadgetSingleBore, "0"}};
  for (const Case& c : limits) {
    Restart();
    store.SetText(c.control, c.text);
    EXPECT_EQ(ComputeSingleGearFromInputs(false), 0) << c.text;
  }
}

}  // namespace
}  // namespace kovrex
