// Bore and keyway contour as a polygon whose chords stay within the tolerance of
// the true circle.
#include "geometry/bore_outline.h"

#include <cmath>

namespace kovrex {
namespace {

// 5 degrees, rounded up in the last digit: 2 pi / 0.0872665 = 71.99997, so ceil()
// gives 72 steps for a full circle however the division happens to round.
constexpr double kMaxStep = 0.0872665;

// Floor of the step: about a million points per circle. A tolerance tiny against
// the radius makes 1 - tol/R round to 1 and acos() give a step of 0, which would
// divide by zero and never end; below this floor the chord error is already
// under 5e-12 of the radius.
constexpr double kMinStep = 2.0 * kPi / 1048576.0;

double AngularStep(double radius, double tolerance) {
  double step = kPi / 2.0;
  // A tolerance of 0, below 0 or NaN would give acos(1) = 0 or acos(>1) = NaN:
  // those take the coarsest step, as a tolerance larger than the bore does.
  if (std::isfinite(tolerance) && tolerance > 0.0 && tolerance < radius) {
    step = 2.0 * std::acos(1.0 - tolerance / radius);
  }
  if (step > kMaxStep) step = kMaxStep;
  if (!(step >= kMinStep)) step = kMinStep;
  return step;
}

}  // namespace

void BuildBoreOutline(const GearRecord& g, std::vector<OutlinePoint>& points, double tolerance) {
  points.clear();
  const double R = g.boreDiameter / 2.0;
  if (!(R > 0.0) || !std::isfinite(R)) return;
  const double step = AngularStep(R, tolerance);

  if (!HasKeyway(g)) {
    int n = static_cast<int>(std::ceil(2.0 * kPi / step));
    if (n < 8) n = 8;
    points.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      double phi = 2.0 * kPi * i / n;
      AddPointToList(points, R * std::cos(phi), R * std::sin(phi));
    }
    return;
  }

  // HasKeyway guarantees 0 < h < R, so asin and sqrt are safe.
  const double h = g.keywayWidth / 2.0;
  const double t2 = g.keywayDepth;
  const double w = std::asin(h / R);
  const double d = std::sqrt(R * R - h * h);
  const double sweep = 2.0 * kPi - 2.0 * w;
  int n = static_cast<int>(std::ceil(sweep / step));
  if (n < 4) n = 4;
  points.reserve(static_cast<size_t>(n) + 3);
  for (int i = 0; i <= n; ++i) {
    double gamma = w + i * sweep / n;
    AddPointToList(points, R * std::cos(gamma), R * std::sin(gamma));
  }
  // The arc ends must meet the keyway sides exactly, not to within the rounding
  // of cos/sin, or the keyway walls would be slightly skewed.
  points.back() = {d, -h};
  points.front() = {d, h};
  AddPointToList(points, R + t2, -h);
  AddPointToList(points, R + t2, h);
}

}  // namespace kovrex
