#pragma once
// Several not-a-knot splines over the same knots, fitted at once: the
// blade's edge coordinates are all fitted over the station radii.
//
// The slope system of fit_curve.h depends on the knots alone; only its right
// side depends on the values. So its elimination factors and pivots are
// worked out once, and the values' part of the fit runs on all curves side
// by side, one lane each. Every operation is the one fitCurve performs, in
// its order, so every curve gets fitCurve's coefficients bit for bit.

#include <span>

#include "geometry/spline_curve.h"

namespace propclear {

// Fits each curve as fitCurve(curve, NotAKnot, NotAKnot) would: the same
// coefficients, and for an arithmetic fault the same RunError that fitting
// the curves one by one, in their order, would raise first. Curves whose
// knots are not all the same, and fits of fewer than four or more than
// sixteen knots, are fitted one by one.
void fitNotAKnotCurves(std::span<SplineCurve* const> curves);

}  // namespace propclear
