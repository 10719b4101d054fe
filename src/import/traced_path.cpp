#include "import/traced_path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "common/run_error.h"

namespace propclear {

namespace {

// An arc or a spline span never takes more chords than these.
constexpr int maxArcChords = 4096;
constexpr int chordsPerSplineSpan = 32;
constexpr std::size_t maxSplineSamples = 200000;

constexpr double degree = std::numbers::pi / 180.0;

class PathTracer {
 public:
  PathTracer(const DxfEntity& entity, const DrawingFrame& frame, double chordTolerance,
             const std::string& displayName)
      : entity_(entity), frame_(frame), chordTolerance_(chordTolerance), displayName_(displayName) {
    path_.source = &entity;
  }

  TracedPath trace() {
    switch (entity_.shape) {
      case DxfShape::Line:
        polyline(false);
        break;
      case DxfShape::Polyline:
        polyline(entity_.closed);
        break;
      case DxfShape::Arc:
        arc(entity_.centre, entity_.radius, entity_.startAngle * degree,
            sweepOf(entity_.startAngle, entity_.endAngle) * degree);
        break;
      case DxfShape::Circle:
        circle();
        break;
      case DxfShape::Spline:
        spline();
        break;
      case DxfShape::Point:
      case DxfShape::Other:
        break;
    }
    return std::move(path_);
  }

 private:
  [[noreturn]] void fail(const std::string& message) const {
    throw RunError(ErrorKind::Input, describeEntity(entity_) + ": " + message,
                   ErrorLocation{displayName_, entity_.line});
  }

  void add(DxfPoint p) {
    const FramePoint point = toFrame(frame_, p);
    if (!(std::abs(point.x) <= maxFrameCoordinate && std::abs(point.z) <= maxFrameCoordinate)) {
      fail("a point lies at (" + formatShortest(p.x, "a drawing coordinate") + ", " +
           formatShortest(p.y, "a drawing coordinate") + ") of the drawing, beyond " +
           formatShortest(maxFrameCoordinate, "a limit") +
           " m from the design's origin: check the drawing's units and --origin");
    }
    path_.points.push_back(point);
  }

  // Counter-clockwise sweep from start to end, in degrees, in (0, 360].
  static double sweepOf(double start, double end) {
    const double sweep = std::fmod(end - start, 360.0);
    return sweep <= 0.0 ? sweep + 360.0 : sweep;
  }

  // Chords so that each deviates from the arc by at most the tolerance.
  int chordsFor(double radius, double sweep) const {
    const double radiusMetres = metresOf(frame_, radius);
    const double sagitta = std::min(chordTolerance_, radiusMetres);
    const double step =
        2.0 * std::acos(1.0 - checkedDivide(sagitta, radiusMetres, "an arc's chord"));
    const double chords = std::ceil(std::abs(sweep) / std::max(step, 1e-9));
    return static_cast<int>(std::clamp(chords, 1.0, static_cast<double>(maxArcChords)));
  }

  // The arc from angle `start` through `sweep` (radians, counter-clockwise
  // when positive), its first point included.
  void arc(DxfPoint centre, double radius, double start, double sweep) {
    const int chords = chordsFor(radius, sweep);
    for (int i = 0; i <= chords; ++i) {
      const double angle = start + sweep * i / chords;
      add({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
  }

  void circle() {
    arc(entity_.centre, entity_.radius, 0.0, 2.0 * std::numbers::pi);
    path_.points.pop_back();
    path_.closed = true;
  }

  // The vertices, each bulge drawn as its arc.
  void polyline(bool closed) {
    const std::vector<DxfVertex>& v = entity_.vertices;
    path_.closed = closed;
    for (std::size_t i = 0; i < v.size(); ++i) {
      const bool last = i + 1 == v.size();
      if (last && !closed) {
        add(v[i].at);
      } else if (v[i].bulge == 0.0) {
        add(v[i].at);
      } else {
        bulgeArc(v[i], v[last ? 0 : i + 1].at);
      }
    }
  }

  // The arc from `from` to `to` with from's bulge, without its last point.
  void bulgeArc(const DxfVertex& from, DxfPoint to) {
    const double dx = to.x - from.at.x;
    const double dy = to.y - from.at.y;
    const double chord = std::hypot(dx, dy);
    if (chord == 0.0) return add(from.at);
    const double sweep = 4.0 * std::atan(from.bulge);
    const double radius =
        checkedDivide(chord, 2.0 * std::abs(std::sin(sweep / 2.0)), "a bulge's radius");
    // The centre lies off the chord's middle, to the left for a positive bulge.
    const double offset = checkedDivide(radius * std::cos(sweep / 2.0), chord, "a bulge's centre") *
                          (sweep > 0.0 ? 1.0 : -1.0);
    const DxfPoint centre{from.at.x + dx / 2.0 - dy * offset, from.at.y + dy / 2.0 + dx * offset};
    const double start = std::atan2(from.at.y - centre.y, from.at.x - centre.x);
    arc(centre, radius, start, sweep);
    path_.points.pop_back();
  }

  void spline() {
    const DxfSpline& s = entity_.spline;
    path_.closed = entity_.closed;
    if (s.controlPoints.empty()) {
      // Only the points the curve passes through: the design's own spline
      // is fitted through such points.
      if (s.fitPoints.size() < 2) fail("a spline with fewer than two points");
      for (const DxfPoint& p : s.fitPoints) add(p);
      return;
    }
    checkSpline(s);
    const std::size_t spans = s.knots.size() - 1;
    const std::size_t chords = std::clamp<std::size_t>(
        maxSplineSamples / std::max<std::size_t>(spans, 1), 1, chordsPerSplineSpan);
    const int p = s.degree;
    const std::size_t last = s.controlPoints.size();  // knots p .. last span the curve
    for (std::size_t span = p; span < last; ++span) {
      const double from = s.knots[span];
      const double to = s.knots[span + 1];
      if (!(to > from)) continue;
      for (std::size_t i = 0; i < chords; ++i) add(deBoor(span, from + (to - from) * i / chords));
    }
    add(deBoor(last - 1, s.knots[last]));
  }

  void checkSpline(const DxfSpline& s) const {
    const std::size_t n = s.controlPoints.size();
    if (s.degree < 1 || s.degree > 11 || n < static_cast<std::size_t>(s.degree) + 1) {
      fail("a spline of degree " + std::to_string(s.degree) + " with " + std::to_string(n) +
           " control points, which is no curve");
    }
    if (s.knots.size() != n + s.degree + 1) {
      fail("a spline with " + std::to_string(s.knots.size()) + " knots where " + std::to_string(n) +
           " control points of degree " + std::to_string(s.degree) + " need " +
           std::to_string(n + s.degree + 1));
    }
    if (!std::is_sorted(s.knots.begin(), s.knots.end())) fail("a spline whose knots fall");
    if (!s.weights.empty() && s.weights.size() != n) {
      fail("a spline with " + std::to_string(s.weights.size()) + " weights for " +
           std::to_string(n) + " control points");
    }
    for (const double w : s.weights) {
      if (!(w > 0.0))
        fail("a spline with a weight " + formatShortest(w, "a spline weight") + " not above 0");
    }
  }

  // The point at parameter t in knot span `span` (de Boor's algorithm, in
  // homogeneous coordinates for a rational spline).
  DxfPoint deBoor(std::size_t span, double t) const {
    const DxfSpline& s = entity_.spline;
    const int p = s.degree;
    struct Homogeneous {
      double x, y, w;
    };
    std::vector<Homogeneous> d(p + 1);
    for (int j = 0; j <= p; ++j) {
      const std::size_t index = span - p + j;
      const double w = s.weights.empty() ? 1.0 : s.weights[index];
      d[j] = {s.controlPoints[index].x * w, s.controlPoints[index].y * w, w};
    }
    for (int r = 1; r <= p; ++r) {
      for (int j = p; j >= r; --j) {
        const double left = s.knots[span - p + j];
        const double right = s.knots[span + 1 + j - r];
        const double alpha = right > left ? (t - left) / (right - left) : 0.0;
        d[j] = {(1.0 - alpha) * d[j - 1].x + alpha * d[j].x,
                (1.0 - alpha) * d[j - 1].y + alpha * d[j].y,
                (1.0 - alpha) * d[j - 1].w + alpha * d[j].w};
      }
    }
    return {checkedDivide(d[p].x, d[p].w, "a spline point"),
            checkedDivide(d[p].y, d[p].w, "a spline point")};
  }

  const DxfEntity& entity_;
  const DrawingFrame& frame_;
  double chordTolerance_;
  const std::string& displayName_;
  TracedPath path_;
};

}  // namespace

TracedPath tracePath(const DxfEntity& entity, const DrawingFrame& frame, double chordTolerance,
                     const std::string& displayName) {
  return PathTracer(entity, frame, chordTolerance, displayName).trace();
}

}  // namespace propclear
