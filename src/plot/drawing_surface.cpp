#include "plot/drawing_surface.h"

#include <cmath>

#include "common/checked_math.h"

namespace propclear {

namespace {

// The window takes coordinates in single precision.
float toScreen(double value) {
  return static_cast<float>(requireFinite(static_cast<float>(value), "a plot coordinate"));
}

int checkedColour(int colour) {
  if (colour < 0 || colour >= drawingColourCount) {
    throw RunError(ErrorKind::Arithmetic,
                   "colour index " + std::to_string(colour) + " is outside the 16-colour palette");
  }
  return colour;
}

DrawCommand command(DrawOp op) {
  DrawCommand c;
  c.op = op;
  return c;
}

}  // namespace

void DrawingSurface::showWindow() { record(command(DrawOp::ShowWindow)); }

void DrawingSurface::clearWindow() { record(command(DrawOp::ClearWindow)); }

void DrawingSurface::setCaption(const std::string& text) {
  DrawCommand c = command(DrawOp::SetCaption);
  c.text = text;
  record(std::move(c));
}

void DrawingSurface::setFont(const std::string& fontName, int points) {
  DrawCommand c = command(DrawOp::SetFont);
  c.text = fontName;
  c.size = points;
  record(std::move(c));
}

void DrawingSurface::setTextColour(int colour) {
  DrawCommand c = command(DrawOp::SetTextColour);
  c.colour = checkedColour(colour);
  record(std::move(c));
}

void DrawingSurface::setLineWidth(int pixels) {
  DrawCommand c = command(DrawOp::SetLineWidth);
  c.size = pixels;
  record(std::move(c));
}

void DrawingSurface::setLineStyle(LineStyle style) {
  DrawCommand c = command(DrawOp::SetLineStyle);
  c.size = static_cast<int>(style);
  record(std::move(c));
}

void DrawingSurface::setUserScale(double left, double top, double right, double bottom) {
  DrawCommand c = command(DrawOp::SetUserScale);
  c.left = requireFinite(left, "the plot scale");
  c.top = requireFinite(top, "the plot scale");
  c.right = requireFinite(right, "the plot scale");
  c.bottom = requireFinite(bottom, "the plot scale");
  record(std::move(c));
}

void DrawingSurface::drawLine(double x1, double y1, double x2, double y2, int colour) {
  DrawCommand c = command(DrawOp::DrawLine);
  c.x1 = toScreen(x1);
  c.y1 = toScreen(y1);
  c.x2 = toScreen(x2);
  c.y2 = toScreen(y2);
  c.colour = checkedColour(colour);
  record(std::move(c));
}

void DrawingSurface::drawCircle(double x, double y, double radius, int colour) {
  DrawCommand c = command(DrawOp::DrawCircle);
  c.x1 = toScreen(x);
  c.y1 = toScreen(y);
  c.radius = toScreen(radius);
  c.colour = checkedColour(colour);
  record(std::move(c));
}

void DrawingSurface::moveTextCursor(double x, double y) {
  DrawCommand c = command(DrawOp::MoveTextCursor);
  c.x1 = toScreen(x);
  c.y1 = toScreen(y);
  record(std::move(c));
}

void DrawingSurface::printText(const std::string& text) {
  DrawCommand c = command(DrawOp::PrintText);
  c.text = text;
  record(std::move(c));
}

void DrawingSurface::record(DrawCommand command) {
  commands_.push_back(std::move(command));
  if (observer_ != nullptr) observer_->commandRecorded(commands_);
}

}  // namespace propclear
