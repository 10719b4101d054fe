// The whole analysis of a stern, as every output reads it: blade outline,
// extent, both contour curves, the six clearances, the turning lower blade,
// the swept volume with the closest approaches, and the warnings; alone, and
// on several threads at once. Then the closest approach on its own: the swept
// volume built from the outline, and the three structures' approaches to it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "bench_designs.h"
#include "clearance/stern_analysis.h"

namespace propclear::bench {

namespace {

// The note that the report's a' and c' follow the mirrored lower blade comes
// with every raked propeller: it is the normal path.
bool onlyTheMirroredBladeNote(const std::vector<Warning>& warnings) {
  return std::all_of(warnings.begin(), warnings.end(), [](const Warning& warning) {
    return warning.kind == WarningKind::LegacyLowerBlade;
  });
}

void analysisRun(benchmark::State& state, const DesignData& design) {
  bool normalPath = true;
  for (auto _ : state) {
    const SternAnalysis analysis = analyseStern(design);
    normalPath = normalPath && onlyTheMirroredBladeNote(analysis.warnings);
    benchmark::DoNotOptimize(analysis.clearances.data());
  }
  if (!normalPath) state.SkipWithError("the analysis gave warnings: not the normal path");
}

void closestApproachRun(benchmark::State& state, const DesignData& design) {
  const SternAnalysis analysis = analyseStern(design);
  // The edges are fitted once for the clearances; the swept volume reads them.
  const BladeEdgeCurves edges = fitBladeEdgeCurves(design, analysis.outline);
  for (auto _ : state) {
    const std::optional<SweptVolume> volume = SweptVolume::of(design, analysis.outline, edges);
    const std::vector<ClosestApproach> approaches =
        closestApproaches(design, *volume, analysis.hullCurve);
    benchmark::DoNotOptimize(approaches.data());
  }
}

const bool clearanceBenchmarksRegistered = [] {
  benchmark::AddCustomContext("example design", exampleDesignSource());
  benchmark::RegisterBenchmark("analyseStern/example", [](benchmark::State& state) {
    analysisRun(state, exampleDesign());
  });
  // Throughput on every core: each thread analyses its own copy of the design.
  benchmark::RegisterBenchmark("analyseStern/example/threads", [](benchmark::State& state) {
    analysisRun(state, exampleDesign());
  })->ThreadRange(1, 2)->UseRealTime();
  benchmark::RegisterBenchmark("closestApproach/example", [](benchmark::State& state) {
    closestApproachRun(state, exampleDesign());
  });
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
