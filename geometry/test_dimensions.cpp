// Span measurement W_k and dimension over balls M_d of an external spur or helical
// gear (DIN 3960), from the circles and thicknesses the geometry already holds.
// Not for: the ring gear, whose dimension between balls lives with its generator.
#include "geometry/test_dimensions.h"

#include <cmath>

#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "numbers/number_text.h"

namespace kovrex {

namespace {

void ClearTestDimensions(GearRecord& g) {
  g.spanTeeth = 0;
  g.spanMeasurement = 0.0;
  g.spanContactRadius = 0.0;
  g.minFaceWidthForSpan = 0.0;
  g.ballDiameter = 0.0;
  g.dimensionOverBalls = 0.0;
  g.ballContactRadius = 0.0;
  g.ballBeyondTipFlag = 0;
}

// Virtual tooth number: the spur gear whose involute function ratio matches the
// helical gear's, on which the normal-section measurements are worked out.
double VirtualToothCount(const GearRecord& g) {
  return static_cast<double>(g.toothCount) * InvoluteFunction(g.transversePressureAngle) /
         InvoluteFunction(g.pressureAngle);
}

void ComputeSpan(GearRecord& g) {
  const int64_t z = g.toothCount;
  const double zv = VirtualToothCount(g);
  // For a large negative x the ratio exceeds 1; clamped, the measuring circle sits
  // on the base circle and k becomes 1 instead of acos giving NaN.
  double c = zv * std::cos(g.pressureAngle) / (zv + 2.0 * g.profileShift);
  if (!(c <= 1.0)) c = 1.0;  // also catches a NaN from zv + 2x = 0 with an infinite ratio
  if (c < -1.0) c = -1.0;
  const double alphaX = std::acos(c);
  int64_t k = RoundHalfAwayFromZero(zv * alphaX / kPi + 0.5);
  if (k < 1) k = 1;
  if (k > z - 1) k = z - 1;

  const double invAt = InvoluteFunction(g.transversePressureAngle);
  // s_t is the tool-generated thickness (from x_E), so W_k already carries the allowance.
  const double baseThickness = g.baseRadius * (g.pitchToothThickness / g.pitchRadius + 2.0 * invAt);
  const double basePitch = kPi * g.transverseModule * std::cos(g.transversePressureAngle);
  const double cosBb = std::cos(g.baseHelixAngle);
  const double w = (baseThickness + static_cast<double>(k - 1) * basePitch) * cosBb;
  const double half = w / (2.0 * cosBb);
  const double contact = std::sqrt(half * half + g.baseRadius * g.baseRadius);
  const double minFace = w * std::sin(g.baseHelixAngle);
  if (!std::isfinite(w) || !std::isfinite(contact) || !std::isfinite(minFace)) return;
  g.spanTeeth = k;
  g.spanMeasurement = w;
  g.spanContactRadius = contact;
  g.minFaceWidthForSpan = minFace;
}

// Leaves the ball fields at 0 whenever a step has no real answer; the report then
// prints "-" instead of a number.
void ComputeBall(GearRecord& g) {
  const double m = g.normalModule;
  const int64_t z = g.toothCount;
  const double zd = static_cast<double>(z);
  const double alphaN = g.pressureAngle;
  const double invAn = InvoluteFunction(alphaN);
  const double zv = VirtualToothCount(g);

  // Raw diameter on the virtual spur gear: the ball touches the flanks at radius W.
  const double N = zv * m / 2.0;
  const double Q = N * std::cos(alphaN);
  double W = N + m * g.profileShift;
  if (W <= Q) W = m + Q + (g.tipRadius - g.pitchRadius) / 2.0;
  if (!(W > Q)) return;
  const double alphaM = std::acos(Q / W);
  const double sn = m * (kPi / 2.0 + 2.0 * g.toolProfileShift * std::tan(alphaN));
  // The angle of the ball centre's tangent point; at pi/2 the ball would be
  // infinitely large (few teeth with a large shift get there).
  const double centreAngle = std::tan(alphaM) - invAn - sn / (2.0 * N) + kPi / zv;
  if (!(centreAngle < kPi / 2.0 && centreAngle > -kPi / 2.0)) return;
  const double raw = 2.0 * Q * (std::tan(centreAngle) - std::tan(alphaM));
  // Beyond 2^52 steps the rounding is no longer exact; such a ball is meaningless.
  if (!std::isfinite(raw) || std::fabs(raw) > 1e12) return;
  const double dM = RoundBallDiameter(raw);

  const double rb = g.baseRadius;
  const double cosBb = std::cos(g.baseHelixAngle);
  const double invK = InvoluteFunction(g.transversePressureAngle) + dM / (2.0 * rb * cosBb) +
                      g.pitchToothThickness / (2.0 * g.pitchRadius) - kPi / zd;
  // inv(alpha_K) <= 0 would put the ball centre inside the base circle: no answer.
  if (!(invK > 0.0) || !std::isfinite(invK)) return;
  const double alphaK = InvertInvoluteFunction(invK);
  if (!(alphaK > 0.0 && alphaK < kPi / 2.0)) return;
  if (!(std::fabs(InvoluteFunction(alphaK) - invK) <= 1e-9 * (1.0 + invK))) return;
  const double rK = rb / std::cos(alphaK);
  // With an odd tooth number the two spaces are not opposite: the balls sit
  // pi - pi/z apart, so their centres are 2 R_K cos(pi/(2z)) apart.
  const double md = (z % 2 == 0) ? 2.0 * rK + dM : 2.0 * rK * std::cos(kPi / (2.0 * zd)) + dM;
  // The ball touches a helical flank along the flank's normal, which is tangent to
  // the base cylinder and leans beta_b out of the transverse plane: the contact
  // point lies (D/2) sin(beta_b) along the axis and only (D/2) cos(beta_b) back
  // along the transverse line of action. D / (2 cos(beta_b)), the flank's offset in
  // the ball centre's own plane, puts it up to a millimetre too low on the flank.
  const double lever = rb * std::tan(alphaK) - dM / 2.0 * cosBb;
  const double contact = std::sqrt(rb * rb + lever * lever);
  if (!std::isfinite(rK) || !std::isfinite(md) || !std::isfinite(contact)) return;
  g.ballDiameter = dM;
  g.dimensionOverBalls = md;
  g.ballContactRadius = contact;
  g.ballBeyondTipFlag = rK + dM / 2.0 > g.tipRadius ? 1 : 0;
}

}  // namespace

double RoundBallDiameter(double raw) {
  const double step = raw >= 1.0 ? 0.05 : 0.01;
  double d = step * static_cast<double>(RoundHalfAwayFromZero(raw / step));
  if (d <= 0.0) d = step;
  return d;
}

void ComputeSpanAndBallMeasurements(GearRecord& g) {
  ClearTestDimensions(g);
  // Only for a record whose geometry has been built; anything else has no
  // circles to measure over.
  if (!(g.normalModule > 0.0) || g.toothCount < 2 || !(g.pitchRadius > 0.0) || !(g.baseRadius > 0.0) ||
      !(g.pressureAngle > 0.0 && g.pressureAngle < kPi / 2.0) || !(g.transverseModule > 0.0))
    return;
  ComputeSpan(g);
  ComputeBall(g);
}

}  // namespace kovrex
