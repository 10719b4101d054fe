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

// Of the pieces of one curve whose knots all rise, the index of the piece
// that holds t, t between the first piece's start and the last piece's end:
// the piece with start < t <= end, or the first piece at its start, as
// evaluateCurve chooses. Inline, and without branches on t (a halving search
// whose steps the compiler turns into conditional moves): the closest
// approach evaluates pieces in its innermost loops, where a mispredicted
// branch costs more than the comparisons.
inline std::size_t pieceIndexAt(std::span<const CubicPiece> pieces, double t) {
  // The first piece whose end is not below t; beyond the last end, the last piece.
  std::size_t first = 0, count = pieces.size();
  while (count > 1) {
    const std::size_t half = count / 2;
    first = pieces[first + half - 1].end < t ? first + half : first;
    count -= half;
  }
  return first;
}

// pieceIndexAt's index, searched forward from piece `first`, which must not
// lie beyond it: for values of t taken in rising order.
inline std::size_t pieceIndexFrom(std::span<const CubicPiece> pieces, std::size_t first, double t) {
  while (first + 1 < pieces.size() && pieces[first].end < t) ++first;
  return first;
}

// The pieces that hold every t from `low` to `high`: a search among them
// finds the piece that a search among all finds.
inline std::span<const CubicPiece> piecesOver(std::span<const CubicPiece> pieces, double low,
                                              double high) {
  const std::size_t first = pieceIndexAt(pieces, low);
  return pieces.subspan(first, pieceIndexFrom(pieces, first, high) - first + 1);
}

inline const CubicPiece& pieceAt(std::span<const CubicPiece> pieces, double t) {
  return pieces[pieceIndexAt(pieces, t)];
}

inline double valueOnPieces(std::span<const CubicPiece> pieces, double t) {
  return pieceAt(pieces, t).valueAt(t);
}

}  // namespace propclear
