#pragma once
// The stern contour traced from the drawing: the longest chain of its
// entities, from its lowest point upwards, thinned to the points the design
// file holds, with break points where the drawing turns a corner, so that
// both the chords between them and the curve the design fits through them
// stay within the tolerance of the drawing. Where the
// drawing marks the contour's points with circles or points along the chain
// (as propclear's own drawing does), those marks are the points.

#include <string>
#include <vector>

#include "design/contour_table_text.h"
#include "dxf/dxf_drawing.h"
#include "import/drawing_frame.h"

namespace propclear {

struct ContourTracing {
  double tolerance =
      0.001;  // m: the thinned contour's largest deviation; ends meeting within it join
  double cornerAngle = 30.0;  // degrees: a sharper turn is a break point
};

struct TracedContour {
  std::vector<ContourPoint> points;  // lowest first; code 0 at corners, else 1
  std::size_t drawnPoints = 0;       // the chain's points before thinning
  // m, along x, of the drawn points from the design's curve fitted through
  // the thinned points (break points as corners), as the drawings show it
  double largestDeviation = 0.0;
  int breakPoints = 0;
  std::size_t markedPoints = 0;            // the marks taken as the points, 0 when thinned
  std::vector<const DxfEntity*> entities;  // of the chain, lowest first
};

// A chain at least this share of the longest one's length makes the choice
// ambiguous.
inline constexpr double rivalChainShare = 0.8;

// The contour of `entities` (those that can be a contour's part: lines, arcs,
// polylines, splines; circles and points as marks). Faults throw
// RunError(ErrorKind::Input) naming the entity: no open chain, two chains of
// about the same length, a contour that folds back or runs level, or one
// that needs more than maxContourPoints points within the tolerance.
TracedContour traceContour(const std::vector<const DxfEntity*>& entities, const DrawingFrame& frame,
                           const ContourTracing& tracing, const std::string& displayName);

}  // namespace propclear
