// Virtual gears of the root-stress calculation and the measurement of the critical
// root section on their outlines (tangent rule, fillet radius, tip-load bending arm).
#include "capacity/root_factors.h"

#include <cmath>
#include <vector>

#include "geometry/external_gear.h"
#include "geometry/rack_outline.h"
#include "geometry/ring_gear.h"
#include "numbers/number_text.h"

namespace kovrex {
namespace {

struct ToothFramePoint {
  double x;
  double y;
};

// Points of the examined half tooth in the tooth frame (centre line = y axis, tooth
// towards +y, x >= 0), in outline order. The window runs from the middle of the
// space over fillet and flank to the tip; points of other teeth that fall into it
// (the space-centre point of the last tooth) come after the tip and are never read.
std::vector<ToothFramePoint> CollectHalfToothPoints(const GearRecord& gear, ToothKind kind) {
  std::vector<ToothFramePoint> table;
  const double m = gear.normalModule;
  const double z = static_cast<double>(gear.toothCount);
  const double tau = 2.0 * kPi / z;
  const double p = kPi * gear.transverseModule;
  // The window is a thin wedge below the +x axis, so a gear of thousands of teeth
  // keeps a few hundred of its million points. A cheap test on x and y rejects
  // the points far outside the wedge before the arc tangent decides; it is
  // deliberately wider than the wedge, so that it never drops a point the exact
  // test would keep. Needs a wedge narrower than a right angle (z >= 3).
  const bool wedgeTest = kind != ToothKind::Rack && gear.toothCount >= 3;
  const double wedgeSlope = wedgeTest ? std::tan(tau / 2.0 + 1e-6) : 0.0;
  for (const OutlinePolyline& polyline : gear.outline) {
    for (const OutlinePoint& point : polyline.points) {
      if (wedgeTest && !(point.x == 0.0 && point.y == 0.0) &&
          (point.x <= 0.0 || point.y > 1e-6 * point.x || point.y < -wedgeSlope * point.x))
        continue;
      double xs = 0.0, ys = 0.0;
      bool keep = false;
      if (kind == ToothKind::Rack) {
        double s = point.x - p / 2.0;
        keep = s >= -1e-12 && s <= p / 2.0 + 1e-9 && point.y > 1e-9 - gear.rackHeight;
        xs = s;
        ys = point.y;
      } else {
        double phi = std::atan2(point.y, point.x);
        double radius = std::sqrt(point.x * point.x + point.y * point.y);
        if (kind == ToothKind::External) {
          keep = phi >= -tau / 2.0 - 1e-9 && phi <= 1e-12;
          xs = radius * std::sin(-phi);
          ys = radius * std::cos(phi);
        } else {
          double phiTooth = phi + tau / 2.0;
          keep = phiTooth >= -1e-12 && phiTooth <= tau / 2.0 + 1e-9;
          xs = radius * std::sin(phiTooth);
          ys = -radius * std::cos(phiTooth);
        }
      }
      if (!keep) continue;
      if (!table.empty()) {
        const ToothFramePoint& last = table.back();
        if (std::fabs(xs - last.x) + std::fabs(ys - last.y) <= 1e-9 * m) continue;
      }
      table.push_back({xs, ys});
    }
  }
  return table;
}

// Angle of the segment a -> b to the +y direction in degrees, 0..180, ignoring
// on which side of the centre line it leans.
double SegmentAngleToCentreLine(const ToothFramePoint& a, const ToothFramePoint& b) {
  return std::atan2(std::fabs(b.x - a.x), b.y - a.y) * kRadToDeg;
}

// Radius of the circle through three points; 1e6 for three points on a line, so
// that the notch parameter q_s drops to its lower limit.
double CircleRadiusThroughPoints(const ToothFramePoint& p1, const ToothFramePoint& p2,
                                 const ToothFramePoint& p3) {
  double d = 2.0 * (p1.x * (p2.y - p3.y) + p2.x * (p3.y - p1.y) + p3.x * (p1.y - p2.y));
  if (std::fabs(d) < 1e-15) return 1e6;
  double s1 = p1.x * p1.x + p1.y * p1.y;
  double s2 = p2.x * p2.x + p2.y * p2.y;
  double s3 = p3.x * p3.x + p3.y * p3.y;
  double cx = (s1 * (p2.y - p3.y) + s2 * (p3.y - p1.y) + s3 * (p1.y - p2.y)) / d;
  double cy = (s1 * (p3.x - p2.x) + s2 * (p1.x - p3.x) + s3 * (p2.x - p1.x)) / d;
  return std::hypot(p1.x - cx, p1.y - cy);
}

}  // namespace

void BuildVirtualGearForRootStress(const GearRecord& source, ToothKind kind, GearRecord& virtualGear) {
  const double pressureAngleDeg = source.pressureAngle * kRadToDeg;
  if (kind == ToothKind::Rack) {
    // Whatever the real rack's length and helix: three straight teeth give the
    // examined tooth a full neighbourhood on both sides.
    BuildRackOutline(virtualGear, source.normalModule, pressureAngleDeg, /*helixAngleDeg=*/0.0,
                     /*hand=*/1, /*teeth=*/3, source.rackHeight, source.faceWidth,
                     source.thicknessAllowance, kVirtualGearDetail);
    return;
  }
  const double cosBetaB = std::cos(source.baseHelixAngle);
  const double zn = static_cast<double>(source.toothCount) /
                    (cosBetaB * cosBetaB * std::cos(source.helixAngle));
  long long virtualTeeth = RoundHalfAwayFromZero(zn);
  if (virtualTeeth < 6) virtualTeeth = 6;
  const double m = source.normalModule;
  if (kind == ToothKind::Ring) {
    // Space 0 with the tooth after it is all the measurement reads.
    GenerateToothProfile(virtualGear, m, virtualTeeth, source.profileShift, pressureAngleDeg,
                         source.faceWidth, MaxDouble(source.rimWidth, 2.0 * m),
                         source.thicknessAllowance, /*helixAngleDeg=*/0.0, /*hand=*/1,
                         kVirtualGearDetail, /*tipRadiusOverride=*/0.0, /*outlineSpaces=*/1);
    return;
  }
  InitGearParams(virtualGear, m, virtualTeeth, source.profileShift, pressureAngleDeg, source.faceWidth,
                 /*bore=*/0.0, source.tipShortening, /*helixAngleDeg=*/0.0, /*hand=*/1);
  virtualGear.thicknessAllowance = source.thicknessAllowance;
  // The measurement reads tooth 0 only (the space before it is drawn with it);
  // the other teeth of a virtual gear of a thousand teeth would be 99.9 % of the
  // run's time and memory.
  ComputeExternalGearGeometry(virtualGear, kVirtualGearDetail, /*outlineTeeth=*/1);
}

int ComputeToothRootFormFactors(const GearRecord& gear, ToothKind kind, RootSectionResult& result) {
  result.found = 0;
  if (gear.valid == 0) return 0;
  const double m = gear.normalModule;
  const double tipRadius = gear.tipRadius;
  // External teeth and the rack break where the fillet is tangent at 30 degrees to
  // the centre line; the thicker-rooted internal tooth at 60 degrees.
  const double tangentAngleDeg = kind == ToothKind::Ring ? 60.0 : 30.0;

  std::vector<ToothFramePoint> pts = CollectHalfToothPoints(gear, kind);
  if (pts.size() < 8) return 0;
  const int count = static_cast<int>(pts.size());

  int tip = -1;
  for (int i = 0; i < count && tip < 0; ++i) {
    double radius = std::hypot(pts[i].x, pts[i].y);
    bool atTip = false;
    if (kind == ToothKind::External) atTip = radius >= tipRadius - 1e-7 * m;
    if (kind == ToothKind::Ring) atTip = radius <= tipRadius + 1e-7 * m;
    if (kind == ToothKind::Rack) atTip = pts[i].y >= tipRadius - 1e-9;
    if (atTip) tip = i;
  }
  if (tip < 4) return 0;

  int section = -1;
  for (int i = 1; i < tip && section < 0; ++i) {
    double angleIn = SegmentAngleToCentreLine(pts[i - 1], pts[i]);
    double angleOut = SegmentAngleToCentreLine(pts[i], pts[i + 1]);
    if (angleIn > tangentAngleDeg && angleOut <= tangentAngleDeg) section = i;
  }
  if (section < 0) return 0;

  const ToothFramePoint& c = pts[section];
  result.sectionHalfWidth = c.x;
  result.sectionPosition = c.y;
  const double sFn = 2.0 * c.x;
  result.sectionWidth = sFn;

  int k = 3;
  if (section < 3) k = section;
  if (section + k > tip) k = tip - section;
  if (k < 1) return 0;
  const double rhoF = CircleRadiusThroughPoints(pts[section - k], c, pts[section + k]);
  result.filletRadius = rhoF;

  // The load acts at the tip, along the flank normal there; the last outline
  // segment into the tip stands in for the flank tangent.
  const ToothFramePoint& t = pts[tip];
  const double dx = t.x - pts[tip - 1].x;
  const double dy = t.y - pts[tip - 1].y;
  const double length = std::hypot(dx, dy);
  if (!(length > 0.0)) return 0;
  double nx = -dy / length, ny = dx / length;
  if (nx > 0.0) {
    nx = -nx;
    ny = -ny;
  }
  if (std::fabs(nx) < 1e-12) return 0;
  const double loadLineOnCentre = t.y - t.x * ny / nx;
  const double hFe = loadLineOnCentre - c.y;
  const double alphaFen = std::atan(std::fabs(ny / nx));
  result.bendingArm = hFe;
  result.loadAngle = alphaFen;
  if (!(hFe > 0.0) || !(sFn > 0.0)) return 0;

  const double sRel = sFn / m;
  result.formFactor = 6.0 * (hFe / m) * std::cos(alphaFen) / (sRel * sRel * std::cos(gear.pressureAngle));
  const double ls = sFn / hFe;
  double qs = sFn / (2.0 * rhoF);
  if (qs < 1.0) qs = 1.0;
  if (qs > 8.0) qs = 8.0;
  result.stressCorrectionFactor = (1.2 + 0.13 * ls) * std::pow(qs, 1.0 / (1.21 + 2.3 / ls));
  result.found = 1;
  return 1;
}

}  // namespace kovrex
