// Speed of the pair combination search (run on every button press, at start-up
// and when a project opens) and of applying the start-up pair of 200 / 400 teeth.
#include <benchmark/benchmark.h>

#include "app/control_store.h"
#include "app/controls.h"
#include "app/pair_commands.h"
#include "geometry/arrangement_state.h"
#include "geometry/pair_search.h"

namespace {

kovrex::PairSearchInput StartUpSearch() {
  kovrex::PairSearchInput in;
  in.centreDistance = 60.0;
  in.ratio = 2.0;
  in.pressureAngleDeg = 20.0;
  in.tolerancePercent = 2.0;
  in.sumXMin = -0.5;
  in.sumXMax = 1.0;
  in.minTeeth = 12;
  return in;
}

}  // namespace

static void BM_PairSearchStartUpDefaults(benchmark::State& state) {
  const kovrex::PairSearchInput in = StartUpSearch();
  for (auto _ : state) benchmark::DoNotOptimize(kovrex::SearchPairCombinationRows(in));
}
BENCHMARK(BM_PairSearchStartUpDefaults);

// Both series and a large centre distance: every module is tried over most of its
// tooth numbers before the early exit ends its loop.
static void BM_PairSearchBothSeries1000mm(benchmark::State& state) {
  kovrex::PairSearchInput in = StartUpSearch();
  in.centreDistance = 1000.0;
  in.includeSeries2 = true;
  for (auto _ : state) benchmark::DoNotOptimize(kovrex::SearchPairCombinationRows(in));
}
BENCHMARK(BM_PairSearchBothSeries1000mm);

// Applying the start-up row: proposal of x1, both outlines of 200 and 400 teeth,
// hub and keyway, report and redraw request.
static void BM_SelectStartUpPair(benchmark::State& state) {
  struct Field {
    int control;
    const char* text;
  };
  const Field fields[] = {{kovrex::GadgetPairCentreDistance, "60"}, {kovrex::GadgetPairRatio, "2"},
                          {kovrex::GadgetPairPressureAngle, "20"},  {kovrex::GadgetPairHelixAngle, "0"},
                          {kovrex::GadgetPairTolerance, "2"},       {kovrex::GadgetPairSumXMin, "-0.5"},
                          {kovrex::GadgetPairSumXMax, "1.0"},       {kovrex::GadgetPairZMin, "12"},
                          {kovrex::GadgetPairX1, "0"},              {kovrex::GadgetPairFaceWidth, "10"},
                          {kovrex::GadgetPairBacklash, "0"},        {kovrex::GadgetPairBore1, "8"},
                          {kovrex::GadgetPairBore2, "12"}};
  for (const Field& f : fields) kovrex::Controls().SetText(f.control, f.text);
  kovrex::SearchPairCombinations();
  if (kovrex::PairResultList.empty()) {
    state.SkipWithError("no rows");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(kovrex::SelectPairCombination(0));
}
BENCHMARK(BM_SelectStartUpPair);
