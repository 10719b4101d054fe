// The whole clearance analysis: all six clearances with their drawing, as the
// run computes them once the stern plot is on screen.

#include <benchmark/benchmark.h>

#include <memory>

#include "bench_designs.h"

namespace propclear::bench {

namespace {

void clearancesRun(benchmark::State& state, const DesignData& design) {
  const BladeOutline outline = outlineOf(design);
  const auto workspace = std::make_unique<CurveWorkspace>();
  int warnings = 0;
  for (auto _ : state) {
    DrawingSurface surface;  // each run draws into an empty display list
    ClearanceSet clearances;
    warnings += computeAllClearances(design, outline, *workspace, surface, clearances);
    benchmark::DoNotOptimize(clearances);
  }
  if (warnings > 0) state.SkipWithError("the clearance analysis gave warnings: not the normal path");
}

const bool registered = [] {
  benchmark::AddCustomContext("example design", exampleDesignSource());
  benchmark::RegisterBenchmark("clearances/example", [](benchmark::State& state) {
    clearancesRun(state, exampleDesign());
  });
  for (const int points : {25, 100, denseContourPoints}) {
    benchmark::RegisterBenchmark(("clearances/" + std::to_string(points)).c_str(),
                                 [points](benchmark::State& state) {
                                   clearancesRun(state, resampledDesign(points));
                                 });
  }
  return true;
}();

}  // namespace

}  // namespace propclear::bench
