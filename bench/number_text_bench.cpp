// Speed of the number texts (every report line and list row goes through them).
#include <benchmark/benchmark.h>

#include "numbers/number_text.h"

static void BM_FormatFixed3(benchmark::State& state) {
  double v = 1234.56789;
  for (auto _ : state) benchmark::DoNotOptimize(kovrex::FormatFixed(3, v));
}
BENCHMARK(BM_FormatFixed3);

static void BM_FormatNumberTrimmed(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kovrex::FormatNumberTrimmed(1.25));
}
BENCHMARK(BM_FormatNumberTrimmed);

static void BM_ParseDecimalNumber(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kovrex::ParseDecimalNumber(" 12,345 "));
}
BENCHMARK(BM_ParseDecimalNumber);
