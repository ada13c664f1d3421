// Speed of the external gear generator: the screen redraws it on every input
// (detail 1), STL export at detail 16. A 200-tooth gear at detail 1 must stay well
// under a millisecond.
#include <benchmark/benchmark.h>

#include "geometry/external_gear.h"
#include "geometry/gear_record.h"

static void BM_ExternalGearGeometry(benchmark::State& state) {
  const int64_t z = state.range(0);
  const int detail = static_cast<int>(state.range(1));
  kovrex::GearRecord g;
  kovrex::InitGearParams(g, 2.0, z, 0.1, 20.0, 20.0, 0.0, 0.0, 15.0, 1);
  for (auto _ : state) {
    kovrex::ComputeExternalGearGeometry(g, detail);
    benchmark::DoNotOptimize(g.outline.data());
  }
  state.SetLabel("z=" + std::to_string(z) + " detail=" + std::to_string(detail));
}
BENCHMARK(BM_ExternalGearGeometry)
    ->Args({20, 1})
    ->Args({200, 1})
    ->Args({20, 16})
    ->Args({200, 16})
    ->Unit(benchmark::kMicrosecond);
