// What the run hands to the window and writes: the stern plot's display list,
// the report lines and the CAD script lines, all in memory.

#include <benchmark/benchmark.h>

#include <memory>

#include "bench_designs.h"
#include "cad/write_cad_script.h"
#include "plot/draw_stern_plot.h"
#include "report/write_report.h"

namespace propclear::bench {

namespace {

void sternPlotRun(benchmark::State& state, const DesignData& design) {
  const BladeOutline outline = outlineOf(design);
  const auto workspace = std::make_unique<CurveWorkspace>();
  for (auto _ : state) {
    DrawingSurface surface;
    drawSternPlot(design, outline, *workspace, surface);
    benchmark::DoNotOptimize(surface.commands().data());
  }
}

// The clearances of `design`, computed once before the timed writers.
ClearanceSet clearancesOf(const DesignData& design, const BladeOutline& outline,
                          CurveWorkspace& workspace) {
  DrawingSurface surface;
  ClearanceSet clearances;
  computeAllClearances(design, outline, workspace, surface, clearances);
  return clearances;
}

void reportLinesRun(benchmark::State& state, const DesignData& design) {
  const BladeOutline outline = outlineOf(design);
  const auto workspace = std::make_unique<CurveWorkspace>();
  const ClearanceSet clearances = clearancesOf(design, outline, *workspace);
  for (auto _ : state) {
    benchmark::DoNotOptimize(reportLines(design, clearances));
  }
}

void cadScriptLinesRun(benchmark::State& state, const DesignData& design) {
  const BladeOutline outline = outlineOf(design);
  const auto workspace = std::make_unique<CurveWorkspace>();
  const ClearanceSet clearances = clearancesOf(design, outline, *workspace);
  for (auto _ : state) {
    benchmark::DoNotOptimize(cadScriptLines(design, outline, *workspace, clearances));
  }
}

const bool registered = [] {
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
