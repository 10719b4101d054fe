#include "clearance/shortest_tip_distance.h"

#include <algorithm>
#include <cmath>

#include "geometry/evaluate_curve.h"
#include "geometry/minimise_on_interval.h"

namespace propclear {

namespace {

// A scan of the contour's heights fine enough that the lowest sample lies in
// the basin of the true minimum for any contour drawn to a few points per
// metre; the refinement then finds it to a tenth of a millimetre.
constexpr int scanSamples = 400;
constexpr double refineToleranceMetres = 1e-5;

struct TipDistancePoint {
  double x;
  double z;
};

struct TipLine {
  double x;
  double bottomZ;  // the shaft's height
  double topZ;     // the tip's
};

// The point of the tip's line nearest (x, z).
TipDistancePoint nearestOnLine(const TipLine& line, double z) {
  return {line.x, std::clamp(z, line.bottomZ, line.topZ)};
}

class ContourDistance {
 public:
  ContourDistance(const SplineCurve& hull, TipLine line) : evaluation_(hull), line_(line) {}

  TipDistancePoint contourAt(double z) const {
    double x = 0.0;
    evaluation_.at(z, x);
    return {x, z};
  }

  double operator()(double z) const {
    const TipDistancePoint contour = contourAt(z);
    const TipDistancePoint tip = nearestOnLine(line_, z);
    // sqrt, correctly rounded everywhere, rather than hypot, whose last bit
    // differs between C libraries: the figure is written to the results.
    const double dx = contour.x - tip.x;
    const double dz = contour.z - tip.z;
    return std::sqrt(dx * dx + dz * dz);
  }

 private:
  CurveEvaluation evaluation_;
  TipLine line_;
};

}  // namespace

std::optional<ClearanceSegment> shortestTipDistance(const DesignData& design,
                                                    const SplineCurve& hullCurve,
                                                    const ClearanceSegment& upperTip) {
  const int knots = hullCurve.knotCount();
  if (knots < 2) return std::nullopt;
  const double lowest = std::max(hullCurve.knot(1), design.propellerCentreZ);
  const double highest = hullCurve.knot(knots);
  if (!(highest > lowest)) return std::nullopt;
  const TipLine line{upperTip.bladeX, design.propellerCentreZ, upperTip.bladeZ};
  const ContourDistance distance(hullCurve, line);

  const double step = (highest - lowest) / scanSamples;
  int best = 0;
  double bestDistance = distance(lowest);
  for (int i = 1; i <= scanSamples; ++i) {
    const double d = distance(lowest + step * i);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  const double from = lowest + step * std::max(best - 1, 0);
  const double to = lowest + step * std::min(best + 1, scanSamples);
  const IntervalMinimum refined = minimiseOnInterval(distance, from, to, refineToleranceMetres);
  const double z = refined.value < bestDistance ? refined.at : lowest + step * best;

  const TipDistancePoint contour = distance.contourAt(z);
  const TipDistancePoint tip = nearestOnLine(line, z);
  ClearanceSegment segment;
  segment.name = "tip distance";
  segment.bladeX = tip.x;
  segment.bladeZ = tip.z;
  segment.targetX = contour.x;
  segment.targetZ = contour.z;
  segment.length = distance(z);
  return segment;
}

}  // namespace propclear
