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
// Stand for "the caller's values": must survive every ending that does not write them.
constexpr double kUntouchedRoot = -42.5;
constexpr int kUntouchedStatus = 7;

const char* const kHeader = "  ITER    XL       XR       FX       F2     DELTA";

// v(t) = t on knots 0, 5, 10.
CurveWorkspace straightCurve() { return test::fittedCurve({0.0, 5.0, 10.0}, {0.0, 5.0, 10.0}); }

struct Search {
  double target = 3.0;
  double left = 0.0;
  double right = 10.0;
  double tolerance = kTolerance;
  int maxIterations = kIterations;
};

struct Outcome {
  double root = kUntouchedRoot;
  int status = kUntouchedStatus;
  std::vector<std::string> trace;  // the trace file's lines
};

Outcome run(const Search& search, int traceSwitch = traceOn) {
  const CurveWorkspace curve = straightCurve();
  test::ScratchDir folder;
  const auto tracePath = folder / "trace.txt";
  Outcome outcome;
  {
    OutputFile traceFile(tracePath, "trace.txt", OutputFile::Devices::Refuse);
    findRoot(3, curve.knot, curve.coef, search.target, search.left, search.right,
             search.tolerance, outcome.root, outcome.status, search.maxIterations, traceSwitch,
             &traceFile);
    traceFile.commit();
  }
  outcome.trace = test::splitCrLfLines(test::readFile(tracePath));
  return outcome;
}

// Trace lines after the empty line and the header.
int iterationLines(const Outcome& outcome) { return static_cast<int>(outcome.trace.size()) - 2; }

TEST(FindRoot, FindsTheCrossingWithinTheTolerance) {
  const Outcome outcome = run(Search{});
  EXPECT_EQ(outcome.status, rootFound);
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
  EXPECT_EQ(outcome.status, rootGivenUp);
  EXPECT_EQ(outcome.root, kUntouchedRoot);
  // The left end 9.999... is within 0.001 of 10 on the last line.
  EXPECT_EQ(outcome.trace.back().substr(4, 9), "    9.999");
  EXPECT_LT(iterationLines(outcome), kIterations);
}

TEST(FindRoot, ZeroToleranceRunsToTheIterationLimit) {
  Search search;
  search.tolerance = 0.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, kUntouchedStatus);
  EXPECT_EQ(outcome.root, kUntouchedRoot);
  EXPECT_EQ(iterationLines(outcome), kIterations);
}

TEST(FindRoot, IterationLimitWritesNeitherRootNorStatus) {
  Search search;
  search.maxIterations = 3;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, kUntouchedStatus);
  EXPECT_EQ(outcome.root, kUntouchedRoot);
  EXPECT_EQ(iterationLines(outcome), 3);
}

TEST(FindRoot, LeftAboveRightEndsAtOnceAtTheMidpoint) {
  Search search;
  search.left = 10.0;
  search.right = 0.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, rootFound);
  EXPECT_EQ(outcome.root, 5.0);
  // Header only: no midpoint was evaluated.
  EXPECT_EQ(outcome.trace, (std::vector<std::string>{"", kHeader}));
}

TEST(FindRoot, NegativeToleranceGivesUpWithoutTrace) {
  Search search;
  search.tolerance = -1.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, rootGivenUp);
  EXPECT_EQ(outcome.root, kUntouchedRoot);
  EXPECT_TRUE(outcome.trace.empty());
}

TEST(FindRoot, PointsOffTheCurveKeepThePreviousValue) {
  // Everything right of 10 lies off the curve: the value found at the left
  // end, 2, is carried through every later evaluation until the search gives up.
  Search search;
  search.left = 2.0;
  search.right = 30.0;
  const Outcome outcome = run(search);
  EXPECT_EQ(outcome.status, rootGivenUp);
  EXPECT_EQ(outcome.root, kUntouchedRoot);
  ASSERT_GE(outcome.trace.size(), 3u);
  EXPECT_EQ(outcome.trace[2], "   1    2.000   30.000    2.000    3.000   14.000  ");
  for (std::size_t i = 2; i < outcome.trace.size(); ++i) {
    EXPECT_EQ(outcome.trace[i].substr(22, 9), "    2.000") << outcome.trace[i];
  }
}

TEST(FindRoot, TraceSwitchOtherThanOneWritesNothing) {
  const Outcome outcome = run(Search{}, 0);
  EXPECT_EQ(outcome.status, rootFound);
  EXPECT_NEAR(outcome.root, 3.0, kTolerance);
  EXPECT_TRUE(outcome.trace.empty());
}

TEST(FindRoot, TraceWithoutAFileIsRejected) {
  const CurveWorkspace curve = straightCurve();
  double root = kUntouchedRoot;
  int status = kUntouchedStatus;
  try {
    findRoot(3, curve.knot, curve.coef, 3.0, 0.0, 10.0, kTolerance, root, status, kIterations,
             traceOn, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::FileSystem);
  }
}

TEST(FindRoot, OverflowingIntervalIsAnArithmeticFault) {
  const CurveWorkspace curve = straightCurve();
  double root = kUntouchedRoot;
  int status = kUntouchedStatus;
  test::expectArithmeticFault(
      [&] {
        findRoot(3, curve.knot, curve.coef, 3.0, -1e308, 1e308, kTolerance, root, status,
                 kIterations, 0);
      },
      "the root search");
}

}  // namespace
}  // namespace propclear
