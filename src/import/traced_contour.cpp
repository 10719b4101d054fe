#include "import/traced_contour.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/format_number.h"
#include "common/run_error.h"
#include "geometry/evaluate_curve.h"
#include "geometry/set_up_contour.h"
#include "import/path_chains.h"
#include "import/traced_path.h"

namespace propclear {

namespace {

// Arcs and splines are sampled ten times finer than the contour's tolerance.
constexpr double samplingShare = 0.1;
// Marks farther from the chain than this share of its length are not its points.
constexpr double markReachShare = 0.05;
constexpr double ordinaryCode = 1.0;
constexpr std::size_t maxMarks = 4 * maxContourPoints;

std::string millimetres(double metres) { return formatRounded(metres * 1000.0, 3) + " mm"; }
// Appended piece by piece: GCC 12 at -O3 takes "(" + text for an overlapping
// copy (a false -Wrestrict, GCC bug 105329).
std::string pointText(FramePoint p) {
  // Appended rather than "(" + text: g++ 12 warns falsely (-Wrestrict) of
  // an overlapping copy in operator+(const char*, string&&) when inlined.
  std::string text = "(";
  text += formatRounded(p.x, 4);
  text += ", ";
  text += formatRounded(p.z, 4);
  text += ") m";
  return text;
}

class ContourTracer {
 public:
  ContourTracer(const DrawingFrame& frame, const ContourTracing& tracing,
                const std::string& displayName)
      : frame_(frame), tracing_(tracing), displayName_(displayName) {}

  TracedContour trace(const std::vector<const DxfEntity*>& entities) {
    std::vector<TracedPath> paths;
    std::vector<FramePoint> marks;
    for (const DxfEntity* e : entities) {
      if (e->shape == DxfShape::Circle || e->shape == DxfShape::Point) {
        // More marks than points of a contour are not its points anyway.
        if (marks.size() <= maxMarks) addMark(marks, toFrame(frame_, e->centre));
      } else {
        paths.push_back(tracePath(*e, frame_, tracing_.tolerance * samplingShare, displayName_));
      }
    }
    const std::vector<PathChain> chains = chainPaths(paths, tracing_.tolerance);
    if (chains.empty() && marks.size() < 2) {
      throw RunError(ErrorKind::Input,
                     "no open line, polyline, arc or spline that could be the stern contour",
                     ErrorLocation{displayName_});
    }
    if (chains.size() > 1 && chains[1].length >= rivalChainShare * chains[0].length)
      rivals(chains[0], chains[1]);
    TracedContour contour;
    if (!chains.empty()) {
      PathChain chain = chains.front();
      if (chain.points.front().z > chain.points.back().z) reverse(chain);
      contour.entities = chain.entities;
      contour.drawnPoints = chain.points.size();
      checkRising(chain);
      std::erase_if(marks, [&](FramePoint m) {
        return distanceToChain(chain, m) >
               std::max(10.0 * tracing_.tolerance, markReachShare * chain.length);
      });
      if (marks.size() < 2 || marks.size() > maxContourPoints) {
        thin(chain, contour);
        return contour;
      }
    }
    fromMarks(marks, contour);
    return contour;
  }

 private:
  [[noreturn]] void fail(const DxfEntity* at, const std::string& message) const {
    const std::string where = at != nullptr ? describeEntity(*at) + ": " : "";
    throw RunError(ErrorKind::Input, where + message,
                   ErrorLocation{displayName_, at != nullptr ? at->line : 0});
  }

  [[noreturn]] void rivals(const PathChain& first, const PathChain& second) const {
    fail(first.entities.front(),
         "two chains could be the stern contour: this one (" + formatRounded(first.length, 3) +
             " m long) and the one of " + describeEntity(*second.entities.front()) + " (" +
             formatRounded(second.length, 3) +
             " m): put the stern contour alone on a layer and name it with --contour-layer");
  }

  // A circle drawn twice about a point (as propclear draws its marks) is one mark.
  void addMark(std::vector<FramePoint>& marks, FramePoint p) const {
    for (const FramePoint& m : marks) {
      if (std::hypot(m.x - p.x, m.z - p.z) <= tracing_.tolerance) return;
    }
    marks.push_back(p);
  }

  static void reverse(PathChain& chain) {
    std::reverse(chain.points.begin(), chain.points.end());
    std::reverse(chain.pointSources.begin(), chain.pointSources.end());
    std::reverse(chain.entities.begin(), chain.entities.end());
  }

  // The design file takes the contour as x over a rising height.
  void checkRising(const PathChain& chain) const {
    double highest = chain.points.front().z;
    for (std::size_t i = 1; i < chain.points.size(); ++i) {
      const FramePoint p = chain.points[i];
      if (p.z < highest - tracing_.tolerance) {
        fail(chain.pointSources[i],
             "the stern contour folds back: from its lowest point it rises to " +
                 formatRounded(highest, 4) + " m and falls again to " + pointText(p) +
                 "; the design file holds a contour whose height rises all along it");
      }
      highest = std::max(highest, p.z);
    }
  }

  // The turn of the chain at point i, in degrees, between the directions from
  // the points a tolerance before and after it.
  double turnAt(const std::vector<FramePoint>& points, std::size_t i) const {
    std::size_t before = i;
    while (before > 0 && distance(points[before], points[i]) < tracing_.tolerance) --before;
    std::size_t after = i;
    while (after + 1 < points.size() && distance(points[after], points[i]) < tracing_.tolerance)
      ++after;
    if (before == i || after == i) return 0.0;
    const double in = std::atan2(points[i].z - points[before].z, points[i].x - points[before].x);
    const double out = std::atan2(points[after].z - points[i].z, points[after].x - points[i].x);
    double turn = std::abs(out - in);
    if (turn > std::numbers::pi) turn = 2.0 * std::numbers::pi - turn;
    return turn * 180.0 / std::numbers::pi;
  }

  static double distance(FramePoint a, FramePoint b) { return std::hypot(a.x - b.x, a.z - b.z); }

  // The corners: points turning sharper than the corner angle, the sharpest
  // of those within two tolerances of each other.
  std::vector<std::size_t> cornersOf(const std::vector<FramePoint>& points) const {
    std::vector<std::size_t> corners;
    std::vector<double> turns;
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
      const double turn = turnAt(points, i);
      if (turn <= tracing_.cornerAngle) continue;
      if (!corners.empty() &&
          distance(points[corners.back()], points[i]) < 2.0 * tracing_.tolerance) {
        if (turn > turns.back()) {
          corners.back() = i;
          turns.back() = turn;
        }
        continue;
      }
      corners.push_back(i);
      turns.push_back(turn);
    }
    return corners;
  }

  static double distanceToSegment(FramePoint p, FramePoint a, FramePoint b) {
    const double dx = b.x - a.x;
    const double dz = b.z - a.z;
    const double squared = dx * dx + dz * dz;
    const double t =
        squared > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.z - a.z) * dz) / squared, 0.0, 1.0) : 0.0;
    return std::hypot(a.x + t * dx - p.x, a.z + t * dz - p.z);
  }

  // The samples of arcs and splines lie on the curve, their chords within a
  // share of the tolerance of it: the thinned contour keeps the rest.
  double thinningTolerance() const { return tracing_.tolerance * (1.0 - samplingShare); }

  // Douglas and Peucker's thinning between the kept points `kept` (the ends
  // and the corners): a stretch keeps its farthest point while that lies
  // beyond the tolerance from the stretch's chord.
  void thin(const PathChain& chain, TracedContour& contour) const {
    const std::vector<FramePoint>& points = chain.points;
    const std::vector<std::size_t> corners = cornersOf(points);
    std::vector<bool> keep(points.size(), false);
    keep.front() = keep.back() = true;
    for (const std::size_t c : corners) keep[c] = true;
    std::vector<std::pair<std::size_t, std::size_t>> stretches;
    std::size_t from = 0;
    for (std::size_t i = 1; i < points.size(); ++i) {
      if (keep[i]) {
        stretches.emplace_back(from, i);
        from = i;
      }
    }
    while (!stretches.empty()) {
      const auto [a, b] = stretches.back();
      stretches.pop_back();
      double farthest = 0.0;
      std::size_t at = a;
      for (std::size_t i = a + 1; i < b; ++i) {
        const double d = distanceToSegment(points[i], points[a], points[b]);
        if (d > farthest) {
          farthest = d;
          at = i;
        }
      }
      if (farthest > thinningTolerance()) {
        keep[at] = true;
        stretches.emplace_back(a, at);
        stretches.emplace_back(at, b);
      }
    }
    keepWhereTheCurveStrays(points, corners, keep, contour.largestDeviation);
    const std::vector<std::size_t> kept = keptOf(keep);
    if (kept.size() > static_cast<std::size_t>(maxContourPoints)) {
      fail(chain.entities.front(), "the stern contour needs " + std::to_string(kept.size()) +
                                       " points to stay within " + millimetres(tracing_.tolerance) +
                                       " of the drawing, more than the " +
                                       std::to_string(maxContourPoints) +
                                       " a design file holds: give a larger --tolerance");
    }
    for (std::size_t k = 0; k < kept.size(); ++k) {
      const std::size_t i = kept[k];
      if (k > 0 && !(points[i].z > points[kept[k - 1]].z)) {
        fail(chain.pointSources[i],
             "the stern contour runs level at " + pointText(points[i]) +
                 "; the design file holds a contour whose height rises all along it");
      }
      const bool corner = std::binary_search(corners.begin(), corners.end(), i);
      contour.points.push_back({points[i].z, points[i].x, corner ? breakCode : ordinaryCode});
      if (corner) ++contour.breakPoints;
    }
  }

  static std::vector<std::size_t> keptOf(const std::vector<bool>& keep) {
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < keep.size(); ++i) {
      if (keep[i]) kept.push_back(i);
    }
    return kept;
  }

  // The design's curve through the kept points is a spline, fitted between
  // break points as the drawings show it, not the chords: where it strays
  // from a drawn point by more than the tolerance along x, the point that
  // strays most in its stretch is kept too, until none strays.
  // `largestDeviation` is then the curve's largest distance along x.
  void keepWhereTheCurveStrays(const std::vector<FramePoint>& points,
                               const std::vector<std::size_t>& corners, std::vector<bool>& keep,
                               double& largestDeviation) const {
    for (;;) {
      const std::vector<std::size_t> kept = keptOf(keep);
      if (kept.size() > static_cast<std::size_t>(maxContourPoints))
        return;  // refused by the caller
      DesignData design;
      std::vector<ContourPoint> contour;
      for (const std::size_t i : kept) {
        if (!contour.empty() && !(points[i].z > contour.back().z)) return;  // refused by the caller
        const bool corner = std::binary_search(corners.begin(), corners.end(), i);
        contour.push_back({points[i].z, points[i].x, corner ? breakCode : ordinaryCode});
      }
      setSternContour(design, contour);
      bool added = false;
      largestDeviation = 0.0;
      try {
        const SplineCurve curve = setUpContour(design, sternContourRow);
        const CurveEvaluation evaluation(curve);
        for (std::size_t k = 0; k + 1 < kept.size(); ++k) {
          double worst = 0.0;
          std::size_t at = kept[k];
          for (std::size_t i = kept[k] + 1; i < kept[k + 1]; ++i) {
            double fitted = points[i].x;
            evaluation.at(points[i].z, fitted);
            if (std::abs(fitted - points[i].x) > worst) {
              worst = std::abs(fitted - points[i].x);
              at = i;
            }
          }
          if (worst > tracing_.tolerance) {
            keep[at] = true;
            added = true;
          }
          largestDeviation = std::max(largestDeviation, worst);
        }
      } catch (const RunError&) {
        return;  // a curve through points this close in height cannot be fitted: the chords stay
      }
      if (!added) return;
    }
  }

  // The marks as the points, lowest first; a mark where their line turns
  // sharper than the corner angle is a break point.
  void fromMarks(std::vector<FramePoint> marks, TracedContour& contour) const {
    std::sort(marks.begin(), marks.end(), [](FramePoint a, FramePoint b) { return a.z < b.z; });
    for (std::size_t i = 1; i < marks.size(); ++i) {
      if (!(marks[i].z > marks[i - 1].z)) {
        fail(nullptr, "two marks of the stern contour at the same height: " +
                          pointText(marks[i - 1]) + " and " + pointText(marks[i]));
      }
    }
    const std::vector<std::size_t> corners = cornersOf(marks);
    contour.markedPoints = marks.size();
    for (std::size_t i = 0; i < marks.size(); ++i) {
      const bool corner = std::find(corners.begin(), corners.end(), i) != corners.end();
      contour.points.push_back({marks[i].z, marks[i].x, corner ? breakCode : ordinaryCode});
      if (corner) ++contour.breakPoints;
    }
    if (contour.drawnPoints == 0) contour.drawnPoints = marks.size();
  }

  const DrawingFrame& frame_;
  const ContourTracing& tracing_;
  const std::string& displayName_;
};

}  // namespace

TracedContour traceContour(const std::vector<const DxfEntity*>& entities, const DrawingFrame& frame,
                           const ContourTracing& tracing, const std::string& displayName) {
  return ContourTracer(frame, tracing, displayName).trace(entities);
}

}  // namespace propclear
