#include "studies/assessment_columns.h"

namespace propclear {

namespace {

void writeClearances(RowBuilder& row, const DesignAssessment& assessment) {
  for (int k = 0; k < clearanceCount; ++k) {
    const std::string name(clearanceNames[k]);
    if (assessment.analysed) {
      row.number(name + "_m", assessment.clearances[k].length);
      row.number(name + "_per_D", assessment.perDiameter[k]);
    } else {
      row.missing(name + "_m");
      row.missing(name + "_per_D");
    }
    if (assessment.analysed && assessment.gaps[k]) {
      row.number(name + "_gap_m", *assessment.gaps[k]);
    } else {
      row.missing(name + "_gap_m");
    }
  }
}

// The mirrored lower blade's a' and c', as the report prints them.
void writeLegacyClearances(RowBuilder& row, const DesignAssessment& assessment) {
  const char* const names[] = {"legacy_a'_m", "legacy_c'_m"};
  for (std::size_t k = 0; k < assessment.legacyLengths.size(); ++k) {
    if (assessment.analysed) {
      row.number(names[k], assessment.legacyLengths[k]);
    } else {
      row.missing(names[k]);
    }
  }
}

void writeRuleLines(RowBuilder& row, const DesignAssessment& assessment,
                    const std::vector<std::string>& ruleLabels) {
  for (std::size_t line = 0; line < ruleLabels.size(); ++line) {
    const std::string& label = ruleLabels[line];
    // A design judged by no rules (a batch file without a ship file) has no margins.
    const RuleMargin* rule = assessment.analysed && line < assessment.rules.size() &&
                                     assessment.rules[line].applies
                                 ? &assessment.rules[line]
                                 : nullptr;
    if (rule != nullptr) {
      row.number(label + " required_m", rule->requiredMetres);
    } else {
      row.missing(label + " required_m");
    }
    if (rule != nullptr && rule->marginMetres) {
      row.number(label + " margin_m", *rule->marginMetres);
    } else {
      row.missing(label + " margin_m");
    }
    if (rule != nullptr) {
      row.text(label + " verdict", rule->verdict);
    } else {
      row.missing(label + " verdict");
    }
  }
}

}  // namespace

void writeAssessmentColumns(RowBuilder& row, const DesignAssessment& assessment,
                            const std::vector<std::string>& ruleLabels) {
  writeClearances(row, assessment);
  writeLegacyClearances(row, assessment);
  if (assessment.analysed) {
    row.flag("overlaps", assessment.overlaps);
    row.text("status", statusCode(assessment.status));
  } else {
    row.missing("overlaps");
    row.missing("status");
  }
  writeRuleLines(row, assessment, ruleLabels);
  row.texts("invalid", assessment.invalid);
  row.texts("warnings", assessment.warnings);
  if (assessment.analysed) {
    row.missing("error");
  } else {
    row.text("error", assessment.error);
  }
}

}  // namespace propclear
