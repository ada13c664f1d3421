// The search for module and tooth numbers of an external pair that fit a centre
// distance and a ratio, by a profile-shift sum or by a helix angle. Pure: plain
// numbers in, sorted rows out. Not for: reading controls or showing the rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/arrangement_state.h"

namespace kovrex {

struct PairSearchInput {
  double centreDistance = 0.0;    // a [mm]
  double ratio = 0.0;             // i = z2 / z1
  double pressureAngleDeg = 0.0;  // alpha_n
  double helixAngleDeg = 0.0;     // beta; the largest allowed one in helix-angle mode
  bool searchHelixAngle = false;  // sum x = 0, the helix angle makes the centre distance
  double tolerancePercent = 0.0;  // allowed |i_act - i| / i, in per cent
  double sumXMin = 0.0, sumXMax = 0.0;
  int64_t minTeeth = 0;  // z_min, for both gears
  bool includeSeries2 = false;
};

// a > 0, i > 0, 10 <= alpha_n <= 35, z_min >= 3, 0 <= beta <= 45, all finite.
bool PairSearchInputIsValid(const PairSearchInput& in);

// Every fitting combination, ordered by score (module first, then |sum x| + 0.001 beta);
// rows of equal score keep the order in which they were found. Empty for invalid input.
std::vector<PairCombination> SearchPairCombinationRows(const PairSearchInput& in);

// The text of a row of the result list: m, z1, z2, i, deviation %, sum x, beta,
// separated by line feeds.
std::string FormatPairCombinationRow(const PairCombination& row);

}  // namespace kovrex
