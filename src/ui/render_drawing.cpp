#include "ui/render_drawing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>

#include "plot/plot_mapping.h"
#include "ui/screen_units.h"

namespace propclear {

namespace {

// The classic window's white: the text colour (dark blue) is made for it, and
// the pale colours (light green, yellow) stay visible on it as they are, so
// every index keeps its conventional colour, on screen and on paper alike.
const QColor drawingBackground = Qt::white;

// What the commands so far have set; everything else is drawn at once.
struct RenderState {
  QTransform userToPixels;  // until a user scale is set, user units are pixels
  QPointF textCursor;       // user units
  int textColour = 0;
  double lineWidth = 1.0;   // pixels, the detail scale applied
  Qt::PenStyle lineStyle = Qt::SolidLine;
  // Where the last line ended (pixels) and how far into its dash pattern, in
  // pen widths: a line that goes on from there goes on with the pattern, so
  // that a dashed outline of many short lines shows its dashes.
  QPointF lineEnd;
  double dashOffset = 0.0;
  double detailScale = 1.0;
  QFont font;
  bool fixedView = false;       // the view's mapping, not the drawing's user scale
  bool separateLabels = false;  // texts moved apart where they would overprint
  std::vector<QRectF> textBoxes;  // pixels, of the texts drawn so far
};

// The user scale's mapping into the area; a scale without extent in x or z
// has none and the previous one stays.
void setUserScale(RenderState& state, const DrawCommand& command, QSize area) {
  if (state.fixedView) return;
  const std::optional<QTransform> mapping =
      fittedUserScale(command.left, command.top, command.right, command.bottom, area);
  if (mapping) state.userToPixels = *mapping;
}

// Font sizes are in points; at the window's 15 twips per pixel a point is 4/3
// pixel on every device, so that exports lay text out as the window does.
QFont fontOf(const DrawCommand& command, double detailScale) {
  QFont font(QString::fromStdString(command.text));
  font.setPixelSize(static_cast<int>(
      std::lround(command.size * double{twipsPerPoint} / twipsPerPixel * detailScale)));
  return font;
}

Qt::PenStyle penStyleOf(const DrawCommand& command) {
  switch (static_cast<LineStyle>(command.size)) {
    case LineStyle::Dashed: return Qt::DashLine;
    case LineStyle::Dotted: return Qt::DotLine;
    case LineStyle::Solid: break;
  }
  return Qt::SolidLine;
}

// Dashes and dots keep their square ends: round caps would fill the gaps of
// a one-pixel dotted line.
QPen linePen(const RenderState& state, int colour) {
  const Qt::PenCapStyle cap = state.lineStyle == Qt::SolidLine ? Qt::RoundCap : Qt::FlatCap;
  return QPen(paletteColour(colour), state.lineWidth, state.lineStyle, cap, Qt::RoundJoin);
}

void drawLine(QPainter& painter, RenderState& state, const DrawCommand& command) {
  const QPointF from = state.userToPixels.map(QPointF(command.x1, command.y1));
  const QPointF to = state.userToPixels.map(QPointF(command.x2, command.y2));
  QPen pen = linePen(state, command.colour);
  if (state.lineStyle != Qt::SolidLine) {
    const QPointF gap = from - state.lineEnd;
    if (std::abs(gap.x()) + std::abs(gap.y()) > 0.01) state.dashOffset = 0.0;
    pen.setDashOffset(state.dashOffset);
    state.dashOffset += std::hypot(to.x() - from.x(), to.y() - from.y()) / std::max(pen.widthF(), 1.0);
  }
  state.lineEnd = to;
  painter.setPen(pen);
  painter.drawLine(from, to);
}

// The radius is measured along x: a round circle of the x-stretched radius.
void drawCircle(QPainter& painter, const RenderState& state, const DrawCommand& command) {
  const double radiusPixels = std::abs(command.radius * state.userToPixels.m11());
  painter.setPen(linePen(state, command.colour));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(state.userToPixels.map(QPointF(command.x1, command.y1)), radiusPixels,
                      radiusPixels);
}

// The first place at or below `corner`, by whole lines, where the text
// overprints no earlier text; the place is then taken.
QPointF freePlaceFor(RenderState& state, QPointF corner, const QFontMetricsF& metrics,
                     const QString& text) {
  constexpr int maxLinesDown = 8;
  QRectF box(corner, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
  for (int line = 0; line < maxLinesDown; ++line) {
    const bool free = std::none_of(state.textBoxes.begin(), state.textBoxes.end(),
                                   [&](const QRectF& taken) { return taken.intersects(box); });
    if (free) break;
    box.translate(0.0, metrics.lineSpacing());
  }
  state.textBoxes.push_back(box);
  return box.topLeft();
}

// The text's upper-left corner sits at the cursor; the cursor then moves to
// the start of the next line, at the area's left edge.
void printText(QPainter& painter, RenderState& state, const DrawCommand& command) {
  painter.setFont(state.font);
  painter.setPen(paletteColour(state.textColour));
  const QFontMetricsF metrics(state.font, painter.device());
  const QString text = QString::fromStdString(command.text);
  QPointF corner = state.userToPixels.map(state.textCursor);
  if (state.separateLabels) corner = freePlaceFor(state, corner, metrics, text);
  painter.drawText(QPointF(corner.x(), corner.y() + metrics.ascent()), text);
  const QPointF nextLine(0.0, corner.y() + metrics.lineSpacing());
  state.textCursor = state.userToPixels.inverted().map(nextLine);
}

void clearArea(QPainter& painter, QSize area) {
  painter.fillRect(QRect(QPoint(0, 0), area), drawingBackground);
}

void replay(const std::vector<DrawCommand>& commands, QPainter& painter, QSize area,
            RenderState& state) {
  // Crisp one-pixel lines in the window; smooth ones where lines are wider.
  painter.setRenderHint(QPainter::Antialiasing, state.detailScale > 1.0);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  clearArea(painter, area);
  for (const DrawCommand& command : commands) {
    switch (command.op) {
      case DrawOp::ShowWindow:
      case DrawOp::SetCaption:
        break;  // the window's business, not the drawing's
      case DrawOp::ClearWindow: clearArea(painter, area); break;
      case DrawOp::SetFont: state.font = fontOf(command, state.detailScale); break;
      case DrawOp::SetTextColour: state.textColour = command.colour; break;
      case DrawOp::SetLineWidth: state.lineWidth = command.size * state.detailScale; break;
      case DrawOp::SetLineStyle: state.lineStyle = penStyleOf(command); break;
      case DrawOp::SetUserScale: setUserScale(state, command, area); break;
      case DrawOp::DrawLine: drawLine(painter, state, command); break;
      case DrawOp::DrawCircle: drawCircle(painter, state, command); break;
      case DrawOp::MoveTextCursor: state.textCursor = QPointF(command.x1, command.y1); break;
      case DrawOp::PrintText: printText(painter, state, command); break;
    }
  }
}

}  // namespace

QColor paletteColour(int index) {
  return QColor(QRgb(0xFF000000u | paletteRgb.at(static_cast<std::size_t>(index))));
}

std::optional<QTransform> fittedUserScale(double left, double top, double right, double bottom,
                                          QSize area) {
  const std::optional<PlotMapping> mapping =
      fittedPlotMapping(left, top, right, bottom, PlotSize{area.width(), area.height()});
  if (!mapping) return std::nullopt;
  return QTransform(mapping->xScale, 0.0, 0.0, mapping->yScale, mapping->xOffset, mapping->yOffset);
}

void renderDrawing(const std::vector<DrawCommand>& commands, QPainter& painter, QSize area,
                   double detailScale, bool separateLabels) {
  RenderState state;
  state.detailScale = detailScale;
  state.separateLabels = separateLabels;
  replay(commands, painter, area, state);
}

void renderDrawing(const std::vector<DrawCommand>& commands, QPainter& painter, QSize area,
                   const DrawingView& view) {
  RenderState state;
  state.userToPixels = view.userToPixels;
  state.fixedView = true;
  state.separateLabels = view.separateLabels;
  replay(commands, painter, area, state);
}

}  // namespace propclear
