#include "cad/dxf_entities.h"

#include "cad/drawing_annotations.h"

namespace propclear {

namespace {

// Polyline flags: closed, and "vertices follow" for the POLYLINE header.
constexpr int polylineClosedFlag = 1;
constexpr int verticesFollow = 1;

}  // namespace

void DxfEntities::begin(const char* type, const DxfStyle& style) {
  groups_.text(0, type);
  groups_.text(8, style.layer.name);
  if (style.lineType != nullptr) groups_.text(6, style.lineType);
  if (style.colour != style.layer.colour) groups_.integer(62, style.colour);
}

void DxfEntities::line(const DxfStyle& style, DrawingPoint from, DrawingPoint to) {
  begin("LINE", style);
  groups_.point(10, from);
  groups_.point(11, to);
  bounds_.include(from);
  bounds_.include(to);
}

void DxfEntities::polyline(const DxfStyle& style, const std::vector<DrawingPoint>& points,
                           bool closed) {
  begin("POLYLINE", style);
  groups_.integer(66, verticesFollow);
  groups_.point(10, {});
  groups_.integer(70, closed ? polylineClosedFlag : 0);
  for (const DrawingPoint& p : points) {
    begin("VERTEX", style);
    groups_.point(10, p);
    bounds_.include(p);
  }
  begin("SEQEND", style);
}

void DxfEntities::circle(const DxfStyle& style, DrawingPoint centre, double radiusMetres) {
  begin("CIRCLE", style);
  groups_.point(10, centre);
  groups_.number(40, radiusMetres * millimetresPerMetre);
  bounds_.include(DrawingPoint{centre.x - radiusMetres, centre.z - radiusMetres});
  bounds_.include(DrawingPoint{centre.x + radiusMetres, centre.z + radiusMetres});
}

void DxfEntities::text(const DxfStyle& style, DrawingPoint start, double heightMetres,
                       std::string_view text) {
  begin("TEXT", style);
  groups_.point(10, start);
  groups_.number(40, heightMetres * millimetresPerMetre);
  groups_.text(1, text);
  bounds_.include(textBox(start, text, heightMetres));
}

}  // namespace propclear
