// Gear record operations and the involute basics.
#include "geometry/gear_record.h"

#include <cmath>

namespace kovrex {

GearRecord Gear1;
GearRecord Gear2;
GearRecord RingGear;
GearRecord Rack;

void ResetGearRecords() {
  Gear1 = GearRecord{};
  Gear2 = GearRecord{};
  RingGear = GearRecord{};
  Rack = GearRecord{};
}

int InitGearParams(GearRecord& g, double module, int64_t toothCount, double profileShift,
                   double pressureAngleDeg, double faceWidth, double bore, double tipShortening,
                   double helixAngleDeg, int64_t hand) {
  g.normalModule = module;
  g.toothCount = toothCount;
  g.profileShift = profileShift;
  g.pressureAngle = pressureAngleDeg * kDegToRad;
  g.helixAngle = std::fabs(helixAngleDeg) * kDegToRad;
  g.hand = hand == 0 ? 1 : hand;
  g.faceWidth = faceWidth;
  g.boreDiameter = bore;
  g.tipShortening = tipShortening;
  g.thicknessAllowance = 0.0;
  g.hubSide = 0;
  g.hubDiameter = 0.0;
  g.hubLength = 0.0;
  g.keywayWidth = 0.0;
  g.keywayDepth = 0.0;
  g.keyHeight = 0.0;
  g.keyIsDin = 0;
  g.addendumCoeff = 1.0;
  g.dedendumCoeff = 1.25;
  g.rootRadiusCoeff = 0.38;
  return 0;
}

double InvoluteFunction(double alpha) { return std::tan(alpha) - alpha; }

double InvertInvoluteFunction(double v) {
  // v <= 0 has no positive solution (and 0/0 would follow at v = 0); a start value
  // past pi/2 makes Newton run away, so it is capped below it.
  if (!(v > 0.0)) return 0.0;
  double a = std::cbrt(3.0 * v);
  if (a > 1.4) a = 1.4;
  for (int i = 0; i < 30; ++i) {
    double t = std::tan(a);
    double step = (t - a - v) / (t * t);
    if (!std::isfinite(step)) break;
    double next = a - step;
    // From below the root (v above inv(1.4) = 4.4) a full step can jump past pi/2
    // onto the next branch of tan; halving the distance to pi/2 keeps the angle
    // on the branch, and Newton converges from above the root.
    if (next >= kPi / 2.0) next = (a + kPi / 2.0) / 2.0;
    if (next <= 0.0) next = a / 2.0;
    a = next;
  }
  return a;
}

double ComputeHalfToothAngleAtRadius(const GearRecord& g, double r) {
  double rb = g.baseRadius;
  double rr = r < rb ? rb : r;
  double ratio = rr > 0.0 ? rb / rr : 1.0;
  if (ratio > 1.0) ratio = 1.0;
  double inv_r = InvoluteFunction(std::acos(ratio));
  return InvoluteFunction(g.transversePressureAngle) + g.pitchToothThickness / (2.0 * g.pitchRadius) - inv_r;
}

int InvolutePointAtRadius(const GearRecord& g, OutlinePoint& p, double r) {
  double psi = ComputeHalfToothAngleAtRadius(g, r);
  p.x = r * std::cos(psi);
  p.y = r * std::sin(psi);
  return 0;
}

double ComputeMinProfileShift(int64_t z, double pressureAngleDeg, double helixAngleDeg) {
  double an = pressureAngleDeg * kDegToRad;
  double b = helixAngleDeg * kDegToRad;
  double at = std::atan(std::tan(an) / std::cos(b));
  double s = std::sin(at);
  return 1.25 - 0.38 * (1.0 - std::sin(an)) - static_cast<double>(z) * s * s / (2.0 * std::cos(b));
}

double ComputeOverlapRatio(const GearRecord& g) {
  return g.faceWidth * std::sin(g.helixAngle) / (kPi * g.normalModule);
}

bool HasHub(const GearRecord& g) { return g.hubSide > 0 && g.hubDiameter > 0.0 && g.hubLength > 0.0; }

bool HasKeyway(const GearRecord& g) {
  return g.boreDiameter > 0.0 && g.keywayWidth > 0.0 && g.keywayDepth > 0.0 && g.boreDiameter > g.keywayWidth;
}

double ComputeBoreContourRadius(const GearRecord& g) {
  return HasKeyway(g) ? g.boreDiameter / 2.0 + g.keywayDepth : g.boreDiameter / 2.0;
}

void AddPointToList(std::vector<OutlinePoint>& list, double x, double y) { list.push_back({x, y}); }

void SetPolarPoint(std::vector<OutlinePoint>& list, double r, double phi) {
  list.push_back({r * std::cos(phi), r * std::sin(phi)});
}

void AddSegmentIfNotDegenerate(GearRecord& g, double x1, double y1, double x2, double y2) {
  if (std::fabs(x2 - x1) + std::fabs(y2 - y1) < 1e-9) return;
  OutlinePolyline line;
  line.points.push_back({x1, y1});
  line.points.push_back({x2, y2});
  g.outline.push_back(std::move(line));
}

double MinOfTwo(double a, double b) { return a < b ? a : b; }
double MaxDouble(double a, double b) { return a > b ? a : b; }

}  // namespace kovrex
