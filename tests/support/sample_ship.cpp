#include "sample_ship.h"

#include <cmath>

#include "rules/lr_recommended.h"

namespace propclear::test {

ShipParticulars lrShip(double ruleLength, double blockCoefficient, double power, int blades,
                       double rudderThickness) {
  ShipParticulars ship;
  ship.ruleLengthMetres = ruleLength;
  ship.blockCoefficient = blockCoefficient;
  ship.shaftPowerKilowatts = power;
  ship.bladeCount = blades;
  ship.rudderThicknessMetres = rudderThickness;
  ship.ruleSets = {lrRecommendedName};
  return ship;
}

MeasuredClearances signedGaps(double a, double b, double c, double aPrime, double bPrime,
                              double cPrime) {
  const double gaps[] = {a, b, c, aPrime, bPrime, cPrime};
  MeasuredClearances measured;
  for (std::size_t i = 0; i < measured.size(); ++i) measured[i] = {std::abs(gaps[i]), gaps[i]};
  return measured;
}

}  // namespace propclear::test
