// Speed of the pair combination search (run on every button press, at start-up
// and when a project opens) and of applying the start-up pair of 200 / 400 teeth.
#include <benchmark/benchmark.h>

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
