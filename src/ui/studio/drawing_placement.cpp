#include "ui/studio/drawing_placement.h"

namespace propclear {

namespace {

QDoubleSpinBox* originBox() {
  auto* box = new QDoubleSpinBox;
  box->setRange(-1e7, 1e7);
  box->setDecimals(3);
  return box;
}

}  // namespace

DrawingPlacement::DrawingPlacement(QFormLayout* form) : QObject(form) {
  unit_ = new QComboBox;
  unit_->addItem(tr("As the drawing says ($INSUNITS)"));
  unit_->addItem(tr("Millimetres"), static_cast<int>(DrawingUnit::Millimetre));
  unit_->addItem(tr("Centimetres"), static_cast<int>(DrawingUnit::Centimetre));
  unit_->addItem(tr("Metres"), static_cast<int>(DrawingUnit::Metre));
  originX_ = originBox();
  originZ_ = originBox();
  form->addRow(tr("Units:"), unit_);
  form->addRow(tr("Origin x (drawing units):"), originX_);
  form->addRow(tr("Origin z (drawing units):"), originZ_);
  connect(unit_, &QComboBox::currentIndexChanged, this, &DrawingPlacement::changed);
  connect(originX_, &QDoubleSpinBox::valueChanged, this, &DrawingPlacement::changed);
  connect(originZ_, &QDoubleSpinBox::valueChanged, this, &DrawingPlacement::changed);
}

std::optional<DrawingUnit> DrawingPlacement::unit() const {
  if (unit_->currentIndex() == 0) return std::nullopt;
  return static_cast<DrawingUnit>(unit_->currentData().toInt());
}

DxfPoint DrawingPlacement::origin() const { return {originX_->value(), originZ_->value()}; }

DrawingFrame DrawingPlacement::frameOf(const DxfDrawing& drawing, const std::string& name) const {
  return drawingFrameOf(drawing, unit(), origin(), name);
}

}  // namespace propclear
