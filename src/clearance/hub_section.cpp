#include "clearance/hub_section.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "clearance/structure_strands.h"
#include "common/checked_math.h"
#include "geometry/minimise_on_interval.h"

namespace propclear {

namespace {

// Samples along each strand of the contour before the refinement: the
// distance to a rectangle changes by no more than the arc between samples,
// and a stern contour of some metres bends little over a few centimetres.
constexpr int hubScanIntervals = 512;
// Where along a strand the minimum is refined to, m.
constexpr double hubTolerance = 1e-7;
constexpr const char* hubWhat = "the hub's closest approach";

struct StrandMinimum {
  const Strand* strand = nullptr;
  double t = 0.0;
  double value = std::numeric_limits<double>::infinity();
};

double signedDistanceAlong(const HubSection& hub, const Strand& strand, double axisZ, double t) {
  return hub.distanceFrom({strand.xAt(t), std::abs(strand.zAt(t) - axisZ)}).signedDistance;
}

// The lowest scan sample of the strand, then Brent's search between its
// neighbours: the distance to a convex rectangle along a smooth strand has
// one basin near the lowest sample.
StrandMinimum lowestAlong(const HubSection& hub, const Strand& strand, double axisZ) {
  const auto f = [&](double t) { return signedDistanceAlong(hub, strand, axisZ, t); };
  const double step = checkedDivide(strand.to - strand.from, hubScanIntervals, hubWhat);
  StrandMinimum best{&strand, strand.from, f(strand.from)};
  if (!(step > 0.0)) return best;
  int lowest = 0;
  for (int k = 1; k <= hubScanIntervals; ++k) {
    const double value = f(strand.from + step * k);
    if (value < best.value) {
      best.value = value;
      lowest = k;
    }
  }
  const double from = strand.from + step * std::max(lowest - 1, 0);
  const double to = std::min(strand.from + step * (lowest + 1), strand.to);
  const IntervalMinimum refined = minimiseOnInterval(f, from, to, hubTolerance);
  best.t = strand.from + step * lowest;
  if (refined.value < best.value) {
    best.t = refined.at;
    best.value = refined.value;
  }
  return best;
}

}  // namespace

SectionDistance HubSection::distanceFrom(MeridionalPoint p) const {
  const double outsideX = std::max({lowX - p.x, 0.0, p.x - highX});
  const double outsideR = std::max(p.r - radius, 0.0);
  SectionDistance result;
  result.nearest = {std::clamp(p.x, lowX, highX), std::min(p.r, radius)};
  if (outsideX > 0.0 || outsideR > 0.0) {
    result.signedDistance = std::sqrt(outsideX * outsideX + outsideR * outsideR);
    return result;
  }
  const double toFace = std::min(p.x - lowX, highX - p.x), toMantle = radius - p.r;
  result.signedDistance = -std::min(toFace, toMantle);
  result.nearest = toMantle <= toFace ? MeridionalPoint{p.x, radius}
                                      : MeridionalPoint{p.x - lowX <= highX - p.x ? lowX : highX,
                                                        p.r};
  return result;
}

std::optional<HubSection> hubSectionOf(const DesignData& design) {
  if (!design.propeller || !design.propeller->hubLengthMetres) return std::nullopt;
  const double halfLength = checkedDivide(hubLength(design), 2.0, "the hub");
  return HubSection{design.propellerCentreX - halfLength, design.propellerCentreX + halfLength,
                    checkedDivide(design.hubDiameter, 2.0, "the hub")};
}

std::optional<ClosestApproach> hubApproach(const DesignData& design, const HubSection& hub,
                                           double tipRadius, const SplineCurve& hullCurve) {
  const double axisZ = design.propellerCentreZ;
  const std::vector<Strand> strands = contourStrands(hullCurve, axisZ);
  StrandMinimum best;
  for (const Strand& strand : strands) {
    const StrandMinimum lowest = lowestAlong(hub, strand, axisZ);
    if (lowest.value < best.value) best = lowest;
  }
  if (best.strand == nullptr) return std::nullopt;
  ClosestApproach approach;
  approach.structure = SternStructure::SternContour;
  approach.sweptPart = SweptPart::Hub;
  approach.structureX = best.strand->xAt(best.t);
  approach.structureZ = best.strand->zAt(best.t);
  approach.aboveShaft = approach.structureZ >= axisZ;
  const MeridionalPoint p{approach.structureX, std::abs(approach.structureZ - axisZ)};
  const SectionDistance toHub = hub.distanceFrom(p);
  const double signedDistance = requireFinite(toHub.signedDistance, hubWhat);
  approach.overlaps = signedDistance < 0.0;
  approach.distance = std::max(signedDistance, 0.0);
  approach.overlapDepth = std::max(-signedDistance, 0.0);
  approach.distancePerDiameter = checkedDivide(approach.distance, design.propellerDiameter, hubWhat);
  const MeridionalPoint nearest = approach.overlaps ? p : toHub.nearest;
  approach.sweptX = nearest.x;
  approach.sweptZ = approach.aboveShaft ? axisZ + nearest.r : axisZ - nearest.r;
  approach.radiusRatio = checkedDivide(nearest.r, tipRadius, hubWhat);
  return approach;
}

}  // namespace propclear
