// The whole analysis of a stern, as every output reads it: blade outline,
// extent, both contour curves, the six clearances and their warnings; alone,
// and on several threads at once.

#include <benchmark/benchmark.h>

#include "bench_designs.h"
#include "clearance/stern_analysis.h"

namespace propclear::bench {

namespace {

void analysisRun(benchmark::State& state, const DesignData& design) {
  std::size_t warnings = 0;
  for (auto _ : state) {
    const SternAnalysis analysis = analyseStern(design);
    warnings += analysis.warnings.size();
    benchmark::DoNotOptimize(analysis.clearances.data());
  }
  if (warnings > 0) state.SkipWithError("the analysis gave warnings: not the normal path");
}

const bool registered = [] {
  benchmark::AddCustomContext("example design", exampleDesignSource());
  benchmark::RegisterBenchmark("analyseStern/example", [](benchmark::State& state) {
    analysisRun(state, exampleDesign());
  });
  // Throughput on every core: each thread analyses its own copy of the design.
  benchmark::RegisterBenchmark("analyseStern/example/threads", [](benchmark::State& state) {
    analysisRun(state, exampleDesign());
  })->ThreadRange(1, 2)->UseRealTime();
  for (const int points : {25, 100, denseContourPoints}) {
    benchmark::RegisterBenchmark(("analyseStern/" + std::to_string(points)).c_str(),
                                 [points](benchmark::State& state) {
                                   analysisRun(state, resampledDesign(points));
                                 });
  }
  return true;
}();

}  // namespace

}  // namespace propclear::bench
