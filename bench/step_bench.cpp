// Speed of the STEP export of helical gears, outlines at detail 4 as the export
// command makes them: a 40-tooth gear with keyed bore and hubs must take well under
// 0.1 s, a 200-tooth gear of 100 mm face width under 2 s.
#include <benchmark/benchmark.h>

#include "capacity/key_connection.h"
#include "export/byte_sink.h"
#include "export/step_writer.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"

namespace {

kovrex::GearRecord HelicalGear(double m, int64_t z, double betaDeg, double b, double bore) {
  kovrex::GearRecord g;
  kovrex::InitGearParams(g, m, z, 0.0, 20.0, b, bore, 0.0, betaDeg, 1);
  kovrex::ComputeExternalGearGeometry(g, 4);
  return g;
}

void WriteOnce(benchmark::State& state, const kovrex::GearRecord& g) {
  size_t bytes = 0;
  for (auto _ : state) {
    kovrex::StringSink sink;
    if (!kovrex::WriteStepFile(sink, "bench.stp", g, 0.0, nullptr, 0.0, 0.0, 0.0)) state.SkipWithError("refused");
    bytes = sink.bytes.size();
    benchmark::DoNotOptimize(sink.bytes.data());
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

}  // namespace

// m 3, z 40, beta 20 deg, b 40, bore 30 with its DIN keyway, hubs on both sides.
static void BM_StepHelical40KeyedWithHubs(benchmark::State& state) {
  kovrex::GearRecord g = HelicalGear(3.0, 40, 20.0, 40.0, 30.0);
  const kovrex::DinKeyLookup key = kovrex::LookupDin6885Key(30.0);
  g.keywayWidth = key.b;
  g.keywayDepth = key.t2;
  g.keyHeight = key.h;
  g.keyIsDin = 1;
  g.hubSide = 3;
  g.hubDiameter = 80.0;
  g.hubLength = 20.0;
  WriteOnce(state, g);
}
BENCHMARK(BM_StepHelical40KeyedWithHubs)->Unit(benchmark::kMillisecond);

// m 2, z 200, beta 30 deg, b 100.
static void BM_StepHelical200(benchmark::State& state) { WriteOnce(state, HelicalGear(2.0, 200, 30.0, 100.0, 0.0)); }
BENCHMARK(BM_StepHelical200)->Unit(benchmark::kMillisecond);
