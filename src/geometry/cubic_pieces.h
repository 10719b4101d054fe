#pragma once
// The pieces of a fitted spline curve (spline_curve.h) in power form, for
// code that evaluates one curve many times over: on the piece from knot i to
// knot i + 1,
//   v(t) = c0 + c1 h + c2 h^2 + c3 h^3,   h = t - start,
// with c0, c1 the value and slope at knot i, c2 half its second derivative
// and c3 a sixth of the piece's third derivative. The same polynomial as
// evaluateCurve's, up to rounding in the last place, evaluated by Horner's
// rule without the per-call checks. (At the last knot evaluateCurve gives the
// stored value instead, from which the end of the last piece lies off by the
// effect of the fit's guard terms, about 1e-6 of the values' scale.)

#include <span>
#include <vector>

#include "geometry/spline_curve.h"

namespace propclear {

struct CubicPiece {
  double start = 0.0;  // knot i
  double end = 0.0;    // knot i + 1
  double c0 = 0.0, c1 = 0.0, c2 = 0.0, c3 = 0.0;

  double valueAt(double t) const {
    const double h = t - start;
    return c0 + h * (c1 + h * (c2 + h * c3));
  }
  double slopeAt(double t) const {
    const double h = t - start;
    return c1 + h * (2.0 * c2 + h * (3.0 * c3));
  }
  double secondDerivativeAt(double t) const { return 2.0 * c2 + (t - start) * (6.0 * c3); }
};

// The piece of `curve` from knot i to knot i + 1, 1 <= i < n.
CubicPiece pieceOf(const SplineCurve& curve, int i);

// The pieces of `curve` whose knots rise (knot i < knot i + 1), in knot
// order. A curve whose knots all rise gives n - 1 pieces that join into the
// whole curve; a piece whose knots do not rise has no abscissa on the curve
// (evaluate_curve.h) and is left out.
std::vector<CubicPiece> risingPiecesOf(const SplineCurve& curve);

// Of the pieces of one curve whose knots all rise, the piece that holds t,
// t between the first piece's start and the last piece's end: the piece
// with start < t <= end, or the first piece at its start, as evaluateCurve
// chooses; and the value there. Inline: the closest approach evaluates them
// in its innermost loops.
inline const CubicPiece& pieceAt(std::span<const CubicPiece> pieces, double t) {
  std::size_t low = 0, high = pieces.size() - 1;
  // The first piece whose end is not below t; beyond the last end, the last piece.
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    if (pieces[middle].end < t) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return pieces[low];
}

inline double valueOnPieces(std::span<const CubicPiece> pieces, double t) {
  return pieceAt(pieces, t).valueAt(t);
}

}  // namespace propclear
