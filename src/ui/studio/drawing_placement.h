#pragma once
// Where a DXF drawing lies in the design frame: its unit (the drawing's own
// $INSUNITS, or millimetres, centimetres or metres) and the drawing's point,
// in its units, that is the design's origin. Rows for a dialog's form.

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QObject>
#include <optional>

#include "import/drawing_frame.h"

namespace propclear {

class DrawingPlacement : public QObject {
  Q_OBJECT

 public:
  // Adds the rows to `form`.
  explicit DrawingPlacement(QFormLayout* form);

  std::optional<DrawingUnit> unit() const;
  DxfPoint origin() const;
  // The frame of `drawing`; throws RunError as drawingFrameOf does.
  DrawingFrame frameOf(const DxfDrawing& drawing, const std::string& name) const;

 signals:
  void changed();

 private:
  QComboBox* unit_;
  QDoubleSpinBox* originX_;
  QDoubleSpinBox* originZ_;
};

}  // namespace propclear
