// The curve numerics: spline fit, contour set-up, evaluation, root search.

#include <benchmark/benchmark.h>

#include <string>

#include "bench_designs.h"
#include "clearance/measuring_operations.h"
#include "common/checked_math.h"
#include "geometry/evaluate_curve.h"
#include "geometry/find_root.h"
#include "geometry/fit_curve.h"
#include "geometry/set_up_contour.h"

namespace propclear::bench {

namespace {

// Abscissae the evaluation benchmark cycles through, spread over the curve.
constexpr int evaluationPointCount = 64;
// A break point every this many contour points: five pieces on 250 points.
constexpr int breakPointSpacing = 50;

void fitCurveRun(benchmark::State& state) {
  SplineCurve curve = smoothCurve(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot);
    benchmark::ClobberMemory();
  }
}

void setUpContourRun(benchmark::State& state, const DesignData& design) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(setUpContour(design, sternContourRow));
    benchmark::ClobberMemory();
  }
}

void evaluateCurveRun(benchmark::State& state) {
  const DesignData design = resampledDesign(denseContourPoints);
  const SplineCurve contour = setUpContour(design, sternContourRow);
  const double zFirst = contour.knot(1);
  const double zStep = checkedDivide(contour.knot(contour.knotCount()) - zFirst,
                                     evaluationPointCount, "the evaluation step");
  int point = 0;
  for (auto _ : state) {
    double x = 0.0;
    evaluateCurve(contour, zFirst + zStep * (point + 0.5), x);
    benchmark::DoNotOptimize(x);
    point = (point + 1) % evaluationPointCount;
  }
}

// The search of clearance b: the height where the contour reaches the tip's x.
void findRootRun(benchmark::State& state) {
  const DesignData design = resampledDesign(denseContourPoints);
  const SplineCurve hull = fitWholeContour(design, sternContourRow);
  const BladeOutline outline = buildBladeOutline(design.propellerDiameter, design.pitchRatio,
                                                 design.areaRatio, design.rakeAngle);
  const int tip = outline.stationCount;
  const double tipX = design.propellerCentreX +
                      checkedDivide(outline.edge2X[tip] + outline.edge1X[tip], 2.0, "the tip's x");
  for (auto _ : state) {
    const RootSearch search = findRoot(hull, tipX, hull.knot(1), hull.knot(hull.knotCount()),
                                       rootTolerance, rootMaxIterations);
    benchmark::DoNotOptimize(search.root);
    if (search.status != RootStatus::Found) state.SkipWithError("the root search found no height");
  }
}

const bool geometryBenchmarksRegistered = [] {
  benchmark::RegisterBenchmark("fitCurve", fitCurveRun)->Arg(11)->Arg(250)->Arg(1000);
  benchmark::RegisterBenchmark("setUpContour/example", [](benchmark::State& state) {
    setUpContourRun(state, exampleDesign());
  });
  benchmark::RegisterBenchmark("setUpContour/250/no_breaks", [](benchmark::State& state) {
    setUpContourRun(state, resampledDesign(denseContourPoints));
  });
  benchmark::RegisterBenchmark("setUpContour/250/break_every_50", [](benchmark::State& state) {
    DesignData design = resampledDesign(denseContourPoints);
    addBreakPoints(design, breakPointSpacing);
    setUpContourRun(state, design);
  });
  benchmark::RegisterBenchmark("evaluateCurve/250", evaluateCurveRun);
  benchmark::RegisterBenchmark("findRoot/250", findRootRun);
  return true;
}();

}  // namespace

}  // namespace propclear::bench
