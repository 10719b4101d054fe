#include "geometry/cubic_pieces.h"

#include <algorithm>

#include "common/checked_math.h"

namespace propclear {

CubicPiece pieceOf(const SplineCurve& curve, int i) {
  CubicPiece piece;
  piece.start = curve.knot(i);
  piece.end = curve.knot(i + 1);
  piece.c0 = curve.coef(1)[i];
  piece.c1 = curve.coef(2)[i];
  piece.c2 = checkedDivide(curve.coef(3)[i], 2.0, "a spline piece in power form");
  piece.c3 = checkedDivide(curve.coef(4)[i], 6.0, "a spline piece in power form");
  return piece;
}

std::vector<CubicPiece> risingPiecesOf(const SplineCurve& curve) {
  std::vector<CubicPiece> pieces;
  pieces.reserve(static_cast<std::size_t>(std::max(curve.knotCount() - 1, 0)));
  for (int i = 1; i <= curve.knotCount() - 1; ++i) {
    if (curve.knot(i) < curve.knot(i + 1)) pieces.push_back(pieceOf(curve, i));
  }
  return pieces;
}

}  // namespace propclear
