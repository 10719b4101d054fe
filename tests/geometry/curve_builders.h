#pragma once
// Builders shared by the geometry tests: curves loaded into a workspace from
// plain lists, and stern contours in design data.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "common/run_error.h"
#include "design/design_data.h"
#include "geometry/curve_workspace.h"
#include "geometry/fit_curve.h"

namespace propclear::test {

// Knots 1..n and values 1..n in the workspace, nothing fitted yet.
inline CurveWorkspace loadCurve(std::initializer_list<double> knots,
                                std::initializer_list<double> values) {
  CurveWorkspace workspace;
  int i = 1;
  for (const double knot : knots) workspace.knot[i++] = knot;
  i = 1;
  for (const double value : values) workspace.coef[1][i++] = value;
  return workspace;
}

inline CurveWorkspace fittedCurve(std::initializer_list<double> knots,
                                  std::initializer_list<double> values) {
  CurveWorkspace workspace = loadCurve(knots, values);
  fitCurve(static_cast<int>(knots.size()), workspace.knot, workspace.coef, notAKnotEnd,
           notAKnotEnd);
  return workspace;
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
