#pragma once
// The columns every study row shares after its own: each clearance in metres,
// per D and as a signed gap (negative: overlap; empty where it was measured to
// a stand-in), a' and c' of the lower blade as it turns; the mirrored lower
// blade's legacy a' and c' (legacy_a'_m, legacy_c'_m) as the report prints
// them; whether anything overlaps (a clash: also the swept volume); the
// overall status ("clash", "below", "not-measured", "meets", "no-rules");
// each rule line's required value, margin and verdict; the warnings; and the
// error of a design that could not be analysed.

#include <string>
#include <vector>

#include "studies/design_assessment.h"
#include "studies/row_builder.h"

namespace propclear {

void writeAssessmentColumns(RowBuilder& row, const DesignAssessment& assessment,
                            const std::vector<std::string>& ruleLabels);

}  // namespace propclear
