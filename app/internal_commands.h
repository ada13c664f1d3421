// Commands of the Internal tab: the internal combination search and the internal
// pair (pinion inside a ring gear) computed from the selected row.
#pragma once

#include <cstdint>

namespace kovrex {

// silent = 1: no message boxes (opening a project).
void SearchInternalCombinations(int silent);
// 1 when there is no such row, else 0.
int ApplyInternalCombinationRow(int64_t row);
void ComputeInternalPairFromSelection(int fitView);
// Builds RingGear at the given detail; 1 when no row is selected.
int ComputeRingFromSelection(int detail);
// Builds RingGear again at another detail from the values it was last built with
// (the tip override of the shortening option included), so that an export matches
// the displayed ring even when the fields have changed since. Returns 0.
int RebuildRingAtDetail(int detail);

}  // namespace kovrex
