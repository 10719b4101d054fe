#include "import/traced_rudder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/format_number.h"
#include "common/run_error.h"
#include "import/path_chains.h"
#include "import/traced_path.h"

namespace propclear {

namespace {

struct Outline {
  std::vector<FramePoint> points;  // without the closing repeat of the first
  std::vector<const DxfEntity*> entities;
};

double distance(FramePoint a, FramePoint b) { return std::hypot(a.x - b.x, a.z - b.z); }

class RudderTracer {
 public:
  RudderTracer(const DrawingFrame& frame, double tolerance, const std::string& displayName)
      : frame_(frame), tolerance_(tolerance), displayName_(displayName) {}

  TracedRudder trace(const std::vector<const DxfEntity*>& entities, double propellerCentreX) {
    const std::vector<Outline> outlines = outlinesOf(entities);
    if (outlines.empty()) {
      fail(entities.empty() ? nullptr : entities.front(),
           "no closed outline of the rudder: draw it as a closed polyline of four corners, or four "
           "lines");
    }
    if (outlines.size() > 1) {
      fail(outlines[1].entities.front(),
           "a second closed outline beside the rudder's of " +
               describeEntity(*outlines[0].entities.front()) +
               ": put the rudder alone on a layer and name it with --rudder-layer");
    }
    const std::vector<FramePoint> corners = cornersOf(outlines[0]);
    TracedRudder rudder;
    rudder.entities = outlines[0].entities;
    rudder.corners = numbered(corners, propellerCentreX);
    return rudder;
  }

 private:
  [[noreturn]] void fail(const DxfEntity* at, const std::string& message) const {
    throw RunError(ErrorKind::Input, (at != nullptr ? describeEntity(*at) + ": " : "") + message,
                   ErrorLocation{displayName_, at != nullptr ? at->line : 0});
  }

  // Closed paths as they are; open ones joined, those whose ends meet.
  std::vector<Outline> outlinesOf(const std::vector<const DxfEntity*>& entities) const {
    std::vector<TracedPath> paths;
    for (const DxfEntity* e : entities) {
      if (e->shape == DxfShape::Point || e->shape == DxfShape::Other) continue;
      paths.push_back(tracePath(*e, frame_, tolerance_, displayName_));
    }
    std::vector<Outline> outlines;
    for (const TracedPath& path : paths) {
      if (path.closed) outlines.push_back({withoutRepeats(path.points), {path.source}});
    }
    for (const PathChain& chain : chainPaths(paths, tolerance_)) {
      if (chain.points.size() >= 3 &&
          distance(chain.points.front(), chain.points.back()) <= tolerance_) {
        outlines.push_back({withoutRepeats(chain.points), chain.entities});
      }
    }
    return outlines;
  }

  // The points around the outline, each once: a point within the tolerance
  // of the one before (or, for the last, of the first) is left out.
  std::vector<FramePoint> withoutRepeats(const std::vector<FramePoint>& points) const {
    std::vector<FramePoint> kept;
    for (const FramePoint& p : points) {
      if (kept.empty() || distance(kept.back(), p) > tolerance_) kept.push_back(p);
    }
    while (kept.size() > 1 && distance(kept.back(), kept.front()) <= tolerance_) kept.pop_back();
    return kept;
  }

  // The outline's points where it turns a corner.
  std::vector<FramePoint> cornersOf(const Outline& outline) const {
    std::vector<FramePoint> corners;
    const std::vector<FramePoint>& p = outline.points;
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n; ++i) {
      const FramePoint before = p[(i + n - 1) % n];
      const FramePoint after = p[(i + 1) % n];
      const double in = std::atan2(p[i].z - before.z, p[i].x - before.x);
      const double out = std::atan2(after.z - p[i].z, after.x - p[i].x);
      double turn = std::abs(out - in);
      if (turn > std::numbers::pi) turn = 2.0 * std::numbers::pi - turn;
      if (turn * 180.0 / std::numbers::pi > straightTurnDegrees) corners.push_back(p[i]);
    }
    if (corners.size() != 4) {
      fail(outline.entities.front(), "the rudder's outline has " + std::to_string(corners.size()) +
                                         " corners, where the design file takes four");
    }
    return corners;
  }

  // Corners 1 to 4 from the outline's corners in their order around it. The
  // side edges are the opposite pair with the larger height; the one nearer
  // to the propeller is the forward edge, 3 above 4, the other the aft edge,
  // 1 below 2.
  static std::array<FramePoint, 4> numbered(const std::vector<FramePoint>& c,
                                            double propellerCentreX) {
    const auto height = [&](std::size_t a, std::size_t b) { return std::abs(c[a].z - c[b].z); };
    const std::size_t s = height(0, 1) + height(2, 3) >= height(1, 2) + height(3, 0) ? 0 : 1;
    std::array<FramePoint, 2> sideA{c[s], c[s + 1]};
    std::array<FramePoint, 2> sideB{c[s + 2], c[(s + 3) % 4]};
    const auto middleX = [](const std::array<FramePoint, 2>& side) {
      return (side[0].x + side[1].x) / 2.0;
    };
    if (std::abs(middleX(sideA) - propellerCentreX) < std::abs(middleX(sideB) - propellerCentreX)) {
      std::swap(sideA, sideB);
    }
    const auto lowFirst = [](std::array<FramePoint, 2> side) {
      if (side[0].z > side[1].z) std::swap(side[0], side[1]);
      return side;
    };
    const std::array<FramePoint, 2> aft = lowFirst(sideA);
    const std::array<FramePoint, 2> forward = lowFirst(sideB);
    return {aft[0], aft[1], forward[1], forward[0]};
  }

  const DrawingFrame& frame_;
  double tolerance_;
  const std::string& displayName_;
};

}  // namespace

TracedRudder traceRudder(const std::vector<const DxfEntity*>& entities, const DrawingFrame& frame,
                         double tolerance, double propellerCentreX,
                         const std::string& displayName) {
  return RudderTracer(frame, tolerance, displayName).trace(entities, propellerCentreX);
}

}  // namespace propclear
