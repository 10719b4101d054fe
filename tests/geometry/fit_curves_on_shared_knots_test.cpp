#include "geometry/fit_curves_on_shared_knots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/run_error.h"
#include "geometry/fit_curve.h"

namespace propclear {
namespace {

// What a fit leaves: every row's bits, or the message of its fault.
struct FitOutcome {
  std::vector<std::uint64_t> bits;
  std::string fault;
  bool operator==(const FitOutcome&) const = default;
};

template <class Fit>
FitOutcome outcomeOf(std::vector<SplineCurve> curves, const Fit& fit) {
  FitOutcome outcome;
  try {
    fit(curves);
  } catch (const RunError& error) {
    outcome.fault = error.what();
    return outcome;
  }
  for (const SplineCurve& curve : curves) {
    for (const auto row :
         {curve.knots(), curve.coef(1), curve.coef(2), curve.coef(3), curve.coef(4)}) {
      for (const double v : row) outcome.bits.push_back(std::bit_cast<std::uint64_t>(v));
    }
  }
  return outcome;
}

// The outcome of fitting the curves together, checked against one by one.
FitOutcome expectSameAsOneByOne(const std::vector<SplineCurve>& curves) {
  const FitOutcome oneByOne = outcomeOf(curves, [](std::vector<SplineCurve>& c) {
    for (SplineCurve& curve : c) fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot);
  });
  const FitOutcome together = outcomeOf(curves, [](std::vector<SplineCurve>& c) {
    std::vector<SplineCurve*> pointers;
    for (SplineCurve& curve : c) pointers.push_back(&curve);
    fitNotAKnotCurves(pointers);
  });
  EXPECT_EQ(together.fault, oneByOne.fault);
  EXPECT_TRUE(together.bits == oneByOne.bits)
      << curves.size() << " curves of " << curves.front().knotCount() << " knots";
  return together;
}

// `count` curves over the same rising knots (spacings from 1e-7 to 2), with
// values of either sign over many magnitudes.
std::vector<SplineCurve> curvesOverSharedKnots(std::mt19937_64& random, int knots, int count) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<SplineCurve> curves(static_cast<std::size_t>(count), SplineCurve(knots));
  double t = unit(random) - 0.5;
  for (int i = 1; i <= knots; ++i) {
    for (SplineCurve& curve : curves) curve.knots()[i] = t;
    t += unit(random) < 0.1 ? 1e-7 : 2.0 * unit(random);
  }
  for (SplineCurve& curve : curves) {
    const double scale = std::pow(10.0, 6.0 * unit(random) - 3.0);
    for (int i = 1; i <= knots; ++i) curve.coef(1)[i] = scale * (unit(random) - 0.5);
  }
  return curves;
}

TEST(FitNotAKnotCurves, GiveEachCurveTheCoefficientsOfItsOwnFitBitForBit) {
  std::mt19937_64 random(20261207);
  for (const int knots : {2, 3, 4, 5, 11, 16, 17}) {
    for (const int count : {1, 3, 8, 11}) {
      for (int trial = 0; trial < 20; ++trial) {
        expectSameAsOneByOne(curvesOverSharedKnots(random, knots, count));
      }
    }
  }
  // Curves over other knots than the first are fitted all the same.
  std::vector<SplineCurve> mixed = curvesOverSharedKnots(random, 11, 8);
  mixed[5].knots()[7] += 1e-3;
  expectSameAsOneByOne(mixed);
}

// Of several faulty curves, the first raises its first fault, whichever step
// of the fit that is and whatever the others raise.
TEST(FitNotAKnotCurves, RaiseTheFaultTheFirstFaultyCurveRaisesFirst) {
  std::mt19937_64 random(7);
  std::vector<SplineCurve> curves = curvesOverSharedKnots(random, 11, 8);
  curves[6].coef(1)[4] = 1e308;  // a difference quotient overflows
  curves[3].coef(1)[2] = 1e302;  // only a third derivative overflows
  for (SplineCurve& curve : curves) curve.knots()[2] = curve.knots()[1] + 1e-3;
  EXPECT_NE(expectSameAsOneByOne(curves).fault.find("(result)"), std::string::npos);

  // The knots cancel the unguarded pivot: a fault of every curve, but the
  // first curve's overflowing difference comes before it.
  std::vector<SplineCurve> pivot = curvesOverSharedKnots(random, 4, 8);
  for (SplineCurve& curve : pivot) {
    for (int i = 1; i <= 4; ++i) curve.knots()[i] = std::array{0.0, 0.0, 1.0, 0.0}[i - 1];
  }
  EXPECT_NE(expectSameAsOneByOne(pivot).fault.find("unguarded pivot"), std::string::npos);
  pivot[0].coef(1)[1] = -1e308, pivot[0].coef(1)[2] = 1e308;
  EXPECT_NE(expectSameAsOneByOne(pivot).fault.find("difference quotient"), std::string::npos);
}

}  // namespace
}  // namespace propclear
