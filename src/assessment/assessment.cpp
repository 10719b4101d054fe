#include "assessment/assessment.h"

#include <algorithm>

#include "clearance/segment_support.h"
#include "common/checked_math.h"
#include "rules/measured_clearance.h"

namespace propclear {

namespace {

// What each clearance is measured to, as a clash names it.
constexpr const char* clashStructure[clearanceCount] = {"stern frame", "stern frame", "rudder",
                                                        "stern frame", "heel",        "rudder"};

const char* clashStructureOf(SternStructure structure) {
  switch (structure) {
    case SternStructure::SternContour: return "stern frame";
    case SternStructure::RudderEdge: return "rudder";
    case SternStructure::Heel: return "heel";
  }
  return "stern frame";
}

AssessedClearance assessedClearance(const SternAnalysis& analysis, ClearanceIndex which,
                                    double propellerDiameter) {
  AssessedClearance clearance;
  clearance.name = clearanceNames[static_cast<std::size_t>(which)];
  const TurningLowerBlade& turning = analysis.turningLowerBlade;
  if (which == clearanceAPrime || which == clearanceCPrime) {
    const TurningClearance& turned = which == clearanceAPrime ? turning.aPrime : turning.cPrime;
    clearance.blade = MeasuredBlade::LowerTurning;
    clearance.segment = turned.segment;
    clearance.signedGap = turned.signedGap;
  } else {
    clearance.blade = which == clearanceBPrime ? MeasuredBlade::LowerTurning : MeasuredBlade::Upper;
    clearance.segment = analysis.clearances[which];
    clearance.signedGap = analysis.signedGaps[which];
  }
  // b' keeps its heights and length, the same for either lower blade; the
  // turning blade's tip lies straight below the upper tip, where b stands.
  if (which == clearanceBPrime) {
    ClearanceSegment& segment = clearance.segment;
    segment.bladeX = segment.targetX = analysis.clearances[clearanceB].bladeX;
  }
  clearance.perDiameter =
      checkedDivide(clearance.segment.length, propellerDiameter, "a clearance as a multiple of D");
  return clearance;
}

LegacyClearance legacyClearance(const SternAnalysis& analysis, ClearanceIndex which) {
  return {clearanceNames[static_cast<std::size_t>(which)], analysis.clearances[which],
          analysis.signedGaps[which]};
}

std::vector<Clash> clashesOf(const Assessment& assessment) {
  std::vector<Clash> blade, swept;
  for (std::size_t i = 0; i < assessment.clearances.size(); ++i) {
    const AssessedClearance& clearance = assessment.clearances[i];
    if (overlaps(clearance.signedGap)) {
      blade.push_back({Clash::Cutter::Blade, clashStructure[i], std::string(clearance.name),
                       -*clearance.signedGap, {}});
    }
  }
  for (const ClosestApproach& approach : assessment.closestApproaches()) {
    if (approach.overlaps) {
      swept.push_back({Clash::Cutter::SweptVolume, clashStructureOf(approach.structure), {},
                       approach.overlapDepth, {}});
    }
  }
  const std::optional<ClosestApproach>& hub = assessment.analysis.hubApproach;
  if (hub && hub->overlaps) {
    swept.push_back({Clash::Cutter::Hub, clashStructureOf(hub->structure), {}, hub->overlapDepth, {}});
  }
  const auto deepestFirst = [](const Clash& a, const Clash& b) {
    return a.depthMetres > b.depthMetres;
  };
  std::stable_sort(blade.begin(), blade.end(), deepestFirst);
  std::stable_sort(swept.begin(), swept.end(), deepestFirst);
  blade.insert(blade.end(), swept.begin(), swept.end());
  return blade;
}

// The clearance's own status from its gap and its rule lines.
AssessmentStatus clearanceStatus(const AssessedClearance& clearance, const RuleCheck* rules) {
  if (overlaps(clearance.signedGap)) return AssessmentStatus::Clash;
  bool deciding = false, below = false;
  for (std::size_t index : clearance.ruleLines) {
    const RuleLine& line = rules->lines[index];
    if (line.informative) continue;
    deciding = true;
    below = below || line.verdict == RuleVerdict::BelowMinimum;
  }
  if (below) return AssessmentStatus::Below;
  if (!clearance.signedGap) return AssessmentStatus::NotMeasured;
  return deciding ? AssessmentStatus::Meets : AssessmentStatus::NoRules;
}

AssessmentStatus overallStatus(const Assessment& assessment) {
  if (!assessment.clashes.empty()) return AssessmentStatus::Clash;
  if (!assessment.rules) return AssessmentStatus::NoRules;
  switch (assessment.rules->overall) {
    case OverallVerdict::BelowMinimum: return AssessmentStatus::Below;
    case OverallVerdict::NotJudged: return AssessmentStatus::NotMeasured;
    case OverallVerdict::Meets: return AssessmentStatus::Meets;
    case OverallVerdict::InformativeOnly: return AssessmentStatus::NoRules;
  }
  return AssessmentStatus::NoRules;
}

// How grave a line's verdict is, for the one a clearance shows.
int gravity(RuleVerdict verdict) {
  switch (verdict) {
    case RuleVerdict::BelowMinimum: return 3;
    case RuleVerdict::NotMeasured: return 2;
    case RuleVerdict::Meets: return 1;
    case RuleVerdict::NotApplicable: return 0;
  }
  return 0;
}

// The lines on a, b, c, a', b', c' with their clearance; those on the
// further judged clearances (the base line, the shortest tip distance, the
// closest approaches) stand in the rule check alone.
void fileRuleLines(Assessment& assessment) {
  const std::vector<RuleLine>& lines = assessment.rules->lines;
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (lines[index].clearance >= clearanceCount) continue;
    AssessedClearance& clearance =
        assessment.clearances[static_cast<std::size_t>(lines[index].clearance)];
    clearance.ruleLines.push_back(index);
    if (!clearance.gravestRuleLine ||
        gravity(lines[index].verdict) > gravity(lines[*clearance.gravestRuleLine].verdict)) {
      clearance.gravestRuleLine = index;
    }
  }
}

}  // namespace

const char* statusCode(AssessmentStatus status) {
  switch (status) {
    case AssessmentStatus::Clash: return "clash";
    case AssessmentStatus::Below: return "below";
    case AssessmentStatus::NotMeasured: return "not-measured";
    case AssessmentStatus::Meets: return "meets";
    case AssessmentStatus::NoRules: return "no-rules";
  }
  return "no-rules";
}

const char* bladeName(MeasuredBlade blade) {
  return blade == MeasuredBlade::Upper ? "upper blade" : "lower blade as it turns";
}

std::string clashText(const Clash& clash) {
  const char* cutter = clash.cutter == Clash::Cutter::Blade ? "the blade"
                       : clash.cutter == Clash::Cutter::Hub ? "the hub"
                                                            : "the swept volume";
  return std::string(cutter) +
         " cuts the " + clash.structure + " by " + metresText(clash.depthMetres);
}

const AssessedClearance* Assessment::clearanceNamed(std::string_view name) const {
  for (const AssessedClearance& clearance : clearances) {
    if (clearance.name == name) return &clearance;
  }
  return nullptr;
}

Assessment assess(const DesignData& design, const AssessmentInputs& inputs) {
  SternAnalysis analysis = analyseStern(design);
  std::optional<RuleCheck> rules;
  if (inputs.ship != nullptr && !inputs.ship->ruleSets.empty()) {
    const MeasuredClearances measured = measuredClearancesOf(analysis, inputs.ship->heel);
    rules = inputs.ruleSets
                ? checkClearanceRules(inputs.ruleSets, design.propellerDiameter, measured)
                : checkClearanceRules(*inputs.ship, design.propellerDiameter, measured);
  }
  Assessment assessment =
      judgeAnalysis(std::move(analysis), design.propellerDiameter, std::move(rules));
  for (Clash& clash : assessment.clashes) {
    clash.region = clashRegionOf(clash.cutter, clash.structure, clash.clearance, design,
                                 assessment.analysis);
  }
  return assessment;
}

Assessment judgeAnalysis(SternAnalysis stern, double diameter, std::optional<RuleCheck> rules) {
  Assessment assessment;
  assessment.analysis = std::move(stern);
  const SternAnalysis& analysis = assessment.analysis;
  assessment.clearances.reserve(clearanceCount);
  for (int i = 0; i < clearanceCount; ++i) {
    assessment.clearances.push_back(
        assessedClearance(analysis, static_cast<ClearanceIndex>(i), diameter));
  }
  assessment.legacyLowerBlade = {legacyClearance(analysis, clearanceAPrime),
                                 legacyClearance(analysis, clearanceCPrime)};
  assessment.rules = std::move(rules);
  if (assessment.rules) fileRuleLines(assessment);
  const RuleCheck* check = assessment.rules ? &*assessment.rules : nullptr;
  for (AssessedClearance& clearance : assessment.clearances) {
    clearance.status = clearanceStatus(clearance, check);
  }
  assessment.clashes = clashesOf(assessment);
  assessment.status = overallStatus(assessment);
  return assessment;
}

const ClearanceSet& legacyReportRecords(const Assessment& assessment) {
  return assessment.analysis.clearances;
}

std::string overallText(const Assessment& assessment) {
  switch (assessment.status) {
    case AssessmentStatus::Clash: {
      std::string text = "CLASH \u2014 " + clashText(assessment.clashes.front());
      const std::size_t more = assessment.clashes.size() - 1;
      if (more > 0) {
        text += " (" + std::to_string(more) + (more == 1 ? " more clash)" : " more clashes)");
      }
      return text;
    }
    case AssessmentStatus::NoRules:
      if (assessment.rules) return overallVerdictText(*assessment.rules);
      return "no rules: the clearances are measured, not judged";
    default: return overallVerdictText(*assessment.rules);
  }
}

std::string clearanceStatusText(const Assessment& assessment, const AssessedClearance& clearance) {
  if (clearance.status != AssessmentStatus::NoRules || !clearance.gravestRuleLine) {
    return statusCode(clearance.status);
  }
  // Only informative lines judge it (a deciding one would have given it a
  // status): the gravest speaks for them.
  return ruleLineVerdictText(assessment.rules->lines[*clearance.gravestRuleLine]);
}

bool isFeasible(const Assessment& assessment) {
  if (!assessment.analysis.validityProblems.empty()) return false;
  if (assessment.status == AssessmentStatus::Clash ||
      assessment.status == AssessmentStatus::Below ||
      assessment.status == AssessmentStatus::NotMeasured) {
    return false;
  }
  return std::all_of(assessment.clearances.begin(), assessment.clearances.end(),
                     [](const AssessedClearance& c) { return c.signedGap && *c.signedGap > 0.0; });
}

}  // namespace propclear
