#pragma once
// What the rule check reads from the clearance analysis: per judged
// clearance its measured length and, when it was measured against real
// structure, its signed gap. The six clearances a, b, c, a', b', c' first,
// then the lower tip's height above the base line, the shortest distance from
// the upper tip to the contour above, and the swept volume's closest approach
// to the stern contour, the rudder's leading edge and the heel.

#include <array>
#include <optional>
#include <string_view>

#include "clearance/clearance_segment.h"
#include "clearance/signed_gap.h"
#include "clearance/stern_analysis.h"
#include "rules/stern_arrangement.h"

namespace propclear {

// The clearances a rule line may judge: ClearanceIndex, then these.
enum JudgedClearance : int {
  judgedBaseLine = clearanceCount,  // "tip-to-base-line"
  judgedTipDistance,                // "tip-to-contour"
  judgedClosestContour,             // "closest-contour"
  judgedClosestRudder,              // "closest-rudder"
  judgedClosestHeel,                // "closest-heel"
};
inline constexpr int judgedClearanceCount = judgedClosestHeel + 1;

// The judged clearances' names, as rule files and the outputs give them.
inline constexpr std::array<std::string_view, judgedClearanceCount> judgedClearanceNames = {
    "a", "b", "c", "a'", "b'", "c'", "tip-to-base-line", "tip-to-contour",
    "closest-contour", "closest-rudder", "closest-heel"};

struct MeasuredClearance {
  double lengthMetres = 0.0;  // m, never negative
  // m: positive for a gap, negative for an overlap of blade and structure;
  // none when the clearance was measured against a fallback (a hull x of 0,
  // a root search that gave up) or not at all, so that it cannot be judged.
  std::optional<double> signedGapMetres;
};

// a, b, c, a', b', c' by ClearanceIndex, and the further judged clearances,
// each none where the analysis did not measure it (a rule line on it is
// then left out).
struct MeasuredClearances : std::array<MeasuredClearance, clearanceCount> {
  std::array<std::optional<MeasuredClearance>, judgedClearanceCount - clearanceCount> further;
  // The heel b' was measured down to: the ship file's heel, or the first
  // stern contour point's height; none when not known.
  std::optional<DesignPoint> heel;
  bool heelNamed = false;  // the ship file names the heel

  // The measurement of judged clearance `index`; nullptr where there is none.
  const MeasuredClearance* find(int index) const;
  void set(int index, const MeasuredClearance& measured);
};

// The six clearances with their signed gaps, as the check reads them.
MeasuredClearances measuredClearancesOf(const ClearanceSet& clearances, const SignedGaps& gaps);

// The analysis's clearances as the rules judge them: a, b, c and b' as
// measured, a' and c' of the lower blade as the propeller really turns it
// (the report's legacy a' and c' follow the mirrored blade), and the others. With
// `heel` (a sole piece's heel the ship file names), b' is the lower tip's
// height above the heel instead of above the first contour point.
MeasuredClearances measuredClearancesOf(const SternAnalysis& analysis,
                                        const std::optional<DesignPoint>& heel = std::nullopt);

// The ClearanceIndex named `name` (clearanceNames, also the keys of the
// [custom_minima] table of the ship file), or none.
std::optional<int> clearanceIndexNamed(std::string_view name);

// The JudgedClearance named `name` (judgedClearanceNames), or none.
std::optional<int> judgedClearanceNamed(std::string_view name);

// The name of judged clearance `index`.
std::string_view judgedClearanceName(int index);

}  // namespace propclear
