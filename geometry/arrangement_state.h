// What the gear calculation keeps between commands: the display mode, the results
// of the two combination searches with their selected rows, and the centre
// distances and results of the arrangements. The gear records are in gear_record.h.
#pragma once

#include <cstdint>
#include <vector>

namespace kovrex {

enum class DisplayKind : int { Nothing = 0, Pair = 1, Single = 2, PinionRack = 3, Internal = 4 };
extern int DisplayMode;  // a DisplayKind value

struct PairCombination {
  double module = 0.0;
  int64_t teeth1 = 0;
  int64_t teeth2 = 0;
  double helixAngleDeg = 0.0;
  double actualRatio = 0.0;
  double ratioDeviationPercent = 0.0;
  double profileShiftSum = 0.0;
  double score = 0.0;
};

struct InternalCombination {
  double module = 0.0;
  int64_t teeth1 = 0;
  int64_t teeth2 = 0;
  double helixAngleDeg = 0.0;
  double actualRatio = 0.0;
  double ratioDeviationPercent = 0.0;
  double profileShiftDifference = 0.0;
  double score = 0.0;
};

extern std::vector<PairCombination> PairResultList;
extern int64_t PairSelectedRow;  // -1: none
extern std::vector<InternalCombination> InternalResultList;
extern int64_t InternalSelectedRow;  // -1: none

extern double PairCentreDistance;      // operating centre distance of the external pair
extern double InternalCentreDistance;  // operating centre distance of the internal pair
extern double InternalDeltaX;          // x2 - x1 of the selected internal row
extern double InternalPenetration;     // -1: check not run; -1e9: no overlap
extern double RingTipLimitRadius;

// Module series 1 and 2 of DIN 780, 34 values each, followed by the end marker -1.
extern const double ModuleSeries[2][35];

void ResetArrangementState();

}  // namespace kovrex
