// Commands of the Pair and Single tabs: the pair combination search, applying a
// row of its result list, and computing the external pair or the single gear from
// the controls into Gear1 / Gear2, then report and redraw.
#pragma once

#include <cstdint>

namespace kovrex {

// Reads controls 1-11, fills PairResultList and the result list (control 13), no
// row selected. Invalid inputs and an empty result each show their message box.
void SearchPairCombinations();

// Makes the row the selected one, proposes x1 (control 14) and computes the pair
// with a fitted view. 1 when there is no such row, else 0.
int SelectPairCombination(int64_t row);

// Computes Gear1 and Gear2 from the selected row and the live inputs. 1 when
// nothing was computed: no row selected, or inputs that cannot make the pair
// (they change nothing and show nothing), else 0.
int ComputePairFromSelection(bool refit);

// Computes the single gear into Gear1. 1 when the inputs are rejected, else 0.
int ComputeSingleGearFromInputs(bool refit);

}  // namespace kovrex
