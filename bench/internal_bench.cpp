// The internal pair recomputes on every keystroke on the Internal tab, with the
// 24-step mesh check on detail-3 outlines: the first row of the start-up search
// (m 0.12, 333/999 teeth) is the largest the defaults give.
#include <benchmark/benchmark.h>

#include "app/app_state.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/internal_commands.h"
#include "geometry/arrangement_state.h"

namespace {

void SetInternalDefaults(kovrex::MemoryControlStore& s) {
  using namespace kovrex;
  const std::pair<int, const char*> texts[] = {
      {GadgetInternalCentreDistance, "40"}, {GadgetInternalRatio, "3"},      {GadgetInternalPressureAngle, "20"},
      {GadgetInternalHelixAngle, "0"},      {GadgetInternalTolerance, "2"},  {GadgetInternalDeltaXMin, "-0.5"},
      {GadgetInternalDeltaXMax, "1.0"},     {GadgetInternalZ1Min, "12"},     {GadgetInternalToothDiffMin, "8"},
      {GadgetInternalX1, "0"},              {GadgetInternalFaceWidth, "10"}, {GadgetInternalBacklash, "0"},
      {GadgetInternalPinionBore, "6"},      {GadgetInternalRingRim, "6"},
  };
  for (auto [c, t] : texts) s.SetText(c, t);
  s.SetState(GadgetInternalShortenTip, 1);
  s.SetState(GadgetTabPanel, 3);
}

void BM_InternalPairFromFirstStartUpRow(benchmark::State& state) {
  kovrex::ResetAllState();
  kovrex::MemoryControlStore store;
  kovrex::SetActiveControlStore(&store);
  SetInternalDefaults(store);
  kovrex::SearchInternalCombinations(1);
  kovrex::ApplyInternalCombinationRow(0);
  for (auto _ : state) kovrex::ComputeInternalPairFromSelection(0);
  state.counters["penetration_mm"] = kovrex::InternalPenetration;
  kovrex::SetActiveControlStore(nullptr);
}
BENCHMARK(BM_InternalPairFromFirstStartUpRow)->Unit(benchmark::kMillisecond);

}  // namespace
