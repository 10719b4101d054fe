#include "plot/draw_stern_plot.h"

#include <vector>

#include "sheet/sheet_layout.h"
#include "sheet/stern_contour_steps.h"

namespace propclear {

namespace {

void setUpWindow(DrawingSurface& surface, const PlotStyle& style) {
  surface.showWindow();
  surface.clearWindow();
  surface.setFont(plotFontName, style.fontPoints);
  surface.setTextColour(style.text);
  surface.setLineWidth(1);
  surface.setCaption(plotCaption);
}

void drawLine(DrawingSurface& surface, const DrawingLine& line, int colour) {
  surface.drawLine(line.from.x, line.from.z, line.to.x, line.to.z, colour);
}

void drawLine(DrawingSurface& surface, DrawingPoint from, DrawingPoint to, int colour) {
  surface.drawLine(from.x, from.z, to.x, to.z, colour);
}

// A text at its upper-left corner (x, z), naming `names`; kept back when
// the labels are laid out later.
struct SternTexts {
  DrawingSurface& surface;
  PlotLabels* deferred;
  int colour;

  void print(DrawingPoint names, double x, double z, const char* text) const {
    if (deferred != nullptr) {
      deferred->push_back({{names, names}, {x, z}, text, colour});
      return;
    }
    surface.moveTextCursor(x, z);
    surface.printText(text);
  }
};

// The four sides: top and bottom from left to right, the sides downwards.
void drawFrame(const SheetLayout& s, DrawingSurface& surface, const PlotStyle& style) {
  drawLine(surface, s.frameTopLeft, s.frameTopRight, style.frame);
  drawLine(surface, s.frameTopRight, s.frameBottomRight, style.frame);
  drawLine(surface, s.frameBottomLeft, s.frameBottomRight, style.frame);
  drawLine(surface, s.frameTopLeft, s.frameBottomLeft, style.frame);
}

void drawContour(const SternAnalysis& analysis, const SheetLayout& s, DrawingSurface& surface,
                 const PlotStyle& style) {
  const std::vector<DrawingPoint> steps = sternContourSteps(analysis);
  for (std::size_t i = 1; i < steps.size(); ++i) {
    drawLine(surface, steps[i - 1], steps[i], style.structure);
  }
  const SplineCurve& contour = analysis.contourCurve;
  for (int i = 1; i <= contour.knotCount(); ++i) {
    const double x = contour.value(i), z = contour.knot(i);
    surface.drawCircle(x, z, sheetPart(s.contourStep, 5), style.structure);
    surface.drawCircle(x, z, sheetPart(s.contourStep, 10), style.structure);
  }
}

void drawReferenceLines(const SheetLayout& s, DrawingSurface& surface, const PlotStyle& style,
                        const SternTexts& texts) {
  const double range = s.extent.range;
  drawLine(surface, s.baseLine, style.referenceLines);
  texts.print(s.baseLine.from, s.baseLine.from.x, sheetPart(range, 25), "B.L.");
  drawLine(surface, s.waterline, style.referenceLines);
  texts.print(s.waterline.from, s.waterline.from.x, s.waterline.from.z + sheetPart(range, 25), "DWL");
}

// The outline closed from the last corner back to the first.
void drawRudder(const SheetLayout& s, DrawingSurface& surface, const PlotStyle& style) {
  const std::size_t corners = s.rudderCorners.size();
  for (std::size_t i = 0; i < corners; ++i) {
    drawLine(surface, s.rudderCorners[i], s.rudderCorners[(i + 1) % corners], style.structure);
  }
}

void drawAftPerpendicular(const SheetLayout& s, DrawingSurface& surface, const PlotStyle& style,
                          const SternTexts& texts) {
  drawLine(surface, s.aftPerpendicular, style.aftPerpendicular);
  texts.print(s.aftPerpendicular.from, -sheetPart(s.extent.range, 25),
              s.extent.min - sheetPart(s.extent.range, 40), "A.P.");
}

void drawPropeller(const SheetLayout& s, DrawingSurface& surface, const PlotStyle& style) {
  drawLine(surface, s.shaftLine, style.shaft);
  drawLine(surface, s.discLine, style.shaft);
  for (const DrawingLine& side : s.hubBox) drawLine(surface, side, style.hub);
}

// Station by station: upper edge 1 and 2, then those of the lower blade as
// the propeller turns it.
void drawBlades(const SheetLayout& s, DrawingSurface& surface, const PlotStyle& style) {
  const std::vector<DrawingPoint>* edges[] = {&s.bladeEdges[upperEdge1], &s.bladeEdges[upperEdge2],
                                              &s.turningLowerEdges[0], &s.turningLowerEdges[1]};
  const int edgeColours[] = {style.bladeEdge1, style.bladeEdge2, style.bladeEdge1, style.bladeEdge2};
  const std::size_t stations = s.bladeEdges[upperEdge1].size();
  for (std::size_t k = 1; k < stations; ++k) {
    for (std::size_t edge = 0; edge < std::size(edges); ++edge) {
      drawLine(surface, (*edges[edge])[k - 1], (*edges[edge])[k], edgeColours[edge]);
    }
  }
}

// The mirrored lower blade of the established drawing, thin and dashed,
// labelled left of its root station (a text of 17 characters is about R/3
// wide), between the labels of the shaft's height and of 0.7R: where the
// report's legacy a' and c' are measured, not where the blade ever is.
void drawLegacyLowerBlade(const SheetLayout& s, DrawingSurface& surface, const PlotStyle& style,
                          const SternTexts& texts) {
  surface.setLineStyle(LineStyle::Dashed);
  for (int edge = lowerEdge1; edge <= lowerEdge2; ++edge) {
    const std::vector<DrawingPoint>& points = s.bladeEdges[edge];
    for (std::size_t k = 1; k < points.size(); ++k) {
      drawLine(surface, points[k - 1], points[k], style.legacyBlade);
    }
  }
  surface.setLineStyle(LineStyle::Solid);
  const std::vector<DrawingPoint>& edge = s.bladeEdges[lowerEdge1];
  if (!edge.empty()) {
    const DrawingPoint& root = edge.front();
    texts.print(root, root.x - sheetPart(s.extent.range, 3), root.z, legacyBladeLabel);
  }
}

}  // namespace

void drawSternPlot(const DesignData& design, const SternAnalysis& analysis,
                   DrawingSurface& surface, const PlotStyle& style, PlotLabels* deferred) {
  const SternTexts texts{surface, deferred, style.text};
  const SheetLayout sheet = layOutSheet(design, analysis);
  const PlotExtent& e = sheet.extent;
  setUpWindow(surface, style);
  const double halfRange = sheetPart(e.range, 2);
  surface.setUserScale(e.min - halfRange, e.max + halfRange, e.max + halfRange, e.min - halfRange);
  drawFrame(sheet, surface, style);
  drawContour(analysis, sheet, surface, style);
  drawReferenceLines(sheet, surface, style, texts);
  drawRudder(sheet, surface, style);
  drawAftPerpendicular(sheet, surface, style, texts);
  drawPropeller(sheet, surface, style);
  drawBlades(sheet, surface, style);
  drawLegacyLowerBlade(sheet, surface, style, texts);
}

}  // namespace propclear
