#include "cad/write_cad_script.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "cad/drawing_annotations.h"
#include "common/checked_math.h"
#include "common/output_file.h"
#include "geometry/set_up_contour.h"

namespace propclear {

namespace {

struct Point {
  double x = 0.0;  // m
  double z = 0.0;  // m
};

// whole / divisor for the fixed fractions of the extent that place frame,
// lines and texts.
double part(double whole, double divisor) {
  return checkedDivide(whole, divisor, "a CAD script coordinate");
}

// The script's lines as they are built, in drawing order.
class Script {
 public:
  void line(std::string text) { lines_.push_back(std::move(text)); }

  void point(Point p) {
    line(formatCadNumber(p.x * millimetresPerMetre) + "," +
         formatCadNumber(p.z * millimetresPerMetre));
  }

  // "pline", its points, and the empty line that ends the polyline.
  template <typename Points>
  void polyline(const Points& points) {
    line("pline");
    for (const Point& p : points) point(p);
    line("");
  }

  // A text command with its start point, the rotation angle 0 and the text.
  void text(const char* command, Point at, std::string content) {
    line(command);
    point(at);
    line("0");
    line(std::move(content));
  }

  std::vector<std::string> take() { return std::move(lines_); }

 private:
  std::vector<std::string> lines_;
};

// The extent every placement refers to: m, M and R of the design data.
struct Extent {
  double min = 0.0;
  double max = 0.0;
  double range = 0.0;
};

void appendSetUp(Script& script, const Extent& e) {
  script.line("Limits");
  script.point({e.min, e.min});
  script.point({e.max, e.max});
  script.line("regenauto off");
  script.line("Zoom a");
  script.line("COLOR 4");
  script.line("style complex complex");
  const double textHeight = part((e.max - e.min) * millimetresPerMetre, textHeightDivisor);
  script.line(formatCadNumber(textHeight));
  script.line("1 0 n n n");
}

void appendFrame(Script& script, const Extent& e) {
  const double left = e.min - part(e.range, 4);
  const double right = e.max + part(e.range, 4);
  const double top = e.max + part(e.range, 8);
  const double bottom = e.min - part(e.range, 8);
  script.polyline(std::array<Point, 5>{
      {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}}});
}

// The contour's own points, as setUpContour left them as knots (heights)
// and values (horizontal positions).
void appendContour(Script& script, const CurveWorkspace& workspace, int contourPointCount) {
  std::vector<Point> points;
  for (int i = 1; i <= contourPointCount; ++i)
    points.push_back({workspace.coef[1][i], workspace.knot[i]});
  script.polyline(points);
}

// A horizontal line from right to left at `height`, labelled at its right end.
void appendLevelLine(Script& script, const Extent& e, double height, const char* label) {
  const Point right{e.max + part(e.range, 10), height};
  const Point left{e.min - part(e.range, 10), height};
  script.polyline(std::array<Point, 2>{right, left});
  script.text("text", right, label);
}

// The rudder outline, closed by repeating its first corner.
void appendRudder(Script& script, const DesignData& design) {
  std::vector<Point> corners;
  for (int i = 1; i <= design.rudderPointCount; ++i)
    corners.push_back({design.rudderX[i], design.rudderZ[i]});
  corners.push_back({design.rudderX[1], design.rudderZ[1]});
  script.polyline(corners);
}

void appendAftPerpendicular(Script& script, const Extent& e) {
  const Point bottom{0.0, e.min};
  script.polyline(std::array<Point, 2>{bottom, {0.0, e.max}});
  script.text("text", bottom, "A.P.");
}

void appendShaftDiscAndHub(Script& script, const DesignData& design) {
  const double x0 = design.propellerCentreX;
  const double z0 = design.propellerCentreZ;
  const double halfLength = part(hubLength(design.hubDiameter), 2);
  const double aft = x0 - halfLength;
  const double fore = x0 + halfLength;
  const double hubBottom = z0 - part(design.hubDiameter, 2);
  const double hubTop = z0 + part(design.hubDiameter, 2);
  script.polyline(std::array<Point, 2>{{{aft, z0}, {fore, z0}}});
  script.polyline(std::array<Point, 2>{{{x0, z0 - part(design.propellerDiameter, 2)},
                                        {x0, z0 + part(design.propellerDiameter, 2)}}});
  script.polyline(std::array<Point, 2>{{{aft, hubBottom}, {aft, hubTop}}});
  script.polyline(std::array<Point, 2>{{{aft, hubTop}, {fore, hubTop}}});
  script.polyline(std::array<Point, 2>{{{fore, hubBottom}, {fore, hubTop}}});
  script.polyline(std::array<Point, 2>{{{fore, hubBottom}, {aft, hubBottom}}});
}

// One blade edge through all stations; `side` is +1 for the upper blade and
// -1 for the lower one, the upper blade reflected through the propeller centre.
void appendBladeEdge(Script& script, const DesignData& design, int stationCount,
                     const StationList& edgeX, const StationList& edgeZ, double side) {
  std::vector<Point> points;
  for (int k = 1; k <= stationCount; ++k) {
    points.push_back(
        {design.propellerCentreX + side * edgeX[k], design.propellerCentreZ + side * edgeZ[k]});
  }
  script.polyline(points);
}

void appendBlades(Script& script, const DesignData& design, const BladeOutline& outline) {
  const int k = outline.stationCount;
  for (const double side : {1.0, -1.0}) {
    script.line("COLOR 1");
    appendBladeEdge(script, design, k, outline.edge1X, outline.edge1Z, side);
    script.line("COLOR 2");
    appendBladeEdge(script, design, k, outline.edge2X, outline.edge2Z, side);
  }
}

void appendClearance(Script& script, const ClearanceSegment& segment, const ClearanceStyle& style,
                     double propellerDiameter) {
  const Point bladeEnd{segment.bladeX, segment.bladeZ};
  const Point targetEnd{segment.targetX, segment.targetZ};
  const Point midpoint{part(segment.bladeX + segment.targetX, 2),
                       part(segment.bladeZ + segment.targetZ, 2)};
  script.line("COLOR " + std::to_string(style.colour));
  script.polyline(style.targetEndFirst ? std::array<Point, 2>{targetEnd, bladeEnd}
                                       : std::array<Point, 2>{bladeEnd, targetEnd});
  script.text(style.labelRightAligned ? "text r" : "text", midpoint,
              clearanceLabel(segment, style, propellerDiameter));
}

void appendTitleAndCredit(Script& script, const Extent& e) {
  const double textX = e.min - part(e.range, 5);
  script.text("text", {textX, e.max}, drawingTitle);
  // A bare Enter starts a further text command below the previous one.
  script.line("");
  script.point({textX, e.min - part(e.range, 10)});
  script.line("0");
  script.line(drawingCreditLine());
}

}  // namespace

std::vector<std::string> cadScriptLines(const DesignData& design, const BladeOutline& outline,
                                        CurveWorkspace& workspace, const ClearanceSet& clearances) {
  const int contourPointCount = setUpContour(design, sternContourRow, workspace);
  const Extent extent{design.plotMin, design.plotMax, design.plotRange};
  Script script;
  appendSetUp(script, extent);
  appendFrame(script, extent);
  script.line("COLOR 5");
  appendContour(script, workspace, contourPointCount);
  appendLevelLine(script, extent, 0.0, "B.L.");
  appendLevelLine(script, extent, design.waterlineHeight, "Taft");
  appendRudder(script, design);
  appendAftPerpendicular(script, extent);
  script.line("COLOR 3");
  appendShaftDiscAndHub(script, design);
  appendBlades(script, design, outline);
  for (int i = 0; i < clearanceCount; ++i) {
    appendClearance(script, clearances[i], clearanceStyles[i], design.propellerDiameter);
  }
  appendTitleAndCredit(script, extent);
  return script.take();
}

void writeCadScript(OutputFile& script, const DesignData& design, const BladeOutline& outline,
                    CurveWorkspace& workspace, const ClearanceSet& clearances) {
  for (const std::string& line : cadScriptLines(design, outline, workspace, clearances))
    script.writeLine(line);
}

}  // namespace propclear
