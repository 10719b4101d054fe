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

RuleLine judge(const ClearanceRequirement& requirement, const std::string& ruleSet,
               const MeasuredClearance& measured, double diameter) {
  RuleLine line;
  line.clearance = requirement.clearance;
  line.ruleSet = ruleSet;
  line.sourceLetter = requirement.sourceLetter;
  line.basis = requirement.basis;
  line.requiredMetres = requireFinite(requirement.requiredMetres, "a required clearance");
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
std::string heelNote(const RuleLine& line, const ShipParticulars& ship,
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
  if (!ship.rudder) return "rudder arrangement not stated (rudder = ...): " + taken;
  return taken + " (no heel = { x, z } in the ship file)";
}

// The set's lines on what was measured; the set itself when it has any, or
// when it was named.
void addLines(RuleCheck& check, const RuleSetRequirements& set, const ShipParticulars& ship,
              const MeasuredClearances& measured) {
  const std::size_t before = check.lines.size();
  for (const ClearanceRequirement& requirement : set.requirements) {
    const MeasuredClearance* clearance = measured.find(requirement.clearance);
    if (clearance == nullptr) continue;
    RuleLine line = judge(requirement, set.summary.name, *clearance, check.propellerDiameterMetres);
    line.note = heelNote(line, ship, measured);
    check.lines.push_back(std::move(line));
  }
  const bool named = std::find(ship.ruleSets.begin(), ship.ruleSets.end(), set.summary.name) !=
                     ship.ruleSets.end();
  if (named || check.lines.size() > before) check.ruleSets.push_back(set.summary);
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

void addNotes(RuleCheck& check, const ShipParticulars& ship, const MeasuredClearances& measured) {
  // A propeller file's Z agrees with the ship's, so only the B-series' four
  // can differ.
  if (ship.bladeCount && *ship.bladeCount != ship.outlineBladeCount) {
    check.notes.push_back("the minima are those for Z = " + std::to_string(*ship.bladeCount) +
                          " blades, but the outline drawn and measured is the four-bladed one");
  }
  for (int index = 0; index < clearanceCount; ++index) {
    const MeasuredClearance& clearance = measured[static_cast<std::size_t>(index)];
    if (clearance.signedGapMetres && *clearance.signedGapMetres < 0.0) {
      check.notes.push_back(std::string(clearanceNames[static_cast<std::size_t>(index)]) +
                            ": the blade overlaps the structure");
    }
  }
}

}  // namespace

RuleCheck checkClearanceRules(const ShipParticulars& ship, double propellerDiameterMetres,
                              const MeasuredClearances& measured) {
  requireUsableDiameter(propellerDiameterMetres);
  RuleCheck check;
  check.shipName = ship.name;
  check.shipSource = ship.sourceName;
  check.propellerDiameterMetres = propellerDiameterMetres;
  for (const std::string& name : ship.ruleSets) {
    if (!isKnownRuleSet(name, ship.ruleFiles)) {
      throw RunError(ErrorKind::Input, "unknown rule set \"" + name + "\"; known: " +
                                           ruleSetNameList(ship.ruleFiles), ErrorLocation{ship.sourceName});
    }
    addLines(check, ruleSetRequirements(name, ship, propellerDiameterMetres), ship, measured);
  }
  for (const RuleSetDefinition* always : alwaysCheckedRuleSets(ship.ruleFiles)) {
    addLines(check, requirementsOf(*always, ship, propellerDiameterMetres), ship, measured);
  }
  countVerdicts(check);
  addNotes(check, ship, measured);
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
