#include "assessment/clash_region.h"

#include <algorithm>

#include "clearance/swept_outline.h"
#include "common/checked_math.h"
#include "geometry/evaluate_curve.h"

namespace propclear {

namespace {

// Samples of the measured contour between two of its points.
constexpr int contourStepsPerInterval = 8;

// The stern frame: the measured contour from its lowest point to its
// highest, closed forward of it a diameter beyond its most forward point.
std::vector<DrawingPoint> sternFrameOutline(const DesignData& design, const SternAnalysis& analysis) {
  const SplineCurve& hull = analysis.hullCurve;
  std::vector<DrawingPoint> outline;
  if (hull.knotCount() < 2) return outline;
  double x = hull.value(1);
  for (int i = 1; i < hull.knotCount(); ++i) {
    const double step = checkedDivide(hull.knot(i + 1) - hull.knot(i), contourStepsPerInterval,
                                      "the outline of the stern frame");
    for (int k = 0; k < contourStepsPerInterval; ++k) {
      const double z = hull.knot(i) + step * k;
      evaluateCurve(hull, z, x);
      outline.push_back({x, z});
    }
  }
  outline.push_back({hull.value(hull.knotCount()), hull.knot(hull.knotCount())});
  const auto forward = std::min_element(outline.begin(), outline.end(),
                                        [](DrawingPoint p, DrawingPoint q) { return p.x < q.x; });
  const double closingX = forward->x - std::abs(design.propellerDiameter);
  outline.push_back({closingX, outline.back().z});
  outline.push_back({closingX, outline.front().z});
  return outline;
}

std::vector<DrawingPoint> rectangle(double left, double right, double bottom, double top) {
  return {{left, bottom}, {right, bottom}, {right, top}, {left, top}};
}

// The level of the heel, the first contour point's, from that point aft to
// a diameter beyond the propeller centre, and half a diameter below it: b'
// measures the lower tip down to this level wherever the tip stands.
std::vector<DrawingPoint> heelOutline(const DesignData& design) {
  const double heelZ = design.contourZ[sternContourRow][1];
  const double diameter = std::abs(design.propellerDiameter);
  const double aftX = design.propellerCentreX + diameter;
  return rectangle(std::min(design.contourX[sternContourRow][1], aftX - 2.0 * diameter), aftX,
                   heelZ - 0.5 * diameter, heelZ);
}

std::vector<DrawingPoint> rudderOutline(const DesignData& design) {
  std::vector<DrawingPoint> outline;
  for (int i = 1; i <= design.rudderPointCount; ++i) {
    outline.push_back({design.rudderX[i], design.rudderZ[i]});
  }
  return outline;
}

// Edge 1 from the root to the tip, edge 2 back: the upper blade at
// (x0 + dx, z0 + dz), the lower as it turns at (x0 + dx, z0 - dz).
std::vector<DrawingPoint> bladeOutline(const DesignData& design, const BladeOutline& blade,
                                       bool lower) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  const double side = lower ? -1.0 : 1.0;
  std::vector<DrawingPoint> outline;
  for (int k = 1; k <= blade.stationCount; ++k) {
    outline.push_back({x0 + blade.edge1X[k], z0 + side * blade.edge1Z[k]});
  }
  for (int k = blade.stationCount; k >= 1; --k) {
    outline.push_back({x0 + blade.edge2X[k], z0 + side * blade.edge2Z[k]});
  }
  return outline;
}

// The hub box, of the propeller file's hub length where it has one.
std::vector<DrawingPoint> hubOutline(const DesignData& design) {
  const double halfLength = 0.5 * hubLength(design), halfHub = 0.5 * design.hubDiameter;
  return rectangle(design.propellerCentreX - halfLength, design.propellerCentreX + halfLength,
                   design.propellerCentreZ - halfHub, design.propellerCentreZ + halfHub);
}

std::vector<std::vector<DrawingPoint>> cutterOutlines(ClashCutter cutter, std::string_view clearance,
                                                      const DesignData& design,
                                                      const SternAnalysis& analysis) {
  switch (cutter) {
    case ClashCutter::Blade:
      return {bladeOutline(design, analysis.outline, clearance.ends_with('\''))};
    case ClashCutter::SweptVolume: {
      SweptOutline swept = sweptOutlineOf(analysis);
      return {std::move(swept.above), std::move(swept.below)};
    }
    case ClashCutter::Hub: return {hubOutline(design)};
  }
  return {};
}

}  // namespace

ClashRegion clashRegionOf(ClashCutter cutter, std::string_view structure,
                          std::string_view clearance, const DesignData& design,
                          const SternAnalysis& analysis) {
  ClashRegion region;
  region.cutter = cutterOutlines(cutter, clearance, design, analysis);
  region.structure = structure == "rudder" ? rudderOutline(design)
                     : structure == "heel" ? heelOutline(design)
                                           : sternFrameOutline(design, analysis);
  return region;
}

}  // namespace propclear
