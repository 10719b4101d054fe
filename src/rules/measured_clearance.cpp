#include "rules/measured_clearance.h"

namespace propclear {

namespace {

std::optional<MeasuredClearance> closestApproachTo(const SternAnalysis& analysis,
                                                   SternStructure structure) {
  for (const ClosestApproach& approach : analysis.closestApproaches) {
    if (approach.structure != structure) continue;
    return MeasuredClearance{approach.distance,
                             approach.overlaps ? -approach.overlapDepth : approach.distance};
  }
  return std::nullopt;
}

// b' against the named heel: the lower tip's height above it.
MeasuredClearance heightAboveHeel(const SternAnalysis& analysis, const DesignPoint& heel) {
  const double gap = analysis.clearances[clearanceBPrime].bladeZ - heel.z;
  return {gap < 0.0 ? -gap : gap, gap};
}

std::optional<MeasuredClearance> baseLineClearance(const SternAnalysis& analysis) {
  if (!analysis.baseLineClearance) return std::nullopt;
  const double height = *analysis.baseLineClearance;
  return MeasuredClearance{height < 0.0 ? -height : height, height};
}

// The shortest tip distance stands clear as far as b does.
std::optional<MeasuredClearance> tipDistance(const SternAnalysis& analysis) {
  if (!analysis.shortestTipDistance) return std::nullopt;
  const double length = analysis.shortestTipDistance->length;
  const std::optional<double>& b = analysis.signedGaps[clearanceB];
  if (!b) return MeasuredClearance{length, std::nullopt};
  return MeasuredClearance{length, *b < 0.0 ? -length : length};
}

}  // namespace

MeasuredClearances measuredClearancesOf(const ClearanceSet& clearances, const SignedGaps& gaps) {
  MeasuredClearances measured;
  for (std::size_t i = 0; i < clearances.size(); ++i) measured[i] = {clearances[i].length, gaps[i]};
  return measured;
}

MeasuredClearances measuredClearancesOf(const SternAnalysis& analysis,
                                        const std::optional<DesignPoint>& heel) {
  MeasuredClearances measured = measuredClearancesOf(analysis.clearances, analysis.signedGaps);
  const TurningLowerBlade& turning = analysis.turningLowerBlade;
  measured[clearanceAPrime] = {turning.aPrime.segment.length, turning.aPrime.signedGap};
  measured[clearanceCPrime] = {turning.cPrime.segment.length, turning.cPrime.signedGap};
  if (heel) measured[clearanceBPrime] = heightAboveHeel(analysis, *heel);
  const ClearanceSegment& bPrime = analysis.clearances[clearanceBPrime];
  measured.heel = heel.value_or(DesignPoint{bPrime.targetX, bPrime.targetZ});
  measured.heelNamed = heel.has_value();
  const auto further = [&](int index, const std::optional<MeasuredClearance>& value) {
    if (value) measured.set(index, *value);
  };
  further(judgedBaseLine, baseLineClearance(analysis));
  further(judgedTipDistance, tipDistance(analysis));
  further(judgedClosestContour, closestApproachTo(analysis, SternStructure::SternContour));
  further(judgedClosestRudder, closestApproachTo(analysis, SternStructure::RudderEdge));
  further(judgedClosestHeel, closestApproachTo(analysis, SternStructure::Heel));
  return measured;
}

const MeasuredClearance* MeasuredClearances::find(int index) const {
  if (index >= 0 && index < clearanceCount) return &(*this)[static_cast<std::size_t>(index)];
  const auto place = static_cast<std::size_t>(index - clearanceCount);
  if (index < 0 || place >= further.size() || !further[place]) return nullptr;
  return &*further[place];
}

void MeasuredClearances::set(int index, const MeasuredClearance& measured) {
  if (index < clearanceCount) {
    (*this)[static_cast<std::size_t>(index)] = measured;
  } else {
    further.at(static_cast<std::size_t>(index - clearanceCount)) = measured;
  }
}

std::optional<int> clearanceIndexNamed(std::string_view name) {
  const std::optional<int> index = judgedClearanceNamed(name);
  if (index && *index < clearanceCount) return index;
  return std::nullopt;
}

std::optional<int> judgedClearanceNamed(std::string_view name) {
  for (int index = 0; index < judgedClearanceCount; ++index) {
    if (judgedClearanceNames[static_cast<std::size_t>(index)] == name) return index;
  }
  return std::nullopt;
}

std::string_view judgedClearanceName(int index) {
  if (index < 0 || index >= judgedClearanceCount) return "?";
  return judgedClearanceNames[static_cast<std::size_t>(index)];
}

}  // namespace propclear
