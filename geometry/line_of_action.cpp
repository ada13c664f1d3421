// Transverse line of action, points A to E and current contacts of the external
// pair, the pinion with rack and the internal pair; contact ratio of the external
// pair. Not for: drawing the line (the canvas) or the mesh penetration check.
#include "geometry/line_of_action.h"

#include <cmath>
#include <limits>

namespace kovrex {

namespace {

void ClearContact(ContactGeometry& c) { c = ContactGeometry{}; }

// Length of the line of action from the base tangent point out to a circle of
// radius r; a circle inside the base circle reaches no involute at all.
double TangentLengthTo(double r, double rb) {
  double d = r * r - rb * rb;
  return d > 0.0 ? std::sqrt(d) : 0.0;
}

double TransverseBasePitch(const GearRecord& g) {
  return kPi * g.transverseModule * std::cos(g.transversePressureAngle);
}

// The drive flank of tooth j of gear 1 touches the line at s = r_b1 (v + j p).
// Starting the walk at j = 0 would miss every contact of a gear with many teeth,
// where A lies dozens of base pitches from the tangent point, so it starts at the
// last flank before A; the tolerance keeps a flank lying exactly on A or E.
void FindContacts(ContactGeometry& c, double rb1, int64_t z1, double phase) {
  c.contactCount = 0;
  if (!(rb1 > 0.0) || z1 < 1 || !std::isfinite(phase) || !std::isfinite(c.positionA) ||
      !std::isfinite(c.positionE))
    return;
  const double p = 2.0 * kPi / static_cast<double>(z1);
  double v = phase - p * std::floor(phase / p);
  const double step = rb1 * p;
  double first = std::floor((c.positionA - rb1 * v) / step);
  if (first < 0.0) first = 0.0;
  if (first > 1e9) return;
  for (int k = 0; k < 8 && c.contactCount < 4; ++k) {
    double s = rb1 * (v + (first + k) * p);
    if (s > c.positionE + 1e-9) break;
    if (s >= c.positionA - 1e-9) c.contactPositions[c.contactCount++] = s;
  }
}

// The end of a gear's usable involute toward its root: the fillet end, or the
// undercut crossing, or the base circle. An invalid record has no flank to meet.
bool HasUsableFlank(const GearRecord& g) {
  return g.valid != 0 && std::isfinite(g.involuteStartRadius) && g.involuteStartRadius > 0.0;
}

// Cuts A back to the usable flank that starts at `usableA`, and E back to the one
// that ends at `usableE` (positions on the line), where the tips reach past them
// by more than the allowance. NaN for a flank without a known end.
void LimitToUsableFlanks(ContactGeometry& c, double usableA, double usableE, double module) {
  c.tipPositionA = c.positionA;
  c.tipPositionE = c.positionE;
  c.overreachA = std::isnan(usableA) ? 0.0 : usableA - c.positionA;
  c.overreachE = std::isnan(usableE) ? 0.0 : c.positionE - usableE;
  if (TipReachesPastUsableFlank(c.overreachA, module)) c.positionA = usableA;
  if (TipReachesPastUsableFlank(c.overreachE, module)) c.positionE = usableE;
}

constexpr double kNoFlankEnd = std::numeric_limits<double>::quiet_NaN();

// cos of the working pressure angle, or 0 when the centre distance cannot carry it.
double WorkingPressureCosine(double baseRadiusTerm, double centreDistance) {
  if (!(centreDistance > 0.0) || !std::isfinite(centreDistance) || !std::isfinite(baseRadiusTerm)) return 0.0;
  double c = baseRadiusTerm / centreDistance;
  return (c > 0.0 && c < 1.0) ? c : 0.0;
}

// Phase of the drive flank of tooth 0 at the tangent point, measured from gear 1's
// +x axis: tooth centre angle plus the half-angle at the base circle.
double DriveFlankPhase(const GearRecord& g, double driveAngle) {
  return driveAngle + g.pitchToothThickness / (2.0 * g.pitchRadius) + InvoluteFunction(g.transversePressureAngle);
}

}  // namespace

bool TipReachesPastUsableFlank(double overreach, double module) {
  return overreach > kTipOverreachModules * module;
}

int ComputePairLineOfAction(const GearRecord& g1, const GearRecord& g2, ContactGeometry& c, double a,
                            double driveAngle) {
  ClearContact(c);
  const double rb1 = g1.baseRadius, rb2 = g2.baseRadius;
  const double cosAw = WorkingPressureCosine(rb1 + rb2, a);
  if (cosAw == 0.0) return 1;
  const double aw = std::acos(cosAw);
  const double sinAw = std::sin(aw);
  c.workingPressureAngle = aw;
  c.workingPitchRadius1 = rb1 / cosAw;
  c.workingPitchRadius2 = rb2 / cosAw;
  c.originX = rb1 * cosAw;
  c.originY = -rb1 * sinAw;
  c.directionX = sinAw;
  c.directionY = cosAw;
  c.lineLength = a * sinAw;
  const double pbt = TransverseBasePitch(g1);
  c.positionA = a * sinAw - TangentLengthTo(g2.tipRadius, rb2);
  c.positionE = TangentLengthTo(g1.tipRadius, rb1);
  // Gear 2's tip works on gear 1's flank from A on, gear 1's tip on gear 2's until
  // E; neither flank is involute below its usable start.
  LimitToUsableFlanks(c, HasUsableFlank(g1) ? TangentLengthTo(g1.involuteStartRadius, rb1) : kNoFlankEnd,
                      HasUsableFlank(g2) ? a * sinAw - TangentLengthTo(g2.involuteStartRadius, rb2) : kNoFlankEnd,
                      g1.normalModule);
  c.positionC = rb1 * std::tan(aw);
  c.positionB = c.positionE - pbt;
  c.positionD = c.positionA + pbt;
  FindContacts(c, rb1, g1.toothCount, DriveFlankPhase(g1, driveAngle) + aw);
  return 0;
}

double ComputePairContactRatio(const GearRecord& g1, const GearRecord& g2, double a) {
  ContactGeometry c;
  const double pbt = TransverseBasePitch(g1);
  if (ComputePairLineOfAction(g1, g2, c, a, /*driveAngle=*/0.0) != 0 || !(pbt > 0.0)) return 0.0;
  const double e = (c.positionE - c.positionA) / pbt;
  return std::isfinite(e) && e > 0.0 ? e : 0.0;
}

int ComputeRackLineOfAction(const GearRecord& pinion, const GearRecord& rack, ContactGeometry& c,
                            double driveAngle) {
  ClearContact(c);
  const double aw = pinion.transversePressureAngle;
  const double sinAw = std::sin(aw), cosAw = std::cos(aw);
  const double rb = pinion.baseRadius, r = pinion.pitchRadius;
  if (!(sinAw > 0.0) || !(cosAw > 0.0) || !(rb > 0.0) || !std::isfinite(rb)) return 1;
  c.workingPressureAngle = aw;
  c.workingPitchRadius1 = r;
  c.workingPitchRadius2 = 0.0;
  c.originX = -rb * sinAw;
  c.originY = -rb * cosAw;
  c.directionX = cosAw;
  c.directionY = -sinAw;
  c.positionC = rb * std::tan(aw);
  // The rack's tip line lies h_a* m above its pitch line, which the pinion's
  // profile shift moves x m away from the pinion centre.
  const double tipLine = r + pinion.profileShift * pinion.normalModule - rack.addendumCoeff * rack.normalModule;
  c.positionA = (tipLine - rb * cosAw) / sinAw;
  c.positionE = TangentLengthTo(pinion.tipRadius, rb);
  c.lineLength = c.positionE + 2.0 * pinion.normalModule;
  // The rack's straight flank ends where its tip rounding begins, (hf* - rho*(1 -
  // sin alpha_n)) m below its pitch line; heights are the same in the transverse
  // section, where the line of action runs at alpha_t.
  double flankEnd = kNoFlankEnd;
  if (rack.valid != 0) {
    const double depth = (rack.dedendumCoeff - rack.rootRadiusCoeff * (1.0 - std::sin(rack.pressureAngle))) *
                         rack.normalModule;
    flankEnd = (r + pinion.profileShift * pinion.normalModule + depth - rb * cosAw) / sinAw;
  }
  LimitToUsableFlanks(c, HasUsableFlank(pinion) ? TangentLengthTo(pinion.involuteStartRadius, rb) : kNoFlankEnd,
                      flankEnd, pinion.normalModule);
  const double pbt = TransverseBasePitch(pinion);
  c.positionB = c.positionE - pbt;
  c.positionD = c.positionA + pbt;
  FindContacts(c, rb, pinion.toothCount, DriveFlankPhase(pinion, driveAngle) + aw + kPi / 2.0);
  return 0;
}

void ComputeInternalLineOfAction(const GearRecord& pinion, const GearRecord& ring, ContactGeometry& c, double a,
                                 double driveAngle) {
  ClearContact(c);
  const double rb1 = pinion.baseRadius, rb2 = ring.baseRadius;
  const double cosAw = WorkingPressureCosine(rb2 - rb1, a);
  if (cosAw == 0.0) return;
  const double aw = std::acos(cosAw);
  const double sinAw = std::sin(aw);
  c.workingPressureAngle = aw;
  c.workingPitchRadius1 = rb1 / cosAw;
  c.workingPitchRadius2 = rb2 / cosAw;
  c.originX = a + rb1 * cosAw;
  c.originY = -rb1 * sinAw;
  c.directionX = sinAw;
  c.directionY = cosAw;
  // The ring's tangent point T2 lies behind T1, so the line length is negative.
  c.lineLength = -a * sinAw;
  const double pbt = TransverseBasePitch(pinion);
  c.positionA = -a * sinAw + TangentLengthTo(ring.tipRadius, rb2);
  c.positionE = TangentLengthTo(pinion.tipRadius, rb1);
  // The ring's involute runs outward from its tip circle to where the root fillet
  // takes over; a pinion tip beyond that meets the fillet.
  const bool ringFlank = ring.valid != 0 && std::isfinite(ring.ringFlankEndRadius) && ring.ringFlankEndRadius > 0.0;
  LimitToUsableFlanks(c, HasUsableFlank(pinion) ? TangentLengthTo(pinion.involuteStartRadius, rb1) : kNoFlankEnd,
                      ringFlank ? -a * sinAw + TangentLengthTo(ring.ringFlankEndRadius, rb2) : kNoFlankEnd,
                      pinion.normalModule);
  c.positionC = rb1 * std::tan(aw);
  c.positionB = c.positionE - pbt;
  c.positionD = c.positionA + pbt;
  FindContacts(c, rb1, pinion.toothCount, DriveFlankPhase(pinion, driveAngle) + aw);
}

}  // namespace kovrex
