// Speed of the strength run, which repeats on every keystroke while the strength
// window is open: the start-up pair and a very large helical pair.
#include <benchmark/benchmark.h>

#include "app/app_state.h"
#include "app/control_defaults.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "app/strength_run.h"
#include "capacity/materials.h"
#include "capacity/strength_types.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/ring_gear.h"

namespace {

using namespace kovrex;

// The strength window with its defaults, in the built-in memory store.
void FillStrengthWindow() {
  ResetAllState();
  InitMaterialTable();
  InitShaftMaterialTable();
  PopulateStrengthWindowControls(Controls());
  StrengthWindowOpen = 1;
}

void ShowPair(double module, int64_t z1, int64_t z2, double betaDeg, double faceWidth) {
  InitGearParams(Gear1, module, z1, 0.0, 20.0, faceWidth, 0.0, 0.0, betaDeg, 1);
  ComputeExternalGearGeometry(Gear1, 1);
  InitGearParams(Gear2, module, z2, 0.0, 20.0, faceWidth, 0.0, 0.0, betaDeg, -1);
  ComputeExternalGearGeometry(Gear2, 1);
  PairCentreDistance = Gear1.pitchRadius + Gear2.pitchRadius;
  DisplayMode = static_cast<int>(DisplayKind::Pair);
}

void BM_StrengthRunStartUpPair(benchmark::State& state) {
  FillStrengthWindow();
  ShowPair(0.2, 200, 400, 0.0, 10.0);
  for (auto _ : state) {
    ComputeStrengthAndReport();
    benchmark::DoNotOptimize(StrengthResultGlobal.SF[0]);
  }
  if (StrengthResultGlobal.ok != 1) state.SkipWithError("strength run failed");
}
BENCHMARK(BM_StrengthRunStartUpPair)->Unit(benchmark::kMillisecond);

void BM_StrengthRunSpurPair(benchmark::State& state) {
  FillStrengthWindow();
  ShowPair(2.0, 20, 40, 0.0, 20.0);
  for (auto _ : state) {
    ComputeStrengthAndReport();
    benchmark::DoNotOptimize(StrengthResultGlobal.SF[0]);
  }
  if (StrengthResultGlobal.ok != 1) state.SkipWithError("strength run failed");
}
BENCHMARK(BM_StrengthRunSpurPair)->Unit(benchmark::kMillisecond);

void BM_StrengthRunThousandTeethHelical(benchmark::State& state) {
  FillStrengthWindow();
  ShowPair(1.0, 1000, 1000, 30.0, 40.0);
  for (auto _ : state) {
    ComputeStrengthAndReport();
    benchmark::DoNotOptimize(StrengthResultGlobal.SF[0]);
  }
  if (StrengthResultGlobal.ok != 1) state.SkipWithError("strength run failed");
}
BENCHMARK(BM_StrengthRunThousandTeethHelical)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

void BM_StrengthRunLargeInternalPair(benchmark::State& state) {
  FillStrengthWindow();
  InitGearParams(Gear1, 1.0, 100, 0.0, 20.0, 40.0, 0.0, 0.0, 20.0, 1);
  ComputeExternalGearGeometry(Gear1, 1);
  GenerateToothProfile(RingGear, 1.0, 1000, 0.0, 20.0, 40.0, 10.0, 0.0, 20.0, 1, 1, 0.0);
  InternalCentreDistance = RingGear.pitchRadius - Gear1.pitchRadius;
  DisplayMode = static_cast<int>(DisplayKind::Internal);
  for (auto _ : state) {
    ComputeStrengthAndReport();
    benchmark::DoNotOptimize(StrengthResultGlobal.SF[0]);
  }
  if (StrengthResultGlobal.ok != 1) state.SkipWithError("strength run failed");
}
BENCHMARK(BM_StrengthRunLargeInternalPair)->Unit(benchmark::kMillisecond);

}  // namespace
