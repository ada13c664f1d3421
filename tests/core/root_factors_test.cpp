// Tooth form and stress correction factors measured on generated outlines against
// the ISO 6336-3 method B equations evaluated with the load at the tooth tip (the
// 30 degree tangent on the trochoid of the ISO 53 basic rack's tip rounding, written
// out here independently of the outline generator), plus the rack, the ring and the
// degenerate cases of the measurement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>
#include <string>

#include "capacity/root_factors.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"

namespace kovrex {
namespace {

constexpr double kDeg = kPi / 180.0;

// Section and factors of an external spur gear cut by a rack with dedendum h_fP,
// tip radius rho_fP and no protuberance, in units of the module, load at the tip.
struct IsoRootSection {
  double sFn, rhoF, hFa, alphaFan, yF, yS;
};

double Involute(double a) { return std::tan(a) - a; }

IsoRootSection IsoMethodBTipLoad(double z, double x, double alphaN = 20 * kDeg, double hfP = 1.25,
                                 double rhoFP = 0.38) {
  // Critical section where the fillet tangent is at 30 degrees to the tooth centre
  // line: theta from the fixed-point equation theta = 2G/z tan(theta) - H.
  const double e = kPi / 4.0 - hfP * std::tan(alphaN) - (1.0 - std::sin(alphaN)) * rhoFP / std::cos(alphaN);
  const double g = rhoFP - hfP + x;
  const double h = 2.0 / z * (kPi / 2.0 - e) - kPi / 3.0;
  double theta = kPi / 6.0;
  for (int i = 0; i < 200; ++i) theta = 2.0 * g / z * std::tan(theta) - h;
  IsoRootSection s;
  s.sFn = z * std::sin(kPi / 3.0 - theta) + std::sqrt(3.0) * (g / std::cos(theta) - rhoFP);
  s.rhoF = rhoFP + 2.0 * g * g / (std::cos(theta) * (z * std::cos(theta) * std::cos(theta) - 2.0 * g));
  // Load at the tip circle d_a = z + 2 (1 + x), along the involute normal there.
  const double da = z + 2.0 * (1.0 + x);
  const double alphaAn = std::acos(z * std::cos(alphaN) / da);
  const double gammaA = (kPi / 2.0 + 2.0 * x * std::tan(alphaN)) / z + Involute(alphaN) - Involute(alphaAn);
  s.alphaFan = alphaAn - gammaA;
  s.hFa = 0.5 * ((std::cos(gammaA) - std::sin(gammaA) * std::tan(s.alphaFan)) * da -
                 z * std::cos(kPi / 3.0 - theta) - g / std::cos(theta) + rhoFP);
  s.yF = 6.0 * s.hFa * std::cos(s.alphaFan) / (s.sFn * s.sFn * std::cos(alphaN));
  const double l = s.sFn / s.hFa;
  // The Y_S equation holds for 1 <= q_s < 8; the deeply undercut roots of x = -0.5
  // on few teeth fall below 1 (0.67 for z = 10) and are evaluated at the limit.
  const double qs = std::clamp(s.sFn / (2.0 * s.rhoF), 1.0, 8.0);
  s.yS = (1.2 + 0.13 * l) * std::pow(qs, 1.0 / (1.21 + 2.3 / l));
  return s;
}

// The basic rack tooth itself (addendum 1, dedendum 1.25, fillet circle 0.38): the
// 30 degree tangent point lies on the fillet circle, the tip load acts along the
// flank normal at the tip corner.
IsoRootSection RackTooth(double alphaN = 20 * kDeg) {
  const double rho = 0.38, hf = 1.25, ha = 1.0, halfThickness = kPi / 4.0;
  const double yc = rho - hf;
  const double xc = halfThickness - yc * std::tan(alphaN) + rho / std::cos(alphaN);
  const double px = xc - rho * std::cos(30 * kDeg), py = yc - rho * std::sin(30 * kDeg);
  const double tipHalfWidth = halfThickness - ha * std::tan(alphaN);
  IsoRootSection s;
  s.sFn = 2.0 * px;
  s.rhoF = rho;
  s.hFa = ha - tipHalfWidth * std::tan(alphaN) - py;
  s.alphaFan = alphaN;
  s.yF = 6.0 * s.hFa * std::cos(alphaN) / (s.sFn * s.sFn * std::cos(alphaN));
  const double l = s.sFn / s.hFa, qs = s.sFn / (2.0 * rho);
  s.yS = (1.2 + 0.13 * l) * std::pow(qs, 1.0 / (1.21 + 2.3 / l));
  return s;
}

GearRecord ExternalGear(double m, int64_t z, double x, double betaDeg = 0.0) {
  GearRecord g;
  InitGearParams(g, m, z, x, 20.0, 10.0, 0.0, 0.0, betaDeg, 1);
  ComputeExternalGearGeometry(g, 1);
  return g;
}

TEST(IsoOracle, KnownChartValues) {
  // The oracle itself reproduces the tip-load chart values Y_Fa 2.80, Y_Sa 1.55
  // (z = 20, x = 0) and the rack limit 2.06 / 1.97.
  IsoRootSection s = IsoMethodBTipLoad(20, 0);
  EXPECT_NEAR(s.yF, 2.80, 0.01);
  EXPECT_NEAR(s.yS, 1.55, 0.01);
  IsoRootSection r = RackTooth();
  EXPECT_NEAR(r.yF, 2.06, 0.01);
  EXPECT_NEAR(r.yS, 1.97, 0.01);
  // A very large gear approaches the rack.
  IsoRootSection big = IsoMethodBTipLoad(1e5, 0);
  EXPECT_NEAR(big.yF, r.yF, 0.01);
  EXPECT_NEAR(big.sFn, r.sFn, 0.01);
}

TEST(ToothRootFormFactors, ExternalGearsAgainstIsoMethodB) {
  const int teeth[] = {10, 12, 14, 17, 20, 25, 30, 40, 50, 70, 100};
  const double shifts[] = {-0.5, -0.25, 0.0, 0.25, 0.5};
  for (int z : teeth) {
    for (double x : shifts) {
      const std::string name = "z " + std::to_string(z) + ", x " + std::to_string(x);
      const double m = 2.0;
      GearRecord source = ExternalGear(m, z, x);
      ASSERT_EQ(source.valid, 1) << name;
      GearRecord virtualGear;
      BuildVirtualGearForRootStress(source, ToothKind::External, virtualGear);
      RootSectionResult r;
      ASSERT_EQ(ComputeToothRootFormFactors(virtualGear, ToothKind::External, r), 1) << name;
      EXPECT_EQ(r.found, 1);
      IsoRootSection iso = IsoMethodBTipLoad(z, x);
      EXPECT_NEAR(r.formFactor / iso.yF, 1.0, 0.01) << name << ": Y_F " << r.formFactor << " / " << iso.yF;
      EXPECT_NEAR(r.stressCorrectionFactor / iso.yS, 1.0, 0.01)
          << name << ": Y_S " << r.stressCorrectionFactor << " / " << iso.yS;
      EXPECT_NEAR(r.sectionWidth / (iso.sFn * m), 1.0, 0.005) << name << ": s_Fn";
      EXPECT_NEAR(r.filletRadius / (iso.rhoF * m), 1.0, 0.01) << name << ": rho_F";
      EXPECT_NEAR(r.bendingArm / (iso.hFa * m), 1.0, 0.005) << name << ": h_Fa";
      // The load line is normal to the last outline segment into the tip, a chord
      // that leans half a roll-angle step (up to 0.25 degree on ten teeth) away
      // from the tangent at the tip.
      EXPECT_NEAR(r.loadAngle, iso.alphaFan, 0.3 * kDeg) << name << ": alpha_Fan";
      EXPECT_NEAR(r.sectionHalfWidth, r.sectionWidth / 2.0, 1e-12);
    }
  }
}

TEST(ToothRootFormFactors, TwentyTeethSpur) {
  GearRecord virtualGear;
  BuildVirtualGearForRootStress(ExternalGear(3.0, 20, 0.0), ToothKind::External, virtualGear);
  RootSectionResult r;
  ASSERT_EQ(ComputeToothRootFormFactors(virtualGear, ToothKind::External, r), 1);
  EXPECT_NEAR(r.formFactor, 2.80, 0.028);
  EXPECT_NEAR(r.stressCorrectionFactor, 1.55, 0.0155);
  // The section lies in the root, below the pitch radius 30 and above the root 26.25.
  EXPECT_GT(r.sectionPosition, 26.25);
  EXPECT_LT(r.sectionPosition, 30.0);
}

TEST(ToothRootFormFactors, RackTooth) {
  GearRecord rack;
  BuildRackOutline(rack, 2.0, 20.0, 15.0, -1, 40, 8.0, 20.0, 0.0, 1);
  ASSERT_EQ(rack.valid, 1);
  GearRecord virtualRack;
  BuildVirtualGearForRootStress(rack, ToothKind::Rack, virtualRack);
  // Whatever the real rack: three straight teeth.
  EXPECT_EQ(virtualRack.toothCount, 3);
  EXPECT_DOUBLE_EQ(virtualRack.helixAngle, 0.0);
  RootSectionResult r;
  ASSERT_EQ(ComputeToothRootFormFactors(virtualRack, ToothKind::Rack, r), 1);
  IsoRootSection iso = RackTooth();
  EXPECT_NEAR(r.filletRadius, 0.38 * 2.0, 1e-6);
  EXPECT_NEAR(r.loadAngle, 20 * kDeg, 1e-9);
  EXPECT_NEAR(r.formFactor / iso.yF, 1.0, 0.01) << r.formFactor;
  EXPECT_NEAR(r.stressCorrectionFactor / iso.yS, 1.0, 0.01) << r.stressCorrectionFactor;
  EXPECT_NEAR(r.formFactor, 2.06, 0.02);
  EXPECT_NEAR(r.stressCorrectionFactor, 1.97, 0.02);
  EXPECT_NEAR(r.sectionWidth, iso.sFn * 2.0, 0.005 * 2.0);
}

bool SameSection(const RootSectionResult& a, const RootSectionResult& b) {
  return a.found == b.found && a.formFactor == b.formFactor && a.stressCorrectionFactor == b.stressCorrectionFactor &&
         a.sectionWidth == b.sectionWidth && a.bendingArm == b.bendingArm && a.filletRadius == b.filletRadius &&
         a.loadAngle == b.loadAngle && a.sectionHalfWidth == b.sectionHalfWidth &&
         a.sectionPosition == b.sectionPosition;
}

TEST(VirtualGear, FirstToothOnlyGivesIdenticalFactors) {
  // The virtual gear carries one tooth of outline; the whole gear must measure to
  // the last bit the same.
  const struct {
    double m;
    int64_t z;
    double x, betaDeg, allowance, tipShortening;
  } gears[] = {{2.0, 20, 0.0, 0.0, 0.0, 0.0},   {2.0, 10, -0.5, 0.0, 0.0, 0.0},  {2.0, 10, 0.8, 0.0, 0.0, 0.0},
               {3.0, 17, 0.0, 25.0, 0.1, 0.0},  {1.0, 57, 0.3, 12.0, 0.0, 0.2},  {0.2, 200, 0.0, 0.0, 0.0, 0.0},
               {0.2, 400, 0.0, 0.0, 0.0, 0.0},  {1.0, 1000, 0.0, 30.0, 0.0, 0.0}, {5.0, 6, 0.6, 0.0, 0.05, 0.0}};
  for (const auto& c : gears) {
    const std::string name = "z " + std::to_string(c.z) + ", x " + std::to_string(c.x);
    GearRecord source;
    InitGearParams(source, c.m, c.z, c.x, 20.0, 10.0, 0.0, c.tipShortening, c.betaDeg, 1);
    source.thicknessAllowance = c.allowance;
    ComputeExternalGearGeometry(source, 1);
    ASSERT_EQ(source.valid, 1) << name;
    GearRecord partial;
    BuildVirtualGearForRootStress(source, ToothKind::External, partial);
    // The whole virtual gear, built the long way.
    GearRecord whole;
    InitGearParams(whole, c.m, partial.toothCount, c.x, 20.0, 10.0, 0.0, c.tipShortening, 0.0, 1);
    whole.thicknessAllowance = c.allowance;
    ComputeExternalGearGeometry(whole, kVirtualGearDetail);
    ASSERT_EQ(whole.outline.size(), partial.outline.size() * static_cast<size_t>(partial.toothCount)) << name;
    RootSectionResult a, b;
    ASSERT_EQ(ComputeToothRootFormFactors(whole, ToothKind::External, a), 1) << name;
    ASSERT_EQ(ComputeToothRootFormFactors(partial, ToothKind::External, b), 1) << name;
    EXPECT_TRUE(SameSection(a, b)) << name << ": Y_F " << a.formFactor << " / " << b.formFactor;
    EXPECT_EQ(whole.tipRadius, partial.tipRadius) << name;
  }
}

TEST(VirtualGear, FirstSpaceOfARingGivesIdenticalFactors) {
  const struct {
    int64_t z;
    double x, betaDeg, allowance;
  } rings[] = {{60, 0.0, 0.0, 0.0}, {40, 0.4, 15.0, 0.05}, {25, -0.3, 0.0, 0.0}, {1000, 0.0, 20.0, 0.0}};
  for (const auto& c : rings) {
    const std::string name = "ring z " + std::to_string(c.z);
    GearRecord source;
    GenerateToothProfile(source, 2.0, c.z, c.x, 20.0, 10.0, 8.0, c.allowance, c.betaDeg, 1, 1, 0.0);
    ASSERT_EQ(source.valid, 1) << name;
    GearRecord partial;
    BuildVirtualGearForRootStress(source, ToothKind::Ring, partial);
    GearRecord whole;
    GenerateToothProfile(whole, 2.0, partial.toothCount, c.x, 20.0, 10.0, 8.0, c.allowance, 0.0, 1,
                         kVirtualGearDetail, 0.0);
    ASSERT_EQ(whole.outline.size(), partial.outline.size() * static_cast<size_t>(partial.toothCount)) << name;
    RootSectionResult a, b;
    ASSERT_EQ(ComputeToothRootFormFactors(whole, ToothKind::Ring, a), 1) << name;
    ASSERT_EQ(ComputeToothRootFormFactors(partial, ToothKind::Ring, b), 1) << name;
    EXPECT_TRUE(SameSection(a, b)) << name << ": Y_F " << a.formFactor << " / " << b.formFactor;
  }
}

TEST(VirtualGear, ToothNumberOfHelicalGears) {
  GearRecord v;
  // z 20, beta 15 deg: z / (cos^2 beta_b cos beta) = 22.0 -> 22.
  BuildVirtualGearForRootStress(ExternalGear(2.0, 20, 0.0, 15.0), ToothKind::External, v);
  EXPECT_EQ(v.toothCount, 22);
  EXPECT_DOUBLE_EQ(v.helixAngle, 0.0);
  EXPECT_EQ(v.valid, 1);
  // Below 6 virtual teeth the gear gets 6: a source record with z = 4.
  GearRecord small;
  InitGearParams(small, 2.0, 4, 0.8, 20.0, 10.0, 0.0, 0.0, 0.0, 1);
  BuildVirtualGearForRootStress(small, ToothKind::External, v);
  EXPECT_EQ(v.toothCount, 6);
}

TEST(ToothRootFormFactors, RingIsExaminedAtSixtyDegrees) {
  const double m = 2.0;
  GearRecord ring;
  GenerateToothProfile(ring, m, 60, 0.0, 20.0, 10.0, 8.0, 0.0, 0.0, 1, 1, 0.0);
  ASSERT_EQ(ring.valid, 1);
  GearRecord v;
  BuildVirtualGearForRootStress(ring, ToothKind::Ring, v);
  EXPECT_EQ(v.isInternal, 1);
  EXPECT_EQ(v.toothCount, 60);
  EXPECT_DOUBLE_EQ(v.rimWidth, 8.0);
  RootSectionResult r;
  ASSERT_EQ(ComputeToothRootFormFactors(v, ToothKind::Ring, r), 1);

  // Where the 60 degree section must be: the ring's fillet is a circle of 0.25 m
  // about C, tangent to the flank and touching the root circle. Find C by bisecting
  // the fillet residual, mirror it to the examined flank (space 0 on +x, the tooth
  // at -pi/z), and turn it into the tooth frame. On that circle the tangent leans
  // 60 degrees to the centre line at P = C + rho (-sin 30, -cos 30).
  const double rho = 0.25 * m;
  OutlinePoint touch, centre;
  double lo = v.tipRadius + 1e-9 * m, hi = v.rootRadius;
  for (int i = 0; i < 100; ++i) {
    double mid = 0.5 * (lo + hi);
    (ComputeRingFilletResidual(v, mid, rho, v.rootRadius, touch, centre) < 0.0 ? lo : hi) = mid;
  }
  ComputeRingFilletResidual(v, 0.5 * (lo + hi), rho, v.rootRadius, touch, centre);
  const double phi = std::atan2(-centre.y, centre.x) + kPi / 60.0;
  const double radius = std::hypot(centre.x, centre.y);
  const double cx = radius * std::sin(phi), cy = -radius * std::cos(phi);
  const double px = cx - rho * 0.5, py = cy - rho * std::sqrt(3.0) / 2.0;
  EXPECT_NEAR(r.filletRadius, rho, 1e-3 * rho);
  EXPECT_NEAR(r.sectionHalfWidth, px, 0.005 * px);
  EXPECT_NEAR(r.sectionPosition, py, 0.005 * m);
  EXPECT_GT(r.formFactor, 0.0);
  EXPECT_GT(r.stressCorrectionFactor, 1.0);

  // The internal tooth widens towards its root so much that on this ring no point
  // of fillet or flank leans as little as 30 degrees: the pinion's rule would find
  // no section at all.
  RootSectionResult r30;
  ASSERT_EQ(ComputeToothRootFormFactors(v, ToothKind::External, r30), 0);
}

TEST(ToothRootFormFactors, InvalidRecordIsNotFound) {
  GearRecord empty;
  RootSectionResult r;
  r.found = 1;
  EXPECT_EQ(ComputeToothRootFormFactors(empty, ToothKind::External, r), 0);
  EXPECT_EQ(r.found, 0);
}

// A hand-made rack tooth in the rack's own frame (first tooth centred on x = p/2):
// root line, a straight 45 degree flank that turns into a 10 degree one, tip.
GearRecord HandMadeRack(const std::vector<OutlinePoint>& toothHalf) {
  GearRecord g;
  g.valid = 1;
  g.isRack = 1;
  g.normalModule = 1.0;
  g.transverseModule = 1.0;
  g.pressureAngle = 20 * kDeg;
  g.rackHeight = 5.0;
  g.toothCount = 1;
  OutlinePolyline line;
  for (const OutlinePoint& p : toothHalf) line.points.push_back({kPi / 2.0 + p.x, p.y});
  g.outline.push_back(line);
  double tip = toothHalf.back().y;
  g.tipRadius = tip;
  return g;
}

TEST(ToothRootFormFactors, CollinearPointsAtTheSectionGiveTheLowerNotchLimit) {
  // The segments into point 3 lean at more than 30 degrees, the one out of it at 14
  // degrees: point 3 is the section. Points 0, 3 and 6, from which the fillet
  // radius is taken, lie on one line: rho_F = 1e6, so q_s = s_Fn / (2 rho_F) is far
  // below 1 and is limited to 1, the lower limit (not to the upper one, 8).
  const std::vector<OutlinePoint> pts = {{1.5, -1.0},  {1.4, -0.95}, {1.35, -0.9},  {1.25, -0.75},
                                         {1.2, -0.55}, {1.1, -0.52}, {1.0, -0.5},   {0.95, -0.2},
                                         {0.9, 0.1},   {0.85, 0.4},  {0.8, 0.7},    {0.75, 1.0}};
  GearRecord g = HandMadeRack(pts);
  RootSectionResult r;
  ASSERT_EQ(ComputeToothRootFormFactors(g, ToothKind::Rack, r), 1);
  EXPECT_NEAR(r.sectionHalfWidth, 1.25, 1e-12);
  EXPECT_DOUBLE_EQ(r.sectionPosition, -0.75);
  EXPECT_DOUBLE_EQ(r.filletRadius, 1e6);
  // Load normal to the last segment (-0.05, 0.3) through the tip (0.75, 1.0) meets
  // the centre line at y = 1.0 - 0.75 / 6 = 0.875.
  EXPECT_NEAR(r.bendingArm, 0.875 + 0.75, 1e-12);
  EXPECT_NEAR(r.loadAngle, std::atan(0.05 / 0.3), 1e-12);
  const double ls = r.sectionWidth / r.bendingArm;
  EXPECT_NEAR(r.stressCorrectionFactor, 1.2 + 0.13 * ls, 1e-12);  // q_s^(...) = 1
  const double sRel = r.sectionWidth;  // m = 1
  EXPECT_NEAR(r.formFactor, 6.0 * r.bendingArm * std::cos(r.loadAngle) / (sRel * sRel * std::cos(20 * kDeg)),
              1e-12);
}

TEST(ToothRootFormFactors, FilletThatNeverReachesTheSlopeIsNotFound) {
  // Every segment up to the tip leans at 45 degrees: there is no tangent point.
  std::vector<OutlinePoint> pts;
  for (int i = 0; i <= 20; ++i) pts.push_back({1.5 - 0.1 * i, -1.0 + 0.1 * i});
  GearRecord g = HandMadeRack(pts);
  RootSectionResult r;
  EXPECT_EQ(ComputeToothRootFormFactors(g, ToothKind::Rack, r), 0);
  EXPECT_EQ(r.found, 0);
  // Fewer than 8 points is not found either.
  g = HandMadeRack({{1.5, -1.0}, {1.2, -0.8}, {1.0, -0.5}, {0.9, 0.0}, {0.8, 0.5}, {0.7, 1.0}});
  EXPECT_EQ(ComputeToothRootFormFactors(g, ToothKind::Rack, r), 0);
}

}  // namespace
}  // namespace kovrex
