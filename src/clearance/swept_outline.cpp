#include "clearance/swept_outline.h"

#include "common/checked_math.h"

namespace propclear {

namespace {

constexpr int stepsPerStationInterval = 4;

// The station radii, each interval divided into equal steps.
std::vector<double> outlineRadii(const BladeOutline& outline) {
  std::vector<double> radii;
  for (int i = 1; i < outline.stationCount; ++i) {
    const double step = checkedDivide(outline.stationRadius[i + 1] - outline.stationRadius[i],
                                      stepsPerStationInterval, "the swept volume's outline");
    for (int k = 0; k < stepsPerStationInterval; ++k) {
      radii.push_back(outline.stationRadius[i] + step * k);
    }
  }
  radii.push_back(outline.stationRadius[outline.stationCount]);
  return radii;
}

// side +1 above the shaft, -1 below it.
std::vector<DrawingPoint> halfOutline(const SweptVolume& volume, const std::vector<double>& radii,
                                      int side) {
  std::vector<DrawingPoint> points;
  const double z0 = volume.axisZ();
  for (const double r : radii) points.push_back({volume.lowX(r), z0 + side * r});
  for (auto r = radii.rbegin(); r != radii.rend(); ++r) {
    points.push_back({volume.highX(*r), z0 + side * *r});
  }
  return points;
}

}  // namespace

SweptOutline sweptOutlineOf(const SternAnalysis& analysis) {
  if (!analysis.sweptVolume) return {};
  const std::vector<double> radii = outlineRadii(analysis.outline);
  return {halfOutline(*analysis.sweptVolume, radii, +1),
          halfOutline(*analysis.sweptVolume, radii, -1)};
}

}  // namespace propclear
