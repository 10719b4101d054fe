#include "cad/dxf_entities.h"

#include "cad/drawing_annotations.h"

namespace propclear {

namespace {

// Polyline flags: closed, and "vertices follow" for the POLYLINE header.
constexpr int polylineClosedFlag = 1;
constexpr int verticesFollow = 1;
// Horizontal text justification: right.
constexpr int textRightAligned = 2;

void beginEntity(DxfGroups& groups, const char* type, const DxfStyle& style) {
  groups.text(0, type);
  groups.text(8, style.layer.name);
  if (style.colour != style.layer.colour) groups.integer(62, style.colour);
}

}  // namespace

void appendDxfLine(DxfGroups& groups, const DxfStyle& style, DrawingPoint from, DrawingPoint to) {
  beginEntity(groups, "LINE", style);
  groups.point(10, from);
  groups.point(11, to);
}

void appendDxfPolyline(DxfGroups& groups, const DxfStyle& style,
                       const std::vector<DrawingPoint>& points, bool closed) {
  beginEntity(groups, "POLYLINE", style);
  groups.integer(66, verticesFollow);
  groups.point(10, {});
  groups.integer(70, closed ? polylineClosedFlag : 0);
  for (const DrawingPoint& p : points) {
    beginEntity(groups, "VERTEX", style);
    groups.point(10, p);
  }
  beginEntity(groups, "SEQEND", style);
}

void appendDxfCircle(DxfGroups& groups, const DxfStyle& style, DrawingPoint centre,
                     double radiusMetres) {
  beginEntity(groups, "CIRCLE", style);
  groups.point(10, centre);
  groups.number(40, radiusMetres * millimetresPerMetre);
}

void appendDxfText(DxfGroups& groups, const DxfStyle& style, DrawingPoint at,
                   double heightMillimetres, std::string_view text, bool rightAligned) {
  beginEntity(groups, "TEXT", style);
  groups.point(10, at);
  groups.number(40, heightMillimetres);
  groups.text(1, text);
  if (rightAligned) {
    // Readers place justified text by the alignment point (11); 10 is a hint.
    groups.integer(72, textRightAligned);
    groups.point(11, at);
  }
}

}  // namespace propclear
