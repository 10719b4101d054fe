#pragma once
// The stern contour as fitted curves of horizontal position x over height z,
// knots in file order:
// - setUpContour: piecewise between break points (code 0), so that the curve
//   may turn a corner there; a piece of two points is a straight line. This
//   is the contour the drawings show.
// - fitWholeContour: one not-a-knot spline through all points, ignoring break
//   points. This is the contour the clearances are measured against.
// Without break points both curves are the same.

#include "design/design_data.h"
#include "geometry/spline_curve.h"

namespace propclear {

// Contour row `selector` fitted piecewise between break points; its knot
// count is the row's point count.
SplineCurve setUpContour(const DesignData& design, int selector);

// Contour row `selector` fitted as one curve through all its points.
SplineCurve fitWholeContour(const DesignData& design, int selector);

}  // namespace propclear
