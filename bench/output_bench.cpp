// What the run hands to the window and writes, from an analysis made
// beforehand: the stern plot's display list with the clearances and the swept
// volume, the report lines and the CAD script text, all in memory.

#include <benchmark/benchmark.h>

#include "bench_designs.h"
#include "cad/write_cad_script.h"
#include "plot/draw_stern_plot.h"
#include "report/write_report.h"

namespace propclear::bench {

namespace {

void sternPlotRun(benchmark::State& state, const DesignData& design) {
  const Assessment assessment = assess(design, {});
  const SternAnalysis& analysis = assessment.analysis;
  for (auto _ : state) {
    DrawingSurface surface;
    drawSternPlot(design, analysis, surface);
    drawClearances(design, assessment, surface);
    drawSweptVolume(analysis, surface);
    benchmark::DoNotOptimize(surface.commands().data());
  }
}

void reportLinesRun(benchmark::State& state, const DesignData& design) {
  const SternAnalysis analysis = analyseStern(design);
  for (auto _ : state) {
    benchmark::DoNotOptimize(reportLines(design, analysis.clearances));
  }
}

void cadScriptLinesRun(benchmark::State& state, const DesignData& design) {
  const SternAnalysis analysis = analyseStern(design);
  for (auto _ : state) {
    benchmark::DoNotOptimize(cadScriptText(design, analysis));
  }
}

const bool outputBenchmarksRegistered = [] {
  benchmark::RegisterBenchmark("drawSternPlot/example", [](benchmark::State& state) {
    sternPlotRun(state, exampleDesign());
  });
  benchmark::RegisterBenchmark("drawSternPlot/250", [](benchmark::State& state) {
    sternPlotRun(state, resampledDesign(denseContourPoints));
  });
  benchmark::RegisterBenchmark("reportLines/example", [](benchmark::State& state) {
    reportLinesRun(state, exampleDesign());
  });
  benchmark::RegisterBenchmark("cadScriptLines/example", [](benchmark::State& state) {
    cadScriptLinesRun(state, exampleDesign());
  });
  benchmark::RegisterBenchmark("cadScriptLines/250", [](benchmark::State& state) {
    cadScriptLinesRun(state, resampledDesign(denseContourPoints));
  });
  return true;
}();

}  // namespace

}  // namespace propclear::bench
