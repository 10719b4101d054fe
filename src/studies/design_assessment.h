#pragma once
// One design of a study analysed and judged: its clearances, their gaps with
// a sign, its warnings and its rule lines, or the error that stopped its
// analysis. A failed design is an assessment too, so that a study goes on.
//
// A design is feasible when it was analysed, no blade overlaps the structure
// (every gap is positive) and every rule line that is not informative holds
// (its margin is 0 or more). Its margins are the rule lines' margins, or,
// without rules, the six gaps themselves (a required gap of 0).

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "clearance/clearance_segment.h"
#include "design/design_data.h"
#include "studies/design_edit.h"
#include "studies/study_rules.h"

namespace propclear {

struct DesignAssessment {
  bool analysed = false;
  std::string error;  // why the design could not be analysed
  ClearanceSet clearances;
  std::array<double, clearanceCount> perDiameter{};  // each length / D
  // m, with a sign: negative where blade and structure overlap.
  std::array<double, clearanceCount> gaps{};
  std::vector<std::string> warnings;
  std::vector<RuleMargin> rules;  // in the order of StudyRules::lineLabels
};

// Edits, analyses and judges one design; never throws RunError. `rules` may
// be null.
DesignAssessment assessDesign(const DesignData& fileDesign,
                              std::span<const ParameterSetting> settings, KeepMode keep,
                              const StudyRules* rules);

// One margin that decides feasibility.
struct BindingMargin {
  std::string_view name;  // "b'", or the rule line's label
  double metres = 0.0;    // none measured: treated as failing
  bool measured = true;
};

// The margins that decide feasibility, in column order; empty for a design
// that was not analysed.
std::vector<BindingMargin> bindingMargins(const DesignAssessment& assessment,
                                          const StudyRules* rules);

bool isFeasible(const DesignAssessment& assessment, const StudyRules* rules);

// The smallest binding margin (the smallest gap when no rule line binds), or
// none for a design that was not analysed.
std::optional<double> smallestMargin(const DesignAssessment& assessment, const StudyRules* rules);

}  // namespace propclear
