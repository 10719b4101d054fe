#include "cad/write_dxf_drawing.h"

#include <iterator>
#include <utility>

#include "cad/drawing_annotations.h"
#include "cad/dxf_entities.h"
#include "cad/dxf_groups.h"
#include "cad/stern_contour_steps.h"
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

// What every placement refers to: m, M and R of the design data, the text
// height in millimetres.
struct Extent {
  double min = 0.0;
  double max = 0.0;
  double range = 0.0;
  double textHeight = 0.0;
};

Extent extentOf(const DesignData& design) {
  return {design.plotMin, design.plotMax, design.plotRange,
          part((design.plotMax - design.plotMin) * millimetresPerMetre, textHeightDivisor)};
}

void appendHeader(DxfGroups& g, const Extent& e) {
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
  g.number(40, e.textHeight);
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

void appendFrame(DxfGroups& g, const Extent& e) {
  const double left = e.min - part(e.range, 4), right = e.max + part(e.range, 4);
  const double top = e.max + part(e.range, 8), bottom = e.min - part(e.range, 8);
  appendDxfPolyline(g, {referenceLayer, frameColour},
                    {{left, top}, {right, top}, {right, bottom}, {left, bottom}}, true);
}

// The fitted curve stepped as in the plot, and the plot's two marker circles
// about each contour point.
void appendContour(DxfGroups& g, const DesignData& design, CurveWorkspace& workspace) {
  const DxfStyle style{contourLayer, sternColour};
  const std::vector<DrawingPoint> steps = sternContourSteps(design, workspace);
  if (steps.size() >= 2) appendDxfPolyline(g, style, steps, false);
  const double step = part(design.plotRange, 100.0);
  for (int i = 1; i <= design.contourPointCount[sternContourRow]; ++i) {
    const DrawingPoint point{design.contourX[sternContourRow][i],
                             design.contourZ[sternContourRow][i]};
    appendDxfCircle(g, style, point, part(step, 5));
    appendDxfCircle(g, style, point, part(step, 10));
  }
}

void appendLabel(DxfGroups& g, const Extent& e, DrawingPoint at, int colour, std::string_view text,
                 bool rightAligned = false) {
  appendDxfText(g, {textLayer, colour}, at, e.textHeight, text, rightAligned);
}

// A horizontal line from right to left at `height`, labelled at its right end.
void appendLevelLine(DxfGroups& g, const Extent& e, double height, const char* label) {
  const DrawingPoint right{e.max + part(e.range, 10), height};
  appendDxfLine(g, {referenceLayer, sternColour}, right, {e.min - part(e.range, 10), height});
  appendLabel(g, e, right, sternColour, label);
}

void appendRudder(DxfGroups& g, const DesignData& design) {
  std::vector<DrawingPoint> corners;
  for (int i = 1; i <= design.rudderPointCount; ++i)
    corners.push_back({design.rudderX[i], design.rudderZ[i]});
  appendDxfPolyline(g, {rudderLayer, sternColour}, corners, true);
}

void appendAftPerpendicular(DxfGroups& g, const Extent& e) {
  const DrawingPoint bottom{0.0, e.min};
  appendDxfLine(g, {referenceLayer, sternColour}, bottom, {0.0, e.max});
  appendLabel(g, e, bottom, sternColour, "A.P.");
}

void appendShaftDiscAndHub(DxfGroups& g, const DesignData& design) {
  const DxfStyle style{propellerLayer, propellerColour};
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  const double halfLength = part(hubLength(design.hubDiameter), 2);
  const double aft = x0 - halfLength, fore = x0 + halfLength;
  const double hubBottom = z0 - part(design.hubDiameter, 2);
  const double hubTop = z0 + part(design.hubDiameter, 2);
  const double halfDiameter = part(design.propellerDiameter, 2);
  appendDxfLine(g, style, {aft, z0}, {fore, z0});
  appendDxfLine(g, style, {x0, z0 - halfDiameter}, {x0, z0 + halfDiameter});
  appendDxfLine(g, style, {aft, hubBottom}, {aft, hubTop});
  appendDxfLine(g, style, {aft, hubTop}, {fore, hubTop});
  appendDxfLine(g, style, {fore, hubBottom}, {fore, hubTop});
  appendDxfLine(g, style, {fore, hubBottom}, {aft, hubBottom});
}

// One blade edge through all stations; `side` is +1 for the upper blade and
// -1 for the lower one, the upper blade reflected through the propeller centre.
void appendBladeEdge(DxfGroups& g, const DxfStyle& style, const DesignData& design,
                     const BladeOutline& outline, const StationList& edgeX,
                     const StationList& edgeZ, double side) {
  std::vector<DrawingPoint> points;
  for (int k = 1; k <= outline.stationCount; ++k) {
    points.push_back(
        {design.propellerCentreX + side * edgeX[k], design.propellerCentreZ + side * edgeZ[k]});
  }
  appendDxfPolyline(g, style, points, false);
}

void appendBlades(DxfGroups& g, const DesignData& design, const BladeOutline& b) {
  for (const auto& [layer, side] :
       {std::pair{&upperBladeLayer, 1.0}, std::pair{&lowerBladeLayer, -1.0}}) {
    appendBladeEdge(g, {*layer, firstEdgeColour}, design, b, b.edge1X, b.edge1Z, side);
    appendBladeEdge(g, {*layer, secondEdgeColour}, design, b, b.edge2X, b.edge2Z, side);
  }
}

void appendClearance(DxfGroups& g, const Extent& e, const ClearanceSegment& segment,
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
  appendLabel(g, e, midpoint, style.colour, clearanceLabel(segment, style, propellerDiameter),
              style.labelRightAligned);
}

void appendTitleAndCredit(DxfGroups& g, const Extent& e) {
  const double textX = e.min - part(e.range, 5);
  appendLabel(g, e, {textX, e.max}, titleColour, drawingTitle);
  appendLabel(g, e, {textX, e.min - part(e.range, 10)}, titleColour, drawingCreditLine());
}

void appendEntities(DxfGroups& g, const DesignData& design, const BladeOutline& outline,
                    CurveWorkspace& workspace, const ClearanceSet& clearances) {
  const Extent e = extentOf(design);
  g.text(0, "SECTION");
  g.text(2, "ENTITIES");
  appendFrame(g, e);
  appendContour(g, design, workspace);
  appendLevelLine(g, e, 0.0, "B.L.");
  appendLevelLine(g, e, design.waterlineHeight, "Taft");
  appendRudder(g, design);
  appendAftPerpendicular(g, e);
  appendShaftDiscAndHub(g, design);
  appendBlades(g, design, outline);
  for (int i = 0; i < clearanceCount; ++i) {
    appendClearance(g, e, clearances[i], clearanceStyles[i], design.propellerDiameter);
  }
  appendTitleAndCredit(g, e);
  g.text(0, "ENDSEC");
}

}  // namespace

std::vector<std::string> dxfDrawingLines(const DesignData& design, const BladeOutline& outline,
                                         CurveWorkspace& workspace, const ClearanceSet& clearances) {
  DxfGroups groups;
  appendHeader(groups, extentOf(design));
  appendTables(groups);
  appendEntities(groups, design, outline, workspace, clearances);
  groups.text(0, "EOF");
  return groups.lines();
}

void writeDxfDrawing(OutputFile& file, const DesignData& design, const BladeOutline& outline,
                     CurveWorkspace& workspace, const ClearanceSet& clearances) {
  for (const std::string& line : dxfDrawingLines(design, outline, workspace, clearances)) {
    file.writeLine(line);
  }
}

}  // namespace propclear
