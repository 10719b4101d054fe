#include "sheet/sheet_layout.h"

#include "common/checked_math.h"

namespace propclear {

double sheetPart(double whole, double divisor) {
  return checkedDivide(whole, divisor, "the plot layout");
}

namespace {

void layOutFrame(SheetLayout& sheet) {
  const PlotExtent& e = sheet.extent;
  const double left = e.min - sheetPart(e.range, 4), right = e.max + sheetPart(e.range, 4);
  const double top = e.max + sheetPart(e.range, 8), bottom = e.min - sheetPart(e.range, 8);
  sheet.frameTopLeft = {left, top};
  sheet.frameTopRight = {right, top};
  sheet.frameBottomRight = {right, bottom};
  sheet.frameBottomLeft = {left, bottom};
}

DrawingLine levelLine(const PlotExtent& e, double height) {
  return {{e.max + sheetPart(e.range, 10), height}, {e.min - sheetPart(e.range, 10), height}};
}

void layOutPropeller(const DesignData& design, SheetLayout& sheet) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  const double halfLength = sheetPart(hubLength(design), 2);
  const double aft = x0 - halfLength, fore = x0 + halfLength;
  const double halfHub = sheetPart(design.hubDiameter, 2);
  const double hubBottom = z0 - halfHub, hubTop = z0 + halfHub;
  const double halfDiameter = sheetPart(design.propellerDiameter, 2);
  sheet.shaftLine = {{aft, z0}, {fore, z0}};
  sheet.discLine = {{x0, z0 - halfDiameter}, {x0, z0 + halfDiameter}};
  sheet.hubBox = {DrawingLine{{aft, hubBottom}, {aft, hubTop}},
                  DrawingLine{{aft, hubTop}, {fore, hubTop}},
                  DrawingLine{{fore, hubBottom}, {fore, hubTop}},
                  DrawingLine{{fore, hubBottom}, {aft, hubBottom}}};
}

enum class BladePlace { Upper, LowerMirrored, LowerTurning };

// centre + offset for the upper blade, centre - offset for the mirrored lower
// one; the turning lower blade keeps each point's axial position.
std::vector<DrawingPoint> bladeEdge(const DesignData& design, const BladeOutline& outline,
                                    const StationList& edgeX, const StationList& edgeZ,
                                    BladePlace place) {
  const double x0 = design.propellerCentreX, z0 = design.propellerCentreZ;
  std::vector<DrawingPoint> points;
  for (int k = 1; k <= outline.stationCount; ++k) {
    switch (place) {
      case BladePlace::Upper: points.push_back({x0 + edgeX[k], z0 + edgeZ[k]}); break;
      case BladePlace::LowerMirrored: points.push_back({x0 - edgeX[k], z0 - edgeZ[k]}); break;
      case BladePlace::LowerTurning: points.push_back({x0 + edgeX[k], z0 - edgeZ[k]}); break;
    }
  }
  return points;
}

void layOutBlades(const DesignData& design, const BladeOutline& b, SheetLayout& sheet) {
  sheet.bladeEdges[upperEdge1] = bladeEdge(design, b, b.edge1X, b.edge1Z, BladePlace::Upper);
  sheet.bladeEdges[upperEdge2] = bladeEdge(design, b, b.edge2X, b.edge2Z, BladePlace::Upper);
  sheet.bladeEdges[lowerEdge1] = bladeEdge(design, b, b.edge1X, b.edge1Z, BladePlace::LowerMirrored);
  sheet.bladeEdges[lowerEdge2] = bladeEdge(design, b, b.edge2X, b.edge2Z, BladePlace::LowerMirrored);
  sheet.turningLowerEdges = {
      bladeEdge(design, b, b.edge1X, b.edge1Z, BladePlace::LowerTurning),
      bladeEdge(design, b, b.edge2X, b.edge2Z, BladePlace::LowerTurning)};
}

}  // namespace

SheetLayout layOutSheet(const DesignData& design, const SternAnalysis& analysis) {
  SheetLayout sheet;
  const PlotExtent& e = sheet.extent = analysis.extent;
  sheet.contourStep = sheetPart(e.range, 100.0);
  layOutFrame(sheet);
  sheet.baseLine = levelLine(e, 0.0);
  sheet.waterline = levelLine(e, design.waterlineHeight);
  sheet.aftPerpendicular = {{0.0, e.min}, {0.0, e.max}};
  for (int i = 1; i <= design.rudderPointCount; ++i) {
    sheet.rudderCorners.push_back({design.rudderX[i], design.rudderZ[i]});
  }
  layOutPropeller(design, sheet);
  layOutBlades(design, analysis.outline, sheet);
  const double textX = e.min - sheetPart(e.range, 5);
  sheet.titleAt = {textX, e.max};
  sheet.creditAt = {textX, e.min - sheetPart(e.range, 10)};
  return sheet;
}

}  // namespace propclear
