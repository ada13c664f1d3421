// The internal combination search. It mirrors the pair search with the tooth
// difference z2 - z1 in place of the tooth sum and at most 1000 ring teeth.
#include "geometry/internal_search.h"

#include <algorithm>
#include <cmath>

#include "geometry/gear_record.h"
#include "numbers/number_text.h"

namespace kovrex {

bool FindInternalCombinations(const InternalSearchInput& in, std::vector<InternalCombination>& rows) {
  rows.clear();
  auto finite = [](double v) { return std::isfinite(v); };
  if (!(in.centreDistance > 0.0) || !(in.ratio > 1.0) || !(in.pressureAngleDeg >= 10.0) ||
      !(in.pressureAngleDeg <= 35.0) || in.z1Min < 3 || !(in.helixAngleDeg >= 0.0) || !(in.helixAngleDeg <= 45.0) ||
      in.toothDifferenceMin < 1 || !finite(in.centreDistance) || !finite(in.ratio) || !finite(in.tolerance) ||
      !finite(in.deltaXMin) || !finite(in.deltaXMax))
    return false;

  const double an = in.pressureAngleDeg * kDegToRad;
  const double beta = in.helixAngleDeg * kDegToRad;
  const double cb = std::cos(beta);
  const double at = std::atan(std::tan(an) / cb);
  const double inv_at = InvoluteFunction(at);
  const double tol = in.tolerance;

  for (int series = 0; series < 2; ++series) {
    if (series == 1 && !in.series2) break;
    for (int mi = 0; ModuleSeries[series][mi] > 0.0; ++mi) {
      const double m = ModuleSeries[series][mi];
      for (long long z1 = in.z1Min; z1 <= 400; ++z1) {
        const long long z2 = RoundHalfAwayFromZero(in.ratio * static_cast<double>(z1));
        if (z2 > 1000) break;
        if (z2 - z1 < in.toothDifferenceMin) continue;
        // The ring generator needs at least 6 teeth; a smaller ring would be proposed
        // and then shown as invalid geometry.
        if (z2 < 6) continue;
        const double iact = static_cast<double>(z2) / static_cast<double>(z1);
        const double diff = static_cast<double>(z2 - z1);
        InternalCombination row;
        if (in.helixAngleMode) {
          double c = m * diff / (2.0 * in.centreDistance);
          // An exact fit rounds c to 1 + 1 ulp; only a real excess ends the module.
          if (c > 1.0 + 1e-12) break;
          if (std::fabs(iact - in.ratio) / in.ratio > tol + 1e-12) continue;
          if (c > 1.0) c = 1.0;
          const double needed = std::acos(c) * kRadToDeg;
          if (needed > in.helixAngleDeg + 1e-9) continue;
          row.helixAngleDeg = needed;
          row.profileShiftDifference = 0.0;
        } else {
          const double a0 = m / cb * diff / 2.0;
          if (a0 > 1.2 * in.centreDistance) break;
          if (std::fabs(iact - in.ratio) / in.ratio > tol + 1e-12) continue;
          const double cos_aw = a0 * std::cos(at) / in.centreDistance;
          if (cos_aw >= 1.0) continue;
          const double aw = std::acos(cos_aw);
          const double dx = (InvoluteFunction(aw) - inv_at) * diff / (2.0 * std::tan(an));
          if (dx < in.deltaXMin - 1e-9 || dx > in.deltaXMax + 1e-9) continue;
          row.helixAngleDeg = in.helixAngleDeg;
          row.profileShiftDifference = dx;
        }
        row.module = m;
        row.teeth1 = z1;
        row.teeth2 = z2;
        row.actualRatio = iact;
        row.ratioDeviationPercent = (iact - in.ratio) / in.ratio * 100.0;
        row.score = std::fabs(row.profileShiftDifference) + 10000.0 * m + 0.001 * row.helixAngleDeg;
        rows.push_back(row);
      }
    }
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const InternalCombination& a, const InternalCombination& b) { return a.score < b.score; });
  return true;
}

}  // namespace kovrex
