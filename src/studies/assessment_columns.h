#pragma once
// The columns every study row shares after its own: each clearance in metres,
// per D and as a signed gap (negative: overlap; empty where it was measured to
// a stand-in), whether anything overlaps (also the turning blade or the
// swept volume), each rule line's required value, margin and verdict, the
// warnings, and the error of a design that could not be analysed.

#include <string>
#include <vector>

#include "studies/design_assessment.h"
#include "studies/row_builder.h"

namespace propclear {

void writeAssessmentColumns(RowBuilder& row, const DesignAssessment& assessment,
                            const std::vector<std::string>& ruleLabels);

}  // namespace propclear
