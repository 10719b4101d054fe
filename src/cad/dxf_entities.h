#pragma once
// The AutoCAD R12 entities the DXF drawing is made of. Points are in metres
// and written in millimetres.

#include <string_view>
#include <vector>

#include "sheet/drawing_point.h"
#include "cad/dxf_groups.h"

namespace propclear {

struct DxfLayer {
  const char* name;
  int colour;  // AutoCAD colour number of the layer's entities
};

// Where an entity goes and its colour; an entity in its layer's colour is
// written "by layer", so that recolouring the layer recolours it.
struct DxfStyle {
  const DxfLayer& layer;
  int colour;
};

void appendDxfLine(DxfGroups& groups, const DxfStyle& style, DrawingPoint from, DrawingPoint to);
// An R12 polyline: POLYLINE, one VERTEX per point, SEQEND.
void appendDxfPolyline(DxfGroups& groups, const DxfStyle& style,
                       const std::vector<DrawingPoint>& points, bool closed);
void appendDxfCircle(DxfGroups& groups, const DxfStyle& style, DrawingPoint centre,
                     double radiusMetres);
// Text on one line, starting at `at` or, right-aligned, ending there;
// height in millimetres.
void appendDxfText(DxfGroups& groups, const DxfStyle& style, DrawingPoint at,
                   double heightMillimetres, std::string_view text, bool rightAligned);

}  // namespace propclear
