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
  if (colour < 0 || colour >= paletteSize) {
    throw RunError(ErrorKind::Arithmetic,
                   "colour index " + std::to_string(colour) + " is outside the 16-colour palette");
  }
  return colour;
}

}  // namespace

void DrawingSurface::showWindow() { record({.op = DrawOp::ShowWindow}); }

void DrawingSurface::clearWindow() { record({.op = DrawOp::ClearWindow}); }

void DrawingSurface::setCaption(const std::string& text) {
  record({.op = DrawOp::SetCaption, .text = text});
}

void DrawingSurface::setFont(const std::string& fontName, int points) {
  record({.op = DrawOp::SetFont, .size = points, .text = fontName});
}

void DrawingSurface::setTextColour(int colour) {
  record({.op = DrawOp::SetTextColour, .colour = checkedColour(colour)});
}

void DrawingSurface::setLineWidth(int pixels) { record({.op = DrawOp::SetLineWidth, .size = pixels}); }

void DrawingSurface::setUserScale(double left, double top, double right, double bottom) {
  record({.op = DrawOp::SetUserScale,
          .left = requireFinite(left, "the plot scale"),
          .top = requireFinite(top, "the plot scale"),
          .right = requireFinite(right, "the plot scale"),
          .bottom = requireFinite(bottom, "the plot scale")});
}

void DrawingSurface::drawLine(double x1, double y1, double x2, double y2, int colour) {
  record({.op = DrawOp::DrawLine,
          .x1 = toScreen(x1),
          .y1 = toScreen(y1),
          .x2 = toScreen(x2),
          .y2 = toScreen(y2),
          .colour = checkedColour(colour)});
}

void DrawingSurface::drawCircle(double x, double y, double radius, int colour) {
  record({.op = DrawOp::DrawCircle,
          .x1 = toScreen(x),
          .y1 = toScreen(y),
          .radius = toScreen(radius),
          .colour = checkedColour(colour)});
}

void DrawingSurface::moveTextCursor(double x, double y) {
  record({.op = DrawOp::MoveTextCursor, .x1 = toScreen(x), .y1 = toScreen(y)});
}

void DrawingSurface::printText(const std::string& text) {
  record({.op = DrawOp::PrintText, .text = text});
}

void DrawingSurface::record(DrawCommand command) {
  commands_.push_back(std::move(command));
  if (observer_ != nullptr) observer_->commandRecorded(commands_);
}

}  // namespace propclear
