#pragma once
// The AutoCAD R12 entities the DXF drawing is made of, and the box that
// holds everything written. Points are in metres and written in millimetres.

#include <string_view>
#include <vector>

#include "cad/dxf_groups.h"
#include "sheet/drawing_box.h"
#include "geometry/drawing_point.h"

namespace propclear {

struct DxfLayer {
  const char* name;
  int colour;  // AutoCAD colour number of the layer's entities
  const char* lineType = "CONTINUOUS";
};

// Where an entity goes, its colour and line type; an entity in its layer's
// colour or line type is written "by layer", so that changing the layer
// changes it.
struct DxfStyle {
  const DxfLayer& layer;
  int colour;
  const char* lineType = nullptr;  // the layer's
};

class DxfEntities {
 public:
  void line(const DxfStyle& style, DrawingPoint from, DrawingPoint to);
  // An R12 polyline: POLYLINE, one VERTEX per point, SEQEND.
  void polyline(const DxfStyle& style, const std::vector<DrawingPoint>& points, bool closed);
  void circle(const DxfStyle& style, DrawingPoint centre, double radiusMetres);
  // Text on one line, left-aligned, starting at `start` on its baseline.
  void text(const DxfStyle& style, DrawingPoint start, double heightMetres, std::string_view text);

  const DxfGroups& groups() const { return groups_; }
  // Everything written, texts by their boxes (textBox).
  const DrawingBox& bounds() const { return bounds_; }

 private:
  void begin(const char* type, const DxfStyle& style);

  DxfGroups groups_;
  DrawingBox bounds_;
};

}  // namespace propclear
