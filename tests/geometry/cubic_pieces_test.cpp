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

// A knot belongs to the piece that ends there, the first knot to the first
// piece, and a t beyond the last knot to the last piece, for every count of
// pieces the halving search can meet.
TEST(CubicPieces, PieceIndexAtKnotsBetweenAndBeyond) {
  for (std::size_t count = 1; count <= 9; ++count) {
    std::vector<CubicPiece> pieces(count);
    for (std::size_t i = 0; i < count; ++i) {
      pieces[i].start = static_cast<double>(i);
      pieces[i].end = static_cast<double>(i + 1);
    }
    EXPECT_EQ(pieceIndexAt(pieces, 0.0), 0u) << count;
    EXPECT_EQ(pieceIndexAt(pieces, -0.5), 0u) << count;
    EXPECT_EQ(pieceIndexAt(pieces, static_cast<double>(count) + 0.5), count - 1) << count;
    for (std::size_t i = 0; i < count; ++i) {
      EXPECT_EQ(pieceIndexAt(pieces, static_cast<double>(i) + 0.5), i) << count << " " << i;
      EXPECT_EQ(pieceIndexAt(pieces, static_cast<double>(i + 1)), i) << count << " " << i;
    }
  }
}

}  // namespace
}  // namespace propclear
