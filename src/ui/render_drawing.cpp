#include "ui/render_drawing.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <QString>
#include <QTransform>
#include <array>
#include <cmath>

#include "ui/screen_units.h"

namespace propclear {

namespace {

// The conventional 16-colour palette, by index: black, blue, green, cyan, red,
// magenta, brown, light grey, dark grey, then the light versions of blue to
// magenta, yellow and white.
constexpr std::array<QRgb, paletteSize> paletteRgb{
    qRgb(0x00, 0x00, 0x00), qRgb(0x00, 0x00, 0xAA), qRgb(0x00, 0xAA, 0x00), qRgb(0x00, 0xAA, 0xAA),
    qRgb(0xAA, 0x00, 0x00), qRgb(0xAA, 0x00, 0xAA), qRgb(0xAA, 0x55, 0x00), qRgb(0xAA, 0xAA, 0xAA),
    qRgb(0x55, 0x55, 0x55), qRgb(0x55, 0x55, 0xFF), qRgb(0x55, 0xFF, 0x55), qRgb(0x55, 0xFF, 0xFF),
    qRgb(0xFF, 0x55, 0x55), qRgb(0xFF, 0x55, 0xFF), qRgb(0xFF, 0xFF, 0x55), qRgb(0xFF, 0xFF, 0xFF),
};
static_assert(paletteRgb.size() == 16);

// The classic window's white: the text colour (dark blue) is made for it, and
// the pale colours (light green, yellow) stay visible on it as they are, so
// every index keeps its conventional colour, on screen and on paper alike.
const QColor drawingBackground = Qt::white;

// What the commands so far have set; everything else is drawn at once.
struct RenderState {
  QTransform userToPixels;  // until a user scale is set, user units are pixels
  QPointF textCursor;       // user units
  int textColour = 0;
  int lineWidth = 1;
  QFont font;
};

// Maps (left, top) onto the area's top-left pixel and (right, bottom) onto its
// bottom-right pixel, stretching x and y independently. A scale without
// extent in x or y has no mapping; the previous one stays.
void setUserScale(RenderState& state, const DrawCommand& command, QSize area) {
  const double userWidth = command.right - command.left;
  const double userHeight = command.bottom - command.top;
  if (userWidth == 0.0 || userHeight == 0.0) return;
  const double xStretch = (area.width() - 1) / userWidth;
  const double yStretch = (area.height() - 1) / userHeight;
  state.userToPixels = QTransform(xStretch, 0.0, 0.0, yStretch, -command.left * xStretch,
                                  -command.top * yStretch);
}

// Font sizes are in points; at the window's 15 twips per pixel a point is 4/3
// pixel on every device, so that exports lay text out as the window does.
QFont fontOf(const DrawCommand& command) {
  QFont font(QString::fromStdString(command.text));
  font.setPixelSize(static_cast<int>(std::lround(command.size * double{twipsPerPoint} / twipsPerPixel)));
  return font;
}

QPen linePen(const RenderState& state, int colour) {
  return QPen(paletteColour(colour), state.lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawLine(QPainter& painter, const RenderState& state, const DrawCommand& command) {
  painter.setPen(linePen(state, command.colour));
  painter.drawLine(state.userToPixels.map(QPointF(command.x1, command.y1)),
                   state.userToPixels.map(QPointF(command.x2, command.y2)));
}

// The radius is measured along x: a round circle of the x-stretched radius.
void drawCircle(QPainter& painter, const RenderState& state, const DrawCommand& command) {
  const double radiusPixels = std::abs(command.radius * state.userToPixels.m11());
  painter.setPen(linePen(state, command.colour));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(state.userToPixels.map(QPointF(command.x1, command.y1)), radiusPixels,
                      radiusPixels);
}

// The text's upper-left corner sits at the cursor; the cursor then moves to
// the start of the next line, at the area's left edge.
void printText(QPainter& painter, RenderState& state, const DrawCommand& command) {
  painter.setFont(state.font);
  painter.setPen(paletteColour(state.textColour));
  const QFontMetricsF metrics(state.font, painter.device());
  const QPointF corner = state.userToPixels.map(state.textCursor);
  painter.drawText(QPointF(corner.x(), corner.y() + metrics.ascent()),
                   QString::fromStdString(command.text));
  const QPointF nextLine(0.0, corner.y() + metrics.lineSpacing());
  state.textCursor = state.userToPixels.inverted().map(nextLine);
}

void clearArea(QPainter& painter, QSize area) {
  painter.fillRect(QRect(QPoint(0, 0), area), drawingBackground);
}

}  // namespace

QColor paletteColour(int index) {
  return QColor(paletteRgb.at(static_cast<std::size_t>(index)));
}

void renderDrawing(const std::vector<DrawCommand>& commands, QPainter& painter, QSize area) {
  painter.setRenderHint(QPainter::Antialiasing, false);  // crisp one-pixel lines
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  clearArea(painter, area);
  RenderState state;
  for (const DrawCommand& command : commands) {
    switch (command.op) {
      case DrawOp::ShowWindow:
      case DrawOp::SetCaption:
        break;  // the window's business, not the drawing's
      case DrawOp::ClearWindow: clearArea(painter, area); break;
      case DrawOp::SetFont: state.font = fontOf(command); break;
      case DrawOp::SetTextColour: state.textColour = command.colour; break;
      case DrawOp::SetLineWidth: state.lineWidth = command.size; break;
      case DrawOp::SetUserScale: setUserScale(state, command, area); break;
      case DrawOp::DrawLine: drawLine(painter, state, command); break;
      case DrawOp::DrawCircle: drawCircle(painter, state, command); break;
      case DrawOp::MoveTextCursor: state.textCursor = QPointF(command.x1, command.y1); break;
      case DrawOp::PrintText: printText(painter, state, command); break;
    }
  }
}

}  // namespace propclear
