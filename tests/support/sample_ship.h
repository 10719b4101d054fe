#pragma once
// Ships and measured clearances for the rule check's tests.

#include "rules/measured_clearance.h"
#include "rules/ship_particulars.h"

namespace propclear::test {

// A ship checked against "lr-recommended" alone.
ShipParticulars lrShip(double ruleLength, double blockCoefficient, double power, int blades,
                       double rudderThickness);

// The six clearances a, b, c, a', b', c' measured with these signed gaps
// (negative: an overlap); the lengths are their sizes.
MeasuredClearances signedGaps(double a, double b, double c, double aPrime, double bPrime,
                              double cPrime);

}  // namespace propclear::test
