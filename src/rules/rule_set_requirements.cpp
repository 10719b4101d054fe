#include "rules/rule_set_requirements.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "common/checked_math.h"
#include "common/number_conversion.h"
#include "common/run_error.h"

namespace propclear {

namespace {

// One requirement's value and the term that gave it.
struct TermValue {
  double metres;
  std::string basis;
};

// "1.50": the factor with at least two decimals, as the sources write them.
std::string factorText(double factor) {
  char buffer[32];
  const auto result = writeShortest(buffer, buffer + sizeof buffer, factor);
  std::string digits(buffer, result.ptr);
  if (digits.find('.') == std::string::npos) digits += ".";
  const std::size_t decimals = digits.size() - digits.find('.') - 1;
  if (decimals < 2) digits.append(2 - decimals, '0');
  return digits;
}

// "1.50*K*D", "0.12*D", "0.05 m".
std::string termText(double factor, RequirementScale scale) {
  if (scale == RequirementScale::Metres) return factorText(factor) + " m";
  return factorText(factor) + "*" + scaleName(scale);
}

bool uses(const RuleSetDefinition& definition, bool (*test)(const RuleLineDefinition&)) {
  return std::any_of(definition.lines.begin(), definition.lines.end(), test);
}

bool hasBladeTable(const RuleLineDefinition& line) { return !line.factorByBlades.empty(); }
bool hasThicknessMinimum(const RuleLineDefinition& line) {
  return line.minimum && line.minimumScale == RequirementScale::RudderThickness;
}
bool dependsOnSkew(const RuleLineDefinition& line) { return line.skew.has_value(); }
bool dependsOnRudder(const RuleLineDefinition& line) { return !line.rudders.empty(); }
bool dependsOnShipType(const RuleLineDefinition& line) {
  return !line.shipTypes.empty() || !line.exceptShipTypes.empty();
}

double factorFor(const RuleLineDefinition& line, const ShipParticulars& ship) {
  if (line.factor) return *line.factor;
  return line.factorByBlades.at(ship.bladeCount.value());
}

// What `scale` is in metres for this ship: K·D, D, 1 m or tR.
double metresPer(RequirementScale scale, double factorK, double diameter,
                 const ShipParticulars& ship) {
  switch (scale) {
    case RequirementScale::FactorTimesDiameter: return factorK * diameter;
    case RequirementScale::Diameter: return diameter;
    case RequirementScale::Metres: return 1.0;
    case RequirementScale::RudderThickness: return ship.rudderThicknessMetres.value();
  }
  return diameter;
}

TermValue formulaTerm(const RuleLineDefinition& line, const ShipParticulars& ship, double factorK,
                      double diameter) {
  const double factor = factorFor(line, ship);
  return {factor * metresPer(line.scale, factorK, diameter, ship), termText(factor, line.scale)};
}

TermValue minimumTerm(const RuleLineDefinition& line, const ShipParticulars& ship, double factorK,
                      double diameter) {
  const double minimum = *line.minimum;
  if (line.minimumScale == RequirementScale::RudderThickness && minimum == 1.0) {
    return {ship.rudderThicknessMetres.value(), "tR minimum"};
  }
  return {minimum * metresPer(line.minimumScale, factorK, diameter, ship),
          termText(minimum, line.minimumScale) + " minimum"};
}

// The larger of the formula and the minimum; the formula when they are equal.
TermValue requiredValue(const RuleLineDefinition& line, const ShipParticulars& ship, double factorK,
                        double diameter) {
  const TermValue formula = formulaTerm(line, ship, factorK, diameter);
  if (!line.minimum) return formula;
  TermValue minimum = minimumTerm(line, ship, factorK, diameter);
  return minimum.metres > formula.metres ? minimum : formula;
}

bool appliesToShipType(const RuleLineDefinition& line, const std::string& shipType) {
  const auto named = [&](const std::vector<std::string>& types) {
    return std::find(types.begin(), types.end(), shipType) != types.end();
  };
  if (!line.shipTypes.empty() && !named(line.shipTypes)) return false;
  return !named(line.exceptShipTypes);
}

bool appliesToSkew(const RuleLineDefinition& line, const ShipParticulars& ship) {
  return !line.skew || ship.skew == line.skew;
}

// Why the line does not apply to the ship's rudder; none when it does or the
// ship file does not say how the rudder is hung.
std::optional<std::string> rudderExclusion(const RuleLineDefinition& line,
                                           const ShipParticulars& ship) {
  if (line.rudders.empty() || !ship.rudder) return std::nullopt;
  if (std::find(line.rudders.begin(), line.rudders.end(), *ship.rudder) != line.rudders.end()) {
    return std::nullopt;
  }
  const bool heelLine = line.clearance == clearanceBPrime || line.clearance == judgedClosestHeel;
  return std::string(rudderArrangementName(*ship.rudder)) + " rudder" +
         (heelLine ? ", no heel under the disc" : ", which the line does not cover");
}

std::vector<RuleInput> inputsOf(const RuleSetDefinition& definition, const ShipParticulars& ship,
                                double diameter) {
  std::vector<RuleInput> inputs;
  for (const ShipField field : fieldsNeeded(definition)) {
    switch (field) {
      case ShipField::RuleLength: inputs.push_back({"rule_length", "L", ship.ruleLengthMetres.value(), "m"}); break;
      case ShipField::BlockCoefficient: inputs.push_back({"block_coefficient", "Cb", ship.blockCoefficient.value(), ""}); break;
      case ShipField::Power: inputs.push_back({"power", "P", ship.shaftPowerKilowatts.value(), "kW"}); break;
      case ShipField::Blades: inputs.push_back({"blades", "Z", static_cast<double>(ship.bladeCount.value()), ""}); break;
      case ShipField::RudderThickness: inputs.push_back({"rudder_thickness", "tR", ship.rudderThicknessMetres.value(), "m"}); break;
      case ShipField::Skew: inputs.push_back({"skew", "skew", std::string(ship.skew.value() == PropellerSkew::High ? "high" : "none"), ""}); break;
      case ShipField::CustomMinima: break;
    }
  }
  if (uses(definition, dependsOnRudder)) {
    inputs.push_back({"rudder", "rudder",
                      std::string(ship.rudder ? rudderArrangementName(*ship.rudder) : "not stated"), ""});
  }
  if (uses(definition, dependsOnShipType)) {
    inputs.push_back({"ship_type", "ship type",
                      ship.shipType.empty() ? std::string("not stated") : ship.shipType, ""});
  }
  inputs.push_back({"propeller_diameter", "D", diameter, "m"});
  return inputs;
}

}  // namespace

std::vector<ShipField> fieldsNeeded(const RuleSetDefinition& definition) {
  std::vector<ShipField> fields;
  if (definition.factorFormula) {
    fields = {ShipField::RuleLength, ShipField::BlockCoefficient, ShipField::Power};
  }
  if (uses(definition, hasBladeTable)) fields.push_back(ShipField::Blades);
  if (uses(definition, hasThicknessMinimum)) fields.push_back(ShipField::RudderThickness);
  if (uses(definition, dependsOnSkew)) fields.push_back(ShipField::Skew);
  return fields;
}

void requireBladeNumberInTables(const RuleSetDefinition& definition, int bladeCount) {
  for (const RuleLineDefinition& line : definition.lines) {
    if (line.factorByBlades.empty() || line.factorByBlades.count(bladeCount) > 0) continue;
    std::string numbers;
    for (const auto& [blades, factor] : line.factorByBlades) {
      numbers += (numbers.empty() ? "" : ", ") + std::to_string(blades);
    }
    const RuleFilePlace& place = line.factorPlace;
    throw RunError(ErrorKind::Input,
                   place.key + " = " + place.value + ": no factor for Z = " +
                       std::to_string(bladeCount) + " blades (the table has " + numbers + ")",
                   ErrorLocation{place.file, place.line});
  }
}

double lrFactorK(double ruleLengthMetres, double blockCoefficient, double shaftPowerKilowatts) {
  const char* what = "the factor K of lr-recommended";
  const double lengthTerm = 0.1 + checkedDivide(ruleLengthMetres, 3050.0, what);
  const double powerTerm =
      checkedDivide(3.48 * blockCoefficient * shaftPowerKilowatts, ruleLengthMetres * ruleLengthMetres,
                    what) +
      0.3;
  return requireFinite(lengthTerm * powerTerm, what);
}

RuleSetRequirements requirementsOf(const RuleSetDefinition& definition, const ShipParticulars& ship,
                                   double propellerDiameterMetres) {
  const double d = propellerDiameterMetres;
  std::optional<double> factorK;
  if (definition.factorFormula) {
    factorK = lrFactorK(ship.ruleLengthMetres.value(), ship.blockCoefficient.value(),
                        ship.shaftPowerKilowatts.value());
  }
  if (ship.bladeCount) requireBladeNumberInTables(definition, *ship.bladeCount);

  RuleSetRequirements result;
  RuleSetSummary& summary = result.summary;
  summary.name = definition.name;
  summary.source = definition.source;
  summary.edition = definition.edition;
  summary.scope = definition.scope;
  summary.file = definition.file;
  summary.mapping = definition.mapping;
  summary.inputs = inputsOf(definition, ship, d);
  summary.factorK = factorK;
  if (factorK) summary.factorFormula = lrFactorFormulaText;
  for (const RuleLineDefinition& line : definition.lines) {
    if (!appliesToSkew(line, ship) || !appliesToShipType(line, ship.shipType)) continue;
    TermValue value = requiredValue(line, ship, factorK.value_or(0.0), d);
    if (!line.qualifier.empty()) value.basis += " (" + line.qualifier + ")";
    result.requirements.push_back({line.clearance, line.letter, value.basis, value.metres,
                                   line.informative, rudderExclusion(line, ship)});
  }
  std::stable_sort(result.requirements.begin(), result.requirements.end(),
                   [](const ClearanceRequirement& x, const ClearanceRequirement& y) {
                     return x.clearance < y.clearance;
                   });
  return result;
}

RuleSetRequirements sixClearancesOf(RuleSetRequirements requirements) {
  std::erase_if(requirements.requirements, [](const ClearanceRequirement& requirement) {
    return requirement.clearance >= clearanceCount;
  });
  return requirements;
}

}  // namespace propclear
