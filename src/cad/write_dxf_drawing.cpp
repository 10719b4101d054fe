#include "cad/write_dxf_drawing.h"

#include <iterator>
#include <utility>

#include "cad/drawing_annotations.h"
#include "cad/dxf_entities.h"
#include "cad/dxf_groups.h"
#include "sheet/sheet_layout.h"
#include "sheet/stern_contour_steps.h"
#include "common/checked_math.h"
#include "common/output_file.h"

namespace propclear {

namespace {

// AutoCAD colour numbers, as the CAD script sets them for each kind of element.
constexpr int frameColour = 4;
constexpr int sternColour = 5;  // contour, base line, waterline, rudder, aft perpendicular
constexpr int propellerColour = 3;
constexpr int firstEdgeColour = 1;
constexpr int secondEdgeColour = 2;
// The script writes title and credit in the colour its last clearance set.
constexpr int titleColour = clearanceStyles[clearanceCPrime].colour;
// Colour of the layer every DXF drawing has: white (black on a light background).
constexpr int defaultLayerColour = 7;

constexpr DxfLayer defaultLayer{"0", defaultLayerColour};
constexpr DxfLayer contourLayer{"CONTOUR", sternColour};
constexpr DxfLayer referenceLayer{"REFERENCE", sternColour};
constexpr DxfLayer rudderLayer{"RUDDER", sternColour};
constexpr DxfLayer propellerLayer{"PROPELLER", propellerColour};
constexpr DxfLayer upperBladeLayer{"UPPER_BLADE", firstEdgeColour};
constexpr DxfLayer lowerBladeLayer{"LOWER_BLADE", firstEdgeColour};
constexpr DxfLayer clearanceLayer{"CLEARANCES", clearanceStyles[clearanceA].colour};
constexpr DxfLayer textLayer{"TEXT", titleColour};

// The layer table, in the order it is written.
constexpr const DxfLayer* drawingLayers[] = {
    &defaultLayer,    &contourLayer,    &referenceLayer,  &rudderLayer, &propellerLayer,
    &upperBladeLayer, &lowerBladeLayer, &clearanceLayer,  &textLayer,
};
static_assert(std::size(drawingLayers) == 9);

// AutoCAD units code of millimetres, and the metric measurement system.
constexpr int unitsMillimetres = 4;
constexpr int measurementMetric = 1;

double part(double whole, double divisor) {
  return checkedDivide(whole, divisor, "a DXF drawing coordinate");
}

// The text height in millimetres, a fixed fraction of the extent.
double textHeightOf(const PlotExtent& e) {
  return part((e.max - e.min) * millimetresPerMetre, textHeightDivisor);
}

void appendHeader(DxfGroups& g, const PlotExtent& e) {
  g.text(0, "SECTION");
  g.text(2, "HEADER");
  g.text(9, "$ACADVER");
  g.text(1, "AC1009");
  g.text(9, "$INSUNITS");
  g.integer(70, unitsMillimetres);
  g.text(9, "$MEASUREMENT");
  g.integer(70, measurementMetric);
  // The script's drawing limits: the square (m, m)-(M, M).
  for (const auto& [name, corner] : {std::pair{"$LIMMIN", e.min}, std::pair{"$LIMMAX", e.max}}) {
    g.text(9, name);
    g.number(10, corner * millimetresPerMetre);
    g.number(20, corner * millimetresPerMetre);
  }
  g.text(9, "$TEXTSIZE");
  g.number(40, textHeightOf(e));
  g.text(0, "ENDSEC");
}

void beginTable(DxfGroups& g, const char* name, int entryCount) {
  g.text(0, "TABLE");
  g.text(2, name);
  g.integer(70, entryCount);
}

void appendLineTypeTable(DxfGroups& g) {
  beginTable(g, "LTYPE", 1);
  g.text(0, "LTYPE");
  g.text(2, "CONTINUOUS");
  g.integer(70, 0);
  g.text(3, "Solid line");
  g.integer(72, 'A');  // alignment code, always 'A'
  g.integer(73, 0);    // no dash elements
  g.number(40, 0.0);
  g.text(0, "ENDTAB");
}

void appendLayerTable(DxfGroups& g) {
  beginTable(g, "LAYER", static_cast<int>(std::size(drawingLayers)));
  for (const DxfLayer* layer : drawingLayers) {
    g.text(0, "LAYER");
    g.text(2, layer->name);
    g.integer(70, 0);
    g.integer(62, layer->colour);
    g.text(6, "CONTINUOUS");
  }
  g.text(0, "ENDTAB");
}

void appendTextStyleTable(DxfGroups& g) {
  beginTable(g, "STYLE", 1);
  g.text(0, "STYLE");
  g.text(2, "STANDARD");
  g.integer(70, 0);
  g.number(40, 0.0);  // no fixed height: each text carries its own
  g.number(41, 1.0);  // width factor
  g.number(50, 0.0);  // oblique angle
  g.integer(71, 0);
  g.number(42, 2.5);  // last height used
  g.text(3, "txt");
  g.text(4, "");
  g.text(0, "ENDTAB");
}

void appendTables(DxfGroups& g) {
  g.text(0, "SECTION");
  g.text(2, "TABLES");
  appendLineTypeTable(g);
  appendLayerTable(g);
  appendTextStyleTable(g);
  g.text(0, "ENDSEC");
}

void appendFrame(DxfGroups& g, const SheetLayout& s) {
  appendDxfPolyline(g, {referenceLayer, frameColour},
                    {s.frameTopLeft, s.frameTopRight, s.frameBottomRight, s.frameBottomLeft}, true);
}

// The fitted curve stepped as in the plot, and the plot's two marker circles
// about each contour point.
void appendContour(DxfGroups& g, const SternAnalysis& analysis, const SheetLayout& s) {
  const DxfStyle style{contourLayer, sternColour};
  const std::vector<DrawingPoint> steps = sternContourSteps(analysis);
  if (steps.size() >= 2) appendDxfPolyline(g, style, steps, false);
  const SplineCurve& contour = analysis.contourCurve;
  for (int i = 1; i <= contour.knotCount(); ++i) {
    const DrawingPoint point{contour.value(i), contour.knot(i)};
    appendDxfCircle(g, style, point, part(s.contourStep, 5));
    appendDxfCircle(g, style, point, part(s.contourStep, 10));
  }
}

void appendLabel(DxfGroups& g, const SheetLayout& s, DrawingPoint at, int colour,
                 std::string_view text, bool rightAligned = false) {
  appendDxfText(g, {textLayer, colour}, at, textHeightOf(s.extent), text, rightAligned);
}

// A line from right to left, labelled at its right end.
void appendLevelLine(DxfGroups& g, const SheetLayout& s, const DrawingLine& line,
                     const char* label) {
  appendDxfLine(g, {referenceLayer, sternColour}, line.from, line.to);
  appendLabel(g, s, line.from, sternColour, label);
}

void appendRudder(DxfGroups& g, const SheetLayout& s) {
  appendDxfPolyline(g, {rudderLayer, sternColour}, s.rudderCorners, true);
}

void appendAftPerpendicular(DxfGroups& g, const SheetLayout& s) {
  appendDxfLine(g, {referenceLayer, sternColour}, s.aftPerpendicular.from, s.aftPerpendicular.to);
  appendLabel(g, s, s.aftPerpendicular.from, sternColour, "A.P.");
}

void appendShaftDiscAndHub(DxfGroups& g, const SheetLayout& s) {
  const DxfStyle style{propellerLayer, propellerColour};
  appendDxfLine(g, style, s.shaftLine.from, s.shaftLine.to);
  appendDxfLine(g, style, s.discLine.from, s.discLine.to);
  for (const DrawingLine& side : s.hubBox) appendDxfLine(g, style, side.from, side.to);
}

void appendBlades(DxfGroups& g, const SheetLayout& s) {
  appendDxfPolyline(g, {upperBladeLayer, firstEdgeColour}, s.bladeEdges[upperEdge1], false);
  appendDxfPolyline(g, {upperBladeLayer, secondEdgeColour}, s.bladeEdges[upperEdge2], false);
  appendDxfPolyline(g, {lowerBladeLayer, firstEdgeColour}, s.bladeEdges[lowerEdge1], false);
  appendDxfPolyline(g, {lowerBladeLayer, secondEdgeColour}, s.bladeEdges[lowerEdge2], false);
}

void appendClearance(DxfGroups& g, const SheetLayout& s, const ClearanceSegment& segment,
                     const ClearanceStyle& style, double propellerDiameter) {
  const DrawingPoint bladeEnd{segment.bladeX, segment.bladeZ};
  const DrawingPoint targetEnd{segment.targetX, segment.targetZ};
  const DrawingPoint midpoint{part(segment.bladeX + segment.targetX, 2),
                              part(segment.bladeZ + segment.targetZ, 2)};
  const DxfStyle lineStyle{clearanceLayer, style.colour};
  if (style.targetEndFirst) {
    appendDxfLine(g, lineStyle, targetEnd, bladeEnd);
  } else {
    appendDxfLine(g, lineStyle, bladeEnd, targetEnd);
  }
  appendLabel(g, s, midpoint, style.colour, clearanceLabel(segment, style, propellerDiameter),
              style.labelRightAligned);
}

void appendTitleAndCredit(DxfGroups& g, const SheetLayout& s) {
  appendLabel(g, s, s.titleAt, titleColour, drawingTitle);
  appendLabel(g, s, s.creditAt, titleColour, drawingCreditLine());
}

void appendEntities(DxfGroups& g, const DesignData& design, const SternAnalysis& analysis,
                    const SheetLayout& s) {
  g.text(0, "SECTION");
  g.text(2, "ENTITIES");
  appendFrame(g, s);
  appendContour(g, analysis, s);
  appendLevelLine(g, s, s.baseLine, "B.L.");
  appendLevelLine(g, s, s.waterline, "Taft");
  appendRudder(g, s);
  appendAftPerpendicular(g, s);
  appendShaftDiscAndHub(g, s);
  appendBlades(g, s);
  for (int i = 0; i < clearanceCount; ++i) {
    appendClearance(g, s, analysis.clearances[i], clearanceStyles[i], design.propellerDiameter);
  }
  appendTitleAndCredit(g, s);
  g.text(0, "ENDSEC");
}

}  // namespace

std::vector<std::string> dxfDrawingLines(const DesignData& design, const SternAnalysis& analysis) {
  const SheetLayout sheet = layOutSheet(design, analysis);
  DxfGroups groups;
  appendHeader(groups, sheet.extent);
  appendTables(groups);
  appendEntities(groups, design, analysis, sheet);
  groups.text(0, "EOF");
  return groups.lines();
}

void writeDxfDrawing(const std::filesystem::path& path, const DesignData& design,
                     const SternAnalysis& analysis) {
  const std::vector<std::string> lines = dxfDrawingLines(design, analysis);
  OutputFile file(path, path.string(), OutputFile::Mode::ReplaceOnCommit);
  for (const std::string& line : lines) file.writeLine(line);
  file.commit();
}

}  // namespace propclear
