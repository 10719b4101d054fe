#include "rules/measured_clearance.h"

namespace propclear {

MeasuredClearances measuredClearancesOf(const ClearanceSet& clearances, const SignedGaps& gaps) {
  MeasuredClearances measured;
  for (std::size_t i = 0; i < measured.size(); ++i) measured[i] = {clearances[i].length, gaps[i]};
  return measured;
}

MeasuredClearances measuredClearancesOf(const SternAnalysis& analysis) {
  MeasuredClearances measured = measuredClearancesOf(analysis.clearances, analysis.signedGaps);
  const TurningLowerBlade& turning = analysis.turningLowerBlade;
  measured[clearanceAPrime] = {turning.aPrime.segment.length, turning.aPrime.signedGap};
  measured[clearanceCPrime] = {turning.cPrime.segment.length, turning.cPrime.signedGap};
  return measured;
}

std::optional<int> clearanceIndexNamed(std::string_view name) {
  for (int index = 0; index < clearanceCount; ++index) {
    if (clearanceNames[static_cast<std::size_t>(index)] == name) return index;
  }
  return std::nullopt;
}

}  // namespace propclear
