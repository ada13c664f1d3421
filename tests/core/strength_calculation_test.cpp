// The load-capacity calculation of whole pairs: one spur pair worked by hand, the
// rack and the internal pair, the two failure messages, and inputs that would
// produce values that are not finite.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "capacity/load_capacity.h"
#include "capacity/strength_report.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"
#include "text/texts.h"

namespace kovrex {
namespace {

GearRecord ExternalGear(double m, int64_t z, double x, double faceWidth, double betaDeg = 0.0, int64_t hand = 1) {
  GearRecord g;
  InitGearParams(g, m, z, x, 20.0, faceWidth, 0.0, 0.0, betaDeg, hand);
  ComputeExternalGearGeometry(g, 1);
  return g;
}

StrengthInput SteelInput(double torque, double speed) {
  StrengthInput in;
  in.torque1 = torque;
  in.speed1 = speed;
  in.applicationFactor = 1.25;
  in.lifeHours = 20000;
  in.accuracyGrade = 7;
  in.minSafetyH = 1.0;
  in.minSafetyF = 1.4;
  for (int i = 0; i < 2; ++i) {
    in.sigmaHlim[i] = 750;
    in.sigmaFlim[i] = 300;
    in.elasticModulus[i] = 206000;
    in.poissonRatio[i] = 0.3;
  }
  return in;
}

TEST(StrengthCalculation, SpurPairWorkedByHand) {
  // m 2, z 20 / 40, x 0 / 0, b 20, a = 60 (so alpha_wt = 20 deg), T1 100 N m at
  // 1000 /min, KA 1.25, grade 7, hobbed, oil, 20000 h, 42CrMo4 Q+T on both.
  GearRecord g1 = ExternalGear(2.0, 20, 0.0, 20.0);
  GearRecord g2 = ExternalGear(2.0, 40, 0.0, 20.0, 0.0, -1);
  // eps_alpha = (sqrt(22^2 - rb1^2) + sqrt(42^2 - rb2^2) - 60 sin 20) / (pi 2 cos 20).
  const double epsAlpha = 1.6351859635714625;
  StrengthInput in = SteelInput(100.0, 1000.0);
  StrengthResult r;
  ASSERT_EQ(ComputeStrengthResults(g1, g2, ToothKind::External, 60.0, epsAlpha, in, r), 1) << r.message;
  EXPECT_EQ(r.ok, 1);
  EXPECT_TRUE(r.message.empty());

  // Ft = 2000 T1 / d1 = 5000 N; v = pi 40 1000 / 60000; u = 2; n2 = 500.
  EXPECT_NEAR(r.tangentialForce, 5000.0, 1e-9);
  EXPECT_NEAR(r.pitchLineVelocity, 2.0943951023931953, 1e-12);
  EXPECT_DOUBLE_EQ(r.ratio, 2.0);
  EXPECT_DOUBLE_EQ(r.speed2, 500.0);
  EXPECT_DOUBLE_EQ(r.faceWidth, 20.0);
  EXPECT_DOUBLE_EQ(r.epsBeta, 0.0);
  // w = 1.25 * 5000 / 20 = 312.5 N/mm: K_V = 1 + (26.8/312.5 + 0.0193) 20 v / 100 sqrt(4/5).
  EXPECT_NEAR(r.KV, 1.0393614419009674, 1e-12);
  // b = 20 <= 25, b/d1 = 0.5: C_pf 0.025, C_ma 0.127 + 0.000622 20 - 1.44e-7 400.
  EXPECT_NEAR(r.KHbeta, 1.1643824, 1e-12);
  EXPECT_DOUBLE_EQ(r.KHalpha, 1.0);
  EXPECT_DOUBLE_EQ(r.KFalpha, 1.0);
  // h = 4.5, r = b/h: K_Fbeta = K_Hbeta^(r^2/(1 + r + r^2)).
  EXPECT_NEAR(r.KFbeta, 1.126715613090558, 1e-12);
  EXPECT_NEAR(r.ZH, 2.494573171394589, 1e-9);
  EXPECT_NEAR(r.ZE, 189.8117004375665, 1e-9);
  EXPECT_NEAR(r.Zeps, 0.8878464650355822, 1e-12);
  EXPECT_DOUBLE_EQ(r.Zbeta, 1.0);
  EXPECT_DOUBLE_EQ(r.ZLVR, 0.85);
  EXPECT_NEAR(r.Yeps, 0.7086634283246297, 1e-12);
  EXPECT_DOUBLE_EQ(r.Ybeta, 1.0);
  // sigma_H = Z_H Z_E Z_eps sqrt(Ft/(d1 b) (u+1)/u) sqrt(KA K_V K_Hbeta K_Halpha).
  EXPECT_NEAR(r.sigmaH, 1583.17476410449, 1e-7);

  // N1 = 1000 60 20000 = 1.2e9, N2 = 6e8, both past the knee of class 0.
  EXPECT_DOUBLE_EQ(r.loadCycles[0], 1.2e9);
  EXPECT_DOUBLE_EQ(r.loadCycles[1], 6e8);
  const double znt[2] = {0.9071180989285744, 0.9266111718472873};
  const double ynt[2] = {0.8868855548160653, 0.8992878675334159};
  // Ft / (b m) Y_eps KA K_V K_Fbeta K_Falpha (Y_beta = 1): the part of sigma_F
  // without the two form factors.
  const double rootLoad = 129.6704329081775;
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(r.ZNT[i], znt[i], 1e-12) << i;
    EXPECT_NEAR(r.YNT[i], ynt[i], 1e-12) << i;
    EXPECT_DOUBLE_EQ(r.YX[i], 1.0);
    EXPECT_NEAR(r.sigmaHG[i], 750.0 * znt[i] * 0.85, 1e-9) << i;
    EXPECT_NEAR(r.SH[i], 750.0 * znt[i] * 0.85 / 1583.17476410449, 1e-9) << i;
    EXPECT_DOUBLE_EQ(r.YF[i], r.rootSection[i].formFactor);
    EXPECT_DOUBLE_EQ(r.YS[i], r.rootSection[i].stressCorrectionFactor);
    EXPECT_NEAR(r.sigmaF[i], rootLoad * r.YF[i] * r.YS[i], 1e-9) << i;
    EXPECT_NEAR(r.sigmaFG[i], 300.0 * 2.0 * ynt[i], 1e-9) << i;
    EXPECT_NEAR(r.SF[i], 600.0 * ynt[i] / (rootLoad * r.YF[i] * r.YS[i]), 1e-12) << i;
  }
  // Tip-load form factors of 20 and 40 teeth (ISO 6336-3 method B): 2.80 / 1.55 and
  // 2.405 / 1.669, to the per cent.
  EXPECT_NEAR(r.YF[0], 2.80, 0.028);
  EXPECT_NEAR(r.YS[0], 1.553, 0.0155);
  EXPECT_NEAR(r.YF[1], 2.405, 0.024);
  EXPECT_NEAR(r.YS[1], 1.669, 0.0167);
  // T1 (min S_H / S_H,min)^2 and T1 min S_F / S_F,min.
  const double minSh = std::min(r.SH[0], r.SH[1]);
  EXPECT_NEAR(r.maxTorquePitting, 100.0 * minSh * minSh, 1e-9);
  EXPECT_NEAR(r.maxTorqueRoot, 100.0 * std::min(r.SF[0], r.SF[1]) / 1.4, 1e-9);
  // The critical sections lie in the roots of each gear.
  EXPECT_GT(r.rootSection[0].sectionPosition, g1.rootRadius);
  EXPECT_LT(r.rootSection[0].sectionPosition, g1.pitchRadius);
  EXPECT_GT(r.rootSection[1].sectionPosition, g2.rootRadius);
}

TEST(StrengthCalculation, HelicalPairUsesItsVirtualGearsAndOverlap) {
  // beta 15 deg: virtual teeth 22 and 44; eps_beta = b sin(beta) / (pi m).
  GearRecord g1 = ExternalGear(2.0, 20, 0.0, 20.0, 15.0, 1);
  GearRecord g2 = ExternalGear(2.0, 40, 0.0, 20.0, 15.0, -1);
  const double a = g1.pitchRadius + g2.pitchRadius;
  StrengthInput in = SteelInput(50.0, 1500.0);
  StrengthResult r;
  ASSERT_EQ(ComputeStrengthResults(g1, g2, ToothKind::External, a, 1.5, in, r), 1);
  const double epsBeta = 20.0 * std::sin(15.0 * kPi / 180.0) / (kPi * 2.0);  // 0.82
  EXPECT_NEAR(r.epsBeta, epsBeta, 1e-12);
  EXPECT_NEAR(r.Zbeta, 1.0 / std::sqrt(std::cos(15.0 * kPi / 180.0)), 1e-12);
  EXPECT_NEAR(r.Ybeta, 1.0 - epsBeta * 15.0 / 120.0, 1e-12);
  EXPECT_NEAR(r.Zeps, std::sqrt((4.0 - 1.5) / 3.0 * (1.0 - epsBeta) + epsBeta / 1.5), 1e-12);
  const double cosBetaB = std::cos(g1.baseHelixAngle);
  EXPECT_NEAR(r.Yeps, 0.25 + 0.75 * cosBetaB * cosBetaB / 1.5, 1e-12);
  // Y_F, Y_S of the virtual spur gear with 22 teeth (method B, tip load: 2.723, 1.570).
  EXPECT_NEAR(r.YF[0], 2.723, 0.027);
  EXPECT_NEAR(r.YS[0], 1.570, 0.0157);
}

TEST(StrengthCalculation, RackAndInternalPair) {
  GearRecord pinion = ExternalGear(2.0, 20, 0.0, 20.0);
  GearRecord rack;
  BuildRackOutline(rack, 2.0, 20.0, 0.0, 1, 30, 10.0, 20.0, 0.0, 1);
  StrengthInput in = SteelInput(50.0, 600.0);
  StrengthResult r;
  ASSERT_EQ(ComputeStrengthResults(pinion, rack, ToothKind::Rack, 0.0, 1.6, in, r), 1) << r.message;
  // The rack: u = 0, n2 = 0, f_Z = 1 (Z_H at alpha_t), N2 = z1 N1 / n.
  EXPECT_DOUBLE_EQ(r.ratio, 0.0);
  EXPECT_DOUBLE_EQ(r.speed2, 0.0);
  EXPECT_NEAR(r.ZH, 2.494573171394589, 1e-9);
  EXPECT_DOUBLE_EQ(r.loadCycles[1], 20.0 * r.loadCycles[0] / 30.0);
  EXPECT_NEAR(r.YF[1], 2.06, 0.02);
  EXPECT_NEAR(r.YS[1], 1.97, 0.02);
  // K_V with f_u = 1 (w = 1.25 * 2500 / 20 = 156.25 N/mm) and sigma_H with f_Z = 1.
  const double ft = 2000.0 * 50.0 / 40.0;
  const double v = kPi * 40.0 * 600.0 / 60000.0;
  EXPECT_NEAR(r.KV, 1.0 + (26.8 / 156.25 + 0.0193) * 20.0 * v / 100.0, 1e-12);
  EXPECT_NEAR(r.sigmaH, r.ZH * r.ZE * r.Zeps * std::sqrt(ft / (40.0 * 20.0)) *
                            std::sqrt(1.25 * r.KV * r.KHbeta * r.KHalpha),
              1e-9);

  GearRecord ring;
  GenerateToothProfile(ring, 2.0, 60, 0.0, 20.0, 20.0, 8.0, 0.0, 0.0, 1, 1, 0.0);
  const double a = ring.pitchRadius - pinion.pitchRadius;  // x2 - x1 = 0
  ASSERT_EQ(ComputeStrengthResults(pinion, ring, ToothKind::Ring, a, 1.8, in, r), 1) << r.message;
  // Internal: u = 3, f_Z = (u - 1)/u, alpha_wt from (rb2 - rb1)/a = 20 deg.
  EXPECT_DOUBLE_EQ(r.ratio, 3.0);
  EXPECT_NEAR(r.ZH, 2.494573171394589, 1e-9);
  EXPECT_NEAR(r.sigmaH, r.ZH * r.ZE * r.Zeps * std::sqrt(ft / (40.0 * 20.0) * 2.0 / 3.0) *
                            std::sqrt(1.25 * r.KV * r.KHbeta * r.KHalpha),
              1e-9);
  EXPECT_EQ(r.rootSection[1].found, 1);
  // The ring's section lies outside its tip circle (its teeth point inwards).
  EXPECT_LT(r.rootSection[1].sectionPosition, 0.0);
}

TEST(StrengthCalculation, UnusableInputIsNotCalculated) {
  SetTextLanguageForTest(false);
  GearRecord g1 = ExternalGear(2.0, 20, 0.0, 20.0);
  GearRecord g2 = ExternalGear(2.0, 40, 0.0, 20.0);
  GearRecord invalid;
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    const GearRecord* b;
    double torque, speed;
  };
  const Case cases[] = {
      {"gear B not valid", &invalid, 100, 1000}, {"speed 0", &g2, 100, 0},   {"torque 0", &g2, 0, 1000},
      {"negative torque", &g2, -5, 1000},        {"infinite torque", &g2, inf, 1000},
      {"NaN speed", &g2, 100, std::nan("")},
  };
  for (const Case& c : cases) {
    StrengthInput in = SteelInput(c.torque, c.speed);
    StrengthResult r;
    r.sigmaH = 123.0;  // cleared at the start
    EXPECT_EQ(ComputeStrengthResults(g1, *c.b, ToothKind::External, 60.0, 1.6, in, r), 0) << c.name;
    EXPECT_EQ(r.ok, 0) << c.name;
    EXPECT_EQ(r.message, "No valid input (geometry, torque or speed).") << c.name;
    EXPECT_DOUBLE_EQ(r.sigmaH, 0.0) << c.name;
  }
  SetTextLanguageForTest(true);
  StrengthInput in = SteelInput(100, 0);
  StrengthResult r;
  ComputeStrengthResults(g1, g2, ToothKind::External, 60.0, 1.6, in, r);
  EXPECT_EQ(r.message, "Geen geldige invoer (geometrie, koppel of toerental).");
  SetTextLanguageForTest(false);
}

TEST(StrengthCalculation, RootSectionNotFoundKeepsTheLoadFactors) {
  SetTextLanguageForTest(false);
  GearRecord pinion = ExternalGear(2.0, 20, 0.0, 20.0);
  GearRecord rack;
  BuildRackOutline(rack, 2.0, 20.0, 0.0, 1, 30, 10.0, 20.0, 0.0, 1);
  // A rack record whose height no longer exceeds the dedendum: its 3-tooth copy
  // cannot be built, so there is no outline to find a section on.
  rack.rackHeight = 2.0;
  StrengthInput in = SteelInput(50.0, 600.0);
  StrengthResult r;
  EXPECT_EQ(ComputeStrengthResults(pinion, rack, ToothKind::Rack, 0.0, 1.6, in, r), 0);
  EXPECT_EQ(r.ok, 0);
  EXPECT_EQ(r.message, "Critical root section not found (unusual tooth shape).");
  EXPECT_EQ(r.rootSection[0].found, 1);
  EXPECT_EQ(r.rootSection[1].found, 0);
  // Steps before the root factors stay in the record.
  EXPECT_DOUBLE_EQ(r.tangentialForce, 2500.0);
  EXPECT_GT(r.sigmaH, 0.0);
  EXPECT_DOUBLE_EQ(r.sigmaF[0], 0.0);
}

TEST(StrengthCalculation, AccuracyGradeIsClampedInTheInput) {
  GearRecord g1 = ExternalGear(2.0, 20, 0.0, 20.0);
  GearRecord g2 = ExternalGear(2.0, 40, 0.0, 20.0);
  StrengthInput in = SteelInput(100, 1000);
  in.accuracyGrade = 4;
  StrengthResult r4, r5;
  ComputeStrengthResults(g1, g2, ToothKind::External, 60.0, 1.6, in, r4);
  EXPECT_EQ(in.accuracyGrade, 5);
  ComputeStrengthResults(g1, g2, ToothKind::External, 60.0, 1.6, in, r5);
  EXPECT_DOUBLE_EQ(r4.KV, r5.KV);
  in.accuracyGrade = 12;
  ComputeStrengthResults(g1, g2, ToothKind::External, 60.0, 1.6, in, r4);
  EXPECT_EQ(in.accuracyGrade, 10);
  EXPECT_DOUBLE_EQ(r4.KHalpha, 1.4);
}

// Inputs the core does not reject but that make stresses or safeties infinite or
// not a number: the verdict must never be "Sufficient", and no report line may
// show NaN or Infinity.
TEST(StrengthCalculation, NotFiniteResultsAreNeverSufficient) {
  SetTextLanguageForTest(false);
  GearRecord g1 = ExternalGear(2.0, 20, 0.0, 20.0);
  GearRecord g2 = ExternalGear(2.0, 40, 0.0, 20.0);
  GearRecord thin1 = g1, thin2 = g2;
  thin1.faceWidth = 0.0;
  thin2.faceWidth = 0.0;
  struct Case {
    const char* name;
    const GearRecord* a;
    const GearRecord* b;
    double centreDistance;
    double nu;
  };
  const Case cases[] = {
      {"centre distance below the base circles", &g1, &g2, 50.0, 0.3},
      {"face width 0", &thin1, &thin2, 60.0, 0.3},
      {"Poisson ratio 1", &g1, &g2, 60.0, 1.0},
      {"Poisson ratio 2", &g1, &g2, 60.0, 2.0},
  };
  for (const Case& c : cases) {
    StrengthInput in = SteelInput(100, 1000);
    in.poissonRatio[0] = in.poissonRatio[1] = c.nu;
    StrengthResult r;
    ASSERT_EQ(ComputeStrengthResults(*c.a, *c.b, ToothKind::External, c.centreDistance, 1.6, in, r), 1) << c.name;
    StrengthKeyData keys;
    StrengthStatus s = RateStrengthStatus(r, ComputeOverallMargin(r, in, keys));
    EXPECT_EQ(s.text.rfind("Insufficient", 0), 0u) << c.name << ": " << s.text;
    EXPECT_EQ(s.red, 240) << c.name;
    std::string body = BuildStrengthReportBody(r, in, ToothKind::External, "gear 2", keys);
    EXPECT_EQ(body.find("NaN"), std::string::npos) << c.name;
    EXPECT_EQ(body.find("Infinity"), std::string::npos) << c.name;
  }
}

}  // namespace
}  // namespace kovrex
