#include "geometry/evaluate_curve.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "curve_builders.h"

namespace propclear {
namespace {

using test::loadCurve;

// Stands for "the caller's value": must survive every call that finds no piece.
constexpr double kUntouched = -123.25;

// Pieces whose stored values disagree with the ends of the pieces before
// them, so that a result shows which rule produced it.
SplineCurve handMadeCurve() {
  SplineCurve curve = loadCurve({0.0, 1.0, 2.0, 4.0}, {1.0, 10.0, 20.0, 30.0});
  // Piece 1: 1 + 2h + 6h^2/2 + 6h^3/6.
  curve.coef(2)[1] = 2.0;
  curve.coef(3)[1] = 6.0;
  curve.coef(4)[1] = 6.0;
  // Piece 2: 10 + h.
  curve.coef(2)[2] = 1.0;
  // Piece 3: 20 - h^2/2.
  curve.coef(3)[3] = -1.0;
  // Knot 4's derivatives would change nothing if they were (wrongly) used.
  curve.coef(2)[4] = 100.0;
  return curve;
}

// The value at t, checked to be the same, bit for bit, from a CurveEvaluation.
double evaluated(const SplineCurve& curve, double t) {
  double y = kUntouched;
  evaluateCurve(curve, t, y);
  double fromEvaluation = kUntouched;
  CurveEvaluation(curve).at(t, fromEvaluation);
  EXPECT_EQ(std::bit_cast<std::uint64_t>(fromEvaluation), std::bit_cast<std::uint64_t>(y))
      << "at t = " << t;
  return y;
}

struct Evaluation {
  double t;
  double expected;
  const char* why;
};

class HandMadeCurve : public ::testing::TestWithParam<Evaluation> {};

TEST_P(HandMadeCurve, GivesTheValueOfTheRightPiece) {
  const Evaluation& evaluation = GetParam();
  EXPECT_EQ(evaluated(handMadeCurve(), evaluation.t), evaluation.expected) << evaluation.why;
}

INSTANTIATE_TEST_SUITE_P(
    Abscissae, HandMadeCurve,
    ::testing::Values(
        Evaluation{0.0, 1.0, "first knot: stored value"},
        Evaluation{4.0, 30.0, "last knot: stored value, no derivative used"},
        Evaluation{0.5, 2.875, "1 + 1 + (6 + 1) * 0.25 / 2"},
        Evaluation{1.0, 7.0, "interior knot: end of the piece before it, not the stored 10"},
        Evaluation{1.5, 10.5, "second piece"},
        Evaluation{2.0, 11.0, "interior knot: end of the second piece, not the stored 20"},
        Evaluation{3.0, 19.5, "third piece"},
        Evaluation{-0.001, kUntouched, "below the first knot"},
        Evaluation{4.0 + 1e-12, kUntouched, "just above the last knot"}));

TEST(EvaluateCurve, WithFallingKnotsTheLastQualifyingPieceWins) {
  // Pieces (0, 4] and (1, 3] both contain 2; piece (4, 1] contains nothing.
  SplineCurve curve = loadCurve({0.0, 4.0, 1.0, 3.0}, {0.0, 10.0, 20.0, 30.0});
  curve.coef(2)[1] = 1.0;
  curve.coef(2)[3] = 1.0;
  EXPECT_EQ(evaluated(curve, 2.0), 21.0);
  EXPECT_EQ(evaluated(curve, 3.5), 3.5);
  EXPECT_EQ(evaluated(curve, 5.0), kUntouched);
}

TEST(EvaluateCurve, OneKnotCurveHasOnlyItsStoredValue) {
  SplineCurve curve = loadCurve({2.0}, {3.0});
  curve.coef(2)[1] = 1.0;
  EXPECT_EQ(evaluated(curve, 2.0), 3.0);
  EXPECT_EQ(evaluated(curve, 4.0), kUntouched);
  EXPECT_FALSE(curve.covers(4.0));
}

TEST(EvaluateCurve, CurveWithoutKnotsHasNoValue) {
  const SplineCurve curve;
  EXPECT_EQ(evaluated(curve, 0.0), kUntouched);
  EXPECT_EQ(evaluated(curve, 0.5), kUntouched);
  EXPECT_FALSE(curve.covers(0.0));
}

TEST(EvaluateCurve, ReproducesAFittedStraightLineAtAnInteriorKnot) {
  const SplineCurve curve = test::fittedCurve({0.0, 5.0, 10.0}, {0.0, 5.0, 10.0});
  EXPECT_NEAR(evaluated(curve, 5.0), 5.0, 1e-5);
  EXPECT_NEAR(evaluated(curve, 7.5), 7.5, 1e-5);
}

TEST(EvaluateCurve, OverflowingValueIsAnArithmeticFault) {
  SplineCurve curve = loadCurve({0.0, 2.0}, {0.0, 0.0});
  curve.coef(4)[1] = 1e308;
  test::expectArithmeticFault([&] { evaluated(curve, 1.9); }, "the curve value");
  double y = 0.0;
  test::expectArithmeticFault([&] { CurveEvaluation(curve).at(1.9, y); }, "the curve value");
}

// The binary search among rising knots: at every knot, a step either side of
// it, between knots, beyond the ends and at NaN.
TEST(CurveEvaluation, FindsThePieceEveryTestWouldFind) {
  for (const int n : {2, 3, 8, 17}) {
    SplineCurve curve(n);
    for (int i = 1; i <= n; ++i) {
      curve.knots()[i] = 0.3 * i * i - 1.0;
      curve.coef(1)[i] = std::sin(i);
    }
    fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot);
    std::vector<double> abscissae{std::numeric_limits<double>::quiet_NaN()};
    for (int i = 1; i <= n; ++i) {
      const double knot = curve.knot(i);
      for (const double t :
           {knot, std::nextafter(knot, -1e9), std::nextafter(knot, 1e9), knot + 0.1, knot - 0.1}) {
        abscissae.push_back(t);
      }
    }
    for (const double t : abscissae) evaluated(curve, t);
  }
}

TEST(SplineCurve, KnotCountBeyondTheStoreIsRejected) {
  test::expectArithmeticFault([] { SplineCurve curve(maxKnots + 1); }, "knot count 1001");
  test::expectArithmeticFault([] { SplineCurve curve(-1); }, "knot count -1");
}

TEST(SplineCurve, CoversExactlyWhereTheEvaluationWrites) {
  const SplineCurve curve = handMadeCurve();
  for (const double t : {-0.5, 0.0, 0.5, 1.0, 3.9, 4.0, 4.0 + 1e-12, 7.0}) {
    EXPECT_EQ(curve.covers(t), evaluated(curve, t) != kUntouched) << t;
  }
}

// Curves held in place and on the heap: a copy or a move carries every knot
// and coefficient, a curve moved from has none, and assigning a curve to
// itself changes nothing.
TEST(SplineCurve, CopiesAndMovesCarryTheWholeCurve) {
  for (const int n : {3, SplineCurve::inlineKnots, SplineCurve::inlineKnots + 1, 60}) {
    SplineCurve original(n);
    for (int i = 1; i <= n; ++i) {
      original.knots()[i] = i;
      for (int row = 1; row <= 4; ++row) original.coef(row)[i] = 10.0 * row + i;
    }
    const auto expectSame = [&](const SplineCurve& curve) {
      ASSERT_EQ(curve.knotCount(), n);
      for (int i = 1; i <= n; ++i) {
        EXPECT_EQ(curve.knot(i), i);
        for (int row = 1; row <= 4; ++row) EXPECT_EQ(curve.coef(row)[i], 10.0 * row + i);
      }
    };
    SplineCurve copied(original);
    expectSame(copied);
    SplineCurve assigned(2);
    assigned = original;
    expectSame(assigned);
    SplineCurve& self = assigned;
    assigned = self;
    expectSame(assigned);
    SplineCurve moved(std::move(copied));
    expectSame(moved);
    EXPECT_EQ(copied.knotCount(), 0);  // NOLINT(bugprone-use-after-move): the state it is left in
    EXPECT_FALSE(copied.covers(1.0));
    SplineCurve moveAssigned(5);
    moveAssigned = std::move(moved);
    expectSame(moveAssigned);
    EXPECT_EQ(moved.knotCount(), 0);  // NOLINT(bugprone-use-after-move)
    expectSame(original);
  }
}

}  // namespace
}  // namespace propclear
