#include "plot/svg_drawing.h"

#include <gtest/gtest.h>

#include <string>

namespace propclear {
namespace {

// A 10 m square, z upwards, with a line corner to corner, a circle in its
// middle and two lines of text from its upper-left corner. In the window's
// 716 x 472 pixels the square is 471 pixels high (47.1 a metre), centred:
// its lower-left corner at (122, 471), its upper-right at (593, 0).
DrawingSurface squareDrawing() {
  DrawingSurface surface;
  surface.showWindow();
  surface.clearWindow();
  surface.setUserScale(0.0, 10.0, 10.0, 0.0);
  surface.setLineWidth(1);
  surface.drawLine(0.0, 0.0, 10.0, 10.0, paletteLightMagenta);
  surface.drawCircle(5.0, 5.0, 1.0, paletteYellow);
  surface.setFont("Arial", 12);
  surface.setTextColour(paletteBlue);
  surface.moveTextCursor(0.0, 10.0);
  surface.printText("B.L. <a & b>");
  surface.printText("next");
  return surface;
}

void expectHolds(const std::string& svg, const std::string& part) {
  EXPECT_NE(svg.find(part), std::string::npos) << part << "\nin\n" << svg;
}

TEST(SvgDrawing, PlacesTheDrawingAsTheWindowDoesAtItsDesignSize) {
  const std::string svg = svgDrawingText(squareDrawing().commands());
  expectHolds(svg, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg "
                   "xmlns=\"http://www.w3.org/2000/svg\" width=\"189.442mm\" height=\"124.883mm\" "
                   "viewBox=\"0 0 716 472\">\n");
  expectHolds(svg, "<line x1=\"122\" y1=\"471\" x2=\"593\" y2=\"0\" stroke=\"#ff55ff\" "
                   "stroke-width=\"1\" stroke-linecap=\"round\"/>");
  expectHolds(svg, "<circle cx=\"357.5\" cy=\"235.5\" r=\"47.1\" stroke=\"#ffff55\"");
  // 12 points are 16 pixels; the baseline an ascent (1854/2048 em) below the
  // cursor, the next line a line spacing (2355/2048 em) lower, at the left edge.
  expectHolds(svg, "<text x=\"122\" y=\"14.484\" font-family=\"Arial\" font-size=\"16\" "
                   "fill=\"#0000aa\" stroke=\"none\" xml:space=\"preserve\">B.L. &lt;a &amp; b&gt;</text>");
  expectHolds(svg, "<text x=\"0\" y=\"32.883\" ");
  EXPECT_EQ(svg.substr(svg.size() - 12), "</g>\n</svg>\n");
}

TEST(SvgDrawing, AGivenSizeScalesLinesAndTextsAlike) {
  const std::string svg = svgDrawingText(squareDrawing().commands(), PlotSize{1432, 944});
  // Points at 72 an inch; twice the design size in both directions.
  expectHolds(svg, "width=\"505.178mm\" height=\"333.022mm\" viewBox=\"0 0 1432 944\"");
  expectHolds(svg, "stroke=\"#ff55ff\" stroke-width=\"2\"");
  expectHolds(svg, "font-size=\"32\"");
}

TEST(SvgDrawing, DashedOutlinesKeepTheirDashesFromLineToLine) {
  DrawingSurface surface;  // no user scale: user units are pixels
  surface.setLineStyle(LineStyle::Dashed);
  surface.drawLine(0.0, 0.0, 3.0, 4.0, paletteDarkGrey);    // 5 pixels
  surface.drawLine(3.0, 4.0, 3.0, 12.0, paletteDarkGrey);   // goes on: 5 into the 6 of a dash and gap
  surface.drawLine(20.0, 0.0, 20.0, 8.0, paletteDarkGrey);  // starts afresh
  surface.setLineWidth(2);
  surface.setLineStyle(LineStyle::Dotted);
  // Goes on 8 widths (of 1 pixel) into the pattern: 2 widths (of 2 pixels) into its 3.
  surface.drawLine(20.0, 8.0, 20.0, 12.0, paletteDarkGrey);
  const std::string svg = svgDrawingText(surface.commands());
  expectHolds(svg, "y2=\"4\" stroke=\"#555555\" stroke-width=\"1\" stroke-linecap=\"butt\" "
                   "stroke-dasharray=\"4,2\" stroke-dashoffset=\"0\"/>");
  expectHolds(svg, "y2=\"12\" stroke=\"#555555\" stroke-width=\"1\" stroke-linecap=\"butt\" "
                   "stroke-dasharray=\"4,2\" stroke-dashoffset=\"5\"/>");
  expectHolds(svg, "x1=\"20\" y1=\"0\" x2=\"20\" y2=\"8\" stroke=\"#555555\" stroke-width=\"1\" "
                   "stroke-linecap=\"butt\" stroke-dasharray=\"4,2\" stroke-dashoffset=\"0\"/>");
  expectHolds(svg, "stroke-width=\"2\" stroke-linecap=\"butt\" stroke-dasharray=\"2,4\" "
                   "stroke-dashoffset=\"4\"/>");
}

}  // namespace
}  // namespace propclear
