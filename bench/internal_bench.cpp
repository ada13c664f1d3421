// The internal pair recomputes on every keystroke on the Internal tab, with the
// 24-step mesh check on detail-3 outlines: the first row of the start-up search
// (m 0.12, 333/999 teeth) is the largest the defaults give.
#include <benchmark/benchmark.h>

#include "app/app_state.h"
#include "app/control_defaults.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/internal_commands.h"
#include "geometry/arrangement_state.h"

namespace {

void BM_InternalPairFromFirstStartUpRow(benchmark::State& state) {
  kovrex::ResetAllState();
  kovrex::MemoryControlStore store;
  kovrex::SetActiveControlStore(&store);
  kovrex::PopulateMainWindowControls(store);
  store.SetState(kovrex::GadgetTabPanel, 3);
  kovrex::SearchInternalCombinations(1);
  kovrex::ApplyInternalCombinationRow(0);
  for (auto _ : state) kovrex::ComputeInternalPairFromSelection(0);
  state.counters["penetration_mm"] = kovrex::InternalPenetration;
  kovrex::SetActiveControlStore(nullptr);
}
BENCHMARK(BM_InternalPairFromFirstStartUpRow)->Unit(benchmark::kMillisecond);

}  // namespace
