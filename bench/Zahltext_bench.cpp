// How fast the number texts of the result files are built: one full-year
// text result file formats 8760 x 25 numbers.
#include <benchmark/benchmark.h>

#include "model/Zahltext.h"

namespace {

void BM_FormatReal(benchmark::State& state) {
  float wert = -12.345f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(terval::FormatReal(wert, 3, 2));
    wert += 0.01f;
  }
}
BENCHMARK(BM_FormatReal);

}  // namespace
