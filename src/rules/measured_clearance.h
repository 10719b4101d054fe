#pragma once
// What the rule check reads from the clearance analysis: per clearance its
// measured length and, when it was measured against real structure, its
// signed gap. Six values in the order a, b, c, a', b', c'.

#include <array>
#include <optional>
#include <string_view>

#include "clearance/clearance_segment.h"
#include "clearance/signed_gap.h"
#include "clearance/stern_analysis.h"

namespace propclear {

struct MeasuredClearance {
  double lengthMetres = 0.0;  // m, never negative
  // m: positive for a gap, negative for an overlap of blade and structure;
  // none when the clearance was measured against a fallback (a hull x of 0,
  // a root search that gave up), so that it cannot be judged.
  std::optional<double> signedGapMetres;
};

using MeasuredClearances = std::array<MeasuredClearance, clearanceCount>;

// The six clearances with their signed gaps, as the check reads them.
MeasuredClearances measuredClearancesOf(const ClearanceSet& clearances, const SignedGaps& gaps);

// The analysis's clearances as the rules judge them: a, b, c and b' as
// measured, a' and c' of the lower blade as the propeller really turns it
// (the report's legacy a' and c' follow the mirrored blade).
MeasuredClearances measuredClearancesOf(const SternAnalysis& analysis);

// The ClearanceIndex named `name` (clearanceNames, also the keys of the
// [custom_minima] table of the ship file), or none.
std::optional<int> clearanceIndexNamed(std::string_view name);

}  // namespace propclear
