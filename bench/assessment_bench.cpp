// The judged result of a stern, as every output and every study reads it:
// the analysis, then the clearances as assessed, the legacy figures, the
// clashes and the status; without rules and with the example's ship file
// (lr-recommended). Set beside analyseStern/example: assess adds at most
// 2 us to a design.

#include <benchmark/benchmark.h>

#include "assessment/assessment.h"
#include "bench_designs.h"
#include "rules/read_ship_particulars.h"
#include "test_support.h"

namespace propclear::bench {

namespace {

void assessRun(benchmark::State& state, const DesignData& design, const ShipParticulars* ship) {
  for (auto _ : state) {
    const Assessment assessment = assess(design, AssessmentInputs{ship});
    benchmark::DoNotOptimize(assessment.clearances.data());
  }
}

const bool assessmentBenchmarksRegistered = [] {
  benchmark::RegisterBenchmark("assess/example", [](benchmark::State& state) {
    assessRun(state, exampleDesign(), nullptr);
  });
  benchmark::RegisterBenchmark("assess/example/lr-recommended", [](benchmark::State& state) {
    const ShipParticulars ship =
        readShipParticulars(test::examplesDir() / "Norvalek.ship.toml");
    assessRun(state, exampleDesign(), &ship);
  });
  return true;
}();

}  // namespace

}  // namespace propclear::bench
