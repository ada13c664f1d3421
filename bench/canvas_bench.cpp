// Speed of one canvas frame (the animation repaints every 30 ms): the start-up
// pair and a fine internal pair, fitted to a 1000 x 800 image surface with the
// line of action on, and the same pair zoomed in to the highest zoom.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include "app/app_state.h"
#include "app/canvas.h"
#include "app/control_store.h"
#include "app/controls.h"
#include "geometry/arrangement_state.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"
#include "geometry/ring_gear.h"

namespace {

using namespace kovrex;

constexpr int kWidth = 1000, kHeight = 800;

MemoryControlStore& BenchStore() {
  static MemoryControlStore store;
  store.SetSize(GadgetCanvas, kWidth, kHeight);
  store.SetState(GadgetLineOfAction, 1);
  SetActiveControlStore(&store);
  return store;
}

void MakeGear(GearRecord& g, double m, int64_t z, double bore) {
  InitGearParams(g, m, z, 0.0, 20.0, 5.0, bore, 0.0, 0.0, 1);
  g.thicknessAllowance = 0.02;
  ComputeExternalGearGeometry(g, /*detail=*/1);
}

void StartUpPair() {
  ResetAllState();
  BenchStore();
  MakeGear(Gear1, 0.2, 200, 10.0);
  MakeGear(Gear2, 0.2, 400, 20.0);
  PairCentreDistance = 60.0;
  DisplayMode = static_cast<int>(DisplayKind::Pair);
  ZoomToFit();
}

void FineInternalPair() {
  ResetAllState();
  BenchStore();
  MakeGear(Gear1, 0.12, 333, 8.0);
  GenerateToothProfile(RingGear, 0.12, 999, 0.0, 20.0, 5.0, /*rimWidth=*/5.0, 0.02, 0.0, 1, /*detail=*/1, 0.0);
  InternalCentreDistance = (999 - 333) * 0.12 / 2.0;
  DisplayMode = static_cast<int>(DisplayKind::Internal);
  ZoomToFit();
}

void PaintFrames(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  PaintCanvas(cr, kWidth, kHeight);  // fonts and caches warmed outside the timing
  for (auto _ : state) {
    DriveAngle += 0.001;
    PaintCanvas(cr, kWidth, kHeight);
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

void BM_CanvasFrameStartUpPair(benchmark::State& state) {
  StartUpPair();
  PaintFrames(state);
}
BENCHMARK(BM_CanvasFrameStartUpPair)->Unit(benchmark::kMillisecond);

void BM_CanvasFrameInternalPair(benchmark::State& state) {
  FineInternalPair();
  PaintFrames(state);
}
BENCHMARK(BM_CanvasFrameInternalPair)->Unit(benchmark::kMillisecond);

// At 100000 px/mm on the pitch point: the work must not grow with the zoom.
void BM_CanvasFrameStartUpPairHighestZoom(benchmark::State& state) {
  StartUpPair();
  ZoomPxPerMm = 100000.0;
  PanX = 20.0;
  PanY = 0.0;
  PaintFrames(state);
}
BENCHMARK(BM_CanvasFrameStartUpPairHighestZoom)->Unit(benchmark::kMillisecond);

}  // namespace
