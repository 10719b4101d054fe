#include "geometry/set_up_contour.h"

#include <gtest/gtest.h>

#include <cmath>

#include "curve_builders.h"
#include "geometry/evaluate_curve.h"

namespace propclear {
namespace {

using test::ContourPoint;
using test::contourDesign;
using test::fittedCurve;

constexpr double kBreak = 0.0;
constexpr double kOrdinary = 1.0;
// The straight pieces deviate from the chord by their guard term only.
constexpr double kGuardEffect = 1e-5;

// A workspace holding what an earlier use could have left there.
CurveWorkspace usedWorkspace() {
  CurveWorkspace workspace;
  for (int i = 0; i <= maxKnots; ++i) {
    workspace.knot[i] = -7.0;
    for (int row = 0; row <= 4; ++row) workspace.coef[row][i] = -7.0;
  }
  return workspace;
}

// Rows 1..4 of knots first..last of `actual` equal those of knots 1.. of `piece`.
void expectPieceCopied(const CurveWorkspace& actual, int first, int last,
                       const CurveWorkspace& piece) {
  for (int k = first; k <= last; ++k) {
    for (int row = 1; row <= 4; ++row) {
      EXPECT_EQ(actual.coef[row][k], piece.coef[row][k - first + 1]) << "row " << row << " knot " << k;
    }
  }
}

void expectContourLoaded(const DesignData& design, const CurveWorkspace& workspace) {
  for (int k = 1; k <= design.contourPointCount[sternContourRow]; ++k) {
    EXPECT_EQ(workspace.knot[k], design.contourZ[sternContourRow][k]) << k;
    EXPECT_EQ(workspace.coef[1][k], design.contourX[sternContourRow][k]) << k;
  }
}

TEST(SetUpContour, WithoutBreakPointsIsOneCurve) {
  const DesignData design = contourDesign(
      {{0.5, 3.0}, {1.0, 2.2}, {2.0, 1.9}, {3.0, 2.4}, {4.0, 3.3}, {5.5, 4.0}});
  CurveWorkspace workspace = usedWorkspace();
  EXPECT_EQ(setUpContour(design, sternContourRow, workspace), 6);
  const CurveWorkspace whole =
      fittedCurve({0.5, 1.0, 2.0, 3.0, 4.0, 5.5}, {3.0, 2.2, 1.9, 2.4, 3.3, 4.0});
  expectPieceCopied(workspace, 1, 6, whole);
  expectContourLoaded(design, workspace);
  EXPECT_EQ(workspace.knot[7], -7.0);
  EXPECT_EQ(workspace.coef[1][7], -7.0);
}

TEST(SetUpContour, TwoPointsWithoutBreakPointAreFittedNotStraight) {
  const DesignData design = contourDesign({{1.0, 2.0}, {3.0, 5.0}});
  CurveWorkspace workspace = usedWorkspace();
  EXPECT_EQ(setUpContour(design, sternContourRow, workspace), 2);
  const CurveWorkspace fitted = fittedCurve({1.0, 3.0}, {2.0, 5.0});
  expectPieceCopied(workspace, 1, 2, fitted);
  // The spline's guard residue, which a straight piece would not have.
  EXPECT_NE(workspace.coef[3][1], 0.0);
}

TEST(SetUpContour, BreakPointSplitsIntoSeparatelyFittedPieces) {
  const DesignData design = contourDesign({{0.0, 4.0, kOrdinary},
                                           {1.0, 3.0, kOrdinary},
                                           {2.0, 2.5, kBreak},
                                           {3.0, 3.5, kOrdinary},
                                           {4.5, 4.0, kOrdinary},
                                           {6.0, 6.0, kOrdinary}});
  CurveWorkspace workspace = usedWorkspace();
  EXPECT_EQ(setUpContour(design, sternContourRow, workspace), 6);
  const CurveWorkspace first = fittedCurve({0.0, 1.0, 2.0}, {4.0, 3.0, 2.5});
  const CurveWorkspace second = fittedCurve({2.0, 3.0, 4.5, 6.0}, {2.5, 3.5, 4.0, 6.0});
  expectPieceCopied(workspace, 1, 2, first);
  // Knot 3 and everything after it belong to the second piece.
  expectPieceCopied(workspace, 3, 6, second);
  expectContourLoaded(design, workspace);
  // A corner at z(3): the first piece ends there with another slope than the
  // second starts with.
  const double h = 1.0;
  const double firstEndSlope =
      first.coef[2][2] + first.coef[3][2] * h + first.coef[4][2] * h * h / 2.0;
  EXPECT_GT(std::abs(workspace.coef[2][3] - firstEndSlope), 0.1);
}

TEST(SetUpContour, BreakPointAtPointTwoGivesAStraightFirstPiece) {
  const DesignData design = contourDesign(
      {{1.0, 2.0, kOrdinary}, {3.0, 6.0, kBreak}, {4.0, 5.0, kOrdinary}, {5.0, 5.5, kOrdinary}});
  CurveWorkspace workspace = usedWorkspace();
  EXPECT_EQ(setUpContour(design, sternContourRow, workspace), 4);
  EXPECT_EQ(workspace.coef[1][1], 2.0);
  EXPECT_EQ(workspace.coef[2][1], (6.0 - 2.0) / (3.0 - 1.0 + 1e-7));
  EXPECT_EQ(workspace.coef[3][1], 0.0);
  EXPECT_EQ(workspace.coef[4][1], 0.0);
  expectPieceCopied(workspace, 2, 4, fittedCurve({3.0, 4.0, 5.0}, {6.0, 5.0, 5.5}));
  double x = 0.0;
  evaluateCurve(4, 2.0, workspace.knot, workspace.coef, x);
  EXPECT_NEAR(x, 4.0, kGuardEffect);
}

TEST(SetUpContour, NeighbouringBreakPointsGiveAStraightPieceBetweenThem) {
  const DesignData design = contourDesign({{0.0, 1.0, kOrdinary},
                                           {1.0, 2.0, kOrdinary},
                                           {2.0, 4.0, kBreak},
                                           {4.0, 3.0, kBreak},
                                           {5.0, 3.5, kOrdinary},
                                           {6.0, 3.0, kOrdinary}});
  CurveWorkspace workspace = usedWorkspace();
  EXPECT_EQ(setUpContour(design, sternContourRow, workspace), 6);
  expectPieceCopied(workspace, 1, 2, fittedCurve({0.0, 1.0, 2.0}, {1.0, 2.0, 4.0}));
  EXPECT_EQ(workspace.coef[2][3], (3.0 - 4.0) / (4.0 - 2.0 + 1e-7));
  EXPECT_EQ(workspace.coef[3][3], 0.0);
  EXPECT_EQ(workspace.coef[4][3], 0.0);
  expectPieceCopied(workspace, 4, 6, fittedCurve({4.0, 5.0, 6.0}, {3.0, 3.5, 3.0}));
  double x = 0.0;
  evaluateCurve(6, 3.0, workspace.knot, workspace.coef, x);
  EXPECT_NEAR(x, 3.5, kGuardEffect);
}

TEST(SetUpContour, BreakPointAtPointOneStartsTheFirstPieceThere) {
  const DesignData design = contourDesign(
      {{0.0, 1.0, kBreak}, {1.0, 2.0, kOrdinary}, {2.0, 2.5, kOrdinary}, {3.0, 4.0, kOrdinary}});
  CurveWorkspace workspace = usedWorkspace();
  EXPECT_EQ(setUpContour(design, sternContourRow, workspace), 4);
  expectPieceCopied(workspace, 1, 4,
                    fittedCurve({0.0, 1.0, 2.0, 3.0}, {1.0, 2.0, 2.5, 4.0}));
}

TEST(SetUpContour, BreakPointAtTheLastPointEndsTheContour) {
  const DesignData design = contourDesign(
      {{0.0, 1.0, kOrdinary}, {1.0, 2.0, kOrdinary}, {2.0, 2.5, kOrdinary}, {3.0, 4.0, kBreak}});
  CurveWorkspace workspace = usedWorkspace();
  EXPECT_EQ(setUpContour(design, sternContourRow, workspace), 4);
  expectPieceCopied(workspace, 1, 4,
                    fittedCurve({0.0, 1.0, 2.0, 3.0}, {1.0, 2.0, 2.5, 4.0}));
}

TEST(SetUpContour, ScratchIsClearedForEveryCall) {
  // The last piece has two points: its end knot receives the piece scratch's
  // unwritten rows, which must be those of a cleared scratch, not those of
  // an earlier call's piece.
  const DesignData longer = contourDesign({{0.0, 1.0, kOrdinary},
                                           {1.0, 2.0, kBreak},
                                           {2.0, 3.0, kOrdinary},
                                           {3.0, 5.0, kOrdinary},
                                           {4.0, 4.0, kOrdinary}});
  const DesignData shorter =
      contourDesign({{0.0, 1.0, kOrdinary}, {1.0, 2.0, kBreak}, {2.0, 3.0, kBreak}});
  CurveWorkspace workspace = usedWorkspace();
  setUpContour(longer, sternContourRow, workspace);
  EXPECT_EQ(setUpContour(shorter, sternContourRow, workspace), 3);
  for (int row = 2; row <= 4; ++row) EXPECT_EQ(workspace.coef[row][3], 0.0) << row;
  EXPECT_EQ(workspace.coef[1][3], 3.0);
}

TEST(SetUpContour, EmptyContourLeavesTheWorkspaceAlone) {
  const DesignData design = contourDesign({});
  CurveWorkspace workspace = usedWorkspace();
  const CurveWorkspace before = workspace;
  EXPECT_EQ(setUpContour(design, sternContourRow, workspace), 0);
  EXPECT_EQ(workspace.knot, before.knot);
  EXPECT_EQ(workspace.coef, before.coef);
}

TEST(SetUpContour, StraightPieceCancellingItsGuardIsAnArithmeticFault) {
  // 0 - 1e-7 is exactly -1e-7, cancelled by the guard.
  const DesignData design = contourDesign({{1e-7, 1.0, kOrdinary}, {0.0, 2.0, kBreak}});
  CurveWorkspace workspace;
  test::expectArithmeticFault([&] { setUpContour(design, sternContourRow, workspace); },
                              "the contour set-up (straight piece): division by zero");
}

TEST(SetUpContour, PointCountBeyondTheStoreIsRejected) {
  DesignData design = contourDesign({{0.0, 1.0}});
  design.contourPointCount[sternContourRow] = contourCapacity + 1;
  CurveWorkspace workspace;
  test::expectArithmeticFault([&] { setUpContour(design, sternContourRow, workspace); },
                              "point count 1001");
  test::expectArithmeticFault([&] { setUpContour(design, contourRowCount, workspace); },
                              "contour row 2");
}

}  // namespace
}  // namespace propclear
