// Pair combination search over the DIN 780 module series.
#include "geometry/pair_search.h"

#include <algorithm>
#include <cmath>

#include "geometry/gear_record.h"
#include "numbers/number_text.h"

namespace kovrex {

namespace {

constexpr int64_t kMaxTeeth = 400;

bool AllFinite(const PairSearchInput& in) {
  const double values[] = {in.centreDistance, in.ratio,   in.pressureAngleDeg, in.helixAngleDeg,
                           in.tolerancePercent, in.sumXMin, in.sumXMax};
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// Appends the rows of one module; stops as soon as the module is too large for the
// centre distance, since a larger z1 only makes the reference centre distance grow.
void SearchOneModule(const PairSearchInput& in, double m, std::vector<PairCombination>& rows) {
  const double a = in.centreDistance;
  const double i = in.ratio;
  const double tol = in.tolerancePercent / 100.0;
  const double alphaN = in.pressureAngleDeg * kDegToRad;
  const double beta = in.helixAngleDeg * kDegToRad;
  const double alphaT = std::atan(std::tan(alphaN) / std::cos(beta));
  for (int64_t z1 = std::max<int64_t>(in.minTeeth, 3); z1 <= kMaxTeeth; ++z1) {
    const long long z2 = RoundHalfAwayFromZero(i * static_cast<double>(z1));
    if (z2 < in.minTeeth || z2 > kMaxTeeth) continue;
    const double iAct = static_cast<double>(z2) / static_cast<double>(z1);
    const double zSum = static_cast<double>(z1 + z2);
    PairCombination row;
    if (in.searchHelixAngle) {
      // cos beta that makes a = m (z1 + z2) / (2 cos beta). An exact fit at beta = 0
      // can round to 1 + 2e-16, which must not end the module's loop.
      double c = m * zSum / (2.0 * a);
      if (c > 1.0 + 1e-12) break;
      if (std::fabs(iAct - i) / i > tol + 1e-12) continue;
      if (c > 1.0) c = 1.0;
      const double betaNeededDeg = std::acos(c) * kRadToDeg;
      if (betaNeededDeg > in.helixAngleDeg + 1e-9) continue;
      row.helixAngleDeg = betaNeededDeg;
      row.profileShiftSum = 0.0;
    } else {
      const double a0 = m / std::cos(beta) * zSum / 2.0;
      if (a0 > 1.2 * a) break;
      if (std::fabs(iAct - i) / i > tol + 1e-12) continue;
      const double cosAlphaW = a0 * std::cos(alphaT) / a;
      if (cosAlphaW >= 1.0) continue;
      const double alphaW = std::acos(cosAlphaW);
      const double sumX = (InvoluteFunction(alphaW) - InvoluteFunction(alphaT)) * zSum / (2.0 * std::tan(alphaN));
      if (sumX < in.sumXMin - 1e-9 || sumX > in.sumXMax + 1e-9) continue;
      row.helixAngleDeg = in.helixAngleDeg;
      row.profileShiftSum = sumX;
    }
    row.module = m;
    row.teeth1 = z1;
    row.teeth2 = z2;
    row.actualRatio = iAct;
    row.ratioDeviationPercent = (iAct - i) / i * 100.0;
    row.score = std::fabs(row.profileShiftSum) + 10000.0 * m + 0.001 * row.helixAngleDeg;
    rows.push_back(row);
  }
}

}  // namespace

bool PairSearchInputIsValid(const PairSearchInput& in) {
  if (!AllFinite(in)) return false;
  return in.centreDistance > 0.0 && in.ratio > 0.0 && in.pressureAngleDeg >= 10.0 &&
         in.pressureAngleDeg <= 35.0 && in.minTeeth >= 3 && in.helixAngleDeg >= 0.0 && in.helixAngleDeg <= 45.0;
}

std::vector<PairCombination> SearchPairCombinationRows(const PairSearchInput& in) {
  std::vector<PairCombination> rows;
  if (!PairSearchInputIsValid(in)) return rows;
  const int seriesCount = in.includeSeries2 ? 2 : 1;
  for (int s = 0; s < seriesCount; ++s)
    for (int k = 0; ModuleSeries[s][k] > 0.0; ++k) SearchOneModule(in, ModuleSeries[s][k], rows);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const PairCombination& l, const PairCombination& r) { return l.score < r.score; });
  return rows;
}

std::string FormatPairCombinationRow(const PairCombination& row) {
  std::string t = FormatNumberTrimmed(row.module);
  t += '\n';
  t += FormatFixed(0, static_cast<double>(row.teeth1));
  t += '\n';
  t += FormatFixed(0, static_cast<double>(row.teeth2));
  t += '\n';
  t += FormatFixed(3, row.actualRatio);
  t += '\n';
  t += FormatFixed(2, row.ratioDeviationPercent);
  t += '\n';
  t += FormatFixed(3, row.profileShiftSum);
  t += '\n';
  t += FormatFixed(3, row.helixAngleDeg);
  return t;
}

}  // namespace kovrex
