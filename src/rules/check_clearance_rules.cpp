#include "rules/check_clearance_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "common/number_conversion.h"
#include "common/run_error.h"
#include "rules/rule_set_catalogue.h"

namespace propclear {

namespace {

void requireUsableDiameter(double diameter) {
  if (std::isfinite(diameter) && diameter > 0.0) return;
  std::string text = "not a number";
  if (std::isfinite(diameter)) {
    char buffer[32];
    text.assign(buffer, writeShortest(buffer, buffer + sizeof buffer, diameter).ptr);
  }
  throw RunError(ErrorKind::Input, "cannot check the clearance rules: the propeller diameter D = " +
                                       text + " m must be greater than 0");
}

double perDiameter(double metres, double diameter) {
  return checkedDivide(metres, diameter, "a clearance rule value as a multiple of D");
}

RuleLine judge(const PreparedRequirement& requirement, const RequiredValue& required,
               const std::string& ruleSet, const MeasuredClearance& measured, double diameter) {
  RuleLine line;
  line.clearance = requirement.clearance;
  line.ruleSet = ruleSet;
  line.sourceLetter = requirement.sourceLetter;
  line.basis = required.term->basis;
  line.requiredMetres = requireFinite(required.metres, "a required clearance");
  line.requiredPerDiameter = perDiameter(line.requiredMetres, diameter);
  line.lengthMetres = measured.lengthMetres;
  line.informative = requirement.informative;
  if (requirement.notApplicable) {
    line.verdict = RuleVerdict::NotApplicable;
    line.reason = *requirement.notApplicable;
    line.informative = true;  // it decides nothing
    return line;
  }
  if (!measured.signedGapMetres) {
    line.verdict = RuleVerdict::NotMeasured;
    return line;
  }
  const double gap = requireFinite(*measured.signedGapMetres, "a measured clearance");
  line.measuredMetres = gap;
  line.measuredPerDiameter = perDiameter(gap, diameter);
  line.marginMetres = gap - line.requiredMetres;
  line.marginPercent =
      100.0 * checkedDivide(*line.marginMetres, line.requiredMetres, "a clearance margin in %");
  line.overlap = gap < 0.0;
  line.verdict = !line.overlap && gap >= line.requiredMetres ? RuleVerdict::Meets
                                                             : RuleVerdict::BelowMinimum;
  return line;
}

// Which heel b' was judged against, where the ship file leaves a doubt: it
// names no heel, or does not say how the rudder is hung.
std::string heelNote(const RuleLine& line, const ShipRuleSets& rules,
                     const MeasuredClearances& measured) {
  if (line.clearance != clearanceBPrime || line.verdict == RuleVerdict::NotApplicable ||
      !measured.heel) {
    return "";
  }
  const std::string height = "z = " + formatRounded(measured.heel->z, 3) + " m";
  if (measured.heelNamed) {
    return "the heel the ship file names, x = " + formatRounded(measured.heel->x, 3) + " m, " +
           height;
  }
  const std::string taken = "the heel taken at the first stern contour point's height, " + height;
  if (!rules.rudderStated) return "rudder arrangement not stated (rudder = ...): " + taken;
  return taken + " (no heel = { x, z } in the ship file)";
}

// The set's lines on what was measured; the set itself when it has any, or
// when it was named.
void addLines(RuleCheck& check, const ShipRuleSets::Set& set, const ShipRuleSets& rules,
              const MeasuredClearances& measured) {
  const std::size_t before = check.lines.size();
  const double diameter = check.propellerDiameterMetres;
  for (const PreparedRequirement& requirement : set.prepared.requirements) {
    const RequiredValue required = requiredValueAt(set.prepared, requirement, diameter);
    const MeasuredClearance* clearance = measured.find(requirement.clearance);
    if (clearance == nullptr) continue;
    RuleLine line = judge(requirement, required, set.prepared.summary.name, *clearance, diameter);
    line.note = heelNote(line, rules, measured);
    check.lines.push_back(std::move(line));
  }
  if (set.named || check.lines.size() > before) check.ruleSets.push_back(&set.prepared.summary);
}

void countVerdicts(RuleCheck& check) {
  for (const RuleLine& line : check.lines) {
    if (line.informative || line.verdict == RuleVerdict::NotApplicable) continue;
    ++check.bindingLines;
    if (line.verdict == RuleVerdict::BelowMinimum) ++check.linesBelow;
    if (line.verdict == RuleVerdict::NotMeasured) ++check.linesNotMeasured;
  }
  if (check.bindingLines == 0) {
    check.overall = OverallVerdict::InformativeOnly;
  } else if (check.linesBelow > 0) {
    check.overall = OverallVerdict::BelowMinimum;
  } else if (check.linesNotMeasured > 0) {
    check.overall = OverallVerdict::NotJudged;
  } else {
    check.overall = OverallVerdict::Meets;
  }
}

void addNotes(RuleCheck& check, const ShipRuleSets& rules, const MeasuredClearances& measured) {
  if (rules.bladeCountNote) check.notes.push_back(*rules.bladeCountNote);
  for (int index = 0; index < clearanceCount; ++index) {
    const MeasuredClearance& clearance = measured[static_cast<std::size_t>(index)];
    if (clearance.signedGapMetres && *clearance.signedGapMetres < 0.0) {
      check.notes.push_back(std::string(clearanceNames[static_cast<std::size_t>(index)]) +
                            ": the blade overlaps the structure");
    }
  }
}

// The set `name` of ship.ruleSets, or what stops it.
ShipRuleSets::Set namedSet(const std::string& name, const ShipParticulars& ship) {
  if (!isKnownRuleSet(name, ship.ruleFiles)) {
    throw RunError(ErrorKind::Input, "unknown rule set \"" + name + "\"; known: " +
                                         ruleSetNameList(ship.ruleFiles), ErrorLocation{ship.sourceName});
  }
  return {prepareRuleSet(name, ship), true, {}};
}

bool namedByShip(const ShipParticulars& ship, const std::string& name) {
  return std::find(ship.ruleSets.begin(), ship.ruleSets.end(), name) != ship.ruleSets.end();
}

// The sets in check order, up to and with the first that cannot be worked out.
void prepareSets(ShipRuleSets& rules, const ShipParticulars& ship) {
  try {
    for (const std::string& name : ship.ruleSets) rules.sets.push_back(namedSet(name, ship));
    for (const RuleSetDefinition* always : alwaysCheckedRuleSets(ship.ruleFiles)) {
      rules.sets.push_back({prepareRequirements(*always, ship), namedByShip(ship, always->name), {}});
    }
  } catch (...) {
    rules.sets.push_back({{}, false, std::current_exception()});
  }
}

}  // namespace

std::shared_ptr<const ShipRuleSets> prepareShipRuleSets(const ShipParticulars& ship) {
  auto rules = std::make_shared<ShipRuleSets>();
  rules->shipName = ship.name;
  rules->shipSource = ship.sourceName;
  rules->rudderStated = ship.rudder.has_value();
  // A propeller file's Z agrees with the ship's, so only the B-series' four
  // can differ.
  if (ship.bladeCount && *ship.bladeCount != ship.outlineBladeCount) {
    rules->bladeCountNote = "the minima are those for Z = " + std::to_string(*ship.bladeCount) +
                            " blades, but the outline drawn and measured is the four-bladed one";
  }
  prepareSets(*rules, ship);
  for (const ShipRuleSets::Set& set : rules->sets) rules->lineCount += set.prepared.requirements.size();
  return rules;
}

RuleCheck checkClearanceRules(const ShipParticulars& ship, double propellerDiameterMetres,
                              const MeasuredClearances& measured) {
  return checkClearanceRules(prepareShipRuleSets(ship), propellerDiameterMetres, measured);
}

RuleCheck checkClearanceRules(const std::shared_ptr<const ShipRuleSets>& ruleSets,
                              double propellerDiameterMetres, const MeasuredClearances& measured) {
  requireUsableDiameter(propellerDiameterMetres);
  const ShipRuleSets& rules = *ruleSets;
  RuleCheck check;
  check.shipName = rules.shipName;
  check.shipSource = rules.shipSource;
  check.propellerDiameterMetres = propellerDiameterMetres;
  check.ruleSetSource = ruleSets;
  check.lines.reserve(rules.lineCount);
  check.ruleSets.reserve(rules.sets.size());
  for (const ShipRuleSets::Set& set : rules.sets) {
    if (set.fault) std::rethrow_exception(set.fault);
    addLines(check, set, rules, measured);
  }
  countVerdicts(check);
  addNotes(check, rules, measured);
  return check;
}

bool failsStrictCheck(const RuleCheck& check) {
  return check.linesBelow > 0 || check.linesNotMeasured > 0;
}

const char* verdictText(RuleVerdict verdict) {
  switch (verdict) {
    case RuleVerdict::Meets: return "meets";
    case RuleVerdict::BelowMinimum: return "below the recommended minimum";
    case RuleVerdict::NotMeasured: return "not measured";
    case RuleVerdict::NotApplicable: return "not applicable";
  }
  return "not measured";
}

std::string verdictWithReason(const RuleLine& line) {
  std::string text = verdictText(line.verdict);
  if (!line.reason.empty()) text += " \u2014 " + line.reason;
  return text;
}

std::string ruleLineVerdictText(const RuleLine& line) {
  std::string text = verdictWithReason(line);
  if (line.overlap) text += " (overlap)";
  if (line.informative && line.verdict != RuleVerdict::NotApplicable) text += " (informative)";
  return text;
}

std::string overallVerdictText(const RuleCheck& check) {
  const std::string of = " of " + std::to_string(check.bindingLines) +
                         (check.bindingLines == 1 ? " line" : " lines");
  switch (check.overall) {
    case OverallVerdict::Meets:
      return "meets every recommended minimum (" + std::to_string(check.bindingLines) +
             (check.bindingLines == 1 ? " line)" : " lines)");
    case OverallVerdict::BelowMinimum:
      return "below the recommended minimum on " + std::to_string(check.linesBelow) + of +
             (check.linesNotMeasured > 0
                  ? ", " + std::to_string(check.linesNotMeasured) + " not measured"
                  : "");
    case OverallVerdict::NotJudged:
      return "not judged: " + std::to_string(check.linesNotMeasured) + of + " not measured";
    case OverallVerdict::InformativeOnly: return "no verdict: the rule sets chosen are informative";
  }
  return "no verdict";
}

}  // namespace propclear
