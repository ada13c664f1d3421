// The internal pair recomputes on every keystroke on the Internal tab, the mesh
// check included (every vertex of both half profiles followed through the mesh,
// centred and with either flank in contact). The first row of the start-up search
// (m 0.12, 333/999 teeth) is the largest the defaults give; the other two are the
// hard cases for the check: teeth that collide, and a pinion sunk into the ring.
#include <benchmark/benchmark.h>

#include "app/app_state.h"
#include "app/control_defaults.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/internal_commands.h"
#include "geometry/arrangement_state.h"

namespace {

// A fresh program on the Internal tab, its controls in `store`.
void StartOnInternalTab(kovrex::MemoryControlStore& store) {
  kovrex::ResetAllState();
  kovrex::SetActiveControlStore(&store);
  kovrex::PopulateMainWindowControls(store);
  store.SetState(kovrex::GadgetTabPanel, 3);
}

// Recomputes the selected pair as each keystroke does.
void RecomputeEachIteration(benchmark::State& state) {
  for (auto _ : state) kovrex::ComputeInternalPairFromSelection(0);
  state.counters["penetration_mm"] = kovrex::InternalPenetration;
  kovrex::SetActiveControlStore(nullptr);
}

void BM_InternalPairFromFirstStartUpRow(benchmark::State& state) {
  kovrex::MemoryControlStore store;
  StartOnInternalTab(store);
  kovrex::SearchInternalCombinations(1);
  kovrex::ApplyInternalCombinationRow(0);
  RecomputeEachIteration(state);
}
BENCHMARK(BM_InternalPairFromFirstStartUpRow)->Unit(benchmark::kMillisecond);

// m 1, 30/36, ring tip not shortened: the tips meet outside the path of contact,
// 0.12 mm deep.
void BM_InternalPairWithCollidingTips(benchmark::State& state) {
  kovrex::MemoryControlStore store;
  StartOnInternalTab(store);
  kovrex::InternalResultList = {{1.0, 30, 36, 0.0, 1.2, 0.0, 0.0, 1.0}};
  store.SetText(kovrex::GadgetInternalCentreDistance, "3");
  store.SetText(kovrex::GadgetInternalBacklash, "0.05");
  store.SetState(kovrex::GadgetInternalShortenTip, 0);
  kovrex::ApplyInternalCombinationRow(0);
  RecomputeEachIteration(state);
}
BENCHMARK(BM_InternalPairWithCollidingTips)->Unit(benchmark::kMillisecond);

// The first start-up row at a centre distance of 62.89 mm, typed for another
// design before its search: every pinion tooth lies deep in the ring (17 mm).
void BM_InternalPairSunkIntoTheRing(benchmark::State& state) {
  kovrex::MemoryControlStore store;
  StartOnInternalTab(store);
  kovrex::SearchInternalCombinations(1);
  kovrex::ApplyInternalCombinationRow(0);
  store.SetText(kovrex::GadgetInternalCentreDistance, "62.89");
  store.SetState(kovrex::GadgetInternalShortenTip, 0);
  RecomputeEachIteration(state);
}
BENCHMARK(BM_InternalPairSunkIntoTheRing)->Unit(benchmark::kMillisecond);

}  // namespace
