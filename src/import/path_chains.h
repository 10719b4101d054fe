#pragma once
// Open paths joined end to end into chains: lines, arcs and polylines drawn
// one after another, whose ends meet within a tolerance, make one line.

#include <vector>

#include "import/traced_path.h"

namespace propclear {

struct PathChain {
  std::vector<FramePoint> points;
  // The entity each point comes from, for messages.
  std::vector<const DxfEntity*> pointSources;
  std::vector<const DxfEntity*> entities;  // in chain order
  double length = 0.0;                     // m
};

// The chains of the open paths among `paths` with at least two points, each
// continued at both ends by the path whose end lies nearest, within
// `joinTolerance` (m); a point that repeats the previous one within the
// tolerance is dropped. Longest chain first.
std::vector<PathChain> chainPaths(const std::vector<TracedPath>& paths, double joinTolerance);

// The distance from `p` to the chain's line.
double distanceToChain(const PathChain& chain, FramePoint p);

}  // namespace propclear
