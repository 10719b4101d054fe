#pragma once
// Builders shared by the geometry tests: curves from plain lists, and stern
// contours in design data.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "common/run_error.h"
#include "design/design_data.h"
#include "geometry/evaluate_curve.h"
#include "geometry/fit_curve.h"
#include "geometry/spline_curve.h"

namespace propclear::test {

// Knots and values of a curve, nothing fitted yet.
inline SplineCurve loadCurve(std::initializer_list<double> knots,
                             std::initializer_list<double> values) {
  SplineCurve curve(static_cast<int>(knots.size()));
  int i = 1;
  for (const double knot : knots) curve.knots()[i++] = knot;
  i = 1;
  for (const double value : values) curve.coef(1)[i++] = value;
  return curve;
}

inline SplineCurve fittedCurve(std::initializer_list<double> knots,
                               std::initializer_list<double> values) {
  SplineCurve curve = loadCurve(knots, values);
  fitCurve(curve, EndCondition::NotAKnot, EndCondition::NotAKnot);
  return curve;
}

// The curve's value at t, or 0 where it has none.
inline double valueAt(const SplineCurve& curve, double t) {
  double y = 0.0;
  evaluateCurve(curve, t, y);
  return y;
}

struct ContourPoint {
  double z = 0.0;
  double x = 0.0;
  double code = 1.0;
};

// The stern contour (row 1) of otherwise empty design data.
inline DesignData contourDesign(std::initializer_list<ContourPoint> points) {
  DesignData design;
  int k = 0;
  for (const ContourPoint& point : points) {
    ++k;
    design.contourZ[sternContourRow][k] = point.z;
    design.contourX[sternContourRow][k] = point.x;
    design.contourCode[sternContourRow][k] = point.code;
  }
  design.contourPointCount[sternContourRow] = k;
  return design;
}

// Runs `action` and checks that it ends in an arithmetic fault whose message
// contains `named`.
template <typename Action>
void expectArithmeticFault(Action action, const std::string& named) {
  try {
    action();
    ADD_FAILURE() << "no arithmetic fault; expected one naming \"" << named << "\"";
  } catch (const RunError& error) {
    EXPECT_EQ(error.kind(), ErrorKind::Arithmetic) << error.what();
    EXPECT_NE(std::string(error.what()).find(named), std::string::npos) << error.what();
  }
}

}  // namespace propclear::test
