#include "rules/rule_set_requirements.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "common/checked_math.h"
#include "common/number_conversion.h"
#include "common/run_error.h"

namespace propclear {

namespace {

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
                 const std::optional<double>& rudderThicknessMetres) {
  switch (scale) {
    case RequirementScale::FactorTimesDiameter: return factorK * diameter;
    case RequirementScale::Diameter: return diameter;
    case RequirementScale::Metres: return 1.0;
    case RequirementScale::RudderThickness: return rudderThicknessMetres.value();
  }
  return diameter;
}

RequirementTerm formulaTerm(const RuleLineDefinition& line, const ShipParticulars& ship) {
  const double factor = factorFor(line, ship);
  return {factor, line.scale, termText(factor, line.scale)};
}

// A minimum of once the rudder's thickness is written "tR minimum".
RequirementTerm minimumTerm(const RuleLineDefinition& line) {
  const double minimum = *line.minimum;
  if (line.minimumScale == RequirementScale::RudderThickness && minimum == 1.0) {
    return {1.0, RequirementScale::RudderThickness, "tR minimum"};
  }
  return {minimum, line.minimumScale, termText(minimum, line.minimumScale) + " minimum"};
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

// The ship's values the set reads; the design's D follows them.
std::vector<RuleInput> inputsOf(const RuleSetDefinition& definition, const ShipParticulars& ship) {
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

PreparedRuleSet prepareRequirements(const RuleSetDefinition& definition, const ShipParticulars& ship) {
  std::optional<double> factorK;
  if (definition.factorFormula) {
    factorK = lrFactorK(ship.ruleLengthMetres.value(), ship.blockCoefficient.value(),
                        ship.shaftPowerKilowatts.value());
  }
  if (ship.bladeCount) requireBladeNumberInTables(definition, *ship.bladeCount);

  PreparedRuleSet result;
  RuleSetSummary& summary = result.summary;
  summary.name = definition.name;
  summary.source = definition.source;
  summary.edition = definition.edition;
  summary.scope = definition.scope;
  summary.file = definition.file;
  summary.mapping = definition.mapping;
  summary.inputs = inputsOf(definition, ship);
  summary.diameterInput = summary.inputs.size();
  summary.factorK = factorK;
  if (factorK) summary.factorFormula = lrFactorFormulaText;
  result.rudderThicknessMetres = ship.rudderThicknessMetres;
  result.requirements.reserve(definition.lines.size());
  for (const RuleLineDefinition& line : definition.lines) {
    if (!appliesToSkew(line, ship) || !appliesToShipType(line, ship.shipType)) continue;
    PreparedRequirement requirement{line.clearance, line.letter, formulaTerm(line, ship), {},
                                    line.informative, rudderExclusion(line, ship)};
    if (line.minimum) requirement.minimum = minimumTerm(line);
    if (!line.qualifier.empty()) {
      const std::string qualifier = " (" + line.qualifier + ")";
      requirement.formula.basis += qualifier;
      if (requirement.minimum) requirement.minimum->basis += qualifier;
    }
    result.requirements.push_back(std::move(requirement));
  }
  const auto inClearanceOrder = [](const PreparedRequirement& x, const PreparedRequirement& y) {
    return x.clearance < y.clearance;
  };
  // Most rule files list their lines in clearance order already.
  if (!std::is_sorted(result.requirements.begin(), result.requirements.end(), inClearanceOrder)) {
    std::stable_sort(result.requirements.begin(), result.requirements.end(), inClearanceOrder);
  }
  return result;
}

RequiredValue requiredValueAt(const PreparedRuleSet& set, const PreparedRequirement& requirement,
                              double propellerDiameterMetres) {
  const double factorK = set.summary.factorK.value_or(0.0);
  const auto metresOf = [&](const RequirementTerm& term) {
    return term.factor *
           metresPer(term.scale, factorK, propellerDiameterMetres, set.rudderThicknessMetres);
  };
  const RequiredValue formula{metresOf(requirement.formula), &requirement.formula};
  if (!requirement.minimum) return formula;
  const RequiredValue minimum{metresOf(*requirement.minimum), &*requirement.minimum};
  return minimum.metres > formula.metres ? minimum : formula;
}

RuleSetRequirements requirementsAt(const PreparedRuleSet& set, double propellerDiameterMetres) {
  RuleSetRequirements result;
  result.summary = set.summary;
  for (const PreparedRequirement& requirement : set.requirements) {
    const RequiredValue value = requiredValueAt(set, requirement, propellerDiameterMetres);
    result.requirements.push_back({requirement.clearance, requirement.sourceLetter,
                                   value.term->basis, value.metres, requirement.informative,
                                   requirement.notApplicable});
  }
  return result;
}

RuleSetRequirements requirementsOf(const RuleSetDefinition& definition, const ShipParticulars& ship,
                                   double propellerDiameterMetres) {
  return requirementsAt(prepareRequirements(definition, ship), propellerDiameterMetres);
}

std::vector<RuleInput> inputsWithDiameter(const RuleSetSummary& set, double propellerDiameterMetres) {
  std::vector<RuleInput> inputs = set.inputs;
  const std::size_t at = std::min(set.diameterInput, inputs.size());
  inputs.insert(inputs.begin() + static_cast<std::ptrdiff_t>(at),
                RuleInput{"propeller_diameter", "D", propellerDiameterMetres, "m"});
  return inputs;
}

RuleSetRequirements sixClearancesOf(RuleSetRequirements requirements) {
  std::erase_if(requirements.requirements, [](const ClearanceRequirement& requirement) {
    return requirement.clearance >= clearanceCount;
  });
  return requirements;
}

}  // namespace propclear
