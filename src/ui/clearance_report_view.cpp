#include "ui/clearance_report_view.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QLocale>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "rules/measured_clearance.h"
#include "sheet/clash_hatch.h"
#include "sheet/clearance_labels.h"
#include "sheet/label_layout.h"
#include "sheet/sheet_layout.h"
#include "sheet/stern_contour_steps.h"
#include "sheet/approach_marks.h"

namespace propclear {

namespace {

// Room around the propeller's region, as a multiple of D.
constexpr double regionMarginPerDiameter = 0.12;
// Drawing scales 1:N in use on ship drawings, smallest first.
constexpr std::array<int, 16> preferredScales = {1,   2,   5,   10,  20,  25,   50,   75,
                                                 100, 125, 150, 200, 250, 500, 1000, 2000};
// Beyond 1:1 000 000 the region is no ship's (a fault of the design file).
constexpr double largestScale = 1.0e6;
constexpr double millimetresPerMetre = 1000.0;

// Paper measures of the drawing, in mm, and its type in points.
constexpr double structurePenMm = 0.35;
constexpr double bladePenMm = 0.25;
constexpr double thinPenMm = 0.13;
constexpr double dimensionPenMm = 0.18;
constexpr double arrowLengthMm = 2.0;
constexpr double arrowHalfWidthMm = 0.55;
constexpr double tickHalfLengthMm = 1.2;
constexpr double labelGapMm = 0.8;
constexpr double labelPaddingMm = 0.4;
constexpr double labelPoints = 7.0;
// Text keeps this far inside the view's frame, and this far off any line or
// other text; a label farther than leaderFreeDistanceMm from its anchor gets
// a leader, which stops leaderGapMm short of it.
constexpr double viewInsetMm = 1.0;
constexpr double labelClearanceMm = 0.3;
constexpr double leaderFreeDistanceMm = 1.5;
constexpr double leaderGapMm = 0.2;
// The spacing of the places tried for a label that finds none beside its anchor.
constexpr double gridStepMm = 1.0;
constexpr double forwardArrowMm = 6.0;
constexpr double hatchSpacingMm = 1.0;
// The strip under the view that holds the scale bar.
constexpr double scaleStripMm = 5.0;
constexpr double scaleBarHeightMm = 1.2;
constexpr double longestScaleBarMm = 40.0;

const QColor structureColour(0x20, 0x20, 0x20);
const QColor bladeColour(0x1F, 0x4E, 0x9A);
const QColor centreLineColour(0x80, 0x80, 0x80);
const QColor waterlineColour(0x1F, 0x4E, 0x9A);
const QColor sweptColour(0x6C, 0x8E, 0xBF);
const QColor approachColour(0x40, 0x40, 0x40);
const QColor leaderColour(0x60, 0x60, 0x60);

struct Region {
  double left, right, bottom, top;  // m

  void include(double x, double z) {
    left = std::min(left, x);
    right = std::max(right, x);
    bottom = std::min(bottom, z);
    top = std::max(top, z);
  }
  double width() const { return right - left; }
  double height() const { return top - bottom; }
};

using BladeEdges = std::array<std::vector<DrawingPoint>, 4>;

// What the view draws beyond the sheet's layout: the blade edges with the
// lower blade as the propeller turns it (each upper point (x, z) at
// (x, 2 z0 - z)), and the clearances the report dimensions.
struct ViewGeometry {
  SheetLayout sheet;
  BladeEdges bladeEdges;
  ReportedClearances clearances;
};

ViewGeometry viewGeometryOf(const ClearanceReportContent& content) {
  ViewGeometry view{layOutSheet(content.design, content.assessment.analysis), {},
                    reportedClearancesOf(content.assessment)};
  const double twiceCentreZ = 2.0 * content.design.propellerCentreZ;
  for (const int upper : {upperEdge1, upperEdge2}) {
    view.bladeEdges[upper] = view.sheet.bladeEdges[upper];
    std::vector<DrawingPoint>& lower = view.bladeEdges[upper == upperEdge1 ? lowerEdge1 : lowerEdge2];
    for (const DrawingPoint& point : view.sheet.bladeEdges[upper]) {
      lower.push_back({point.x, twiceCentreZ - point.z});
    }
  }
  return view;
}

// The disc, the blades and both ends of every clearance that reaches the
// structure (a stand-in end may lie far away), with a margin.
Region propellerRegion(const DesignData& design, const ViewGeometry& view) {
  const double radius = 0.5 * design.propellerDiameter;
  Region region{design.propellerCentreX - radius, design.propellerCentreX + radius,
                design.propellerCentreZ - radius, design.propellerCentreZ + radius};
  for (const auto& edge : view.bladeEdges) {
    for (const DrawingPoint& point : edge) region.include(point.x, point.z);
  }
  for (const ClearanceSegment& segment : view.clearances.segments) {
    region.include(segment.bladeX, segment.bladeZ);
    if (!segment.targetIsFallback) region.include(segment.targetX, segment.targetZ);
  }
  const double margin = regionMarginPerDiameter * design.propellerDiameter;
  return {region.left - margin, region.right + margin, region.bottom - margin, region.top + margin};
}

int scaleToFit(const Region& region, double boxWidthMm, double boxHeightMm) {
  const double needed =
      millimetresPerMetre * std::max(checkedDivide(region.width(), boxWidthMm, "the report's scale"),
                                     checkedDivide(region.height(), boxHeightMm, "the report's scale"));
  for (const int scale : preferredScales) {
    if (scale >= needed) return scale;
  }
  if (!(needed <= largestScale)) {
    throwArithmeticFault("the report's drawing scale", "the propeller's region is too large to draw");
  }
  return static_cast<int>(std::ceil(needed));
}

// Paper and model measures of one drawing: metres to device units.
class ViewCanvas {
 public:
  ViewCanvas(QPainter& painter, const QRectF& box, double unitsPerMm, const Region& region,
             int scale)
      : painter_(painter), box_(box), unitsPerMm_(unitsPerMm) {
    const double unitsPerMetre =
        checkedDivide(unitsPerMm * millimetresPerMetre, scale, "the report's drawing scale");
    const QPointF centre = box.center();
    const double midX = 0.5 * (region.left + region.right);
    const double midZ = 0.5 * (region.bottom + region.top);
    toDevice_ = QTransform(unitsPerMetre, 0.0, 0.0, -unitsPerMetre, centre.x() - unitsPerMetre * midX,
                           centre.y() + unitsPerMetre * midZ);
  }

  QPainter& painter() { return painter_; }
  const QRectF& box() const { return box_; }
  double mm(double millimetres) const { return millimetres * unitsPerMm_; }
  QPointF at(double x, double z) const { return toDevice_.map(QPointF(x, z)); }
  QPointF at(const DrawingPoint& point) const { return at(point.x, point.z); }

  QPen pen(const QColor& colour, double widthMm, Qt::PenStyle style = Qt::SolidLine) const {
    return QPen(colour, mm(widthMm), style, Qt::RoundCap, Qt::RoundJoin);
  }
  void polyline(const std::vector<DrawingPoint>& points, const QPen& pen) {
    QPolygonF line;
    for (const DrawingPoint& point : points) line << at(point);
    painter_.setPen(pen);
    painter_.drawPolyline(line);
  }
  void line(const DrawingLine& line, const QPen& pen) {
    painter_.setPen(pen);
    painter_.drawLine(at(line.from), at(line.to));
  }
  QFont font(double points, bool bold = false) const {
    QFont font(QString::fromLatin1(reportFontFamily));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
  }

 private:
  QPainter& painter_;
  QRectF box_;
  double unitsPerMm_;
  QTransform toDevice_;
};

LayoutPoint layoutPoint(QPointF point) { return {point.x(), point.y()}; }
QPointF devicePoint(LayoutPoint point) { return {point.x, point.y}; }
QRectF deviceRect(const LabelBox& box) {
  return QRectF(QPointF(box.left, box.top), QPointF(box.right, box.bottom));
}

// Every line drawn in the view and every text box placed, in device units,
// kept by the label layout, which places the labels clear of them, and in
// the view's record.
class ViewInk {
 public:
  ViewInk(ReportViewRecord& record, const ViewCanvas& canvas)
      : record_(record),
        layout_({canvas.box().left() + canvas.mm(viewInsetMm), canvas.box().top() + canvas.mm(viewInsetMm),
                 canvas.box().right() - canvas.mm(viewInsetMm),
                 canvas.box().bottom() - canvas.mm(viewInsetMm)},
                {canvas.mm(labelClearanceMm), canvas.mm(leaderFreeDistanceMm), canvas.mm(leaderGapMm),
                 canvas.mm(gridStepMm)}) {}

  void addStrokes(const std::vector<QPointF>& points) {
    for (std::size_t i = 1; i < points.size(); ++i) addStroke(QLineF(points[i - 1], points[i]));
  }
  void addStroke(const QLineF& line) {
    record_.strokes.push_back(line);
    layout_.addLine({layoutPoint(line.p1()), layoutPoint(line.p2())});
  }
  void countUnplaced(const QString& text) { record_.unplacedLabels.push_back(text); }
  PlacedLabels& layout() { return layout_; }
  void addPlaced(const LabelPlacement& placed) {
    record_.textBoxes.push_back(deviceRect(placed.box));
    if (placed.leader) {
      record_.strokes.emplace_back(devicePoint(placed.leader->from), devicePoint(placed.leader->to));
    }
  }

 private:
  ReportViewRecord& record_;
  PlacedLabels layout_;
};

// The ends of the swept volume's outline, the structure and the propeller,
// drawn on the canvas and kept as ink.
void strokePolyline(ViewCanvas& canvas, ViewInk& ink, const std::vector<DrawingPoint>& points,
                    const QPen& pen) {
  std::vector<QPointF> device;
  for (const DrawingPoint& point : points) device.push_back(canvas.at(point));
  canvas.painter().setPen(pen);
  canvas.painter().drawPolyline(QPolygonF(QList<QPointF>(device.begin(), device.end())));
  ink.addStrokes(device);
}

void strokeLine(ViewCanvas& canvas, ViewInk& ink, QPointF from, QPointF to, const QPen& pen) {
  canvas.painter().setPen(pen);
  canvas.painter().drawLine(from, to);
  ink.addStroke(QLineF(from, to));
}

// Where a label goes: the first free place of the layout near its anchor,
// its leader drawn where it has one.
class LabelPlacer {
 public:
  LabelPlacer(ViewCanvas& canvas, ViewInk& ink) : canvas_(canvas), ink_(ink) {}

  void countUnplaced(const QString& text) { ink_.countUnplaced(text); }
  void reserve(QPointF anchor) { ink_.layout().reserve(layoutPoint(anchor)); }

  // `preferred`: the label's centres to try first; without `leader` a label
  // that names no one point (FWD) goes to the first free place. None when
  // no place is free.
  std::optional<QRectF> place(QPointF anchor, QSizeF size, const std::vector<QPointF>& preferred,
                              bool leader = true) {
    std::vector<LayoutPoint> centres;
    for (const QPointF& centre : preferred) centres.push_back(layoutPoint(centre));
    const std::optional<LabelPlacement> placed =
        ink_.layout().place(layoutPoint(anchor), size.width(), size.height(), centres, leader);
    if (!placed) return std::nullopt;
    if (placed->leader) {
      canvas_.painter().setPen(canvas_.pen(leaderColour, thinPenMm));
      canvas_.painter().drawLine(devicePoint(placed->leader->from), devicePoint(placed->leader->to));
    }
    ink_.addPlaced(*placed);
    return deviceRect(placed->box);
  }

 private:
  ViewCanvas& canvas_;
  ViewInk& ink_;
};

// A text label at the first free place near `anchor`, with a leader to it
// where the place is off it; without `leader`, a note that names no point.
void drawLabel(ViewCanvas& canvas, LabelPlacer& labels, const QString& text, const QFont& font,
               const QColor& colour, QPointF anchor, const std::vector<QPointF>& preferred,
               bool leader = true) {
  const QFontMetricsF metrics(font, canvas.painter().device());
  const double padding = canvas.mm(labelPaddingMm);
  const QSizeF size(metrics.horizontalAdvance(text) + 2.0 * padding, metrics.height());
  const std::optional<QRectF> rect = labels.place(anchor, size, preferred, leader);
  if (!rect) {
    labels.countUnplaced(text);
    return;
  }
  canvas.painter().setFont(font);
  canvas.painter().setPen(colour);
  canvas.painter().drawText(*rect, Qt::AlignCenter, text);
}

// The centres beside a segment's middle: above and below a flat one, right
// and left of an upright one, a label `size` big `gap` off it.
std::vector<QPointF> besideSegment(QPointF from, QPointF to, QSizeF size, double gap) {
  std::vector<QPointF> centres;
  for (const LayoutPoint& centre : centresBesideSegment({layoutPoint(from), layoutPoint(to)},
                                                        size.width(), size.height(), gap)) {
    centres.push_back(devicePoint(centre));
  }
  return centres;
}

void drawStructure(ViewCanvas& canvas, ViewInk& ink, const ClearanceReportContent& content,
                   const SheetLayout& sheet) {
  strokePolyline(canvas, ink, sternContourSteps(content.assessment.analysis),
                 canvas.pen(structureColour, structurePenMm));
  std::vector<DrawingPoint> rudder = sheet.rudderCorners;
  if (!rudder.empty()) rudder.push_back(rudder.front());
  strokePolyline(canvas, ink, rudder, canvas.pen(structureColour, structurePenMm));
  // The heel: the level of the first contour point, which b' measures to,
  // from that point aft to beyond the propeller.
  const DesignData& design = content.design;
  const double heelZ = design.contourZ[sternContourRow][1];
  const double heelAftX = std::max(design.propellerCentreX + 0.5 * design.propellerDiameter,
                                   content.assessment.clearance(clearanceBPrime).segment.targetX);
  strokeLine(canvas, ink, canvas.at(design.contourX[sternContourRow][1], heelZ),
             canvas.at(heelAftX, heelZ), canvas.pen(structureColour, thinPenMm, Qt::DashLine));
  strokeLine(canvas, ink, canvas.at(sheet.baseLine.from), canvas.at(sheet.baseLine.to),
             canvas.pen(centreLineColour, thinPenMm));
  strokeLine(canvas, ink, canvas.at(sheet.aftPerpendicular.from), canvas.at(sheet.aftPerpendicular.to),
             canvas.pen(centreLineColour, thinPenMm));
  const double waterline = design.waterlineHeight;
  strokeLine(canvas, ink, canvas.at(sheet.waterline.from.x, waterline),
             canvas.at(sheet.waterline.to.x, waterline), canvas.pen(waterlineColour, thinPenMm));
}

// The shaft's centre line across the whole view, the disc's upright
// diameter, the hub box, the four blade edges and the swept volume's outline.
void drawPropeller(ViewCanvas& canvas, ViewInk& ink, const ClearanceReportContent& content,
                   const ViewGeometry& view) {
  const SheetLayout& sheet = view.sheet;
  const QPointF centre = canvas.at(content.design.propellerCentreX, content.design.propellerCentreZ);
  strokeLine(canvas, ink, QPointF(canvas.box().left(), centre.y()),
             QPointF(canvas.box().right(), centre.y()),
             canvas.pen(centreLineColour, thinPenMm, Qt::DashDotLine));
  strokeLine(canvas, ink, canvas.at(sheet.discLine.from), canvas.at(sheet.discLine.to),
             canvas.pen(centreLineColour, thinPenMm, Qt::DashLine));
  for (const DrawingLine& side : sheet.hubBox) {
    strokeLine(canvas, ink, canvas.at(side.from), canvas.at(side.to),
               canvas.pen(structureColour, bladePenMm));
  }
  for (const auto& edge : view.bladeEdges) {
    strokePolyline(canvas, ink, edge, canvas.pen(bladeColour, bladePenMm));
  }
  const SweptOutline swept = sweptOutlineOf(content.assessment.analysis);
  for (const auto* half : {&swept.above, &swept.below}) {
    strokePolyline(canvas, ink, *half, canvas.pen(sweptColour, thinPenMm, Qt::DotLine));
  }
}

// Each clash's region hatched in red at hatchSpacingMm on paper.
void drawClashHatching(ViewCanvas& canvas, ViewInk& ink, const Assessment& assessment, int scale) {
  const double spacing = hatchSpacingMm * scale / millimetresPerMetre;
  const QPen pen = canvas.pen(clearanceMarkColour(ClearanceMark::Overlap), thinPenMm);
  for (const Clash& clash : assessment.clashes) {
    for (const DrawingLine& line : clashHatch(clash.region, spacing)) {
      strokeLine(canvas, ink, canvas.at(line.from), canvas.at(line.to), pen);
    }
  }
}

// A filled arrowhead with its point at `tip`, pointing along `direction` (unit).
void drawArrowhead(ViewCanvas& canvas, QPointF tip, QPointF direction, const QColor& colour) {
  const QPointF back = tip - direction * canvas.mm(arrowLengthMm);
  const QPointF side(-direction.y() * canvas.mm(arrowHalfWidthMm),
                     direction.x() * canvas.mm(arrowHalfWidthMm));
  canvas.painter().setPen(Qt::NoPen);
  canvas.painter().setBrush(colour);
  canvas.painter().drawPolygon(QPolygonF({tip, back + side, back - side}));
  canvas.painter().setBrush(Qt::NoBrush);
}

void drawTick(ViewCanvas& canvas, QPointF at, QPointF direction, const QColor& colour) {
  const QPointF across(-direction.y() * canvas.mm(tickHalfLengthMm),
                       direction.x() * canvas.mm(tickHalfLengthMm));
  canvas.painter().setPen(canvas.pen(colour, dimensionPenMm));
  canvas.painter().drawLine(at - across, at + across);
}

// The segment with arrowheads pointing at its ends from inside, or ticks
// where it is too short on paper for two arrowheads.
void drawDimensionLine(ViewCanvas& canvas, ViewInk& ink, const ClearanceSegment& segment,
                       ClearanceMark mark) {
  const QColor colour = clearanceMarkColour(mark);
  const QPointF blade = canvas.at(segment.bladeX, segment.bladeZ);
  const QPointF target = canvas.at(segment.targetX, segment.targetZ);
  const Qt::PenStyle style = mark == ClearanceMark::NotMeasured ? Qt::DashLine : Qt::SolidLine;
  strokeLine(canvas, ink, blade, target, canvas.pen(colour, dimensionPenMm, style));
  const QPointF along = target - blade;
  const double length = std::hypot(along.x(), along.y());
  if (length <= 0.0) return;
  const QPointF direction = along * checkedDivide(1.0, length, "a dimension's direction");
  if (length >= canvas.mm(3.0 * arrowLengthMm)) {
    drawArrowhead(canvas, target, direction, colour);
    drawArrowhead(canvas, blade, -direction, colour);
  } else {
    drawTick(canvas, target, direction, colour);
    drawTick(canvas, blade, direction, colour);
  }
}

// The closest approach of a structure to the swept volume: a dashed line
// between the two points, red where the volume cuts the structure.
void drawApproachLine(ViewCanvas& canvas, ViewInk& ink, const ApproachMark& mark) {
  const QColor colour = mark.overlaps ? clearanceMarkColour(ClearanceMark::Overlap) : approachColour;
  strokeLine(canvas, ink, canvas.at(mark.segment.from), canvas.at(mark.segment.to),
             canvas.pen(colour, dimensionPenMm, Qt::DashLine));
}

std::vector<ClosestApproach> approachesOf(const SternAnalysis& analysis) {
  std::vector<ClosestApproach> approaches = analysis.closestApproaches;
  if (analysis.hubApproach) approaches.push_back(*analysis.hubApproach);
  return approaches;
}

// "FWD" with an arrow pointing forward (towards smaller x: to the left),
// in the upper-left corner or the first free place near it.
void drawForwardArrow(ViewCanvas& canvas, LabelPlacer& labels) {
  const QFont font = canvas.font(labelPoints, true);
  const QFontMetricsF metrics(font, canvas.painter().device());
  const QString text = QStringLiteral("FWD");
  const double arrow = canvas.mm(forwardArrowMm);
  const double padding = canvas.mm(labelPaddingMm);
  const QSizeF size(arrow + metrics.horizontalAdvance(text) + 3.0 * padding, metrics.height());
  const QPointF corner = canvas.box().topLeft() + QPointF(canvas.mm(viewInsetMm), canvas.mm(viewInsetMm));
  const QPointF centre = corner + QPointF(0.5 * size.width(), 0.5 * size.height());
  const std::optional<QRectF> rect = labels.place(centre, size, {centre}, false);
  if (!rect) {
    labels.countUnplaced(text);
    return;
  }
  const double y = rect->center().y();
  const QPointF tip(rect->left() + padding, y);
  canvas.painter().setPen(canvas.pen(structureColour, dimensionPenMm));
  canvas.painter().drawLine(tip, tip + QPointF(arrow, 0.0));
  drawArrowhead(canvas, tip, QPointF(-1.0, 0.0), structureColour);
  canvas.painter().setFont(font);
  canvas.painter().setPen(structureColour);
  canvas.painter().drawText(QRectF(tip.x() + arrow + padding, rect->top(),
                                   metrics.horizontalAdvance(text) + padding, rect->height()),
                            Qt::AlignVCenter | Qt::AlignLeft, text);
}

// "B.L." above the base line near the view's left edge, "A.P." beside the
// aft perpendicular near its top, "DWL" on the waterline (or its height at
// the top edge when it lies above the view), "heel" on its level.
void drawReferenceLabels(ViewCanvas& canvas, LabelPlacer& labels, const DesignData& design) {
  const QRectF& box = canvas.box();
  const QFont font = canvas.font(labelPoints);
  const QFontMetricsF metrics(font, canvas.painter().device());
  const double gap = canvas.mm(labelGapMm) + 0.5 * metrics.height();
  const double inset = canvas.mm(2.0 * viewInsetMm) + 0.5 * metrics.horizontalAdvance("heel");
  // Each level's name starts from a point near the view's left edge on it;
  // a level close above another keeps that point clear of the other's name.
  const auto levelAnchor = [&](double z) -> std::optional<QPointF> {
    const double y = canvas.at(0.0, z).y();
    if (y <= box.top() || y >= box.bottom()) return std::nullopt;
    return QPointF(box.left() + inset + canvas.mm(forwardArrowMm), y);
  };
  const double heelZ = design.contourZ[sternContourRow][1];
  for (const double z : {0.0, design.waterlineHeight, heelZ}) {
    if (const std::optional<QPointF> anchor = levelAnchor(z)) labels.reserve(*anchor);
  }
  const auto level = [&](const char* text, double z, const QColor& colour) {
    const std::optional<QPointF> anchor = levelAnchor(z);
    if (!anchor) return;
    drawLabel(canvas, labels, QString::fromLatin1(text), font, colour, *anchor,
              {*anchor - QPointF(0.0, gap), *anchor + QPointF(0.0, gap)});
  };
  level("B.L.", 0.0, centreLineColour);
  level("DWL", design.waterlineHeight, waterlineColour);
  // A waterline above the view is named at its top edge with its height.
  if (canvas.at(0.0, design.waterlineHeight).y() <= box.top()) {
    const QString text = QStringLiteral("DWL z %1 m above \u2191")
                             .arg(QString::fromStdString(formatRounded(design.waterlineHeight, 3)));
    const QPointF anchor(box.center().x(), box.top() + canvas.mm(2.0 * viewInsetMm) + metrics.height());
    drawLabel(canvas, labels, text, font, waterlineColour, anchor, {anchor}, false);
  }
  level("heel", heelZ, structureColour);
  const double x = canvas.at(0.0, 0.0).x();
  if (x > box.left() && x < box.right()) {
    const QPointF anchor(x, box.top() + canvas.mm(2.0 * viewInsetMm) + metrics.height());
    const double dx = canvas.mm(labelGapMm) + 0.5 * metrics.horizontalAdvance("A.P.");
    drawLabel(canvas, labels, QStringLiteral("A.P."), font, centreLineColour, anchor,
              {anchor + QPointF(dx, 0.0), anchor - QPointF(dx, 0.0)});
  }
}

// A bar of a round length between 15 and 40 mm on paper, in black and white
// halves, with the scale beside it, in the strip under the view.
void drawScaleBar(QPainter& painter, const QRectF& strip, double unitsPerMm, int scale,
                  ReportPaper paper) {
  const double mmPerMetre = checkedDivide(millimetresPerMetre, scale, "the scale bar");
  double barMetres = 0.1;
  for (const double candidate : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0}) {
    if (candidate * mmPerMetre <= longestScaleBarMm) barMetres = candidate;
  }
  const double barWidth = barMetres * mmPerMetre * unitsPerMm;
  const double height = scaleBarHeightMm * unitsPerMm;
  const QPointF start(strip.left(), strip.center().y() - 0.5 * height);
  painter.setPen(QPen(structureColour, thinPenMm * unitsPerMm));
  painter.setBrush(structureColour);
  painter.drawRect(QRectF(start, QSizeF(0.5 * barWidth, height)));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(start + QPointF(0.5 * barWidth, 0.0), QSizeF(0.5 * barWidth, height)));
  painter.setBrush(Qt::NoBrush);
  QFont font(QString::fromLatin1(reportFontFamily));
  font.setPointSizeF(labelPoints);
  painter.setFont(font);
  const QString text = QStringLiteral("0 - %1 m     scale 1:%2 on %3")
                           .arg(QString::number(barMetres, 'g', QLocale::FloatingPointShortest))
                           .arg(scale)
                           .arg(QString::fromLatin1(reportPaperName(paper)));
  painter.drawText(QRectF(start.x() + barWidth + 2.0 * unitsPerMm, strip.top(), strip.width(),
                          strip.height()),
                   Qt::AlignVCenter | Qt::AlignLeft, text);
}

// The view's box without the strip for the scale bar under it.
QRectF viewBoxOf(const QRectF& box, double unitsPerMm) {
  return box.adjusted(0.0, 0.0, 0.0, -scaleStripMm * unitsPerMm);
}

}  // namespace

QColor clearanceMarkColour(ClearanceMark mark) {
  switch (mark) {
    case ClearanceMark::Clear: return {0x00, 0x7A, 0x33};
    case ClearanceMark::BelowInformative: return {0xC0, 0x60, 0x00};
    case ClearanceMark::BelowMinimum:
    case ClearanceMark::Overlap: return {0xD0, 0x10, 0x10};
    case ClearanceMark::NotMeasured: return {0x80, 0x80, 0x80};
  }
  return Qt::black;
}

const char* clearanceMarkMeaning(ClearanceMark mark) {
  switch (mark) {
    case ClearanceMark::Clear: return "clear / meets";
    case ClearanceMark::BelowInformative: return "below an informative minimum";
    case ClearanceMark::BelowMinimum: return "below the minimum";
    case ClearanceMark::NotMeasured: return "not measured (stand-in target)";
    case ClearanceMark::Overlap: return "overlap / clash";
  }
  return "";
}

int clearanceReportScale(const ClearanceReportContent& content, const QRectF& box, double unitsPerMm) {
  const ViewGeometry view = viewGeometryOf(content);
  const QRectF viewBox = viewBoxOf(box, unitsPerMm);
  const double mmPerUnit = checkedDivide(1.0, unitsPerMm, "the report's paper measures");
  return scaleToFit(propellerRegion(content.design, view), viewBox.width() * mmPerUnit,
                    viewBox.height() * mmPerUnit);
}

ReportViewRecord drawClearanceReportView(QPainter& painter, const QRectF& box, double unitsPerMm,
                                         const ClearanceReportContent& content) {
  const ViewGeometry view = viewGeometryOf(content);
  const Region region = propellerRegion(content.design, view);
  const int scale = clearanceReportScale(content, box, unitsPerMm);
  const QRectF viewBox = viewBoxOf(box, unitsPerMm);
  ViewCanvas canvas(painter, viewBox, unitsPerMm, region, scale);
  ReportViewRecord record;
  record.scale = scale;
  ViewInk ink(record, canvas);

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setClipRect(viewBox);
  drawStructure(canvas, ink, content, view.sheet);
  drawPropeller(canvas, ink, content, view);
  drawClashHatching(canvas, ink, content.assessment, scale);
  std::vector<ClearanceMark> marks;
  for (std::size_t which = 0; which < clearanceNames.size(); ++which) {
    marks.push_back(clearanceMarkOf(content, static_cast<int>(which)));
    drawDimensionLine(canvas, ink, view.clearances.segments[which], marks.back());
  }
  const std::vector<ApproachMark> approachMarks = approachMarksOf(content.assessment.analysis);
  for (const ApproachMark& mark : approachMarks) drawApproachLine(canvas, ink, mark);

  LabelPlacer labels(canvas, ink);
  drawForwardArrow(canvas, labels);
  const double gap = canvas.mm(labelGapMm);
  const double diameter = content.design.propellerDiameter;
  for (std::size_t which = 0; which < clearanceNames.size(); ++which) {
    const ClearanceSegment& segment = view.clearances.segments[which];
    const QFont font = canvas.font(labelPoints, marks[which] != ClearanceMark::Clear);
    const QString text =
        QString::fromStdString(valuedLabel(content.assessment.clearances[which], diameter));
    const QPointF blade = canvas.at(segment.bladeX, segment.bladeZ);
    const QPointF target = canvas.at(segment.targetX, segment.targetZ);
    const QFontMetricsF metrics(font, painter.device());
    const QSizeF size(metrics.horizontalAdvance(text) + 2.0 * canvas.mm(labelPaddingMm),
                      metrics.height());
    drawLabel(canvas, labels, text, font, clearanceMarkColour(marks[which]), 0.5 * (blade + target),
              besideSegment(blade, target, size, gap));
  }
  const std::vector<ClosestApproach> approaches = approachesOf(content.assessment.analysis);
  for (std::size_t i = 0; i < approaches.size() && i < approachMarks.size(); ++i) {
    const QFont font = canvas.font(labelPoints, approaches[i].overlaps);
    const QString text = QString::fromStdString(approachLabel(approaches[i]));
    const QPointF from = canvas.at(approachMarks[i].segment.from);
    const QPointF to = canvas.at(approachMarks[i].segment.to);
    const QFontMetricsF metrics(font, painter.device());
    const QSizeF size(metrics.horizontalAdvance(text) + 2.0 * canvas.mm(labelPaddingMm),
                      metrics.height());
    drawLabel(canvas, labels, text, font,
              approaches[i].overlaps ? clearanceMarkColour(ClearanceMark::Overlap) : approachColour,
              0.5 * (from + to), besideSegment(from, to, size, gap));
  }
  drawReferenceLabels(canvas, labels, content.design);
  painter.restore();
  painter.setPen(canvas.pen(structureColour, thinPenMm));
  painter.drawRect(viewBox);
  drawScaleBar(painter, QRectF(box.left(), viewBox.bottom(), box.width(), box.bottom() - viewBox.bottom()),
               unitsPerMm, scale, content.paper);
  return record;
}

}  // namespace propclear
