// Placeholder until the internal pair lands: the search finds nothing.
#include "app/internal_commands.h"

#include "app/control_store.h"
#include "app/controls.h"
#include "geometry/arrangement_state.h"

namespace kovrex {

void SearchInternalCombinations(int /*silent*/) {
  InternalResultList.clear();
  Controls().ClearItems(GadgetInternalResults);
  InternalSelectedRow = -1;
}

int ApplyInternalCombinationRow(int64_t row) {
  if (row < 0 || row >= static_cast<int64_t>(InternalResultList.size())) return 1;
  InternalSelectedRow = row;
  return 0;
}

void ComputeInternalPairFromSelection(int /*fitView*/) {}

int ComputeRingFromSelection(int /*detail*/) { return InternalSelectedRow < 0 ? 1 : 0; }

}  // namespace kovrex
