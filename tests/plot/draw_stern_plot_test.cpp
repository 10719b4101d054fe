#include "plot/draw_stern_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/format_number.h"
#include "rules/check_clearance_rules.h"
#include "sample_design.h"
#include "sample_ship.h"

namespace propclear {
namespace {

using test::ContourPoint;
using test::sampleDesign;
using test::setContour;

// Coordinates reach the surface in single precision.
constexpr double kFloatTolerance = 1e-5;

struct Plot {
  DesignData design;
  SternAnalysis analysis;
  DrawingSurface surface;

  explicit Plot(const DesignData& d) : design(d), analysis(analyseStern(design)) {
    drawSternPlot(design, analysis, surface);
  }

  std::vector<DrawCommand> ofKind(DrawOp op) const {
    std::vector<DrawCommand> found;
    for (const DrawCommand& c : surface.commands())
      if (c.op == op) found.push_back(c);
    return found;
  }

  // The lines of the contour curve: the colour-13 lines after the frame and
  // before the first marker.
  std::vector<DrawCommand> contourCurve() const {
    std::vector<DrawCommand> lines;
    const auto& all = surface.commands();
    int framesSeen = 0;
    for (const DrawCommand& c : all) {
      if (c.op == DrawOp::DrawCircle) break;
      if (c.op != DrawOp::DrawLine) continue;
      if (framesSeen < 4) {
        ++framesSeen;
        continue;
      }
      lines.push_back(c);
    }
    return lines;
  }
};

TEST(DrawSternPlot, SetsUpTheWindowFirst) {
  const Plot plot(sampleDesign());
  const auto& c = plot.surface.commands();
  ASSERT_GE(c.size(), 7u);
  EXPECT_EQ(c[0].op, DrawOp::ShowWindow);
  EXPECT_EQ(c[1].op, DrawOp::ClearWindow);
  EXPECT_EQ(c[2].op, DrawOp::SetFont);
  EXPECT_EQ(c[2].text, "Arial");
  EXPECT_EQ(c[2].size, 12);
  EXPECT_EQ(c[3].op, DrawOp::SetTextColour);
  EXPECT_EQ(c[3].colour, 1);
  EXPECT_EQ(c[4].op, DrawOp::SetLineWidth);
  EXPECT_EQ(c[4].size, 1);
  EXPECT_EQ(c[5].op, DrawOp::SetCaption);
  EXPECT_EQ(c[5].text, "KIC BODOSLAMA GEOMETRISI");
  // Extent of the sample contour: m = 0, M = 6.6, R = 6.6.
  ASSERT_EQ(c[6].op, DrawOp::SetUserScale);
  EXPECT_DOUBLE_EQ(c[6].left, 0.0 - 6.6 / 2);
  EXPECT_DOUBLE_EQ(c[6].top, 6.6 + 6.6 / 2);
  EXPECT_DOUBLE_EQ(c[6].right, 6.6 + 6.6 / 2);
  EXPECT_DOUBLE_EQ(c[6].bottom, 0.0 - 6.6 / 2);
}

TEST(DrawSternPlot, FrameRunsInTheGivenOrderAndDirections) {
  const Plot plot(sampleDesign());
  const auto lines = plot.ofKind(DrawOp::DrawLine);
  const double m = 0.0, big = 6.6, r = 6.6;
  const double expected[4][4] = {{m - r / 4, big + r / 8, big + r / 4, big + r / 8},
                                 {big + r / 4, big + r / 8, big + r / 4, m - r / 8},
                                 {m - r / 4, m - r / 8, big + r / 4, m - r / 8},
                                 {m - r / 4, big + r / 8, m - r / 4, m - r / 8}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lines[i].colour, 13);
    EXPECT_NEAR(lines[i].x1, expected[i][0], kFloatTolerance);
    EXPECT_NEAR(lines[i].y1, expected[i][1], kFloatTolerance);
    EXPECT_NEAR(lines[i].x2, expected[i][2], kFloatTolerance);
    EXPECT_NEAR(lines[i].y2, expected[i][3], kFloatTolerance);
  }
}

TEST(DrawSternPlot, ContourCurveStepsByAHundredthOfTheRangeAndStopsShort) {
  const Plot plot(sampleDesign());
  const auto curve = plot.contourCurve();
  // From z = 0.2 in steps of 0.066 while z <= 6.6: 96 steps.
  ASSERT_EQ(curve.size(), 96u);
  EXPECT_NEAR(curve.front().x1, 1.2, kFloatTolerance);
  EXPECT_NEAR(curve.front().y1, 0.2, kFloatTolerance);
  EXPECT_NEAR(curve.front().y2, 0.2 + 0.066, kFloatTolerance);
  for (std::size_t i = 1; i < curve.size(); ++i) {
    EXPECT_EQ(curve[i].x1, curve[i - 1].x2);
    EXPECT_EQ(curve[i].y1, curve[i - 1].y2);
    EXPECT_EQ(curve[i].colour, 13);
  }
  // The last step ends below the last point, by less than one step.
  EXPECT_LT(curve.back().y2, 6.6);
  EXPECT_GT(curve.back().y2, 6.6 - 0.066);
}

TEST(DrawSternPlot, ContourListedTopDownDrawsMarkersButNoCurve) {
  DesignData design = sampleDesign();
  setContour(design, {{6.0, 3.0, 1}, {4.0, 2.0, 1}, {1.0, 1.5, 1}});
  const Plot plot(design);
  EXPECT_TRUE(plot.contourCurve().empty());
  EXPECT_EQ(plot.ofKind(DrawOp::DrawCircle).size(), 6u);
}

TEST(DrawSternPlot, TwoMarkersPerContourPoint) {
  const Plot plot(sampleDesign());
  const auto circles = plot.ofKind(DrawOp::DrawCircle);
  ASSERT_EQ(circles.size(), 18u);
  const double step = 6.6 / 100;
  EXPECT_NEAR(circles[0].radius, step / 5, kFloatTolerance);
  EXPECT_NEAR(circles[1].radius, step / 10, kFloatTolerance);
  EXPECT_NEAR(circles[17].x1, 6.0, kFloatTolerance);
  EXPECT_NEAR(circles[17].y1, 6.6, kFloatTolerance);
  for (const DrawCommand& c : circles) EXPECT_EQ(c.colour, 13);
}

TEST(DrawSternPlot, FortyBladeLinesAlternatingEdgeColoursThenTheDashedLegacyBlade) {
  const Plot plot(sampleDesign());
  const auto lines = plot.ofKind(DrawOp::DrawLine);
  ASSERT_GE(lines.size(), 60u);
  const std::vector<DrawCommand> blades(lines.end() - 60, lines.end() - 20);
  const int colours[4] = {9, 10, 9, 10};
  for (int i = 0; i < 40; ++i) EXPECT_EQ(blades[i].colour, colours[i % 4]) << i;
  // The lower blade turned half a revolution about the shaft at z = 2.8: each
  // point keeps its axial position.
  EXPECT_NEAR(blades[0].x1, blades[2].x1, kFloatTolerance);
  EXPECT_NEAR(blades[0].y1 + blades[2].y1, 5.6, kFloatTolerance);
  // The tip: station 11 ends the last lines.
  EXPECT_NEAR(blades[36].y2, 2.8 + plot.analysis.outline.edge1Z[11], kFloatTolerance);
  // The mirrored one, reflected through the centre (4.0, 2.8), thin grey dashes.
  const std::vector<DrawCommand> legacy(lines.end() - 20, lines.end());
  EXPECT_NEAR(blades[0].x1 + legacy[0].x1, 8.0, kFloatTolerance);
  EXPECT_NEAR(blades[0].y1 + legacy[0].y1, 5.6, kFloatTolerance);
  for (const DrawCommand& line : legacy) EXPECT_EQ(line.colour, paletteDarkGrey);
  EXPECT_EQ(plot.ofKind(DrawOp::PrintText).back().text, legacyBladeLabel);
}

TEST(DrawSternPlot, TextsInTextColourAtTheirMarks) {
  const Plot plot(sampleDesign());
  const auto texts = plot.ofKind(DrawOp::PrintText);
  const auto moves = plot.ofKind(DrawOp::MoveTextCursor);
  ASSERT_EQ(texts.size(), 4u);  // and the legacy blade's label
  ASSERT_EQ(moves.size(), 4u);
  EXPECT_EQ(texts[0].text, "B.L.");
  EXPECT_EQ(texts[1].text, "DWL");
  EXPECT_EQ(texts[2].text, "A.P.");
  const double r = 6.6;
  EXPECT_NEAR(moves[0].x1, 6.6 + r / 10, kFloatTolerance);
  EXPECT_NEAR(moves[0].y1, r / 25, kFloatTolerance);
  EXPECT_NEAR(moves[1].y1, 7.2 + r / 25, kFloatTolerance);
  EXPECT_NEAR(moves[2].x1, -r / 25, kFloatTolerance);
  EXPECT_NEAR(moves[2].y1, 0.0 - r / 40, kFloatTolerance);
  EXPECT_EQ(plot.ofKind(DrawOp::SetTextColour).size(), 1u);
}

TEST(DrawSternPlot, ReferenceLinesRunRightToLeftAndRudderIsClosed) {
  const Plot plot(sampleDesign());
  const auto lines = plot.ofKind(DrawOp::DrawLine);
  const std::size_t firstAfterCurve = 4 + plot.contourCurve().size();
  const DrawCommand& base = lines[firstAfterCurve];
  EXPECT_EQ(base.colour, 10);
  EXPECT_GT(base.x1, base.x2);
  EXPECT_EQ(base.y1, 0.0f);
  const DrawCommand& waterline = lines[firstAfterCurve + 1];
  EXPECT_NEAR(waterline.y1, 7.2, kFloatTolerance);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(lines[firstAfterCurve + 2 + i].colour, 13);
  EXPECT_EQ(lines[firstAfterCurve + 5].x2, lines[firstAfterCurve + 2].x1);
  EXPECT_EQ(lines[firstAfterCurve + 5].y2, lines[firstAfterCurve + 2].y1);
  const DrawCommand& perpendicular = lines[firstAfterCurve + 6];
  EXPECT_EQ(perpendicular.colour, 14);
  EXPECT_EQ(perpendicular.x1, 0.0f);
}

TEST(DrawSternPlot, HubBoxAndShaftUseOneAndAHalfHubDiameters) {
  EXPECT_DOUBLE_EQ(hubLength(0.8), 1.2);
  const Plot plot(sampleDesign());
  const auto lines = plot.ofKind(DrawOp::DrawLine);
  const std::vector<DrawCommand> propeller(lines.end() - 66, lines.end() - 60);
  EXPECT_EQ(propeller[0].colour, 12);  // shaft
  EXPECT_NEAR(propeller[0].x2 - propeller[0].x1, 1.5 * 0.85, kFloatTolerance);
  EXPECT_EQ(propeller[1].colour, 12);  // disc line
  EXPECT_NEAR(propeller[1].y2 - propeller[1].y1, 4.6, kFloatTolerance);
  for (int i = 2; i < 6; ++i) EXPECT_EQ(propeller[i].colour, 11);
}

// The clearances alone on a fresh surface.
struct ClearancePlot {
  DesignData design;
  Assessment assessment = assess(design, {});
  DrawingSurface surface;

  explicit ClearancePlot(const DesignData& d = sampleDesign()) : design(d) {
    drawClearances(design, assessment, surface);
  }

  const ClearanceSegment& operator[](ClearanceIndex i) const {
    return assessment.clearance(i).segment;
  }

  std::vector<DrawCommand> ofKind(DrawOp op) const {
    std::vector<DrawCommand> found;
    for (const DrawCommand& c : surface.commands())
      if (c.op == op) found.push_back(c);
    return found;
  }
};

TEST(DrawClearances, LabelsCarryRatiosForAAndBOnly) {
  const ClearancePlot plot;
  const double d = 4.6;
  const std::vector<std::string> expected = {
      "a=" + formatFixed(plot[clearanceA].length / d, 1, 3) + "D",
      "b=" + formatFixed(plot[clearanceB].length / d, 1, 3) + "D", "c", "a'", "b'", "c'"};
  std::vector<std::string> labels;
  for (const DrawCommand& c : plot.ofKind(DrawOp::PrintText)) labels.push_back(c.text);
  EXPECT_EQ(labels, expected);
}

TEST(DrawClearances, SegmentColoursAndLabelPlaces) {
  const ClearancePlot plot;
  const std::vector<DrawCommand> lines = plot.ofKind(DrawOp::DrawLine);
  const std::vector<DrawCommand> moves = plot.ofKind(DrawOp::MoveTextCursor);
  ASSERT_EQ(lines.size(), 6u);
  const int colours[] = {10, 10, 9, 9, 9, 9};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(lines[i].colour, colours[i]);
  const ClearanceSegment& b = plot[clearanceB];
  EXPECT_FLOAT_EQ(moves[1].y1, static_cast<float>((b.targetZ + b.bladeZ) / 1.8));
  const ClearanceSegment& bp = plot[clearanceBPrime];
  EXPECT_FLOAT_EQ(moves[4].y1, static_cast<float>((bp.bladeZ + bp.targetZ) / 2));
  const ClearanceSegment& a = plot[clearanceA];
  EXPECT_FLOAT_EQ(moves[0].x1, static_cast<float>((a.targetX + a.bladeX) / 2));
}

TEST(DrawClearances, OverlapIsRedAndMarked) {
  DesignData design = sampleDesign();
  design.propellerCentreX = 1.2;  // the blades cut into the stern frame
  const ClearancePlot plot(design);
  ASSERT_TRUE(overlaps(plot.assessment.clearance(clearanceA).signedGap));
  ASSERT_FALSE(overlaps(plot.assessment.clearance(clearanceC).signedGap));
  const std::vector<DrawCommand> lines = plot.ofKind(DrawOp::DrawLine);
  const std::vector<DrawCommand> texts = plot.ofKind(DrawOp::PrintText);
  EXPECT_EQ(lines[clearanceA].colour, paletteLightRed);
  EXPECT_EQ(texts[clearanceA].text.substr(texts[clearanceA].text.size() - 2), " !");
  EXPECT_EQ(lines[clearanceC].colour, paletteLightBlue);
  EXPECT_EQ(texts[clearanceC].text, "c");
}

// A ship whose minima the sample stern meets on c, b' and c' only: a and b
// are below theirs (binding, red, crossed), a' below an informative one
// (crossed, not red).
TEST(DrawClearances, RuleVerdictsMarkTheLabelsAndRedFailedBindingOnes) {
  const DesignData design = sampleDesign();
  const ShipParticulars ship = test::lrShip(118.0, 0.72, 20000.0, 4, 0.1);
  DrawingSurface surface;
  drawClearances(design, assess(design, AssessmentInputs{&ship}), surface);
  std::vector<DrawCommand> lines;
  std::vector<std::string> texts;
  for (const DrawCommand& c : surface.commands()) {
    if (c.op == DrawOp::DrawLine) lines.push_back(c);
    if (c.op == DrawOp::PrintText) texts.push_back(c.text);
  }
  const std::string cross = "\u2717", tick = "\u2713";
  ASSERT_EQ(texts.size(), 6u);
  EXPECT_EQ(texts[clearanceA].substr(texts[clearanceA].size() - cross.size()), cross);
  EXPECT_EQ(lines[clearanceA].colour, paletteLightRed);
  EXPECT_EQ(texts[clearanceC], "c " + tick);
  EXPECT_EQ(lines[clearanceC].colour, paletteLightBlue);
  EXPECT_EQ(texts[clearanceAPrime], "a' " + cross);
  EXPECT_EQ(lines[clearanceAPrime].colour, paletteLightBlue) << "an informative line does not redden";
}

// The swept volume alone on a fresh surface: its two outlines dashed, then
// the closest approaches dotted, then solid lines again.
struct SweptPlot {
  SternAnalysis analysis;
  DrawingSurface surface;

  explicit SweptPlot(const DesignData& design) : analysis(analyseStern(design)) {
    drawSweptVolume(analysis, surface);
  }

  // The lines drawn in each style, in order.
  std::vector<std::vector<DrawCommand>> linesByStyle() const {
    std::vector<std::vector<DrawCommand>> lines(3);
    LineStyle style = LineStyle::Solid;
    for (const DrawCommand& c : surface.commands()) {
      if (c.op == DrawOp::SetLineStyle) style = static_cast<LineStyle>(c.size);
      if (c.op == DrawOp::DrawLine) lines[static_cast<std::size_t>(style)].push_back(c);
    }
    return lines;
  }
};

TEST(DrawSweptVolume, DashedOutlinesAboveAndBelowTheShaftAndDottedApproaches) {
  const SweptPlot plot(sampleDesign());
  const auto lines = plot.linesByStyle();
  const std::vector<DrawCommand>& outline = lines[static_cast<int>(LineStyle::Dashed)];
  // Ten station intervals in four steps, xLow up and xHigh down: 82 points a half.
  ASSERT_EQ(outline.size(), 2u * 82u);
  const double z0 = 2.8, r1 = 0.46, tip = 2.3;
  const SweptVolume& volume = *plot.analysis.sweptVolume;
  EXPECT_NEAR(outline[0].x1, volume.lowX(r1), kFloatTolerance);
  EXPECT_NEAR(outline[0].y1, z0 + r1, kFloatTolerance);
  EXPECT_NEAR(outline[40].y1, z0 + tip, kFloatTolerance);
  EXPECT_NEAR(outline[82 + 40].y1, z0 - tip, kFloatTolerance);
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const DrawCommand& next = outline[i % 82 == 81 ? i - 81 : i + 1];
    EXPECT_EQ(outline[i].x2, next.x1) << "closed, line " << i;
    EXPECT_EQ(outline[i].y2, next.y1) << "closed, line " << i;
  }

  const std::vector<DrawCommand>& dotted = lines[static_cast<int>(LineStyle::Dotted)];
  const std::vector<ClosestApproach>& approaches = plot.analysis.closestApproaches;
  ASSERT_EQ(dotted.size(), approaches.size());
  std::vector<std::string> labels;
  for (const DrawCommand& c : plot.surface.commands()) {
    if (c.op == DrawOp::PrintText) labels.push_back(c.text);
  }
  ASSERT_EQ(labels.size(), approaches.size());
  for (std::size_t i = 0; i < approaches.size(); ++i) {
    EXPECT_NEAR(dotted[i].x1, approaches[i].structureX, kFloatTolerance);
    EXPECT_NEAR(dotted[i].y2, approaches[i].sweptZ, kFloatTolerance);
    EXPECT_EQ(dotted[i].colour, paletteBlue);
    EXPECT_EQ(labels[i], formatFixed(approaches[i].distancePerDiameter, 1, 3) + "D");
  }
  EXPECT_EQ(plot.surface.commands().back().op, DrawOp::SetLineStyle);
  EXPECT_EQ(plot.surface.commands().back().size, static_cast<int>(LineStyle::Solid));
}

TEST(DrawSweptVolume, OverlapIsRedAndMarkedAndNoDiameterDrawsNothing) {
  DesignData design = sampleDesign();
  design.propellerCentreX = 1.2;  // the blades cut into the stern frame
  const SweptPlot overlapping(design);
  ASSERT_TRUE(overlapping.analysis.closestApproaches.front().overlaps);
  const std::vector<DrawCommand> dotted =
      overlapping.linesByStyle()[static_cast<int>(LineStyle::Dotted)];
  EXPECT_EQ(dotted.front().colour, paletteLightRed);
  std::vector<std::string> labels;
  for (const DrawCommand& c : overlapping.surface.commands()) {
    if (c.op == DrawOp::PrintText) labels.push_back(c.text);
  }
  EXPECT_EQ(labels.front(), "0.000D !");

  design = sampleDesign();
  design.propellerDiameter = -4.6;
  const SweptPlot none(design);
  for (const auto& lines : none.linesByStyle()) EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace propclear
