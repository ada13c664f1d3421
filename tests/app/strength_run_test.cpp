// The strength run on the in-memory strength window: reading the load and factor
// fields with their substitutes, the pair chosen by the display mode, the status
// line with its colour, the report and the copy text, and the failure outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/app_state.h"
#include "app/strength_run.h"
#include "capacity/load_capacity.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"
#include "strength_window_fixture.h"
#include "text/texts.h"

namespace kovrex {
namespace {

class StrengthRunTest : public test::StrengthWindowTest {
 protected:
  void SetUp() override {
    StrengthWindowTest::SetUp();
    StrengthWindowOpen = 1;
    store.SetText(GadgetReport, "GEAR PAIR\n  m = 2 mm\n");
  }

  static void MakeGear(GearRecord& g, int64_t z, int64_t hand) {
    InitGearParams(g, 2.0, z, 0.0, 20.0, 20.0, 0.0, 0.0, 0.0, hand);
    ComputeExternalGearGeometry(g, 1);
  }

  void ShowPair() {
    MakeGear(Gear1, 20, 1);
    MakeGear(Gear2, 40, -1);
    PairCentreDistance = 60.0;
    DisplayMode = static_cast<int>(DisplayKind::Pair);
  }

  void ShowRack() {
    MakeGear(Gear1, 20, 1);
    BuildRackOutline(Rack, 2.0, 20.0, 0.0, 1, 30, 10.0, 20.0, 0.0, 1);
    DisplayMode = static_cast<int>(DisplayKind::PinionRack);
  }

  void ShowInternal() {
    MakeGear(Gear1, 20, 1);
    GenerateToothProfile(RingGear, 2.0, 60, 0.0, 20.0, 20.0, 8.0, 0.0, 0.0, 1, 1, 0.0);
    InternalCentreDistance = 40.0;
    DisplayMode = static_cast<int>(DisplayKind::Internal);
  }

  std::string Status() const { return store.GetText(GadgetStrengthStatus); }
  std::string Report() const { return store.GetText(GadgetStrengthReport); }
  std::vector<int> StatusColour() {
    const int* b = store.Raw(GadgetStrengthStatus).background;
    return {b[0], b[1], b[2]};
  }
};

const std::vector<int> kGrey = {225, 225, 230};
const std::vector<int> kRed = {240, 140, 140};
const std::vector<int> kAmber = {250, 205, 120};
const std::vector<int> kGreen = {170, 225, 170};

TEST_F(StrengthRunTest, ClosedWindowChangesNothing) {
  ShowPair();
  StrengthWindowOpen = 0;
  store.SetText(GadgetStrengthStatus, "old");
  StrengthReportText = "old text";
  ComputeStrengthAndReport();
  EXPECT_EQ(Status(), "old");
  EXPECT_EQ(StrengthReportText, "old text");
  EXPECT_EQ(StrengthResultGlobal.ok, 0);
}

TEST_F(StrengthRunTest, PowerAndTorqueModes) {
  ShowPair();
  // Power mode (entry 0): 5 kW at 1500 /min is T1 = 5 * 9550 / 1500 = 31.83 N m.
  ComputeStrengthAndReport();
  ASSERT_EQ(StrengthResultGlobal.ok, 1) << Report();
  EXPECT_NEAR(StrengthResultGlobal.torque1, 31.8333333, 1e-6);
  EXPECT_NE(Report().find("  T1 = 31.83 Nm   n1 = 1500 /min   n2 = 750.0 /min\n"), std::string::npos);
  // Torque mode (entry 1): the value is T1 itself.
  store.SetState(GadgetLoadKind, 1);
  store.SetText(GadgetLoadLabel, "Torque T1 [Nm]");
  store.SetText(GadgetLoadValue, "50");
  ComputeStrengthAndReport();
  EXPECT_DOUBLE_EQ(StrengthResultGlobal.torque1, 50.0);
  EXPECT_NE(StrengthReportText.find("  Torque T1 [Nm] = 50   n1 = 1500 /min   KA = 1.25"), std::string::npos);
}

TEST_F(StrengthRunTest, ZeroSpeedIsNotCalculated) {
  ShowPair();
  StrengthReportText = "previous";
  store.SetText(GadgetSpeedN1, "0");
  ComputeStrengthAndReport();
  EXPECT_EQ(Status(), "Not calculated");
  EXPECT_EQ(StatusColour(), kGrey);
  EXPECT_EQ(Report(), "No valid input (geometry, torque or speed).");
  EXPECT_TRUE(StrengthReportText.empty());
  SetTextLanguageForTest(true);
  ComputeStrengthAndReport();
  EXPECT_EQ(Status(), "Niet berekend");
  EXPECT_EQ(Report(), "Geen geldige invoer (geometrie, koppel of toerental).");
}

TEST_F(StrengthRunTest, SubstitutesForUnusableFactors) {
  ShowPair();
  store.SetText(GadgetApplicationFactor, "0,8");
  store.SetText(GadgetMinSafetyF, "0");
  store.SetText(GadgetMinSafetyH, "");
  store.SetText(GadgetLifeHours, "-3");
  ComputeStrengthAndReport();
  ASSERT_EQ(StrengthResultGlobal.ok, 1);
  EXPECT_NE(Report().find("  KA 1.00   KV "), std::string::npos);
  EXPECT_NE(StrengthReportText.find("KA = 1.00"), std::string::npos);
  EXPECT_NE(Report().find("  S_F  (min 1.40)"), std::string::npos);
  EXPECT_NE(Report().find("  S_H  (min 1.00)"), std::string::npos);
  // Life 1 h: N1 = 1500 * 60.
  EXPECT_DOUBLE_EQ(StrengthResultGlobal.loadCycles[0], 90000.0);
  // A typed application factor is read from the start of the text.
  store.SetText(GadgetApplicationFactor, "1,6");
  ComputeStrengthAndReport();
  EXPECT_NE(Report().find("  KA 1.60   KV "), std::string::npos);
}

TEST_F(StrengthRunTest, PoissonRatioOutsideItsRangeIsReplacedLikeAnEmptyModulus) {
  ShowPair();
  ComputeStrengthAndReport();
  const double sigmaH = StrengthResultGlobal.sigmaH;
  for (const char* nu : {"1", "0.5", "0", "-0,2", "7"}) {
    store.SetText(GadgetNu2, nu);
    store.SetText(GadgetE1, "0");
    ComputeStrengthAndReport();
    ASSERT_EQ(StrengthResultGlobal.ok, 1) << nu;
    EXPECT_DOUBLE_EQ(StrengthResultGlobal.sigmaH, sigmaH) << nu;  // nu 0.30, E 206000
    EXPECT_EQ(Status().rfind("Insufficient", 0) == 0 || Status().rfind("Tight", 0) == 0 ||
                  Status().rfind("Sufficient", 0) == 0,
              true);
  }
}

TEST_F(StrengthRunTest, NoGearPair) {
  for (DisplayKind mode : {DisplayKind::Single, DisplayKind::Nothing}) {
    MakeGear(Gear1, 20, 1);
    DisplayMode = static_cast<int>(mode);
    StrengthReportText = "previous";
    ComputeStrengthAndReport();
    EXPECT_EQ(Status(), "No gear pair");
    EXPECT_EQ(StatusColour(), kGrey);
    EXPECT_EQ(Report(), "Choose the tab Pair, Rack or Internal.\nA single gear has no mating gear to calculate with.");
    EXPECT_TRUE(StrengthReportText.empty());
  }
  SetTextLanguageForTest(true);
  ComputeStrengthAndReport();
  EXPECT_EQ(Status(), "Geen tandwielpaar");
  EXPECT_EQ(Report(),
            "Kies het tabblad Paar, Heugel of Binnen.\nEen enkel tandwiel heeft geen tegenwiel om mee te rekenen.");
}

TEST_F(StrengthRunTest, RackHasItsSpeedAndNoSecondShaft) {
  ShowRack();
  ComputeStrengthAndReport();
  ASSERT_EQ(StrengthResultGlobal.ok, 1) << Report();
  // v rack = pi 40 1500 / 60000 = 3.142 m/s.
  EXPECT_NE(Report().find("  T1 = 31.83 Nm   n1 = 1500 /min   v rack = 3.142 m/s\n"), std::string::npos);
  EXPECT_EQ(Report().find("n2 ="), std::string::npos);
  EXPECT_NE(Report().find("  torque on the shaft [Nm]          31.83          -\n"), std::string::npos);
  EXPECT_NE(Report().find("  standard size DIN 748 [mm]  "), std::string::npos);
  EXPECT_NE(StrengthReportText.find("  rack: "), std::string::npos);
  EXPECT_EQ(Report().find("  rack: "), std::string::npos);  // no key verdict for the rack
  // The contact ratio came from the pinion-rack line of action (above 1 for 20 teeth).
  EXPECT_GT(StrengthResultGlobal.epsAlpha, 1.4);
  EXPECT_LT(StrengthResultGlobal.epsAlpha, 1.8);
  SetTextLanguageForTest(true);
  ComputeStrengthAndReport();
  EXPECT_NE(Report().find("   v heugel = 3.142 m/s\n"), std::string::npos);
  EXPECT_NE(Report().find("                                   wiel 1     heugel\n"), std::string::npos);
}

TEST_F(StrengthRunTest, InternalPair) {
  ShowInternal();
  ComputeStrengthAndReport();
  ASSERT_EQ(StrengthResultGlobal.ok, 1) << Report();
  EXPECT_DOUBLE_EQ(StrengthResultGlobal.ratio, 3.0);
  EXPECT_GT(StrengthResultGlobal.epsAlpha, 1.5);
  EXPECT_NE(Report().find("       gear 1       ring\n"), std::string::npos);
  // A ring without a valid outline: the contact ratio stays at its floor 0.5 and
  // the calculation refuses the invalid gear.
  RingGear.valid = 0;
  ComputeStrengthAndReport();
  EXPECT_EQ(Status(), "Not calculated");
  EXPECT_DOUBLE_EQ(StrengthResultGlobal.epsAlpha, 0.0);
  EXPECT_EQ(Report(), "No valid input (geometry, torque or speed).");
}

TEST_F(StrengthRunTest, ContactRatioOfEachArrangementAndItsFloor) {
  // m 2, z1 20, x 0, alpha 20 deg; p_bt = 2 pi cos 20, r_b = z cos 20 (m = 2).
  //   pair 20/40 at a = 60:  (sqrt(22^2 - r_b1^2) + sqrt(42^2 - r_b2^2) - 60 sin 20) / p_bt
  //   rack:                  (sqrt(22^2 - r_b1^2) - 20 sin 20 + 2 / sin 20) / p_bt
  //   ring 60 at a = 40:     the ring's tip circle (58) cuts the line 0.07 mm before
  //                          T1, deep in the pinion's root fillet; contact starts
  //                          where the pinion's involute does, which the rack's
  //                          straight flank ends (1.25 - 0.38 (1 - sin 20)) m below
  //                          its datum: (sqrt(22^2 - r_b1^2) - 20 sin 20 +
  //                          (1.25 - 0.38 (1 - sin 20)) 2 / sin 20) / p_bt
  //   pair 20/40 at a = 63:  0.350 from the working angle arccos(60 cos 20 / 63),
  //                          below the floor 0.5.
  const double sin20 = std::sin(20 * kDegToRad), cos20 = std::cos(20 * kDegToRad);
  const double kInternalUsablePath =
      (std::sqrt(22.0 * 22.0 - 400 * cos20 * cos20) - 20 * sin20 + (1.25 - 0.38 * (1 - sin20)) * 2 / sin20) /
      (2 * kPi * cos20);
  const struct {
    const char* name;
    DisplayKind mode;
    double centreDistance;  // 0: as the arrangement sets it
    double epsAlpha;
  } cases[] = {
      {"pair", DisplayKind::Pair, 0.0, 1.6351859635714583},
      {"rack", DisplayKind::PinionRack, 0.0, 1.768823700210277},
      {"internal", DisplayKind::Internal, 0.0, kInternalUsablePath},
      {"pair far apart", DisplayKind::Pair, 63.0, 0.5},
  };
  for (const auto& c : cases) {
    if (c.mode == DisplayKind::Pair) ShowPair();
    if (c.mode == DisplayKind::PinionRack) ShowRack();
    if (c.mode == DisplayKind::Internal) ShowInternal();
    if (c.centreDistance > 0.0) PairCentreDistance = c.centreDistance;
    ComputeStrengthAndReport();
    ASSERT_EQ(StrengthResultGlobal.ok, 1) << c.name << ": " << Report();
    EXPECT_NEAR(StrengthResultGlobal.epsAlpha, c.epsAlpha, 1e-9) << c.name;
  }
}

TEST_F(StrengthRunTest, StatusLineAndCopyText) {
  ShowPair();
  ComputeStrengthAndReport();
  ASSERT_EQ(StrengthResultGlobal.ok, 1);
  const StrengthResult& r = StrengthResultGlobal;
  // m 2, 20/40 teeth with 31.8 N m on 42CrMo4: the flanks are below their limit.
  EXPECT_LT(std::min(r.SH[0], r.SH[1]), 1.0);
  EXPECT_EQ(Status().rfind("Insufficient  (S_H ", 0), 0u) << Status();
  EXPECT_EQ(StatusColour(), kRed);
  // The copy text: header with the main report, the status, a blank line, the body.
  const std::string header = "STRENGTH CALCULATION (indicative, ISO 6336 / DIN 3990)\n\nGEAR PAIR\n  m = 2 mm\n\nINPUT\n";
  EXPECT_EQ(StrengthReportText.rfind(header, 0), 0u);
  const std::string tail = "RESULT: " + Status() + "\n\n" + Report();
  ASSERT_GE(StrengthReportText.size(), tail.size());
  EXPECT_EQ(StrengthReportText.substr(StrengthReportText.size() - tail.size()), tail);
  EXPECT_NE(StrengthReportText.find("  ISO 1328 grade 7, hobbed / shaped, oil\n"), std::string::npos);
  EXPECT_NE(StrengthReportText.find("  gear 1: 42CrMo4 quenched and tempered (~300 HB) (750 / 300 N/mm2)\n"),
            std::string::npos);

  // A light load: both safeties well above their minimum, green.
  store.SetText(GadgetLoadValue, "0,5");
  ComputeStrengthAndReport();
  EXPECT_EQ(Status().rfind("Sufficient  (S_H ", 0), 0u) << Status();
  EXPECT_EQ(StatusColour(), kGreen);
}

TEST_F(StrengthRunTest, BoreJustAboveTheTorsionDiameterIsTight) {
  ShowPair();
  store.SetText(GadgetLoadValue, "0,5");  // S_H and S_F far above their minimum
  // d_req = (16000 T KA / (pi tau))^(1/3) with T = 0.5 * 9550 / 1500, KA 1.25, tau 40.
  const double t1 = 0.5 * 9550.0 / 1500.0;
  const double dReq = std::cbrt(16000.0 * t1 * 1.25 / (kPi * 40.0));
  Gear1.boreDiameter = 1.05 * dReq;
  ComputeStrengthAndReport();
  ASSERT_EQ(StrengthResultGlobal.ok, 1);
  EXPECT_GT(std::min(StrengthResultGlobal.SH[0], StrengthResultGlobal.SH[1]), 1.1);
  EXPECT_GT(std::min(StrengthResultGlobal.SF[0], StrengthResultGlobal.SF[1]) / 1.4, 1.1);
  EXPECT_EQ(Status().rfind("Tight  (S_H ", 0), 0u) << Status();
  EXPECT_EQ(StatusColour(), kAmber);
  SetTextLanguageForTest(true);
  ComputeStrengthAndReport();
  EXPECT_EQ(Status().rfind("Krap  (S_H ", 0), 0u) << Status();
}

TEST_F(StrengthRunTest, KeyRowsOfAPairWithKeyways) {
  ShowPair();
  // DIN 6885-1 keys in both bores: 20 mm (6 x 6, t1 3.5) and 25 mm (8 x 7, t1 4).
  const struct {
    GearRecord* g;
    double bore, b, t2, h, t1;
  } keyed[] = {{&Gear1, 20.0, 6, 2.8, 6, 3.5}, {&Gear2, 25.0, 8, 3.3, 7, 4.0}};
  for (const auto& k : keyed) {
    k.g->boreDiameter = k.bore;
    k.g->keywayWidth = k.b;
    k.g->keywayDepth = k.t2;
    k.g->keyHeight = k.h;
    k.g->keyHeightInHub = k.h - k.t1;
    k.g->keyIsDin = 1;
  }
  ComputeStrengthAndReport();
  ASSERT_EQ(StrengthResultGlobal.ok, 1);
  const std::string report = Report();
  const char* rows[] = {"  key b×h, bearing height k      6×6 k2.5   8×7 k3.0\n",
                        "  key length / bearing [mm]     20.0/14.0  20.0/12.0\n", "  p / p perm [N/mm²]  ",
                        "  S_p  (min 1.00)  ", "  required key length [mm]  "};
  for (const char* row : rows) EXPECT_NE(report.find(row), std::string::npos) << row << "\n" << report;
  EXPECT_NE(report.find("  gear 1: 1 key is sufficient\n"), std::string::npos) << report;
  EXPECT_NE(report.find("  gear 2: "), std::string::npos);
}

TEST_F(StrengthRunTest, FailedKeyCheckShowsZerosAndNoKeyRows) {
  ShowPair();
  store.SetText(GadgetLoadValue, "0,5");
  Gear1.boreDiameter = 20.0;
  Gear1.keywayWidth = 6;
  Gear1.keywayDepth = 2.8;
  Gear1.keyHeight = 6;
  Gear1.keyHeightInHub = 2.5;
  // A custom shaft with its yield field left empty: no key check for either gear
  // (never an infinite key length), zeros in the rows of gear A, empty verdicts.
  store.SetState(GadgetShaftMaterial, 5);
  store.SetText(GadgetShaftYield, "");
  ComputeStrengthAndReport();
  ASSERT_EQ(StrengthResultGlobal.ok, 1);
  const std::string report = Report();
  EXPECT_NE(report.find("  torque on the shaft [Nm]           0.00       0.00\n"), std::string::npos) << report;
  EXPECT_NE(report.find("  d min torsion [mm]                  0.0        0.0\n"), std::string::npos);
  EXPECT_NE(report.find("  bore [mm]                             -          -\n"), std::string::npos);
  EXPECT_EQ(report.find("key b×h"), std::string::npos);
  EXPECT_NE(report.find("  gear 1: \n  gear 2: \n"), std::string::npos);
  EXPECT_EQ(report.find("Infinity"), std::string::npos);
  EXPECT_EQ(report.find("NaN"), std::string::npos);
  // The verdict rests on the safety factors alone.
  EXPECT_EQ(Status().rfind("Sufficient", 0), 0u) << Status();
}

}  // namespace
}  // namespace kovrex
