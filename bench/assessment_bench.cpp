// The judged result of a stern, as every output and every study reads it:
// the analysis, then the clearances as assessed, the legacy figures, the
// clashes and the status; without rules and with the example's ship file
// (lr-recommended), its rule sets worked out for each call as a run does or
// once for all as a study does. Set beside analyseStern/example: assess adds
// at most 2 us to a design.

#include <benchmark/benchmark.h>

#include "assessment/assessment.h"
#include "bench_designs.h"
#include "rules/read_ship_particulars.h"
#include "test_support.h"

namespace propclear::bench {

namespace {

void assessRun(benchmark::State& state, const DesignData& design, const AssessmentInputs& inputs) {
  for (auto _ : state) {
    const Assessment assessment = assess(design, inputs);
    benchmark::DoNotOptimize(assessment.clearances.data());
  }
}

const bool assessmentBenchmarksRegistered = [] {
  benchmark::RegisterBenchmark("assess/example", [](benchmark::State& state) {
    assessRun(state, exampleDesign(), AssessmentInputs{});
  });
  // The ship's rule sets worked out for each call, as a run does.
  benchmark::RegisterBenchmark("assess/example/lr-recommended", [](benchmark::State& state) {
    const ShipParticulars ship =
        readShipParticulars(test::examplesDir() / "Norvalek.ship.toml");
    assessRun(state, exampleDesign(), AssessmentInputs{&ship});
  });
  // Worked out once for every call, as a study does.
  benchmark::RegisterBenchmark("assess/example/lr-recommended/prepared",
                               [](benchmark::State& state) {
    const ShipParticulars ship =
        readShipParticulars(test::examplesDir() / "Norvalek.ship.toml");
    assessRun(state, exampleDesign(), AssessmentInputs{&ship, prepareShipRuleSets(ship)});
  });
  return true;
}();

}  // namespace

}  // namespace propclear::bench
