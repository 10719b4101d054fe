#include "plot/svg_drawing.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "common/checked_math.h"
#include "common/format_number.h"
#include "common/output_file.h"
#include "plot/plot_font_metrics.h"
#include "plot/plot_mapping.h"

namespace propclear {

namespace {

// A saved plot's physical size: the window's pixels at 96 per inch, a given
// size in points at 72 per inch.
constexpr double millimetresPerInch = 25.4;
constexpr double designPixelsPerInch = 1440.0 / twipsPerPixel;
constexpr double pointsPerInch = 72.0;

// Dashes and gaps in line widths, as the window draws its dashed and dotted
// pens.
constexpr std::string_view dashPattern = "4,2";
constexpr std::string_view dotPattern = "1,2";
constexpr double dashPatternLength = 6.0;
constexpr double dotPatternLength = 3.0;

// Thousandths of a pixel, without trailing zeros: "180.875", "88.31", "716".
std::string svgNumber(double value) {
  std::string text = formatRounded(value, 3);
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

std::string colourText(int index) {
  constexpr std::string_view hexDigits = "0123456789abcdef";
  const std::uint32_t rgb = paletteRgb.at(static_cast<std::size_t>(std::clamp(index, 0, drawingColourCount - 1)));
  std::string text = "#";
  for (int shift = 20; shift >= 0; shift -= 4) text += hexDigits[(rgb >> shift) & 0xFu];
  return text;
}

std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// What the commands so far have set, as the window's renderer keeps it.
struct SvgState {
  PlotSize area;
  double detailScale = 1.0;
  PlotMapping mapping;  // until a user scale is set, user units are pixels
  PixelPoint textCursor;  // user units
  int textColour = 0;
  double lineWidth = 1.0;  // pixels, the detail scale applied
  LineStyle lineStyle = LineStyle::Solid;
  // Where the last line ended (pixels) and how far into its dash pattern, in
  // line widths: a dashed outline of many short lines keeps its dashes.
  PixelPoint lineEnd;
  double dashOffset = 0.0;
  std::string fontFamily = "Arial";
  double fontPixels = 16.0;
};

void appendAttribute(std::string& out, std::string_view name, std::string_view value) {
  out += ' ';
  out += name;
  out += "=\"";
  out += value;
  out += '"';
}

void appendBackground(std::string& out, const SvgState& state) {
  out += "<rect width=\"" + std::to_string(state.area.width) + "\" height=\"" +
         std::to_string(state.area.height) + "\" fill=\"#ffffff\"/>\n";
}

// The stroke of a line or circle; dashes and dots keep square ends, as a
// round cap would fill the gaps of a thin dotted line.
void appendStroke(std::string& out, const SvgState& state, int colour) {
  appendAttribute(out, "stroke", colourText(colour));
  // A pen of no width draws one pixel wide, as the window's does.
  appendAttribute(out, "stroke-width", svgNumber(state.lineWidth > 0.0 ? state.lineWidth : 1.0));
  if (state.lineStyle == LineStyle::Solid) {
    appendAttribute(out, "stroke-linecap", "round");
    return;
  }
  appendAttribute(out, "stroke-linecap", "butt");
  const double unit = std::max(state.lineWidth, 1.0);
  const bool dashed = state.lineStyle == LineStyle::Dashed;
  std::string pattern;
  for (const char c : dashed ? dashPattern : dotPattern) {
    pattern += c == ',' ? std::string(",") : svgNumber((c - '0') * unit);
  }
  appendAttribute(out, "stroke-dasharray", pattern);
  const double patternLength = dashed ? dashPatternLength : dotPatternLength;
  appendAttribute(out, "stroke-dashoffset",
                  svgNumber(std::fmod(state.dashOffset, patternLength) * unit));
}

void appendLine(std::string& out, SvgState& state, const DrawCommand& command) {
  const PixelPoint from = state.mapping.map(command.x1, command.y1);
  const PixelPoint to = state.mapping.map(command.x2, command.y2);
  if (state.lineStyle != LineStyle::Solid) {
    if (std::abs(from.x - state.lineEnd.x) + std::abs(from.y - state.lineEnd.y) > 0.01)
      state.dashOffset = 0.0;
  }
  out += "<line";
  appendAttribute(out, "x1", svgNumber(from.x));
  appendAttribute(out, "y1", svgNumber(from.y));
  appendAttribute(out, "x2", svgNumber(to.x));
  appendAttribute(out, "y2", svgNumber(to.y));
  appendStroke(out, state, command.colour);
  out += "/>\n";
  if (state.lineStyle != LineStyle::Solid) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    state.dashOffset += checkedDivide(std::sqrt(dx * dx + dy * dy), std::max(state.lineWidth, 1.0),
                                      "the dash offset of a line");
  }
  state.lineEnd = to;
}

// The radius is measured along x: a round circle of the x-stretched radius.
void appendCircle(std::string& out, const SvgState& state, const DrawCommand& command) {
  const PixelPoint centre = state.mapping.map(command.x1, command.y1);
  out += "<circle";
  appendAttribute(out, "cx", svgNumber(centre.x));
  appendAttribute(out, "cy", svgNumber(centre.y));
  appendAttribute(out, "r", svgNumber(std::abs(command.radius * state.mapping.xScale)));
  appendStroke(out, state, command.colour);
  out += "/>\n";
}

// The text's upper-left corner sits at the cursor; the cursor then moves to
// the start of the next line, at the area's left edge.
void appendText(std::string& out, SvgState& state, const DrawCommand& command) {
  const PixelPoint corner = state.mapping.map(state.textCursor.x, state.textCursor.y);
  out += "<text";
  appendAttribute(out, "x", svgNumber(corner.x));
  appendAttribute(out, "y", svgNumber(corner.y + fontAscentPerEm * state.fontPixels));
  appendAttribute(out, "font-family", escaped(state.fontFamily));
  appendAttribute(out, "font-size", svgNumber(state.fontPixels));
  appendAttribute(out, "fill", colourText(state.textColour));
  out += " stroke=\"none\" xml:space=\"preserve\">" + escaped(command.text) + "</text>\n";
  state.textCursor =
      state.mapping.unmap({0.0, corner.y + fontLineSpacingPerEm * state.fontPixels});
}

void appendCommand(std::string& out, SvgState& state, const DrawCommand& command) {
  switch (command.op) {
    case DrawOp::ShowWindow:
    case DrawOp::SetCaption: break;  // the window's business, not the drawing's
    case DrawOp::ClearWindow: appendBackground(out, state); break;
    case DrawOp::SetFont:
      state.fontFamily = command.text;
      state.fontPixels = fontPixelsOf(command.size, state.detailScale);
      break;
    case DrawOp::SetTextColour: state.textColour = command.colour; break;
    case DrawOp::SetLineWidth: state.lineWidth = command.size * state.detailScale; break;
    case DrawOp::SetLineStyle: state.lineStyle = static_cast<LineStyle>(command.size); break;
    case DrawOp::SetUserScale:
      if (const std::optional<PlotMapping> mapping = fittedPlotMapping(
              command.left, command.top, command.right, command.bottom, state.area)) {
        state.mapping = *mapping;
      }
      break;
    case DrawOp::DrawLine: appendLine(out, state, command); break;
    case DrawOp::DrawCircle: appendCircle(out, state, command); break;
    case DrawOp::MoveTextCursor: state.textCursor = {command.x1, command.y1}; break;
    case DrawOp::PrintText: appendText(out, state, command); break;
  }
}

}  // namespace

std::string svgDrawingText(const std::vector<DrawCommand>& commands,
                           const std::optional<PlotSize>& size) {
  SvgState state;
  state.area = size.value_or(designPlotSize);
  if (size) {
    state.detailScale = std::min(
        checkedDivide(size->width, designPlotSize.width, "the plot's detail scale"),
        checkedDivide(size->height, designPlotSize.height, "the plot's detail scale"));
  }
  const double millimetresPerUnit =
      millimetresPerInch / (size ? pointsPerInch : designPixelsPerInch);
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg";
  appendAttribute(out, "xmlns", "http://www.w3.org/2000/svg");
  appendAttribute(out, "width", svgNumber(state.area.width * millimetresPerUnit) + "mm");
  appendAttribute(out, "height", svgNumber(state.area.height * millimetresPerUnit) + "mm");
  appendAttribute(out, "viewBox", "0 0 " + std::to_string(state.area.width) + " " +
                                      std::to_string(state.area.height));
  out += ">\n<title>propclear stern geometry</title>\n<g fill=\"none\" stroke-linejoin=\"round\">\n";
  appendBackground(out, state);
  for (const DrawCommand& command : commands) appendCommand(out, state, command);
  out += "</g>\n</svg>\n";
  return out;
}

void writeSvgDrawing(OutputFile& file, const std::vector<DrawCommand>& commands,
                     const std::optional<PlotSize>& size) {
  file.writeText(svgDrawingText(commands, size));
}

}  // namespace propclear
