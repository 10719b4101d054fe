#pragma once
// One design of a study analysed and judged: its clearances, their gaps with
// a sign, its warnings and its rule lines, or the error that stopped its
// analysis. A failed design is an assessment too, so that a study goes on.
//
// A design is feasible when it was analysed, it is valid (none of the
// problems of design_validity.h), nothing overlaps (no clearance,
// no clearance of the turning lower blade, and no part of the volume the
// turning propeller sweeps: the analysis's own verdict), each of the six
// clearances was measured to the structure itself (not to a stand-in) with a
// positive gap, and every rule line that is not informative holds (its margin
// is 0 or more). Its margins are the rule lines' margins, or, without rules,
// the six signed gaps, those of the turning lower blade and the swept volume's
// closest approach to each structure (negative by as deep as it cuts it).

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "assessment/assessment.h"
#include "clearance/clearance_segment.h"
#include "clearance/signed_gap.h"
#include "design/design_data.h"
#include "studies/design_edit.h"
#include "studies/study_rules.h"

namespace propclear {

// One margin that decides feasibility.
struct BindingMargin {
  std::string_view name;  // "b'", "swept volume to the heel", or a rule line's label
  double metres = 0.0;
  bool measured = true;  // false: no margin, which fails
};

struct DesignAssessment {
  bool analysed = false;
  std::string error;  // why the design could not be analysed
  ClearanceSet clearances;
  std::array<double, clearanceCount> perDiameter{};  // each length / D
  SignedGaps gaps;  // m; negative: overlap; none: measured to a stand-in
  // The mirrored lower blade's a' and c' (m), as the report prints them.
  std::array<double, 2> legacyLengths{};
  bool overlaps = false;  // a clash: anything overlaps, as the assessment judges it
  AssessmentStatus status = AssessmentStatus::NoRules;
  // The turning lower blade's a' and c' and the swept volume's approaches.
  std::vector<BindingMargin> structureMargins;
  std::vector<std::string> warnings;
  std::vector<std::string> invalid;  // why the design is meaningless; empty: valid
  std::vector<RuleMargin> rules;  // in the order of StudyRules::lineLabels
};

// Edits (in `workspace`, a copy of `fileDesign`; editDesignInPlace),
// analyses and judges one design; never throws RunError. `rules` may be null.
DesignAssessment assessDesign(DesignData& workspace, const DesignData& fileDesign,
                              std::span<const ParameterSetting> settings, KeepMode keep,
                              const StudyRules* rules);

// The design as it stands: a batch's file, not edited.
DesignAssessment assessDesign(const DesignData& design, const StudyRules* rules);


// The margins that decide feasibility, in column order; empty for a design
// that was not analysed.
std::vector<BindingMargin> bindingMargins(const DesignAssessment& assessment,
                                          const StudyRules* rules);

bool isFeasible(const DesignAssessment& assessment, const StudyRules* rules);

// The margin that fails first: one that was not measured, else the
// smallest; nullptr for none.
const BindingMargin* failingMargin(const std::vector<BindingMargin>& margins);

// The smallest binding margin that was measured (the smallest gap when no
// rule line binds), or none.
std::optional<double> smallestMargin(const DesignAssessment& assessment, const StudyRules* rules);

}  // namespace propclear
