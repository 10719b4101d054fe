#include "geometry/set_up_contour.h"

#include <string>

#include "common/checked_math.h"
#include "geometry/fit_curve.h"

namespace propclear {

namespace {

static_assert(contourCapacity <= maxKnots, "a whole contour must fit in the curve store");

// The guard of a straight two-point piece's slope.
constexpr double straightPieceGuard = 1e-7;

// Private to one set-up and cleared for each: the contour's own values and
// the piece being fitted, its knots renumbered from 1.
struct ContourScratch {
  KnotArray contourX{};
  KnotArray contourZ{};
  KnotArray pieceKnot{};
  CoefTable pieceCoef{};
};

void requireContourRow(const DesignData& design, int selector) {
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
}

bool isBreakPoint(const DesignData& design, int selector, int point) {
  return design.contourCode[selector][point] == breakCode;
}

// The first break point in first..n, or 0 when there is none.
int firstBreakPoint(const DesignData& design, int selector, int first, int n) {
  for (int k = first; k <= n; ++k) {
    if (isBreakPoint(design, selector, k)) return k;
  }
  return 0;
}

double straightPieceSlope(const ContourScratch& scratch, int first) {
  return checkedDivide(
      scratch.contourX[first + 1] - scratch.contourX[first],
      scratch.contourZ[first + 1] - scratch.contourZ[first] + straightPieceGuard,
      "the contour set-up (straight piece)");
}

void fitFirstPiece(const ContourScratch& scratch, int b, CurveWorkspace& workspace) {
  auto& coef = workspace.coef;
  if (b == 2) {
    coef[1][1] = scratch.contourX[1];
    coef[2][1] = straightPieceSlope(scratch, 1);
    coef[3][1] = 0.0;
    coef[4][1] = 0.0;
    coef[1][2] = scratch.contourX[2];
    return;
  }
  for (int k = 1; k <= b; ++k) coef[1][k] = scratch.contourX[k];
  fitCurve(b, workspace.knot, coef, notAKnotEnd, notAKnotEnd);
}

// Fits points start..end on their own and copies the piece into the workspace.
void fitFollowingPiece(ContourScratch& scratch, int start, int end, CurveWorkspace& workspace) {
  const int m = end - start + 1;
  for (int k = start; k <= end; ++k) {
    const int j = k - start + 1;
    scratch.pieceKnot[j] = scratch.contourZ[k];
    scratch.pieceCoef[1][j] = scratch.contourX[k];
  }
  if (m == 2) {
    scratch.pieceCoef[2][1] = straightPieceSlope(scratch, start);
    scratch.pieceCoef[3][1] = 0.0;
    scratch.pieceCoef[4][1] = 0.0;
  } else {
    fitCurve(m, scratch.pieceKnot, scratch.pieceCoef, notAKnotEnd, notAKnotEnd);
  }
  for (int k = start; k <= end; ++k) {
    for (int row = 1; row <= 4; ++row) {
      workspace.coef[row][k] = scratch.pieceCoef[row][k - start + 1];
    }
  }
}

}  // namespace

int setUpContour(const DesignData& design, int selector, CurveWorkspace& workspace) {
  requireContourRow(design, selector);
  const int n = design.contourPointCount[selector];
  ContourScratch scratch;
  for (int k = 1; k <= n; ++k) {
    scratch.contourX[k] = design.contourX[selector][k];
    scratch.contourZ[k] = design.contourZ[selector][k];
    workspace.knot[k] = design.contourZ[selector][k];
  }

  const int b = firstBreakPoint(design, selector, 1, n);
  if (b == 0) {
    for (int k = 1; k <= n; ++k) workspace.coef[1][k] = scratch.contourX[k];
    fitCurve(n, workspace.knot, workspace.coef, notAKnotEnd, notAKnotEnd);
    return n;
  }

  fitFirstPiece(scratch, b, workspace);
  int start = b;
  while (start < n) {
    const int nextBreak = firstBreakPoint(design, selector, start + 1, n);
    const int end = nextBreak == 0 ? n : nextBreak;
    fitFollowingPiece(scratch, start, end, workspace);
    start = firstBreakPoint(design, selector, end, n);
    if (start == 0) break;
  }
  return n;
}

}  // namespace propclear
