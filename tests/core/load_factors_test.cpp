// Single factors of the load-capacity calculation against closed forms and the
// knee points of the life curves, and the verdict suffix at its boundaries.
#include <gtest/gtest.h>

#include <cmath>

#include "capacity/load_capacity.h"
#include "capacity/materials.h"
#include "capacity/strength_types.h"
#include "text/texts.h"

namespace kovrex {
namespace {

constexpr double kDeg = kPi / 180.0;

TEST(LoadFactors, ElasticityFactorOfSteelOnSteel) {
  // Textbook value of Z_E for steel on steel: 189.8 sqrt(N/mm2).
  EXPECT_NEAR(ElasticityFactor(206000, 0.3, 206000, 0.3), 189.8, 0.05);
  // Steel on grey cast iron (E 120000, nu 0.26): sqrt(1 / (pi (0.91/206000 + 0.9324/120000))).
  EXPECT_NEAR(ElasticityFactor(206000, 0.3, 120000, 0.26), 161.61, 0.01);
}

TEST(LoadFactors, ZoneFactorOfAStandardSpurPair) {
  // alpha 20 deg, beta 0, x1 + x2 = 0: alpha_wt = alpha_t, Z_H = sqrt(2 / (sin a cos a)) = 2.495.
  EXPECT_NEAR(ZoneFactor(0.0, 20 * kDeg, 20 * kDeg), 2.495, 0.0005);
  // A larger working angle lowers Z_H.
  EXPECT_LT(ZoneFactor(0.0, 20 * kDeg, 22 * kDeg), 2.495);
}

TEST(LoadFactors, ContactRatioAndHelixFactors) {
  // Spur: Z_eps = sqrt((4 - eps_a) / 3).
  EXPECT_NEAR(PittingContactRatioFactor(1.6, 0.0), std::sqrt(2.4 / 3.0), 1e-12);
  // Full overlap: sqrt(1 / eps_a).
  EXPECT_NEAR(PittingContactRatioFactor(1.6, 1.0), std::sqrt(1.0 / 1.6), 1e-12);
  EXPECT_NEAR(PittingContactRatioFactor(1.6, 2.3), std::sqrt(1.0 / 1.6), 1e-12);
  // Partial overlap blends the two: sqrt(2.4/3 * 0.5 + 0.5/1.6).
  EXPECT_NEAR(PittingContactRatioFactor(1.6, 0.5), std::sqrt(0.4 + 0.3125), 1e-12);
  EXPECT_NEAR(PittingHelixFactor(20 * kDeg), 1.0 / std::sqrt(std::cos(20 * kDeg)), 1e-12);
  EXPECT_DOUBLE_EQ(PittingHelixFactor(0.0), 1.0);

  // Y_eps = 0.25 + 0.75 cos^2(beta_b) / eps_a.
  EXPECT_NEAR(RootContactRatioFactor(0.0, 1.5), 0.75, 1e-12);
  double cb = std::cos(14 * kDeg);
  EXPECT_NEAR(RootContactRatioFactor(14 * kDeg, 1.5), 0.25 + 0.5 * cb * cb, 1e-12);

  // Y_beta = 1 - min(eps_b, 1) min(beta, 30 deg) / 120 deg.
  EXPECT_DOUBLE_EQ(RootHelixFactor(0.0, 0.0), 1.0);
  EXPECT_NEAR(RootHelixFactor(0.5, 15 * kDeg), 1.0 - 0.5 * 15.0 / 120.0, 1e-12);
  EXPECT_NEAR(RootHelixFactor(2.0, 40 * kDeg), 0.75, 1e-12);
}

TEST(LoadFactors, FinishAndLubrication) {
  EXPECT_DOUBLE_EQ(FinishAndLubricationFactor(1, 0), 1.0);
  EXPECT_DOUBLE_EQ(FinishAndLubricationFactor(0, 0), 0.85);
  EXPECT_NEAR(FinishAndLubricationFactor(0, 1), 0.85 * 0.9, 1e-12);
  EXPECT_NEAR(FinishAndLubricationFactor(1, 2), 0.7, 1e-12);
}

struct LifeCase {
  const char* name;
  double (*factor)(double, int64_t);
  double cycles;
  int64_t lifeClass;
  double expected;
};

TEST(LifeFactors, KneePointsAndLongLife) {
  const LifeCase cases[] = {
      {"ZNT static, class 0", PittingLifeFactor, 1e3, 0, 1.6},
      {"ZNT knee 1e5, class 0", PittingLifeFactor, 1e5, 0, 1.6},
      {"ZNT endurance 5e7, class 0", PittingLifeFactor, 5e7, 0, 1.0},
      {"ZNT 1e10, class 0", PittingLifeFactor, 1e10, 0, 0.85},
      {"ZNT 1e12, class 0", PittingLifeFactor, 1e12, 0, 0.85},
      {"ZNT knee 1e5, class 1", PittingLifeFactor, 1e5, 1, 1.3},
      {"ZNT endurance 2e6, class 1", PittingLifeFactor, 2e6, 1, 1.0},
      {"ZNT 1e10, class 1", PittingLifeFactor, 1e10, 1, 0.85},
      {"YNT knee 1e4, class 0", RootLifeFactor, 1e4, 0, 2.5},
      {"YNT endurance 3e6, class 0", RootLifeFactor, 3e6, 0, 1.0},
      {"YNT 1e10, class 0", RootLifeFactor, 1e10, 0, 0.85},
      {"YNT 1e12, class 0", RootLifeFactor, 1e12, 0, 0.85},
      {"YNT knee 1e3, class 1", RootLifeFactor, 1e3, 1, 1.6},
      {"YNT endurance 3e6, class 1", RootLifeFactor, 3e6, 1, 1.0},
      {"YNT 0 cycles", RootLifeFactor, 0.0, 0, 2.5},
  };
  for (const LifeCase& c : cases) EXPECT_NEAR(c.factor(c.cycles, c.lifeClass), c.expected, 1e-12) << c.name;
}

TEST(LifeFactors, StraightLinesInLogLog) {
  // Between two points of a curve the factor is linear in log N against log Z: at
  // the geometric mean of the cycles it is the geometric mean of the factors.
  EXPECT_NEAR(PittingLifeFactor(std::sqrt(1e5 * 5e7), 0), std::sqrt(1.6), 1e-12);
  EXPECT_NEAR(RootLifeFactor(std::sqrt(1e3 * 3e6), 1), std::sqrt(1.6), 1e-12);
  EXPECT_NEAR(RootLifeFactor(std::sqrt(3e6 * 1e10), 0), std::sqrt(0.85), 1e-12);
  // Just past a knee the value falls continuously.
  EXPECT_NEAR(PittingLifeFactor(1e5 * 1.0000001, 0), 1.6, 1e-6);
  EXPECT_NEAR(RootLifeFactor(3e6 * 1.0000001, 0), 1.0, 1e-6);
}

TEST(LoadFactors, SizeFactor) {
  EXPECT_DOUBLE_EQ(RootSizeFactor(5.0), 1.0);
  EXPECT_NEAR(RootSizeFactor(6.0), 0.994, 1e-12);
  EXPECT_DOUBLE_EQ(RootSizeFactor(40.0), 0.85);
}

TEST(LoadFactors, DynamicFactorSpurHelicalAndBlend) {
  // Grade 7, KA Ft / b = 50 N/mm (taken as 100), z1 20, v 5 m/s, u 2:
  // f_u = sqrt(4/5); K_Va = 1 + (26.8/100 + 0.0193) * 20 * 5 / 100 * f_u.
  const double fu = std::sqrt(4.0 / 5.0);
  const double kva = 1.0 + (0.268 + 0.0193) * fu;
  const double kvb = 1.0 + (0.239 + 0.0087) * fu;
  EXPECT_NEAR(DynamicFactor(7, 1.0, 1000.0, 20.0, 20, 5.0, 2.0, false, 0.0), kva, 1e-12);
  EXPECT_NEAR(DynamicFactor(7, 1.0, 1000.0, 20.0, 20, 5.0, 2.0, false, 1.0), kvb, 1e-12);
  EXPECT_NEAR(DynamicFactor(7, 1.0, 1000.0, 20.0, 20, 5.0, 2.0, false, 1.7), kvb, 1e-12);
  EXPECT_NEAR(DynamicFactor(7, 1.0, 1000.0, 20.0, 20, 5.0, 2.0, false, 0.25), kva - 0.25 * (kva - kvb), 1e-12);
  // A high line load (400 N/mm) is used as it is; the rack has f_u = 1.
  EXPECT_NEAR(DynamicFactor(9, 2.0, 4000.0, 20.0, 30, 2.0, 0.0, true, 0.0),
              1.0 + (52.8 / 400.0 + 0.0193) * 30 * 2.0 / 100.0, 1e-12);
}

TEST(LoadFactors, FaceLoadFactorBranches) {
  // Grade 7: C_ma = 0.127 + 0.000622 b - 1.44e-7 b^2.
  auto cma7 = [](double b) { return 0.127 + 0.000622 * b - 1.44e-7 * b * b; };
  // b = 25 mm, d1 = 40 mm: short-face C_pf = 0.625/10 - 0.025.
  EXPECT_NEAR(FaceLoadFactorContact(7, 25.0, 40.0), 1.0 + 0.0625 - 0.025 + cma7(25.0), 1e-12);
  // b = 25.1 mm: long-face C_pf = b/d1/10 - 0.0375 + 0.000492 b.
  EXPECT_NEAR(FaceLoadFactorContact(7, 25.1, 40.0), 1.0 + 25.1 / 400.0 - 0.0375 + 0.000492 * 25.1 + cma7(25.1),
              1e-12);
  // b/d1 below 0.5 is taken as 0.5.
  EXPECT_NEAR(FaceLoadFactorContact(7, 10.0, 100.0), 1.0 + 0.05 - 0.025 + cma7(10.0), 1e-12);
  // Grades 5/6 and 9/10 have their own C_ma.
  EXPECT_NEAR(FaceLoadFactorContact(5, 10.0, 20.0), 1.0 + 0.05 - 0.025 + 0.0675 + 0.00504 - 1.44e-5, 1e-12);
  EXPECT_NEAR(FaceLoadFactorContact(10, 10.0, 20.0), 1.0 + 0.05 - 0.025 + 0.247 + 0.00657 - 1.19e-5, 1e-12);
  // K_Fbeta = K_Hbeta^(r^2 / (1 + r + r^2)), r = b / h: b = h gives the exponent 1/3.
  EXPECT_NEAR(FaceLoadFactorRoot(1.2, 4.5, 4.5), std::cbrt(1.2), 1e-12);
}

TEST(LoadFactors, ConstantsOfEveryAccuracyGrade) {
  // K1 (spur, helical), C_ma = A + B b + C b^2 and K_Halpha of each ISO 1328 grade.
  const struct {
    int64_t grade;
    double k1Spur, k1Helical, a, b, c, kAlpha;
  } grades[] = {
      {5, 7.5, 6.7, 0.0675, 0.000504, -1.44e-7, 1.0},  {6, 14.9, 13.3, 0.0675, 0.000504, -1.44e-7, 1.0},
      {7, 26.8, 23.9, 0.127, 0.000622, -1.44e-7, 1.0},  {8, 39.1, 34.8, 0.127, 0.000622, -1.44e-7, 1.1},
      {9, 52.8, 47.0, 0.247, 0.000657, -1.19e-7, 1.2},  {10, 76.6, 68.2, 0.247, 0.000657, -1.19e-7, 1.4},
  };
  // Line load 1000 * 2 / 10 = 200 N/mm; z1 v / 100 f_u = 20 * 5 / 100 * 1 (the rack).
  // Face width 10 on d1 40: b/d1 is taken as 0.5, so C_pf = 0.025.
  for (const auto& g : grades) {
    EXPECT_NEAR(DynamicFactor(g.grade, 2.0, 1000.0, 10.0, 20, 5.0, 0.0, true, 0.0),
                1.0 + g.k1Spur / 200.0 + 0.0193, 1e-12)
        << "grade " << g.grade;
    EXPECT_NEAR(DynamicFactor(g.grade, 2.0, 1000.0, 10.0, 20, 5.0, 0.0, true, 1.0),
                1.0 + g.k1Helical / 200.0 + 0.0087, 1e-12)
        << "grade " << g.grade;
    EXPECT_NEAR(FaceLoadFactorContact(g.grade, 10.0, 40.0), 1.025 + g.a + g.b * 10.0 + g.c * 100.0, 1e-12)
        << "grade " << g.grade;
    EXPECT_DOUBLE_EQ(TransverseLoadFactor(g.grade), g.kAlpha) << "grade " << g.grade;
  }
}

TEST(LoadFactors, AccuracyGradeClampsAndTransverseFactor) {
  EXPECT_EQ(ClampAccuracyGrade(4), 5);
  EXPECT_EQ(ClampAccuracyGrade(12), 10);
  EXPECT_EQ(ClampAccuracyGrade(7), 7);
  const double expected[][2] = {{5, 1.0}, {6, 1.0}, {7, 1.0}, {8, 1.1}, {9, 1.2}, {10, 1.4}, {4, 1.0}, {12, 1.4}};
  for (const auto& e : expected)
    EXPECT_DOUBLE_EQ(TransverseLoadFactor(static_cast<int64_t>(e[0])), e[1]) << "grade " << e[0];
  // Grade 4 uses the K1 of grade 5, grade 12 that of grade 10.
  EXPECT_DOUBLE_EQ(DynamicFactor(4, 1.0, 1000.0, 10.0, 20, 5.0, 2.0, false, 0.0),
                   DynamicFactor(5, 1.0, 1000.0, 10.0, 20, 5.0, 2.0, false, 0.0));
  EXPECT_DOUBLE_EQ(DynamicFactor(12, 1.0, 1000.0, 10.0, 20, 5.0, 2.0, false, 0.0),
                   DynamicFactor(10, 1.0, 1000.0, 10.0, 20, 5.0, 2.0, false, 0.0));
  EXPECT_DOUBLE_EQ(FaceLoadFactorContact(12, 30.0, 40.0), FaceLoadFactorContact(10, 30.0, 40.0));
}

TEST(RateSafetyMargin, Boundaries) {
  SetTextLanguageForTest(false);
  EXPECT_EQ(RateSafetyMargin(1.6, 1.4), " ok");  // 1.6 >= 1.54
  EXPECT_EQ(RateSafetyMargin(1.54, 1.4), " ok");
  EXPECT_EQ(RateSafetyMargin(1.5, 1.4), " tight");
  EXPECT_EQ(RateSafetyMargin(1.4, 1.4), " tight");
  EXPECT_EQ(RateSafetyMargin(1.3, 1.4), " !!");
  EXPECT_EQ(RateSafetyMargin(std::nan(""), 1.4), " !!");
  EXPECT_EQ(RateSafetyMargin(1.6, std::nan("")), " !!");
  SetTextLanguageForTest(true);
  EXPECT_EQ(RateSafetyMargin(1.5, 1.4), " krap");
  SetTextLanguageForTest(false);
}

TEST(Materials, TablesAndHubPressure) {
  SetTextLanguageForTest(true);
  InitMaterialTable();
  InitShaftMaterialTable();
  EXPECT_EQ(GearMaterialTable[3].name, "42CrMo4 veredeld (~300 HB)");
  EXPECT_EQ(GearMaterialTable[CustomMaterialRow].name, "Eigen materiaal");
  EXPECT_EQ(ShaftMaterialTable[2].name, "C45 (+C of veredeld)");
  EXPECT_EQ(ShaftMaterialTable[CustomShaftRow].name, "Eigen waarden");
  SetTextLanguageForTest(false);
  InitMaterialTable();
  InitShaftMaterialTable();
  EXPECT_EQ(GearMaterialTable[10].name, "GJL-250 grey cast iron");
  EXPECT_EQ(ShaftMaterialTable[4].name, "34CrNiMo6 Q+T");
  // Every row as the load-capacity calculation and the hub rule read it.
  const struct {
    double sigmaHlim, sigmaFlim, e, nu;
    int64_t lifeClass;
    double re;
  } gear[kGearMaterialCount] = {
      {430, 200, 206000, 0.30, 0, 355},  {560, 220, 206000, 0.30, 0, 340},  {650, 260, 206000, 0.30, 0, 490},
      {750, 300, 206000, 0.30, 0, 750},  {1100, 340, 206000, 0.30, 0, 490}, {1150, 350, 206000, 0.30, 0, 750},
      {1100, 380, 206000, 0.30, 1, 750}, {1500, 450, 206000, 0.30, 0, 590}, {1500, 500, 206000, 0.30, 0, 785},
      {560, 220, 170000, 0.30, 0, 370},  {360, 100, 120000, 0.26, 1, 0},    {320, 120, 95000, 0.35, 0, 150},
      {0, 0, 206000, 0.30, 0, 355},
  };
  for (int i = 0; i < kGearMaterialCount; ++i) {
    const GearMaterial& m = GearMaterialTable[i];
    EXPECT_EQ(m.sigmaHlim, gear[i].sigmaHlim) << "row " << i;
    EXPECT_EQ(m.sigmaFlim, gear[i].sigmaFlim) << "row " << i;
    EXPECT_EQ(m.elasticModulus, gear[i].e) << "row " << i;
    EXPECT_EQ(m.poissonRatio, gear[i].nu) << "row " << i;
    EXPECT_EQ(m.lifeCurveClass, gear[i].lifeClass) << "row " << i;
    EXPECT_EQ(m.yieldStrength, gear[i].re) << "row " << i;
  }
  const double shaft[kShaftMaterialCount][2] = {{25, 235}, {30, 355}, {40, 490}, {55, 750}, {65, 900}, {40, 490}};
  for (int i = 0; i < kShaftMaterialCount; ++i) {
    EXPECT_EQ(ShaftMaterialTable[i].allowableTorsionStress, shaft[i][0]) << "shaft row " << i;
    EXPECT_EQ(ShaftMaterialTable[i].yieldStrength, shaft[i][1]) << "shaft row " << i;
  }
  // Only the nitrided steel and the grey iron use the second pair of life curves.
  for (int i = 0; i < kGearMaterialCount; ++i)
    EXPECT_EQ(GearMaterialTable[i].lifeCurveClass, (i == 6 || i == 10) ? 1 : 0) << i;
  // Grey iron has no yield strength: the hub gets the fixed 125 N/mm2; the others 0.9 Re.
  EXPECT_DOUBLE_EQ(HubPressureLimit(10), 125.0);
  EXPECT_DOUBLE_EQ(HubPressureLimit(3), 0.9 * 750.0);
  EXPECT_DOUBLE_EQ(HubPressureLimit(CustomMaterialRow), 0.9 * 355.0);
  EXPECT_DOUBLE_EQ(HubPressureLimit(-1), 0.9 * 355.0);  // no selection: row 0
  ResetStrengthState();
}

}  // namespace
}  // namespace kovrex
