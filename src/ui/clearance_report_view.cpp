#include "ui/clearance_report_view.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "rules/measured_clearance.h"
#include "sheet/sheet_layout.h"
#include "sheet/stern_contour_steps.h"

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
constexpr double labelPoints = 6.5;
constexpr double noteInsetMm = 2.5;
constexpr double scaleBarHeightMm = 1.2;
constexpr double longestScaleBarMm = 40.0;

const QColor structureColour(0x20, 0x20, 0x20);
const QColor bladeColour(0x1F, 0x4E, 0x9A);
const QColor centreLineColour(0x80, 0x80, 0x80);

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

const char* markMeaning(ClearanceMark mark) {
  switch (mark) {
    case ClearanceMark::Clear: return "clear / meets";
    case ClearanceMark::BelowInformative: return "below an informative minimum";
    case ClearanceMark::BelowMinimum: return "below the minimum";
    case ClearanceMark::NotMeasured: return "not measured (stand-in target)";
    case ClearanceMark::Overlap: return "overlap";
  }
  return "";
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

// "B.L." above the base line at the view's left edge, "A.P." beside the aft
// perpendicular at its top, where they are in view.
void drawReferenceLabels(ViewCanvas& canvas) {
  const QRectF& box = canvas.box();
  const QPointF origin = canvas.at(0.0, 0.0);
  const double inset = canvas.mm(1.0);
  QPainter& painter = canvas.painter();
  painter.setFont(canvas.font(labelPoints));
  painter.setPen(centreLineColour);
  if (origin.y() > box.top() && origin.y() < box.bottom()) {
    painter.drawText(QPointF(box.left() + inset, origin.y() - inset), QStringLiteral("B.L."));
  }
  if (origin.x() > box.left() && origin.x() < box.right()) {
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(QPointF(origin.x() + inset, box.top() + inset + metrics.ascent()),
                     QStringLiteral("A.P."));
  }
}

void drawStructure(ViewCanvas& canvas, const ClearanceReportContent& content,
                   const SheetLayout& sheet) {
  canvas.polyline(sternContourSteps(content.assessment.analysis), canvas.pen(structureColour, structurePenMm));
  std::vector<DrawingPoint> rudder = sheet.rudderCorners;
  if (!rudder.empty()) rudder.push_back(rudder.front());
  canvas.polyline(rudder, canvas.pen(structureColour, structurePenMm));
  canvas.line(sheet.baseLine, canvas.pen(centreLineColour, thinPenMm));
  canvas.line(sheet.aftPerpendicular, canvas.pen(centreLineColour, thinPenMm));
  drawReferenceLabels(canvas);
}

// The shaft's centre line across the whole view, the disc's upright
// diameter, the hub box and the four blade edges.
void drawPropeller(ViewCanvas& canvas, const ClearanceReportContent& content,
                   const ViewGeometry& view) {
  const SheetLayout& sheet = view.sheet;
  const QPointF centre = canvas.at(content.design.propellerCentreX, content.design.propellerCentreZ);
  canvas.painter().setPen(canvas.pen(centreLineColour, thinPenMm, Qt::DashDotLine));
  canvas.painter().drawLine(QPointF(canvas.box().left(), centre.y()),
                            QPointF(canvas.box().right(), centre.y()));
  canvas.line(sheet.discLine, canvas.pen(centreLineColour, thinPenMm, Qt::DashLine));
  for (const DrawingLine& side : sheet.hubBox) canvas.line(side, canvas.pen(structureColour, bladePenMm));
  for (const auto& edge : view.bladeEdges) canvas.polyline(edge, canvas.pen(bladeColour, bladePenMm));
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

// The label's text: the signed gap where there is one, "a 0.612 m / 0.133D"
// or "c -0.336 m / -0.073D overlap"; the length against a stand-in target,
// marked so.
QString dimensionText(const ReportedClearances& clearances, std::size_t which, double diameter) {
  const std::optional<double>& gap = clearances.signedGaps[which];
  const double metres = gap ? *gap : clearances.segments[which].length;
  const double ratio = checkedDivide(metres, diameter, "a clearance as a multiple of D");
  std::string text = std::string(clearanceNames[which]) + " " + formatRounded(metres, 3) + " m / " +
                     formatRounded(ratio, 3) + "D";
  if (!gap) text += " to a stand-in";
  if (overlaps(gap)) text += " overlap";
  return QString::fromStdString(text);
}

// Where each label goes: above a horizontal segment's middle, beside a
// vertical one's; moved on upwards (or outwards) while it would cover a label
// placed before it.
class LabelPlacer {
 public:
  explicit LabelPlacer(ViewCanvas& canvas) : canvas_(canvas) {}

  QRectF place(QPointF from, QPointF to, QSizeF size) {
    const QPointF middle = 0.5 * (from + to);
    const double gap = canvas_.mm(labelGapMm);
    const bool horizontal = std::abs(to.x() - from.x()) >= std::abs(to.y() - from.y());
    QRectF rect = horizontal ? QRectF(middle.x() - 0.5 * size.width(), middle.y() - gap - size.height(),
                                      size.width(), size.height())
                             : QRectF(middle.x() + gap, middle.y() - 0.5 * size.height(),
                                      size.width(), size.height());
    while (coversPlaced(rect)) {
      rect.translate(horizontal ? QPointF(0.0, -size.height()) : QPointF(0.0, size.height()));
    }
    placed_.push_back(rect);
    return rect;
  }

 private:
  bool coversPlaced(const QRectF& rect) const {
    return std::any_of(placed_.begin(), placed_.end(),
                       [&rect](const QRectF& other) { return other.intersects(rect); });
  }

  ViewCanvas& canvas_;
  std::vector<QRectF> placed_;
};

// The segment with arrowheads pointing at its ends from inside, or ticks
// where it is too short on paper for two arrowheads; its label on a white
// ground.
void drawDimension(ViewCanvas& canvas, LabelPlacer& labels, const ClearanceReportContent& content,
                   const ReportedClearances& clearances, std::size_t which) {
  const ClearanceSegment& segment = clearances.segments[which];
  const ClearanceMark mark = clearanceMarkOf(content, static_cast<int>(which));
  const QColor colour = clearanceMarkColour(mark);
  const QPointF blade = canvas.at(segment.bladeX, segment.bladeZ);
  const QPointF target = canvas.at(segment.targetX, segment.targetZ);
  const Qt::PenStyle style = mark == ClearanceMark::NotMeasured ? Qt::DashLine : Qt::SolidLine;
  canvas.painter().setPen(canvas.pen(colour, dimensionPenMm, style));
  canvas.painter().drawLine(blade, target);

  const QPointF along = target - blade;
  const double length = std::hypot(along.x(), along.y());
  if (length > 0.0) {
    const QPointF direction = along * checkedDivide(1.0, length, "a dimension's direction");
    if (length >= canvas.mm(3.0 * arrowLengthMm)) {
      drawArrowhead(canvas, target, direction, colour);
      drawArrowhead(canvas, blade, -direction, colour);
    } else {
      drawTick(canvas, target, direction, colour);
      drawTick(canvas, blade, direction, colour);
    }
  }

  const QFont font = canvas.font(labelPoints, mark != ClearanceMark::Clear);
  const QFontMetricsF metrics(font, canvas.painter().device());
  const QString text = dimensionText(clearances, which, content.design.propellerDiameter);
  const double padding = canvas.mm(labelPaddingMm);
  const QSizeF size(metrics.horizontalAdvance(text) + 2.0 * padding, metrics.height());
  const QRectF rect = labels.place(blade, target, size);
  canvas.painter().fillRect(rect, QColor(255, 255, 255, 215));
  canvas.painter().setFont(font);
  canvas.painter().setPen(colour);
  canvas.painter().drawText(rect, Qt::AlignCenter, text);
}

// The colours that occur with what they mean, in the upper-right corner on
// a white ground.
void drawLegend(ViewCanvas& canvas, const ClearanceReportContent& content) {
  std::vector<ClearanceMark> marks;
  for (int which = 0; which < clearanceCount; ++which) marks.push_back(clearanceMarkOf(content, which));
  std::sort(marks.begin(), marks.end());
  marks.erase(std::unique(marks.begin(), marks.end()), marks.end());
  std::vector<std::pair<QColor, QString>> entries;
  for (const ClearanceMark mark : marks) {
    const QColor colour = clearanceMarkColour(mark);
    const QString meaning = QString::fromLatin1(markMeaning(mark));
    const auto same = std::find_if(entries.begin(), entries.end(),
                                   [&colour](const auto& entry) { return entry.first == colour; });
    if (same != entries.end()) {
      same->second += QStringLiteral(" or ") + meaning;
    } else {
      entries.emplace_back(colour, meaning);
    }
  }

  QPainter& painter = canvas.painter();
  const QFont font = canvas.font(labelPoints);
  const QFontMetricsF metrics(font, painter.device());
  const double swatch = canvas.mm(4.0);
  const double gap = canvas.mm(1.0);
  double textWidth = 0.0;
  for (const auto& entry : entries) {
    textWidth = std::max(textWidth, metrics.horizontalAdvance(entry.second));
  }
  const double right = canvas.box().right() - canvas.mm(noteInsetMm);
  const double top = canvas.box().top() + canvas.mm(noteInsetMm);
  const double textLeft = right - textWidth;
  painter.fillRect(QRectF(textLeft - 2.0 * gap - swatch, top - gap, textWidth + 3.0 * gap + swatch,
                          entries.size() * metrics.lineSpacing() + 2.0 * gap),
                   QColor(255, 255, 255, 230));
  painter.setFont(font);
  double y = top;
  for (const auto& [colour, meaning] : entries) {
    const double middle = y + 0.5 * metrics.height();
    painter.setPen(canvas.pen(colour, 2.0 * dimensionPenMm));
    painter.drawLine(QPointF(textLeft - gap - swatch, middle), QPointF(textLeft - gap, middle));
    painter.setPen(structureColour);
    painter.drawText(QPointF(textLeft, y + metrics.ascent()), meaning);
    y += metrics.lineSpacing();
  }
}

// A bar of a round length between 15 and 40 mm on paper, in black and white
// halves, with the scale beside it, in the lower-left corner.
void drawScaleBar(ViewCanvas& canvas, int scale) {
  const double mmPerMetre = checkedDivide(millimetresPerMetre, scale, "the scale bar");
  double barMetres = 0.1;
  for (const double candidate : {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0}) {
    if (candidate * mmPerMetre <= longestScaleBarMm) barMetres = candidate;
  }
  const double barWidth = canvas.mm(barMetres * mmPerMetre);
  const QPointF start(canvas.box().left() + canvas.mm(noteInsetMm),
                      canvas.box().bottom() - canvas.mm(noteInsetMm + scaleBarHeightMm));
  const double height = canvas.mm(scaleBarHeightMm);
  QPainter& painter = canvas.painter();
  painter.setPen(canvas.pen(structureColour, thinPenMm));
  painter.setBrush(structureColour);
  painter.drawRect(QRectF(start, QSizeF(0.5 * barWidth, height)));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(start + QPointF(0.5 * barWidth, 0.0), QSizeF(0.5 * barWidth, height)));
  painter.setBrush(Qt::NoBrush);

  const QFont font = canvas.font(labelPoints);
  const QFontMetricsF metrics(font, painter.device());
  painter.setFont(font);
  const QString text = QStringLiteral("0 - %1 m     scale 1:%2 on A4")
                           .arg(QString::number(barMetres, 'g', QLocale::FloatingPointShortest))
                           .arg(scale);
  painter.drawText(QPointF(start.x() + barWidth + canvas.mm(2.0), start.y() + height), text);
}

}  // namespace

QColor clearanceMarkColour(ClearanceMark mark) {
  switch (mark) {
    case ClearanceMark::Clear: return {0x00, 0x5A, 0x32};
    case ClearanceMark::BelowInformative: return {0xC0, 0x60, 0x00};
    case ClearanceMark::BelowMinimum:
    case ClearanceMark::Overlap: return {0xD0, 0x10, 0x10};
    case ClearanceMark::NotMeasured: return {0x80, 0x80, 0x80};
  }
  return Qt::black;
}

void drawClearanceReportView(QPainter& painter, const QRectF& box, double unitsPerMm,
                             const ClearanceReportContent& content) {
  const ViewGeometry view = viewGeometryOf(content);
  const Region region = propellerRegion(content.design, view);
  const double mmPerUnit = checkedDivide(1.0, unitsPerMm, "the report's paper measures");
  const int scale = scaleToFit(region, box.width() * mmPerUnit, box.height() * mmPerUnit);
  ViewCanvas canvas(painter, box, unitsPerMm, region, scale);

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setClipRect(box);
  drawStructure(canvas, content, view.sheet);
  drawPropeller(canvas, content, view);
  LabelPlacer labels(canvas);
  for (std::size_t which = 0; which < clearanceNames.size(); ++which) {
    drawDimension(canvas, labels, content, view.clearances, which);
  }
  drawLegend(canvas, content);
  drawScaleBar(canvas, scale);
  painter.restore();
  painter.setPen(canvas.pen(structureColour, thinPenMm));
  painter.drawRect(box);
}

}  // namespace propclear
