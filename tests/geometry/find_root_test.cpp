#include "geometry/find_root.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/output_file.h"
#include "curve_builders.h"
#include "support/test_support.h"

namespace propclear {
namespace {

constexpr double kTolerance = 0.00001;
constexpr int kIterations = 50;

const char* const kHeader = "  ITER    XL       XR       FX       F2     DELTA";

// v(t) = t on knots 0, 5, 10.
SplineCurve straightCurve() { return test::fittedCurve({0.0, 5.0, 10.0}, {0.0, 5.0, 10.0}); }

struct Search {
  double target = 3.0;
  double left = 0.0;
  double right = 10.0;
  double tolerance = kTolerance;
  int maxIterations = kIterations;
};

struct Outcome {
  RootStatus status = RootStatus::NotConverged;
  double root = 0.0;
  std::vector<std::string> trace;  // the trace file's lines
};

Outcome run(const Search& search, bool traced = true) {
  const SplineCurve curve = straightCurve();
  test::ScratchDir folder;
  const auto tracePath = folder / "trace.txt";
  Outcome outcome;
  {
    OutputFile traceFile(tracePath, "trace.txt", OutputFile::Devices::Refuse);
    const RootSearch result =
        findRoot(curve, search.target, search.left, search.right, search.tolerance,
                 search.maxIterations, traced ? &traceFile : nullptr);
    outcome.status = result.status;
    outcome.root = result.root;
    traceFile.commit();
  }
  outcome.trace = test::splitCrLfLines(test::readFile(tracePath));
  return outcome;
}

// Trace lines after the empty line and the header.
int iterationLines(const Outcome& outcome) { return static_cast<int>(outcome.trace.size()) - 2; }

TEST(FindRoot, FindsTheCrossingWithinTheTolerance) {
  const Outcome outcome = run(Search{});
  EXPECT_EQ(outcome.status, RootStatus::Found);
  EXPECT_NEAR(outcome.root, 3.0, kTolerance);
}

TEST(FindRoot, TraceShowsTheMidpointsInTheirColumns) {
  const Outcome outcome = run(Search{});
  ASSERT_GE(outcome.trace.size(), 7u);
  EXPECT_EQ(outcome.trace[0], "");
  EXPECT_EQ(outcome.trace[1], kHeader);
  // Midpoints 5, 2.5, 3.75, 3.125, 2.8125; the fitted line lies a hair below
  // t at 2.8125, and the half-width 0.3125 rounds its half away from zero.
  EXPECT_EQ(outcome.trace[2], "   1    0.000   10.000    5.000    3.000    5.000  ");
  EXPECT_EQ(outcome.trace[3], "   2    0.000    5.000    2.500    3.000    2.500  ");
  EXPECT_EQ(outcome.trace[4], "   3    2.500    5.000    3.750    3.000    1.250  ");
  EXPECT_EQ(outcome.trace[5], "   4    2.500    3.750    3.125    3.000    0.625  ");
  EXPECT_EQ(outcome.trace[6], "   5    2.500    3.125    2.812    3.000    0.313  ");
  for (std::size_t i = 2; i < outcome.trace.size(); ++i) {
    EXPECT_EQ(outcome.trace[i].size(), 51u) << outcome.trace[i];
  }
  // Every evaluated midpoint has its line, the last one included.
  const std::string& last = outcome.trace.back();
  EXPECT_EQ(last.substr(0, 4), "  " + std::to_string(iterationLines(outcome)));
}

TEST(FindRoot, TargetNeverReachedGivesUpNearTheRightEnd) {
  Search search;
  search.target = 12.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, RootStatus::GivenUp);
  // The left end 9.999... is within 0.001 of 10 on the last line.
  EXPECT_EQ(outcome.trace.back().substr(4, 9), "    9.999");
  EXPECT_LT(iterationLines(outcome), kIterations);
}

TEST(FindRoot, ZeroToleranceRunsToTheIterationLimit) {
  Search search;
  search.tolerance = 0.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, RootStatus::NotConverged);
  EXPECT_EQ(iterationLines(outcome), kIterations);
}

TEST(FindRoot, IterationLimitWritesNeitherRootNorStatus) {
  Search search;
  search.maxIterations = 3;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, RootStatus::NotConverged);
  EXPECT_EQ(iterationLines(outcome), 3);
}

TEST(FindRoot, LeftAboveRightEndsAtOnceAtTheMidpoint) {
  Search search;
  search.left = 10.0;
  search.right = 0.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, RootStatus::Found);
  EXPECT_EQ(outcome.root, 5.0);
  // Header only: no midpoint was evaluated.
  EXPECT_EQ(outcome.trace, (std::vector<std::string>{"", kHeader}));
}

TEST(FindRoot, NegativeToleranceGivesUpWithoutTrace) {
  Search search;
  search.tolerance = -1.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, RootStatus::GivenUp);
  EXPECT_TRUE(outcome.trace.empty());
}

TEST(FindRoot, PointsOffTheCurveKeepThePreviousValue) {
  // Everything right of 10 lies off the curve: the value found at the left
  // end, 2, is carried through every later evaluation until the search gives up.
  Search search;
  search.left = 2.0;
  search.right = 30.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, RootStatus::GivenUp);
  ASSERT_GE(outcome.trace.size(), 3u);
  EXPECT_EQ(outcome.trace[2], "   1    2.000   30.000    2.000    3.000   14.000  ");
  for (std::size_t i = 2; i < outcome.trace.size(); ++i) {
    EXPECT_EQ(outcome.trace[i].substr(22, 9), "    2.000") << outcome.trace[i];
  }
}

TEST(FindRoot, WithoutATraceFileWritesNothing) {
  const Outcome outcome = run(Search{}, false);
  EXPECT_EQ(outcome.status, RootStatus::Found);
  EXPECT_NEAR(outcome.root, 3.0, kTolerance);
  EXPECT_TRUE(outcome.trace.empty());
}

// The half-width must fall below the tolerance, not reach it: an interval
// of width 2 with tolerance 1 is bisected once more (left end 1, midpoint 2,
// value 2 off the target 3.5 by more than the tolerance).
TEST(FindRoot, HalfWidthEqualToTheToleranceGoesOnBisecting) {
  Search search;
  search.target = 3.5;
  search.left = 1.0;
  search.right = 3.0;
  search.tolerance = 1.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, RootStatus::Found);
  EXPECT_GE(iterationLines(outcome), 1);
  EXPECT_EQ(outcome.trace[2].substr(0, 4), "   1");
}

TEST(FindRoot, OverflowingIntervalIsAnArithmeticFault) {
  const SplineCurve curve = straightCurve();
  test::expectArithmeticFault(
      [&] { findRoot(curve, 3.0, -1e308, 1e308, kTolerance, kIterations); }, "the root search");
}

}  // namespace
}  // namespace propclear
