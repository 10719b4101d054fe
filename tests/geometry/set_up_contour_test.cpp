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
constexpr double kContourGuardEffect = 1e-5;

// Rows 1..4 of knots first..last of `actual` equal those of knots 1.. of `piece`.
void expectPieceCopied(const SplineCurve& actual, int first, int last,
                       const SplineCurve& piece) {
  for (int k = first; k <= last; ++k) {
    for (int row = 1; row <= 4; ++row) {
      EXPECT_EQ(actual.coef(row)[k], piece.coef(row)[k - first + 1]) << "row " << row << " knot " << k;
    }
  }
}

void expectContourLoaded(const DesignData& design, const SplineCurve& workspace) {
  for (int k = 1; k <= design.contourPointCount[sternContourRow]; ++k) {
    EXPECT_EQ(workspace.knots()[k], design.contourZ[sternContourRow][k]) << k;
    EXPECT_EQ(workspace.coef(1)[k], design.contourX[sternContourRow][k]) << k;
  }
}

TEST(SetUpContour, WithoutBreakPointsIsOneCurve) {
  const DesignData design = contourDesign(
      {{0.5, 3.0}, {1.0, 2.2}, {2.0, 1.9}, {3.0, 2.4}, {4.0, 3.3}, {5.5, 4.0}});
  const SplineCurve workspace = setUpContour(design, sternContourRow);
  EXPECT_EQ(workspace.knotCount(), 6);
  const SplineCurve whole =
      fittedCurve({0.5, 1.0, 2.0, 3.0, 4.0, 5.5}, {3.0, 2.2, 1.9, 2.4, 3.3, 4.0});
  expectPieceCopied(workspace, 1, 6, whole);
  expectContourLoaded(design, workspace);
  // The measured contour is the same curve when there is no break point.
  const SplineCurve measured = fitWholeContour(design, sternContourRow);
  expectPieceCopied(measured, 1, 6, whole);
}

TEST(SetUpContour, TwoPointsWithoutBreakPointAreFittedNotStraight) {
  const DesignData design = contourDesign({{1.0, 2.0}, {3.0, 5.0}});
  const SplineCurve workspace = setUpContour(design, sternContourRow);
  EXPECT_EQ(workspace.knotCount(), 2);
  const SplineCurve fitted = fittedCurve({1.0, 3.0}, {2.0, 5.0});
  expectPieceCopied(workspace, 1, 2, fitted);
  // The spline's guard residue, which a straight piece would not have.
  EXPECT_NE(workspace.coef(3)[1], 0.0);
}

TEST(SetUpContour, BreakPointSplitsIntoSeparatelyFittedPieces) {
  const DesignData design = contourDesign({{0.0, 4.0, kOrdinary},
                                           {1.0, 3.0, kOrdinary},
                                           {2.0, 2.5, kBreak},
                                           {3.0, 3.5, kOrdinary},
                                           {4.5, 4.0, kOrdinary},
                                           {6.0, 6.0, kOrdinary}});
  const SplineCurve workspace = setUpContour(design, sternContourRow);
  EXPECT_EQ(workspace.knotCount(), 6);
  const SplineCurve first = fittedCurve({0.0, 1.0, 2.0}, {4.0, 3.0, 2.5});
  const SplineCurve second = fittedCurve({2.0, 3.0, 4.5, 6.0}, {2.5, 3.5, 4.0, 6.0});
  expectPieceCopied(workspace, 1, 2, first);
  // Knot 3 and everything after it belong to the second piece.
  expectPieceCopied(workspace, 3, 6, second);
  expectContourLoaded(design, workspace);
  // A corner at z(3): the first piece ends there with another slope than the
  // second starts with.
  const double h = 1.0;
  const double firstEndSlope =
      first.coef(2)[2] + first.coef(3)[2] * h + first.coef(4)[2] * h * h / 2.0;
  EXPECT_GT(std::abs(workspace.coef(2)[3] - firstEndSlope), 0.1);
}

TEST(SetUpContour, BreakPointAtPointTwoGivesAStraightFirstPiece) {
  const DesignData design = contourDesign(
      {{1.0, 2.0, kOrdinary}, {3.0, 6.0, kBreak}, {4.0, 5.0, kOrdinary}, {5.0, 5.5, kOrdinary}});
  const SplineCurve workspace = setUpContour(design, sternContourRow);
  EXPECT_EQ(workspace.knotCount(), 4);
  EXPECT_EQ(workspace.coef(1)[1], 2.0);
  EXPECT_EQ(workspace.coef(2)[1], (6.0 - 2.0) / (3.0 - 1.0 + 1e-7));
  EXPECT_EQ(workspace.coef(3)[1], 0.0);
  EXPECT_EQ(workspace.coef(4)[1], 0.0);
  expectPieceCopied(workspace, 2, 4, fittedCurve({3.0, 4.0, 5.0}, {6.0, 5.0, 5.5}));
  double x = 0.0;
  evaluateCurve(workspace, 2.0, x);
  EXPECT_NEAR(x, 4.0, kContourGuardEffect);
}

TEST(SetUpContour, NeighbouringBreakPointsGiveAStraightPieceBetweenThem) {
  const DesignData design = contourDesign({{0.0, 1.0, kOrdinary},
                                           {1.0, 2.0, kOrdinary},
                                           {2.0, 4.0, kBreak},
                                           {4.0, 3.0, kBreak},
                                           {5.0, 3.5, kOrdinary},
                                           {6.0, 3.0, kOrdinary}});
  const SplineCurve workspace = setUpContour(design, sternContourRow);
  EXPECT_EQ(workspace.knotCount(), 6);
  expectPieceCopied(workspace, 1, 2, fittedCurve({0.0, 1.0, 2.0}, {1.0, 2.0, 4.0}));
  EXPECT_EQ(workspace.coef(2)[3], (3.0 - 4.0) / (4.0 - 2.0 + 1e-7));
  EXPECT_EQ(workspace.coef(3)[3], 0.0);
  EXPECT_EQ(workspace.coef(4)[3], 0.0);
  expectPieceCopied(workspace, 4, 6, fittedCurve({4.0, 5.0, 6.0}, {3.0, 3.5, 3.0}));
  double x = 0.0;
  evaluateCurve(workspace, 3.0, x);
  EXPECT_NEAR(x, 3.5, kContourGuardEffect);
}

TEST(SetUpContour, BreakPointAtPointOneStartsTheFirstPieceThere) {
  const DesignData design = contourDesign(
      {{0.0, 1.0, kBreak}, {1.0, 2.0, kOrdinary}, {2.0, 2.5, kOrdinary}, {3.0, 4.0, kOrdinary}});
  const SplineCurve workspace = setUpContour(design, sternContourRow);
  EXPECT_EQ(workspace.knotCount(), 4);
  expectPieceCopied(workspace, 1, 4,
                    fittedCurve({0.0, 1.0, 2.0, 3.0}, {1.0, 2.0, 2.5, 4.0}));
}

TEST(SetUpContour, BreakPointAtTheLastPointEndsTheContour) {
  const DesignData design = contourDesign(
      {{0.0, 1.0, kOrdinary}, {1.0, 2.0, kOrdinary}, {2.0, 2.5, kOrdinary}, {3.0, 4.0, kBreak}});
  const SplineCurve workspace = setUpContour(design, sternContourRow);
  EXPECT_EQ(workspace.knotCount(), 4);
  expectPieceCopied(workspace, 1, 4,
                    fittedCurve({0.0, 1.0, 2.0, 3.0}, {1.0, 2.0, 2.5, 4.0}));
}

TEST(SetUpContour, ContourWithBreakPointsIsMeasuredAsOneCurve) {
  const DesignData design = contourDesign(
      {{0.0, 1.0, kOrdinary}, {1.0, 2.0, kBreak}, {2.0, 3.0, kOrdinary}, {3.0, 5.0, kOrdinary}});
  const SplineCurve measured = fitWholeContour(design, sternContourRow);
  expectPieceCopied(measured, 1, 4, fittedCurve({0.0, 1.0, 2.0, 3.0}, {1.0, 2.0, 3.0, 5.0}));
}

TEST(SetUpContour, EmptyContourHasNoKnots) {
  const DesignData design = contourDesign({});
  EXPECT_EQ(setUpContour(design, sternContourRow).knotCount(), 0);
  EXPECT_EQ(fitWholeContour(design, sternContourRow).knotCount(), 0);
}

TEST(SetUpContour, StraightPieceCancellingItsGuardIsAnArithmeticFault) {
  // 0 - 1e-7 is exactly -1e-7, cancelled by the guard.
  const DesignData design = contourDesign({{1e-7, 1.0, kOrdinary}, {0.0, 2.0, kBreak}});
  test::expectArithmeticFault([&] { setUpContour(design, sternContourRow); },
                              "the contour set-up (straight piece): division by zero");
}

TEST(SetUpContour, PointCountBeyondTheStoreIsRejected) {
  DesignData design = contourDesign({{0.0, 1.0}});
  design.contourPointCount[sternContourRow] = contourCapacity + 1;
  test::expectArithmeticFault([&] { setUpContour(design, sternContourRow); },
                              "point count 1001");
  test::expectArithmeticFault([&] { fitWholeContour(design, contourRowCount); },
                              "contour row 2");
}

}  // namespace
}  // namespace propclear
