#pragma once
// The sheet the stern is drawn on, shared by the screen plot, the CAD script
// and the DXF drawing: where the frame, the level lines, the aft
// perpendicular, the rudder, the shaft, disc and hub, and the blade edges
// lie. Every placement is a fixed fraction of the plot extent's range R
// about its ends m and M; each output adds its own colours and texts.

#include <array>
#include <vector>

#include "clearance/stern_analysis.h"
#include "design/design_data.h"
#include "geometry/drawing_point.h"

namespace propclear {

// The four blade edges in the order they are drawn.
enum BladeEdgeIndex : int {
  upperEdge1 = 0,
  upperEdge2 = 1,
  lowerEdge1 = 2,  // the upper edge 1 reflected through the propeller centre: the legacy
  lowerEdge2 = 3,  // lower blade of the CAD script, not where the blade ever is
};

struct SheetLayout {
  PlotExtent extent;   // m, M, R
  double contourStep;  // s = R / 100
  // The frame, R/4 beside and R/8 above and below the extent.
  DrawingPoint frameTopLeft, frameTopRight, frameBottomRight, frameBottomLeft;
  DrawingLine baseLine;                     // at z = 0, from right to left, R/10 beyond the extent
  DrawingLine waterline;                    // at the design waterline, likewise
  DrawingLine aftPerpendicular;             // at x = 0, from m up to M
  std::vector<DrawingPoint> rudderCorners;  // 1..4 in file order
  DrawingLine shaftLine;                    // the hub's length, through the centre
  DrawingLine discLine;                     // the diameter, upright through the centre
  // Hub box sides in drawing order: aft side up, top forward, fore side up,
  // bottom aft.
  std::array<DrawingLine, 4> hubBox;
  // Each blade edge through all stations, indexed by BladeEdgeIndex.
  std::array<std::vector<DrawingPoint>, 4> bladeEdges;
  // Edges 1 and 2 of the lower blade as the propeller turns it: (x0 + dx, z0 - dz).
  std::array<std::vector<DrawingPoint>, 2> turningLowerEdges;
  // Start points of the CAD drawings' title and credit line.
  DrawingPoint titleAt;
  DrawingPoint creditAt;
};

SheetLayout layOutSheet(const DesignData& design, const SternAnalysis& analysis);

// A fraction 1/divisor of a length of the sheet; RunError for a fault.
double sheetPart(double whole, double divisor);

}  // namespace propclear
