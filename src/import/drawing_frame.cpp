#include "import/drawing_frame.h"

#include "common/checked_math.h"
#include "common/run_error.h"

namespace propclear {

namespace {

// $INSUNITS codes (the DXF reference's table of drawing units).
constexpr long unitlessCode = 0;
constexpr long millimetreCode = 4;
constexpr long centimetreCode = 5;
constexpr long metreCode = 6;

struct UnitScale {
  double unitsPerMetre;
  const char* name;
};

UnitScale scaleOf(DrawingUnit unit) {
  switch (unit) {
    case DrawingUnit::Millimetre:
      return {1000.0, "millimetres"};
    case DrawingUnit::Centimetre:
      return {100.0, "centimetres"};
    case DrawingUnit::Metre:
      break;
  }
  return {1.0, "metres"};
}

std::optional<DrawingUnit> unitOfCode(long code) {
  if (code == millimetreCode) return DrawingUnit::Millimetre;
  if (code == centimetreCode) return DrawingUnit::Centimetre;
  if (code == metreCode) return DrawingUnit::Metre;
  return std::nullopt;
}

}  // namespace

DrawingFrame drawingFrameOf(const DxfDrawing& drawing, std::optional<DrawingUnit> given,
                            DxfPoint origin, const std::string& displayName) {
  DrawingFrame frame;
  frame.origin = origin;
  if (given) {
    const UnitScale scale = scaleOf(*given);
    frame.unitsPerMetre = scale.unitsPerMetre;
    frame.unitNote = std::string(scale.name) + " (--units)";
    return frame;
  }
  const long code = drawing.insertionUnits.value_or(unitlessCode);
  const std::optional<DrawingUnit> unit = unitOfCode(code);
  if (!unit) {
    const std::string said = drawing.insertionUnits
                                 ? "gives its units as $INSUNITS = " + std::to_string(code) +
                                       ", neither millimetres (4), centimetres (5) nor metres (6)"
                                 : "does not give its units ($INSUNITS)";
    throw RunError(ErrorKind::Input,
                   "the drawing " + said + ": give them with --units mm or --units m",
                   ErrorLocation{displayName});
  }
  const UnitScale scale = scaleOf(*unit);
  frame.unitsPerMetre = scale.unitsPerMetre;
  frame.unitNote = std::string(scale.name) + " ($INSUNITS " + std::to_string(code) + ")";
  return frame;
}

FramePoint toFrame(const DrawingFrame& frame, DxfPoint p) {
  return {metresOf(frame, p.x - frame.origin.x), metresOf(frame, p.y - frame.origin.y)};
}

double metresOf(const DrawingFrame& frame, double drawingLength) {
  return checkedDivide(drawingLength, frame.unitsPerMetre, "a length of the drawing in metres");
}

}  // namespace propclear
