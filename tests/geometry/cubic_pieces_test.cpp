#include "geometry/cubic_pieces.h"

#include <gtest/gtest.h>

#include "curve_builders.h"

namespace propclear {
namespace {

TEST(CubicPieces, AgreeWithTheCurveAndSkipPiecesThatDoNotRise) {
  const SplineCurve curve =
      test::fittedCurve({0.0, 1.0, 2.5, 3.0, 4.5, 6.0}, {1.0, 2.75, 7.78, 8.5, 20.0, 55.0});
  const std::vector<CubicPiece> pieces = risingPiecesOf(curve);
  ASSERT_EQ(pieces.size(), 5u);
  for (double t = 0.0; t < 6.0; t += 0.125) {
    EXPECT_NEAR(valueOnPieces(pieces, t), test::valueAt(curve, t), 1e-12) << t;
  }
  // At the last knot the curve gives its stored value, the last piece the
  // end of its polynomial, which the fit's guard terms leave a little off.
  EXPECT_NEAR(valueOnPieces(pieces, 6.0), 55.0, 1e-5);
  SplineCurve falling = test::fittedCurve({0.0, 1.0, 2.0, 3.0}, {0.0, 1.0, 4.0, 9.0});
  falling.knots()[3] = 0.5;  // below knot 2: the piece from knot 2 to knot 3 falls
  EXPECT_EQ(risingPiecesOf(falling).size(), 2u);
}

}  // namespace
}  // namespace propclear
