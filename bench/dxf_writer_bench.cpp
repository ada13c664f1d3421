// Speed of the DXF writer on the start-up pair (200 and 400 teeth) at the export
// density, into memory: what the user waits for after the requester closes, less
// the disk.
#include <benchmark/benchmark.h>

#include "export/byte_sink.h"
#include "export/dxf_writer.h"
#include "geometry/external_gear.h"
#include "geometry/gear_record.h"

static void BM_WriteDxfPair(benchmark::State& state) {
  kovrex::GearRecord a, b;
  kovrex::InitGearParams(a, 0.2, 200, 0.0, 20.0, 10.0, 8.0, 0.0, 0.0, 1);
  kovrex::InitGearParams(b, 0.2, 400, 0.0, 20.0, 10.0, 12.0, 0.0, 0.0, 1);
  kovrex::ComputeExternalGearGeometry(a, /*detail=*/4);
  kovrex::ComputeExternalGearGeometry(b, /*detail=*/4);
  size_t bytes = 0;
  for (auto _ : state) {
    kovrex::StringSink sink;
    benchmark::DoNotOptimize(kovrex::WriteDxfFile(sink, a, 0.3, &b, 60.0, 0.0, 1.1));
    bytes = sink.bytes.size();
  }
  state.SetLabel(std::to_string(bytes / 1024) + " kB");
}
BENCHMARK(BM_WriteDxfPair)->Unit(benchmark::kMillisecond);
