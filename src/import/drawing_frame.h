#pragma once
// From the drawing's coordinates to the design frame: the drawing's x axis is
// the design's x (aft perpendicular at 0), its y axis the height z (base line
// at 0), both in metres. The drawing's unit comes from its $INSUNITS or is
// given; an origin shifts the drawing's point at (X, Z) to the design's 0, 0.

#include <optional>
#include <string>

#include "dxf/dxf_drawing.h"

namespace propclear {

enum class DrawingUnit { Millimetre, Centimetre, Metre };

struct DrawingFrame {
  // Divided by rather than multiplied with, so that 2850 mm is exactly the
  // double nearest to 2.85 m.
  double unitsPerMetre = 1000.0;
  DxfPoint origin;       // in drawing units
  std::string unitNote;  // "millimetres ($INSUNITS 4)", for the summary
};

struct FramePoint {
  double x = 0.0;  // m
  double z = 0.0;  // m
};

// The frame of `drawing` in `given` units, else in its $INSUNITS (millimetres,
// centimetres or metres). A drawing without units, or in another unit, and
// no unit given throws RunError(ErrorKind::Input) naming `displayName`.
DrawingFrame drawingFrameOf(const DxfDrawing& drawing, std::optional<DrawingUnit> given,
                            DxfPoint origin, const std::string& displayName);

FramePoint toFrame(const DrawingFrame& frame, DxfPoint drawingPoint);
// A length of the drawing in metres.
double metresOf(const DrawingFrame& frame, double drawingLength);

}  // namespace propclear
