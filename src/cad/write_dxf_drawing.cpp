#include "cad/write_dxf_drawing.h"

#include <cmath>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>

#include "cad/drawing_annotations.h"
#include "cad/dxf_entities.h"
#include "cad/dxf_groups.h"
#include "cad/dxf_label_layout.h"
#include "common/checked_math.h"
#include "common/format_number.h"
#include "common/output_file.h"
#include "sheet/clearance_labels.h"
#include "sheet/sheet_layout.h"
#include "sheet/stern_contour_steps.h"
#include "sheet/approach_marks.h"

namespace propclear {

namespace {

// AutoCAD colour numbers, as the CAD script sets them for each kind of element.
constexpr int frameColour = 4;
constexpr int sternColour = 5;  // contour, base line, waterline, rudder, aft perpendicular
constexpr int propellerColour = 3;
constexpr int firstEdgeColour = 1;
constexpr int secondEdgeColour = 2;
// White, shown black on a light background: every text, readable on paper.
constexpr int textColour = 7;
constexpr int overlapColour = 1;  // red
constexpr int sweptColour = 8;    // dark grey

constexpr DxfLayer defaultLayer{"0", textColour};
constexpr DxfLayer contourLayer{"CONTOUR", sternColour};
constexpr DxfLayer referenceLayer{"REFERENCE", sternColour};
constexpr DxfLayer rudderLayer{"RUDDER", sternColour};
constexpr DxfLayer propellerLayer{"PROPELLER", propellerColour};
constexpr DxfLayer upperBladeLayer{"UPPER_BLADE", firstEdgeColour};
constexpr DxfLayer lowerBladeLayer{"LOWER_BLADE", firstEdgeColour};  // as the propeller turns it
// The mirrored lower blade of the CAD script, dashed: where the blade never is.
constexpr DxfLayer legacyBladeLayer{"LEGACY_LOWER_BLADE", sweptColour, "DASHED"};
constexpr const char* legacyBladeLabel = "legacy lower blade (mirrored)";
// The drawing's own English title and waterline label; the CAD script keeps
// the established ones.
constexpr const char* dxfDrawingTitle = "Propeller, hull and rudder clearances: side view";
constexpr const char* waterlineLabel = "DWL";
constexpr DxfLayer clearanceLayer{"CLEARANCES", clearanceStyles[clearanceA].colour};
constexpr DxfLayer overlapLayer{"OVERLAP", overlapColour};
// The swept volume of the turning propeller, dashed; the closest approaches to it dotted.
constexpr DxfLayer sweptLayer{"SWEPT", sweptColour, "DASHED"};
constexpr const char* approachLineType = "DOT";
constexpr DxfLayer textLayer{"TEXT", textColour};

// The layer table, in the order it is written.
constexpr const DxfLayer* drawingLayers[] = {
    &defaultLayer,   &contourLayer,    &referenceLayer,  &rudderLayer,
    &propellerLayer, &upperBladeLayer, &lowerBladeLayer, &legacyBladeLayer,
    &clearanceLayer, &overlapLayer,    &sweptLayer,      &textLayer,
};
static_assert(std::size(drawingLayers) == 12);

// AutoCAD units code of millimetres, and the metric measurement system.
constexpr int unitsMillimetres = 4;
constexpr int measurementMetric = 1;

double drawingPart(double whole, double divisor) {
  return checkedDivide(whole, divisor, "a DXF drawing coordinate");
}

// The text height in metres, a fixed fraction of the extent, as the CAD
// script's text style has it.
double textHeightOf(const PlotExtent& e) {
  return drawingPart(drawingPart((e.max - e.min) * millimetresPerMetre, textHeightDivisor),
                     millimetresPerMetre);
}

// Limits and extents: the box of everything drawn, texts included.
void appendDrawingBox(DxfGroups& g, const char* lowName, const char* highName,
                      const DrawingBox& box) {
  g.text(9, lowName);
  g.point(10, {box.left, box.bottom});
  g.text(9, highName);
  g.point(10, {box.right, box.top});
}

void appendHeader(DxfGroups& g, const PlotExtent& e, const DrawingBox& drawn) {
  g.text(0, "SECTION");
  g.text(2, "HEADER");
  g.text(9, "$ACADVER");
  g.text(1, "AC1009");
  g.text(9, "$INSUNITS");
  g.integer(70, unitsMillimetres);
  g.text(9, "$MEASUREMENT");
  g.integer(70, measurementMetric);
  appendDrawingBox(g, "$LIMMIN", "$LIMMAX", drawn);
  appendDrawingBox(g, "$EXTMIN", "$EXTMAX", drawn);
  g.text(9, "$TEXTSIZE");
  g.number(40, textHeightOf(e) * millimetresPerMetre);
  g.text(0, "ENDSEC");
}

void beginTable(DxfGroups& g, const char* name, int entryCount) {
  g.text(0, "TABLE");
  g.text(2, name);
  g.integer(70, entryCount);
}

// One line type: a repeated pattern of dashes (positive lengths, 0 for a
// dot) and gaps (negative lengths), in millimetres.
void appendLineType(DxfGroups& g, const char* name, const char* description,
                    std::initializer_list<double> pattern) {
  double length = 0.0;
  for (const double element : pattern) length += std::abs(element);
  g.text(0, "LTYPE");
  g.text(2, name);
  g.integer(70, 0);
  g.text(3, description);
  g.integer(72, 'A');  // alignment code, always 'A'
  g.integer(73, static_cast<int>(pattern.size()));
  g.number(40, length);
  for (const double element : pattern) g.number(49, element);
}

// Solid lines, and the dashes and dots of the swept volume, scaled with the
// text so that they read alike on every drawing.
void appendLineTypeTable(DxfGroups& g, const PlotExtent& e) {
  const double text = textHeightOf(e) * millimetresPerMetre;
  beginTable(g, "LTYPE", 3);
  appendLineType(g, "CONTINUOUS", "Solid line", {});
  appendLineType(g, "DASHED", "Dashed __ __ __", {text, -drawingPart(text, 2)});
  appendLineType(g, approachLineType, "Dotted . . . .", {0.0, -drawingPart(text, 2)});
  g.text(0, "ENDTAB");
}

void appendLayerTable(DxfGroups& g) {
  beginTable(g, "LAYER", static_cast<int>(std::size(drawingLayers)));
  for (const DxfLayer* layer : drawingLayers) {
    g.text(0, "LAYER");
    g.text(2, layer->name);
    g.integer(70, 0);
    g.integer(62, layer->colour);
    g.text(6, layer->lineType);
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

void appendTables(DxfGroups& g, const PlotExtent& e) {
  g.text(0, "SECTION");
  g.text(2, "TABLES");
  appendLineTypeTable(g, e);
  appendLayerTable(g);
  appendTextStyleTable(g);
  g.text(0, "ENDSEC");
}

// The drawing's entities in the CAD script's order, its texts laid out so
// that none overlaps another.
class EntityWriter {
 public:
  EntityWriter(const DesignData& design, const Assessment& assessment, const SheetLayout& sheet)
      : design_(design),
        assessment_(assessment),
        analysis_(assessment.analysis),
        sheet_(sheet),
        credit_(drawingCreditLine()),
        labels_(textHeightOf(sheet.extent)) {
    // The texts at fixed places are placed first, where the CAD script puts
    // them; the clearance labels then find room around them.
    baseLineText_ = labels_.placeAt("B.L.", sheet_.baseLine.from);
    waterlineText_ = labels_.placeAt(waterlineLabel, sheet_.waterline.from);
    aftPerpendicularText_ = labels_.placeAt("A.P.", sheet_.aftPerpendicular.from);
    titleText_ = labels_.placeAt(dxfDrawingTitle, sheet_.titleAt);
    creditText_ = labels_.placeAt(credit_, sheet_.creditAt);
  }

  DxfEntities write() {
    writeFrame();
    writeContour();
    writeLevelLine(sheet_.baseLine, baseLineText_, "B.L.");
    writeLevelLine(sheet_.waterline, waterlineText_, waterlineLabel);
    entities_.polyline({rudderLayer, sternColour}, sheet_.rudderCorners, true);
    entities_.line({referenceLayer, sternColour}, sheet_.aftPerpendicular.from,
                   sheet_.aftPerpendicular.to);
    text(aftPerpendicularText_, "A.P.");
    writePropeller();
    writeBlades();
    for (int i = 0; i < clearanceCount; ++i) writeClearance(static_cast<ClearanceIndex>(i));
    writeSweptVolume();
    text(titleText_, dxfDrawingTitle);
    text(creditText_, credit_);
    return std::move(entities_);
  }

 private:
  void text(DrawingPoint start, std::string_view content) {
    entities_.text({textLayer, textColour}, start, labels_.textHeight(), content);
  }

  void writeFrame() {
    entities_.polyline({referenceLayer, frameColour},
                       {sheet_.frameTopLeft, sheet_.frameTopRight, sheet_.frameBottomRight,
                        sheet_.frameBottomLeft},
                       true);
  }

  // The fitted curve stepped as in the plot, and the plot's two marker circles
  // about each contour point.
  void writeContour() {
    const DxfStyle style{contourLayer, sternColour};
    const std::vector<DrawingPoint> steps = sternContourSteps(analysis_);
    if (steps.size() >= 2) entities_.polyline(style, steps, false);
    const SplineCurve& contour = analysis_.contourCurve;
    for (int i = 1; i <= contour.knotCount(); ++i) {
      const DrawingPoint point{contour.value(i), contour.knot(i)};
      entities_.circle(style, point, drawingPart(sheet_.contourStep, 5));
      entities_.circle(style, point, drawingPart(sheet_.contourStep, 10));
    }
  }

  void writeLevelLine(const DrawingLine& line, DrawingPoint labelAt, const char* label) {
    entities_.line({referenceLayer, sternColour}, line.from, line.to);
    text(labelAt, label);
  }

  void writePropeller() {
    const DxfStyle style{propellerLayer, propellerColour};
    entities_.line(style, sheet_.shaftLine.from, sheet_.shaftLine.to);
    entities_.line(style, sheet_.discLine.from, sheet_.discLine.to);
    for (const DrawingLine& side : sheet_.hubBox) entities_.line(style, side.from, side.to);
  }

  // The upper blade and the lower one as the propeller turns it; the mirrored
  // lower blade of the CAD script dashed on its own layer, labelled legacy at
  // its tip.
  void writeBlades() {
    entities_.polyline({upperBladeLayer, firstEdgeColour}, sheet_.bladeEdges[upperEdge1], false);
    entities_.polyline({upperBladeLayer, secondEdgeColour}, sheet_.bladeEdges[upperEdge2], false);
    entities_.polyline({lowerBladeLayer, firstEdgeColour}, sheet_.turningLowerEdges[0], false);
    entities_.polyline({lowerBladeLayer, secondEdgeColour}, sheet_.turningLowerEdges[1], false);
    const DxfStyle legacy{legacyBladeLayer, sweptColour};
    entities_.polyline(legacy, sheet_.bladeEdges[lowerEdge1], false);
    entities_.polyline(legacy, sheet_.bladeEdges[lowerEdge2], false);
    const std::vector<DrawingPoint>& edge = sheet_.bladeEdges[lowerEdge1];
    if (!edge.empty()) text(labels_.placeAt(legacyBladeLabel, edge.back()), legacyBladeLabel);
  }

  // The segment in the script's colour, or in red on its own layer where the
  // blade overlaps the structure; its label beside it. a' and c' of the
  // lower blade as it turns.
  void writeClearance(ClearanceIndex which) {
    const AssessedClearance& clearance = assessment_.clearance(which);
    const ClearanceSegment& segment = clearance.segment;
    const ClearanceStyle& style = clearanceStyles[which];
    const DrawingPoint bladeEnd{segment.bladeX, segment.bladeZ};
    const DrawingPoint targetEnd{segment.targetX, segment.targetZ};
    const bool overlap = clearance.status == AssessmentStatus::Clash;
    const DxfStyle lineStyle =
        overlap ? DxfStyle{overlapLayer, overlapColour} : DxfStyle{clearanceLayer, style.colour};
    if (style.targetEndFirst) {
      entities_.line(lineStyle, targetEnd, bladeEnd);
    } else {
      entities_.line(lineStyle, bladeEnd, targetEnd);
    }
    const std::string label = valuedLabel(clearance, design_.propellerDiameter);
    const bool vertical = which == clearanceB || which == clearanceBPrime;
    text(vertical
             ? labels_.besideVertical(label, segment.bladeX, segment.bladeZ, segment.targetZ)
             : labels_.besideHorizontal(label, segment.bladeX, segment.targetX, segment.bladeZ),
         label);
  }

  // The swept volume's outline above and below the shaft, each closest
  // approach dotted (red on the overlap layer where the volume cuts the
  // structure) with its distance / D beside it.
  void writeSweptVolume() {
    const SweptOutline outline = sweptOutlineOf(analysis_);
    const DxfStyle outlineStyle{sweptLayer, sweptColour};
    if (!outline.above.empty()) entities_.polyline(outlineStyle, outline.above, true);
    if (!outline.below.empty()) entities_.polyline(outlineStyle, outline.below, true);
    std::vector<ClosestApproach> approaches = analysis_.closestApproaches;
    if (analysis_.hubApproach) approaches.push_back(*analysis_.hubApproach);
    const std::vector<ApproachMark> marks = approachMarksOf(analysis_);
    for (std::size_t i = 0; i < marks.size() && i < approaches.size(); ++i) {
      const ApproachMark& mark = marks[i];
      const DxfStyle lineStyle = mark.overlaps
                                     ? DxfStyle{overlapLayer, overlapColour}
                                     : DxfStyle{sweptLayer, sweptColour, approachLineType};
      entities_.line(lineStyle, mark.segment.from, mark.segment.to);
      const std::string label = approachLabel(approaches[i]);
      const DrawingPoint middle{drawingPart(mark.segment.from.x + mark.segment.to.x, 2),
                                drawingPart(mark.segment.from.z + mark.segment.to.z, 2)};
      text(labels_.placeAt(label, middle), label);
    }
  }

  const DesignData& design_;
  const Assessment& assessment_;
  const SternAnalysis& analysis_;
  const SheetLayout& sheet_;
  const std::string credit_;
  LabelLayout labels_;
  DrawingPoint baseLineText_, waterlineText_, aftPerpendicularText_, titleText_, creditText_;
  DxfEntities entities_;
};

}  // namespace

std::vector<std::string> dxfDrawingLines(const DesignData& design, const Assessment& assessment) {
  const SheetLayout sheet = layOutSheet(design, assessment.analysis);
  const DxfEntities entities = EntityWriter(design, assessment, sheet).write();
  DxfGroups groups;
  appendHeader(groups, sheet.extent, entities.bounds());
  appendTables(groups, sheet.extent);
  groups.text(0, "SECTION");
  groups.text(2, "ENTITIES");
  groups.append(entities.groups());
  groups.text(0, "ENDSEC");
  groups.text(0, "EOF");
  return groups.lines();
}

void writeDxfDrawing(OutputFile& file, const DesignData& design, const Assessment& assessment) {
  for (const std::string& line : dxfDrawingLines(design, assessment)) file.writeLine(line);
}

}  // namespace propclear
