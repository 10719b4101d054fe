#include "import/path_chains.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <unordered_map>

namespace propclear {

namespace {

double distanceBetween(FramePoint a, FramePoint b) { return std::hypot(a.x - b.x, a.z - b.z); }

// The path ends in cells of the tolerance's size, so that the ends near a
// point are found among its cell and the eight around it.
class EndIndex {
 public:
  EndIndex(const std::vector<const TracedPath*>& paths, double cellSize)
      : paths_(paths), cell_(cellSize) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
      cells_[keyOf(paths[i]->points.front())].push_back({i, false});
      cells_[keyOf(paths[i]->points.back())].push_back({i, true});
    }
  }

  struct End {
    std::size_t path;
    bool atBack;
  };

  // The unused path end nearest to `p` within the cell size, if any.
  bool nearest(FramePoint p, const std::vector<bool>& used, End& found) const {
    double best = cell_;
    bool any = false;
    const std::int64_t cx = cellOf(p.x);
    const std::int64_t cz = cellOf(p.z);
    for (std::int64_t dx = -1; dx <= 1; ++dx) {
      for (std::int64_t dz = -1; dz <= 1; ++dz) {
        const auto cell = cells_.find(key(cx + dx, cz + dz));
        if (cell == cells_.end()) continue;
        for (const End& end : cell->second) {
          if (used[end.path]) continue;
          const TracedPath& path = *paths_[end.path];
          const double d =
              distanceBetween(p, end.atBack ? path.points.back() : path.points.front());
          if (d <= best) {
            best = d;
            found = end;
            any = true;
          }
        }
      }
    }
    return any;
  }

 private:
  std::int64_t cellOf(double v) const { return static_cast<std::int64_t>(std::floor(v / cell_)); }
  static std::uint64_t key(std::int64_t x, std::int64_t z) {
    return (static_cast<std::uint64_t>(x) << 32) ^ static_cast<std::uint64_t>(z & 0xffffffff);
  }
  std::uint64_t keyOf(FramePoint p) const { return key(cellOf(p.x), cellOf(p.z)); }

  const std::vector<const TracedPath*>& paths_;
  double cell_;
  std::unordered_map<std::uint64_t, std::vector<End>> cells_;
};

// Points with their sources, growing at either end.
struct GrowingChain {
  std::deque<FramePoint> points;
  std::deque<const DxfEntity*> sources;
  std::deque<const DxfEntity*> entities;
};

// Two points of a path closer than this are one.
constexpr double samePoint = 1e-9;  // m

// Adds the points of `path` at one end of the chain, starting from the end
// that meets the chain; that first point is left out where it lies within
// `tolerance` of the chain's end.
void append(GrowingChain& chain, const TracedPath& path, bool reversed, bool atBack,
            double tolerance) {
  std::vector<FramePoint> points = path.points;
  if (reversed != !atBack) std::reverse(points.begin(), points.end());
  bool first = true;
  for (const FramePoint& p : points) {
    const double reach = first ? tolerance : samePoint;
    first = false;
    if (!chain.points.empty() &&
        distanceBetween(atBack ? chain.points.back() : chain.points.front(), p) <= reach) {
      continue;
    }
    if (atBack) {
      chain.points.push_back(p);
      chain.sources.push_back(path.source);
    } else {
      chain.points.push_front(p);
      chain.sources.push_front(path.source);
    }
  }
  if (atBack) {
    chain.entities.push_back(path.source);
  } else {
    chain.entities.push_front(path.source);
  }
}

PathChain finished(const GrowingChain& growing) {
  PathChain chain;
  chain.points.assign(growing.points.begin(), growing.points.end());
  chain.pointSources.assign(growing.sources.begin(), growing.sources.end());
  chain.entities.assign(growing.entities.begin(), growing.entities.end());
  for (std::size_t i = 1; i < chain.points.size(); ++i) {
    chain.length += distanceBetween(chain.points[i - 1], chain.points[i]);
  }
  return chain;
}

}  // namespace

std::vector<PathChain> chainPaths(const std::vector<TracedPath>& paths, double joinTolerance) {
  std::vector<const TracedPath*> open;
  for (const TracedPath& path : paths) {
    if (!path.closed && path.points.size() >= 2) open.push_back(&path);
  }
  const EndIndex ends(open, joinTolerance);
  std::vector<bool> used(open.size(), false);
  std::vector<PathChain> chains;
  for (std::size_t first = 0; first < open.size(); ++first) {
    if (used[first]) continue;
    used[first] = true;
    GrowingChain chain;
    append(chain, *open[first], false, true, 0.0);
    for (const bool atBack : {true, false}) {
      EndIndex::End next{};
      while (ends.nearest(atBack ? chain.points.back() : chain.points.front(), used, next)) {
        used[next.path] = true;
        // At the back a path continues from its front; at the front it ends with its back.
        append(chain, *open[next.path], next.atBack == atBack, atBack, joinTolerance);
      }
    }
    chains.push_back(finished(chain));
  }
  std::stable_sort(chains.begin(), chains.end(),
                   [](const PathChain& a, const PathChain& b) { return a.length > b.length; });
  return chains;
}

double distanceToChain(const PathChain& chain, FramePoint p) {
  double best = chain.points.empty() ? INFINITY : distanceBetween(chain.points.front(), p);
  for (std::size_t i = 1; i < chain.points.size(); ++i) {
    const FramePoint a = chain.points[i - 1];
    const FramePoint b = chain.points[i];
    const double dx = b.x - a.x;
    const double dz = b.z - a.z;
    const double squared = dx * dx + dz * dz;
    const double t =
        squared > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.z - a.z) * dz) / squared, 0.0, 1.0) : 0.0;
    best = std::min(best, distanceBetween({a.x + t * dx, a.z + t * dz}, p));
  }
  return best;
}

}  // namespace propclear
