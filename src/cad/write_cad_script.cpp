#include "cad/write_cad_script.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cad/drawing_annotations.h"
#include "common/checked_math.h"
#include "common/output_file.h"
#include "sheet/sheet_layout.h"

namespace propclear {

namespace {

using Point = DrawingPoint;

// whole / divisor for the fixed fractions of the extent that place frame,
// lines and texts.
double scriptPart(double whole, double divisor) {
  return checkedDivide(whole, divisor, "a CAD script coordinate");
}

// The script's text as it is built, line by line in drawing order.
class Script {
 public:
  explicit Script(std::size_t expectedBytes) { text_.reserve(expectedBytes); }

  void line(std::string_view text) {
    text_ += text;
    text_ += lineEnd;
  }

  void point(Point p) {
    appendCadNumber(text_, p.x * millimetresPerMetre);
    text_ += ',';
    appendCadNumber(text_, p.z * millimetresPerMetre);
    text_ += lineEnd;
  }

  void number(double value) {
    appendCadNumber(text_, value);
    text_ += lineEnd;
  }

  // "pline", its points, and the empty line that ends the polyline.
  template <typename Points>
  void polyline(const Points& points) {
    line("pline");
    for (const Point& p : points) point(p);
    line("");
  }

  // A text command with its start point, the rotation angle 0 and the text.
  void text(const char* command, Point at, std::string_view content) {
    line(command);
    point(at);
    line("0");
    line(content);
  }

  std::string take() { return std::move(text_); }

 private:
  static constexpr std::string_view lineEnd = "\r\n";
  std::string text_;
};

void appendSetUp(Script& script, const PlotExtent& e) {
  script.line("Limits");
  script.point({e.min, e.min});
  script.point({e.max, e.max});
  script.line("regenauto off");
  script.line("Zoom a");
  script.line("COLOR 4");
  script.line("style complex complex");
  const double textHeight = scriptPart((e.max - e.min) * millimetresPerMetre, textHeightDivisor);
  script.number(textHeight);
  script.line("1 0 n n n");
}

void appendFrame(Script& script, const SheetLayout& s) {
  script.polyline(std::array<Point, 5>{
      {s.frameTopLeft, s.frameTopRight, s.frameBottomRight, s.frameBottomLeft, s.frameTopLeft}});
}

// The contour's own points in file order, not the fitted curve.
void appendContour(Script& script, const SplineCurve& contour) {
  std::vector<Point> points;
  for (int i = 1; i <= contour.knotCount(); ++i)
    points.push_back({contour.value(i), contour.knot(i)});
  script.polyline(points);
}

// A line from right to left, labelled at its right end.
void appendLevelLine(Script& script, const DrawingLine& line, const char* label) {
  script.polyline(std::array<Point, 2>{line.from, line.to});
  script.text("text", line.from, label);
}

// The rudder outline, closed by repeating its first corner.
void appendRudder(Script& script, const SheetLayout& s) {
  std::vector<Point> corners = s.rudderCorners;
  corners.push_back(s.rudderCorners.front());
  script.polyline(corners);
}

void appendAftPerpendicular(Script& script, const SheetLayout& s) {
  script.polyline(std::array<Point, 2>{s.aftPerpendicular.from, s.aftPerpendicular.to});
  script.text("text", s.aftPerpendicular.from, "A.P.");
}

void appendShaftDiscAndHub(Script& script, const SheetLayout& s) {
  script.polyline(std::array<Point, 2>{s.shaftLine.from, s.shaftLine.to});
  script.polyline(std::array<Point, 2>{s.discLine.from, s.discLine.to});
  for (const DrawingLine& side : s.hubBox)
    script.polyline(std::array<Point, 2>{side.from, side.to});
}

// Each edge through all stations, the upper blade first.
void appendBlades(Script& script, const SheetLayout& s) {
  for (int edge = upperEdge1; edge <= lowerEdge2; ++edge) {
    script.line(edge == upperEdge1 || edge == lowerEdge1 ? "COLOR 1" : "COLOR 2");
    script.polyline(s.bladeEdges[edge]);
  }
}

void appendClearance(Script& script, const ClearanceSegment& segment, const ClearanceStyle& style,
                     double propellerDiameter) {
  const Point bladeEnd{segment.bladeX, segment.bladeZ};
  const Point targetEnd{segment.targetX, segment.targetZ};
  const Point midpoint{scriptPart(segment.bladeX + segment.targetX, 2),
                       scriptPart(segment.bladeZ + segment.targetZ, 2)};
  script.line("COLOR " + std::to_string(style.colour));
  script.polyline(style.targetEndFirst ? std::array<Point, 2>{targetEnd, bladeEnd}
                                       : std::array<Point, 2>{bladeEnd, targetEnd});
  script.text(style.labelRightAligned ? "text r" : "text", midpoint,
              clearanceLabel(segment, style, propellerDiameter));
}

void appendTitleAndCredit(Script& script, const SheetLayout& s) {
  script.text("text", s.titleAt, drawingTitle);
  // A bare Enter starts a further text command below the previous one.
  script.line("");
  script.point(s.creditAt);
  script.line("0");
  script.line(drawingCreditLine());
}

}  // namespace

std::string cadScriptText(const DesignData& design, const SternAnalysis& analysis) {
  const SheetLayout sheet = layOutSheet(design, analysis);
  // About 4 kB besides the contour, whose points take up to 24 bytes each.
  Script script(4096 + 24 * static_cast<std::size_t>(analysis.contourCurve.knotCount()));
  appendSetUp(script, sheet.extent);
  appendFrame(script, sheet);
  script.line("COLOR 5");
  appendContour(script, analysis.contourCurve);
  appendLevelLine(script, sheet.baseLine, "B.L.");
  appendLevelLine(script, sheet.waterline, "Taft");
  appendRudder(script, sheet);
  appendAftPerpendicular(script, sheet);
  script.line("COLOR 3");
  appendShaftDiscAndHub(script, sheet);
  appendBlades(script, sheet);
  for (int i = 0; i < clearanceCount; ++i) {
    appendClearance(script, analysis.clearances[i], clearanceStyles[i], design.propellerDiameter);
  }
  appendTitleAndCredit(script, sheet);
  return script.take();
}

void writeCadScript(OutputFile& script, const DesignData& design, const Assessment& assessment) {
  script.writeText(cadScriptText(design, assessment.analysis));
}

}  // namespace propclear
