#include "geometry/set_up_contour.h"

#include <string>

#include "common/checked_math.h"
#include "geometry/fit_curve.h"

namespace propclear {

namespace {

static_assert(contourCapacity <= maxKnots, "a whole contour must fit in one curve");

// The guard of a straight two-point piece's slope.
constexpr double straightPieceGuard = 1e-7;

int contourPointCount(const DesignData& design, int selector) {
  if (selector < 0 || selector >= contourRowCount) {
    const std::string reason = "contour row " + std::to_string(selector) + " does not exist";
    throwArithmeticFault("the contour set-up", reason.c_str());
  }
  const int n = design.contourPointCount[selector];
  if (n < 0 || n > contourCapacity) {
    const std::string reason = "point count " + std::to_string(n) + " is negative or above " +
                               std::to_string(contourCapacity);
    throwArithmeticFault("the contour set-up", reason.c_str());
  }
  return n;
}

// Knot = height, value = horizontal position, for points first..last of the
// row, renumbered from 1.
SplineCurve loadContourPoints(const DesignData& design, int selector, int first, int last) {
  SplineCurve curve(last - first + 1);
  for (int k = first; k <= last; ++k) {
    curve.knots()[k - first + 1] = design.contourZ[selector][k];
    curve.coef(1)[k - first + 1] = design.contourX[selector][k];
  }
  return curve;
}

// The first break point in first..n, or 0 when there is none.
int firstBreakPoint(const DesignData& design, int selector, int first, int n) {
  for (int k = first; k <= n; ++k) {
    if (design.contourCode[selector][k] == breakCode) return k;
  }
  return 0;
}

// Points first..last fitted on their own: a straight line for two points.
SplineCurve fitPiece(const DesignData& design, int selector, int first, int last) {
  SplineCurve piece = loadContourPoints(design, selector, first, last);
  if (last - first + 1 != 2) {
    fitCurve(piece, EndCondition::NotAKnot, EndCondition::NotAKnot);
    return piece;
  }
  piece.coef(2)[1] = checkedDivide(piece.value(2) - piece.value(1),
                                   piece.knot(2) - piece.knot(1) + straightPieceGuard,
                                   "the contour set-up (straight piece)");
  return piece;
}

// Copies the piece's knots and rows 1..4 into the contour from point `first` on.
void copyPiece(const SplineCurve& piece, int first, SplineCurve& contour) {
  for (int j = 1; j <= piece.knotCount(); ++j) {
    contour.knots()[first + j - 1] = piece.knot(j);
    for (int row = 1; row <= 4; ++row) contour.coef(row)[first + j - 1] = piece.coef(row)[j];
  }
}

}  // namespace

SplineCurve setUpContour(const DesignData& design, int selector) {
  const int n = contourPointCount(design, selector);
  const int b = firstBreakPoint(design, selector, 1, n);
  if (b == 0) return fitWholeContour(design, selector);

  SplineCurve contour(n);
  // Every piece starts at a break point and takes the coefficients there; a
  // first break point at point 1 leaves no first piece.
  copyPiece(fitPiece(design, selector, 1, b), 1, contour);
  int start = b;
  while (start < n) {
    const int nextBreak = firstBreakPoint(design, selector, start + 1, n);
    const int end = nextBreak == 0 ? n : nextBreak;
    copyPiece(fitPiece(design, selector, start, end), start, contour);
    start = firstBreakPoint(design, selector, end, n);
    if (start == 0) break;
  }
  return contour;
}

SplineCurve fitWholeContour(const DesignData& design, int selector) {
  const int n = contourPointCount(design, selector);
  SplineCurve contour = loadContourPoints(design, selector, 1, n);
  fitCurve(contour, EndCondition::NotAKnot, EndCondition::NotAKnot);
  return contour;
}

}  // namespace propclear
