// The load-capacity core: every factor with the constants of the simplified method,
// and their combination into stresses, safeties and transmissible torque.
#include "capacity/load_capacity.h"

#include <algorithm>
#include <cmath>

#include "text/texts.h"

namespace kovrex {
namespace {

struct AccuracyGradeRow {
  int64_t grade;
  double k1Spur, k1Helical;
  double cmaA, cmaB, cmaC;  // C_ma = A + B b + C b^2
  double kAlpha;            // K_Halpha = K_Falpha
};

constexpr AccuracyGradeRow kAccuracyGrades[] = {
    {5, 7.5, 6.7, 0.0675, 0.000504, -1.44e-7, 1.0},  {6, 14.9, 13.3, 0.0675, 0.000504, -1.44e-7, 1.0},
    {7, 26.8, 23.9, 0.127, 0.000622, -1.44e-7, 1.0},  {8, 39.1, 34.8, 0.127, 0.000622, -1.44e-7, 1.1},
    {9, 52.8, 47.0, 0.247, 0.000657, -1.19e-7, 1.2},  {10, 76.6, 68.2, 0.247, 0.000657, -1.19e-7, 1.4},
};

const AccuracyGradeRow& RowOfGrade(int64_t grade) {
  return kAccuracyGrades[ClampAccuracyGrade(grade) - 5];
}

struct LifeCurve {
  double staticFactor;   // value up to the static limit
  double staticCycles;   // N0
  double enduranceCycles;  // Nref, where the factor reaches 1.0
};

// Beyond Nref both curves fall to 0.85 at 1e10 cycles and stay there.
double LifeFactor(double n, const LifeCurve& c) {
  if (n <= c.staticCycles) return c.staticFactor;
  if (n <= c.enduranceCycles)
    return std::pow(c.enduranceCycles / n, std::log(c.staticFactor) / std::log(c.enduranceCycles / c.staticCycles));
  double f = std::pow(c.enduranceCycles / n, std::log(1.0 / 0.85) / std::log(1e10 / c.enduranceCycles));
  return std::max(0.85, f);
}

constexpr LifeCurve kPittingCurves[2] = {{1.6, 1e5, 5e7}, {1.3, 1e5, 2e6}};
constexpr LifeCurve kRootCurves[2] = {{2.5, 1e4, 3e6}, {1.6, 1e3, 3e6}};

const LifeCurve& CurveOf(const LifeCurve (&curves)[2], int64_t lifeCurveClass) {
  return curves[lifeCurveClass == 1 ? 1 : 0];
}

}  // namespace

int64_t ClampAccuracyGrade(int64_t grade) { return std::clamp<int64_t>(grade, 5, 10); }

double DynamicFactor(int64_t grade, double applicationFactor, double tangentialForce, double faceWidth,
                     int64_t pinionTeeth, double velocity, double ratio, bool rack, double overlapRatio) {
  const AccuracyGradeRow& row = RowOfGrade(grade);
  // A line load below 100 N/mm is taken as 100: the factor would grow without
  // bound for a lightly loaded pair.
  double lineLoad = std::max(applicationFactor * tangentialForce / faceWidth, 100.0);
  double fu = rack ? 1.0 : std::sqrt(ratio * ratio / (1.0 + ratio * ratio));
  double base = static_cast<double>(pinionTeeth) * velocity / 100.0 * fu;
  double kvSpur = 1.0 + (row.k1Spur / lineLoad + 0.0193) * base;
  double kvHelical = 1.0 + (row.k1Helical / lineLoad + 0.0087) * base;
  if (overlapRatio < 1.0) return kvSpur - (kvSpur - kvHelical) * overlapRatio;
  return kvHelical;
}

double FaceLoadFactorContact(int64_t grade, double b, double pinionDiameter) {
  const AccuracyGradeRow& row = RowOfGrade(grade);
  double ratio = std::max(b / pinionDiameter, 0.5);
  double cpf = b <= 25.0 ? ratio / 10.0 - 0.025 : ratio / 10.0 - 0.0375 + 0.000492 * b;
  if (cpf < 0.0) cpf = 0.0;
  double cma = row.cmaA + row.cmaB * b + row.cmaC * b * b;
  return 1.0 + cpf + cma;
}

double TransverseLoadFactor(int64_t grade) { return RowOfGrade(grade).kAlpha; }

double FaceLoadFactorRoot(double khBeta, double faceWidth, double toothHeight) {
  double r = faceWidth / toothHeight;
  double nf = r * r / (1.0 + r + r * r);
  return std::pow(khBeta, nf);
}

double ZoneFactor(double baseHelixAngle, double alphaT, double alphaWt) {
  double cosAlphaT = std::cos(alphaT);
  return std::sqrt(2.0 * std::cos(baseHelixAngle) * std::cos(alphaWt) /
                   (cosAlphaT * cosAlphaT * std::sin(alphaWt)));
}

double ElasticityFactor(double e1, double nu1, double e2, double nu2) {
  return std::sqrt(1.0 / (kPi * ((1.0 - nu1 * nu1) / e1 + (1.0 - nu2 * nu2) / e2)));
}

double PittingContactRatioFactor(double epsAlpha, double epsBeta) {
  if (epsBeta < 1.0) return std::sqrt((4.0 - epsAlpha) / 3.0 * (1.0 - epsBeta) + epsBeta / epsAlpha);
  return std::sqrt(1.0 / epsAlpha);
}

double PittingHelixFactor(double helixAngle) { return 1.0 / std::sqrt(std::cos(helixAngle)); }

double FinishAndLubricationFactor(int64_t flankFinish, int64_t lubrication) {
  double f = flankFinish == 1 ? 1.0 : 0.85;
  if (lubrication == 1) f *= 0.9;
  if (lubrication == 2) f *= 0.7;
  return f;
}

double RootContactRatioFactor(double baseHelixAngle, double epsAlpha) {
  double c = std::cos(baseHelixAngle);
  return 0.25 + 0.75 * c * c / epsAlpha;
}

double RootHelixFactor(double epsBeta, double helixAngle) {
  return 1.0 - std::min(epsBeta, 1.0) * std::min(helixAngle * kRadToDeg, 30.0) / 120.0;
}

double RootSizeFactor(double module) {
  if (module <= 5.0) return 1.0;
  return std::max(0.85, 1.03 - 0.006 * module);
}

double PittingLifeFactor(double loadCycles, int64_t lifeCurveClass) {
  return LifeFactor(loadCycles, CurveOf(kPittingCurves, lifeCurveClass));
}

double RootLifeFactor(double loadCycles, int64_t lifeCurveClass) {
  return LifeFactor(loadCycles, CurveOf(kRootCurves, lifeCurveClass));
}

std::string RateSafetyMargin(double safety, double minimumSafety) {
  // Written as "not below" tests so that a NaN on either side falls through to " !!".
  if (safety >= 1.1 * minimumSafety) return Tx(TextId::StrengthMarginOk);
  if (safety >= minimumSafety) return Tx(TextId::StrengthMarginTight);
  return Tx(TextId::StrengthMarginFail);
}

int ComputeStrengthResults(const GearRecord& gearA, const GearRecord& gearB, ToothKind kind,
                           double centreDistance, double epsAlpha, StrengthInput& input,
                           StrengthResult& result) {
  result = StrengthResult{};
  const double t1 = input.torque1;
  const double n1 = input.speed1;
  // An infinite torque or speed would pass "> 0" and spread through every value.
  if (gearA.valid == 0 || gearB.valid == 0 || !(n1 > 0.0) || !(t1 > 0.0) || !std::isfinite(n1) ||
      !std::isfinite(t1)) {
    result.message = Tx(TextId::StrengthInvalidInput);
    return 0;
  }
  input.accuracyGrade = ClampAccuracyGrade(input.accuracyGrade);
  const int64_t q = input.accuracyGrade;
  const bool rack = kind == ToothKind::Rack;

  const double m = gearA.normalModule;
  const int64_t z1 = gearA.toothCount;
  const double d1 = 2.0 * gearA.pitchRadius;
  const double b = std::min(gearA.faceWidth, gearB.faceWidth);
  const double ft = 2000.0 * t1 / d1;
  const double v = kPi * d1 * n1 / 60000.0;
  const double u = rack ? 0.0 : static_cast<double>(gearB.toothCount) / static_cast<double>(z1);
  const double n2 = rack ? 0.0 : n1 / u;
  const double epsBeta = ComputeOverlapRatio(gearA);
  result.torque1 = t1;
  result.tangentialForce = ft;
  result.pitchLineVelocity = v;
  result.ratio = u;
  result.speed2 = n2;
  result.faceWidth = b;
  result.epsAlpha = epsAlpha;
  result.epsBeta = epsBeta;

  const double ka = input.applicationFactor;
  result.KV = DynamicFactor(q, ka, ft, b, z1, v, u, rack, epsBeta);
  result.KHbeta = FaceLoadFactorContact(q, b, d1);
  result.KHalpha = TransverseLoadFactor(q);
  result.KFalpha = result.KHalpha;
  result.KFbeta = FaceLoadFactorRoot(result.KHbeta, b, (gearA.addendumCoeff + gearA.dedendumCoeff) * m);

  double alphaWt = gearA.transversePressureAngle;
  double fz = 1.0;
  if (kind == ToothKind::External) {
    alphaWt = std::acos((gearA.baseRadius + gearB.baseRadius) / centreDistance);
    fz = (u + 1.0) / u;
  } else if (kind == ToothKind::Ring) {
    alphaWt = std::acos((gearB.baseRadius - gearA.baseRadius) / centreDistance);
    fz = (u - 1.0) / u;
  }
  result.ZH = ZoneFactor(gearA.baseHelixAngle, gearA.transversePressureAngle, alphaWt);
  result.ZE = ElasticityFactor(input.elasticModulus[0], input.poissonRatio[0], input.elasticModulus[1],
                               input.poissonRatio[1]);
  result.Zeps = PittingContactRatioFactor(epsAlpha, epsBeta);
  result.Zbeta = PittingHelixFactor(gearA.helixAngle);
  result.ZLVR = FinishAndLubricationFactor(input.flankFinish, input.lubrication);
  const double loadProduct = ka * result.KV * result.KHbeta * result.KHalpha;
  result.sigmaH = result.ZH * result.ZE * result.Zeps * result.Zbeta * std::sqrt(ft / (d1 * b) * fz) *
                  std::sqrt(loadProduct);
  result.Yeps = RootContactRatioFactor(gearA.baseHelixAngle, epsAlpha);
  result.Ybeta = RootHelixFactor(epsBeta, gearA.helixAngle);

  {
    // Gear A is always an external gear; gear B is examined as what it is.
    GearRecord virtualA, virtualB;
    BuildVirtualGearForRootStress(gearA, ToothKind::External, virtualA);
    BuildVirtualGearForRootStress(gearB, kind, virtualB);
    int foundA = ComputeToothRootFormFactors(virtualA, ToothKind::External, result.rootSection[0]);
    int foundB = ComputeToothRootFormFactors(virtualB, kind, result.rootSection[1]);
    if (foundA == 0 || foundB == 0) {
      result.message = Tx(TextId::StrengthRootSectionNotFound);
      return 0;
    }
  }

  const double cycles1 = n1 * 60.0 * input.lifeHours;
  double cycles2 = n2 * 60.0 * input.lifeHours;
  if (rack) {
    // Each rack tooth meets the pinion once on the rack's way past it.
    cycles2 = static_cast<double>(z1) * cycles1 / static_cast<double>(std::max<int64_t>(gearB.toothCount, 1));
  }
  result.loadCycles[0] = cycles1;
  result.loadCycles[1] = cycles2;

  const double rootLoad = ft / (b * m) * result.Ybeta * result.Yeps * ka * result.KV * result.KFbeta *
                          result.KFalpha;
  for (int i = 0; i < 2; ++i) {
    result.YF[i] = result.rootSection[i].formFactor;
    result.YS[i] = result.rootSection[i].stressCorrectionFactor;
    result.YX[i] = RootSizeFactor(m);
    result.ZNT[i] = PittingLifeFactor(result.loadCycles[i], input.lifeCurveClass[i]);
    result.YNT[i] = RootLifeFactor(result.loadCycles[i], input.lifeCurveClass[i]);
    result.sigmaHG[i] = input.sigmaHlim[i] * result.ZNT[i] * result.ZLVR;
    result.SH[i] = result.sigmaHG[i] / result.sigmaH;
    result.sigmaF[i] = rootLoad * result.YF[i] * result.YS[i];
    // 2.0 is the stress correction factor Y_ST of the reference test gear.
    result.sigmaFG[i] = input.sigmaFlim[i] * 2.0 * result.YNT[i] * result.YX[i];
    result.SF[i] = result.sigmaFG[i] / result.sigmaF[i];
  }
  // Contact stress grows with the square root of the torque, root stress linearly.
  const double shRatio = std::min(result.SH[0], result.SH[1]) / input.minSafetyH;
  result.maxTorquePitting = t1 * shRatio * shRatio;
  result.maxTorqueRoot = t1 * std::min(result.SF[0], result.SF[1]) / input.minSafetyF;
  result.ok = 1;
  return 1;
}

}  // namespace kovrex
