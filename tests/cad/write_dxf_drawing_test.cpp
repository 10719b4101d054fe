#include "cad/write_dxf_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "cad/write_cad_script.h"
#include "common/format_number.h"
#include "common/output_file.h"
#include "common/run_error.h"
#include "dxf_test_support.h"
#include "sample_design.h"
#include "sheet/clearance_labels.h"
#include "support/test_support.h"

namespace propclear {
namespace {

using test::DxfEntity;
using test::SampleRun;

// One drawn item as both formats can express it: a line or polyline with its
// points ("x,z" in millimetres), or a text with its command and point.
struct DrawnItem {
  int colour = 0;
  std::vector<std::string> points;
  std::string textCommand;  // "text" or "text r"; empty for lines
  std::string text;

  bool operator==(const DrawnItem&) const = default;
};

std::ostream& operator<<(std::ostream& out, const DrawnItem& item) {
  out << "colour " << item.colour << " [";
  for (const std::string& p : item.points) out << p << " ";
  return out << "] " << item.textCommand << " \"" << item.text << "\"";
}

// The CAD script's drawing, in its order: colours as set by "COLOR n",
// polyline blocks, text commands, and the continued text after a bare Enter.
std::vector<DrawnItem> scriptItems(const std::vector<std::string>& lines) {
  std::vector<DrawnItem> items;
  int colour = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line == "Limits") {
      i += 2;
    } else if (line == "style complex complex") {
      i += 2;
    } else if (line.rfind("COLOR ", 0) == 0) {
      colour = std::stoi(line.substr(6));
    } else if (line == "pline") {
      DrawnItem item{colour, {}, "", ""};
      while (!lines[++i].empty()) item.points.push_back(lines[i]);
      items.push_back(item);
    } else if (line == "text" || line == "text r") {
      items.push_back({colour, {lines[i + 1]}, line, lines[i + 3]});
      i += 3;
    } else if (line.empty()) {
      items.push_back({colour, {lines[i + 1]}, "text", lines[i + 3]});
      i += 3;
    }
  }
  return items;
}

std::string pointText(const DxfEntity& entity, int baseCode) {
  return entity.value(baseCode) + "," + entity.value(baseCode + 10);
}

// The DXF drawing as the same items; contour curve and markers left out,
// since the script lists the bare contour points instead.
std::vector<DrawnItem> dxfItems(const std::vector<std::string>& lines) {
  std::map<std::string, int> layerColour;
  for (const auto& [name, colour] : test::dxfLayersOf(lines)) layerColour[name] = colour;
  std::vector<DrawnItem> items;
  for (const DxfEntity& e : test::dxfEntitiesOf(lines)) {
    if (e.value(8) == "CONTOUR") continue;
    DrawnItem item;
    item.colour = e.has(62) ? std::stoi(e.value(62)) : layerColour.at(e.value(8));
    if (e.type == "LINE") {
      item.points = {pointText(e, 10), pointText(e, 11)};
    } else if (e.type == "POLYLINE") {
      for (const DxfEntity& vertex : e.vertices) item.points.push_back(pointText(vertex, 10));
      if (e.value(70) == "1") item.points.push_back(item.points.front());
    } else if (e.type == "TEXT") {
      const bool right = e.value(72) == "2";
      item.points = {pointText(e, right ? 11 : 10)};
      item.textCommand = right ? "text r" : "text";
      item.text = e.value(1);
    } else {
      ADD_FAILURE() << "unexpected entity " << e.type;
    }
    items.push_back(item);
  }
  return items;
}

std::vector<std::string> sampleDxf(SampleRun& run) {
  return dxfDrawingLines(run.design, run.assessment);
}

TEST(DxfDrawing, HeaderDeclaresR12MillimetresAndLimitsAroundEverythingDrawn) {
  SampleRun run(test::sampleDesign());  // extent 0 to 6.6 m
  const std::vector<std::string> lines = sampleDxf(run);
  const std::vector<std::string> header(lines.begin(), lines.begin() + 54);
  // The frame, R/4 beside and R/8 above and below the extent, holds every
  // text here but c's label with its value, which ends right of the rudder
  // at 8.607 m: the limits take it in.
  EXPECT_EQ(header, (std::vector<std::string>{
                        "  0", "SECTION", "  2", "HEADER",                             //
                        "  9", "$ACADVER", "  1", "AC1009",                            //
                        "  9", "$INSUNITS", " 70", "4",                                //
                        "  9", "$MEASUREMENT", " 70", "1",                             //
                        "  9", "$LIMMIN", " 10", "-1650", " 20", "-825", " 30", "0",   //
                        "  9", "$LIMMAX", " 10", "8607.37843622544", " 20", "7425", " 30", "0",
                        "  9", "$EXTMIN", " 10", "-1650", " 20", "-825", " 30", "0",   //
                        "  9", "$EXTMAX", " 10", "8607.37843622544", " 20", "7425", " 30", "0",
                        "  9", "$TEXTSIZE", " 40", "132", "  0", "ENDSEC"}));
  EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
            (std::vector<std::string>{"  0", "ENDSEC", "  0", "EOF"}));
}

TEST(DxfDrawing, OneLayerPerKindInTheScriptsColours) {
  SampleRun run(test::sampleDesign());
  const std::vector<std::pair<std::string, int>> expected = {
      {"0", 7},         {"CONTOUR", 5},     {"REFERENCE", 5},  {"RUDDER", 5},
      {"PROPELLER", 3}, {"UPPER_BLADE", 1}, {"LOWER_BLADE", 1}, {"LEGACY_LOWER_BLADE", 8},
      {"CLEARANCES", 2}, {"OVERLAP", 1},  {"SWEPT", 8},       {"TEXT", 7}};
  EXPECT_EQ(test::dxfLayersOf(sampleDxf(run)), expected);
}

// The lines in the script's colours and the same texts in English, each
// clearance with its value; the texts' places are the drawing's own, and all
// are in the text colour. The lower blade,
// a', b' and c' are those of the blade as it turns, not the script's
// mirrored ones, which the drawing keeps dashed on a legacy layer.
TEST(DxfDrawing, DrawsWhatTheScriptDrawsInTheSameColours) {
  SampleRun run(test::sampleDesign());
  std::vector<DrawnItem> script =
      scriptItems(test::splitCrLfLines(cadScriptText(run.design, run.analysis)));
  ASSERT_GE(script.size(), 2u);
  script.erase(script.begin() + 1);  // the contour through the bare points
  std::vector<DrawnItem> dxf = dxfItems(sampleDxf(run));
  // The swept volume's two outlines and each closest approach with its label,
  // which the script does not draw, come between the clearances and the title.
  const std::size_t swept = 2 + 2 * run.analysis.closestApproaches.size();
  ASSERT_GE(dxf.size(), swept + 2);
  dxf.erase(dxf.end() - 2 - static_cast<std::ptrdiff_t>(swept), dxf.end() - 2);
  // The legacy outline's two edges and its label follow the four blade edges.
  constexpr std::ptrdiff_t legacyFirst = 18;
  ASSERT_GE(dxf.size(), static_cast<std::size_t>(legacyFirst + 3));
  EXPECT_EQ(dxf[legacyFirst].points, script[16].points);
  EXPECT_EQ(dxf[legacyFirst + 2].text, "legacy lower blade (mirrored)");
  dxf.erase(dxf.begin() + legacyFirst, dxf.begin() + legacyFirst + 3);
  ASSERT_EQ(dxf.size(), script.size());
  const std::map<std::size_t, std::string> english = {
      {4, "DWL"},
      {19, "a 2.354 m / 0.512D"},
      {21, "b 1.148 m / 0.250D"},
      {23, "c 2.095 m / 0.456D"},
      {25, "a' 2.718 m / 0.591D"},
      {27, "b' 0.300 m / 0.065D"},
      {29, "c' 2.095 m / 0.456D"},
      {30, "Propeller, hull and rudder clearances: side view"}};
  for (const auto& [item, text] : english) EXPECT_EQ(dxf[item].text, text) << "item " << item;
  // a' as the blade turns is not the script's mirrored one.
  EXPECT_EQ(script[25].text, "a'=0.473*D");
  for (std::size_t i = 0; i < dxf.size(); ++i) {
    // The turning lower blade's edges, a', b' and c' differ from the script's.
    if (i == 16 || i == 17 || i == 24 || i == 25 || i == 26 || i == 28 || i == 29) continue;
    if (english.count(i) != 0) continue;
    if (script[i].textCommand.empty()) {
      EXPECT_EQ(dxf[i], script[i]) << "item " << i;
    } else {
      EXPECT_EQ(dxf[i].text, script[i].text) << "item " << i;
      EXPECT_EQ(dxf[i].colour, 7) << "item " << i;
    }
  }
}

// The text boxes of the DXF check: every character as wide as the text is high.
TEST(DxfDrawing, NoTwoTextsOverlapEvenOnACrowdedStern) {
  DesignData crowded = test::sampleDesign();
  crowded.propellerDiameter = 1.0;  // every clearance long, every label crowded in
  for (const DesignData& design : {test::sampleDesign(), crowded}) {
    SampleRun run(design);
    std::vector<std::array<double, 4>> boxes;
    for (const DxfEntity& e : test::dxfEntitiesOf(sampleDxf(run))) {
      if (e.type != "TEXT") continue;
      const double x = std::stod(e.value(10)), z = std::stod(e.value(20));
      const double h = std::stod(e.value(40));
      const double width = static_cast<double>(e.value(1).size()) * h;
      boxes.push_back({x, z - 0.3 * h, x + width, z + h});
    }
    ASSERT_EQ(boxes.size(), 12u + run.analysis.closestApproaches.size());  // with the legacy label
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      for (std::size_t j = 0; j < i; ++j) {
        const auto& a = boxes[i];
        const auto& b = boxes[j];
        EXPECT_FALSE(a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3])
            << "texts " << i << " and " << j;
      }
    }
  }
}

TEST(DxfDrawing, ElementsLieOnTheirLayers) {
  SampleRun run(test::sampleDesign());
  std::vector<std::string> layers;
  for (const DxfEntity& e : test::dxfEntitiesOf(sampleDxf(run))) {
    if (e.value(8) != "CONTOUR") layers.push_back(e.type + " " + e.value(8));
  }
  std::vector<std::string> expected = {
      "POLYLINE REFERENCE",                                       // frame
      "LINE REFERENCE",     "TEXT TEXT",                          // base line
      "LINE REFERENCE",     "TEXT TEXT",                          // waterline
      "POLYLINE RUDDER",    "LINE REFERENCE", "TEXT TEXT",        // rudder, aft perpendicular
      "LINE PROPELLER",     "LINE PROPELLER",                     // shaft, disc
      "LINE PROPELLER",     "LINE PROPELLER", "LINE PROPELLER", "LINE PROPELLER",  // hub
      "POLYLINE UPPER_BLADE", "POLYLINE UPPER_BLADE",
      "POLYLINE LOWER_BLADE", "POLYLINE LOWER_BLADE",
      "POLYLINE LEGACY_LOWER_BLADE", "POLYLINE LEGACY_LOWER_BLADE", "TEXT TEXT"};
  for (int i = 0; i < clearanceCount; ++i) {
    expected.insert(expected.end(), {"LINE CLEARANCES", "TEXT TEXT"});
  }
  expected.insert(expected.end(), {"POLYLINE SWEPT", "POLYLINE SWEPT"});  // above, below
  for (std::size_t i = 0; i < run.analysis.closestApproaches.size(); ++i) {
    expected.insert(expected.end(), {"LINE SWEPT", "TEXT TEXT"});
  }
  expected.insert(expected.end(), {"TEXT TEXT", "TEXT TEXT"});  // title, credit
  EXPECT_EQ(layers, expected);
}

TEST(DxfDrawing, OverlappingClearanceGoesOnTheRedOverlapLayer) {
  DesignData design = test::sampleDesign();
  design.propellerCentreX = 1.2;  // the blades cut into the stern frame
  SampleRun run(design);
  std::vector<std::string> lineLayers;
  for (const DxfEntity& e : test::dxfEntitiesOf(sampleDxf(run))) {
    const std::string layer = e.value(8);
    if (e.type == "LINE" && (layer == "CLEARANCES" || layer == "OVERLAP" || layer == "SWEPT")) {
      lineLayers.push_back(layer);
    }
  }
  // The six clearances, then the closest approaches to the swept volume.
  const std::vector<ClosestApproach>& approaches = run.analysis.closestApproaches;
  ASSERT_EQ(lineLayers.size(), clearanceCount + approaches.size());
  for (int i = 0; i < clearanceCount; ++i) {
    EXPECT_EQ(lineLayers[i], overlaps(run.analysis.signedGaps[i]) ? "OVERLAP" : "CLEARANCES");
  }
  EXPECT_EQ(lineLayers[clearanceA], "OVERLAP");
  for (std::size_t i = 0; i < approaches.size(); ++i) {
    EXPECT_EQ(lineLayers[clearanceCount + i], approaches[i].overlaps ? "OVERLAP" : "SWEPT");
  }
  EXPECT_TRUE(approaches.front().overlaps);
}

// Dashed outlines of the swept volume above and below the shaft, dotted
// closest approaches labelled with their distance / D, the line types
// defined in the table.
TEST(DxfDrawing, SweptVolumeIsDashedAndItsClosestApproachesDotted) {
  SampleRun run(test::sampleDesign());
  const std::vector<std::string> lines = sampleDxf(run);
  for (const char* lineType : {"CONTINUOUS", "DASHED", "DOT"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), lineType), lines.end()) << lineType;
  }
  std::vector<const DxfEntity*> outlines;
  std::vector<std::string> approachLabels;
  const std::vector<DxfEntity> entities = test::dxfEntitiesOf(lines);
  for (std::size_t i = 0; i < entities.size(); ++i) {
    const DxfEntity& e = entities[i];
    if (e.value(8) != "SWEPT") continue;
    if (e.type == "POLYLINE") outlines.push_back(&e);
    if (e.type == "LINE") {
      EXPECT_EQ(e.value(6), "DOT");
      approachLabels.push_back(entities[i + 1].value(1));
    }
  }
  ASSERT_EQ(outlines.size(), 2u);
  const double z0 = run.design.propellerCentreZ * 1000.0;
  EXPECT_EQ(outlines[0]->value(70), "1") << "closed";
  EXPECT_FALSE(outlines[0]->has(6)) << "dashed by its layer";
  EXPECT_GT(std::stod(outlines[0]->vertices.back().value(20)), z0);
  EXPECT_LT(std::stod(outlines[1]->vertices.back().value(20)), z0);
  const std::vector<ClosestApproach>& approaches = run.analysis.closestApproaches;
  ASSERT_EQ(approachLabels.size(), approaches.size());
  for (std::size_t i = 0; i < approaches.size(); ++i) {
    EXPECT_EQ(approachLabels[i], approachLabel(approaches[i]));
  }
}

TEST(DxfDrawing, BladeOutlinesAreFourPolylinesThroughAllStations) {
  SampleRun run(test::sampleDesign());
  int bladePolylines = 0;
  for (const DxfEntity& e : test::dxfEntitiesOf(sampleDxf(run))) {
    if (e.type == "TEXT" || e.value(8).find("BLADE") == std::string::npos) continue;
    ++bladePolylines;
    EXPECT_EQ(e.type, "POLYLINE");
    EXPECT_EQ(e.value(66), "1");
    EXPECT_EQ(e.value(70), "0") << "a blade edge is open at root and tip";
    EXPECT_EQ(e.vertices.size(), static_cast<std::size_t>(bladeStationCount));
  }
  EXPECT_EQ(bladePolylines, 6);  // the mirrored legacy outline's two edges too
}

// Contour curve lines of the plot: after the four frame lines, before the
// first marker circle.
std::vector<DrawCommand> plotContourLines(const DrawingSurface& surface) {
  std::vector<DrawCommand> lines;
  int frameLines = 4;
  for (const DrawCommand& c : surface.commands()) {
    if (c.op == DrawOp::DrawCircle) break;
    if (c.op != DrawOp::DrawLine) continue;
    if (frameLines > 0) {
      --frameLines;
    } else {
      lines.push_back(c);
    }
  }
  return lines;
}

struct ContourEntities {
  std::vector<const DxfEntity*> curves;
  std::vector<const DxfEntity*> markers;
};

ContourEntities contourEntitiesOf(const std::vector<DxfEntity>& entities) {
  ContourEntities contour;
  for (const DxfEntity& e : entities) {
    if (e.value(8) != "CONTOUR") continue;
    (e.type == "POLYLINE" ? contour.curves : contour.markers).push_back(&e);
  }
  return contour;
}

// The drawing's contour curve has the plot's steps: the plot gets them in
// single precision, the drawing keeps the doubles they came from.
void expectContourAsPlotted(const DesignData& design) {
  SampleRun run(design);
  const std::vector<DrawCommand> plotted = plotContourLines(run.surface);
  ASSERT_GT(plotted.size(), 10u);
  const std::vector<DxfEntity> entities = test::dxfEntitiesOf(sampleDxf(run));
  const ContourEntities contour = contourEntitiesOf(entities);
  ASSERT_EQ(contour.curves.size(), 1u);
  const std::vector<DxfEntity>& vertices = contour.curves[0]->vertices;
  ASSERT_EQ(vertices.size(), plotted.size() + 1);
  for (std::size_t i = 0; i < plotted.size(); ++i) {
    EXPECT_EQ(static_cast<float>(std::stod(vertices[i + 1].value(10)) / 1000.0), plotted[i].x2)
        << "step " << i + 1;
    EXPECT_EQ(static_cast<float>(std::stod(vertices[i + 1].value(20)) / 1000.0), plotted[i].y2)
        << "step " << i + 1;
  }
}

TEST(DxfDrawing, ContourIsTheCurveThePlotShows) {
  expectContourAsPlotted(test::sampleDesign());
}

TEST(DxfDrawing, ContourFollowsThePlotAcrossABreakPoint) {
  DesignData design = test::sampleDesign();
  design.contourCode[sternContourRow][5] = 0.0;
  expectContourAsPlotted(design);
}

TEST(DxfDrawing, ContourFollowsThePlotWhereHeightsFall) {
  DesignData design = test::sampleDesign();
  // Falling from point 3 to 4: heights there lie on two pieces of the curve.
  test::setContour(design, {{0.2, 1.2, 1}, {1.0, 1.3, 1}, {3.0, 1.4, 1}, {2.0, 1.35, 1},
                            {4.0, 1.6, 1}, {6.6, 6.0, 1}});
  expectContourAsPlotted(design);
}

TEST(DxfDrawing, ContourPointsCarryThePlotsTwoMarkers) {
  SampleRun run(test::sampleDesign());
  const std::vector<DxfEntity> entities = test::dxfEntitiesOf(sampleDxf(run));
  const ContourEntities contour = contourEntitiesOf(entities);
  const int points = run.design.contourPointCount[sternContourRow];
  ASSERT_EQ(contour.markers.size(), static_cast<std::size_t>(2 * points));
  // s = R / 100 = 66 mm: markers of s/5 and s/10 about every point.
  for (int i = 0; i < points; ++i) {
    const DxfEntity& outer = *contour.markers[2 * i];
    const DxfEntity& inner = *contour.markers[2 * i + 1];
    EXPECT_EQ(outer.value(40), "13.2");
    EXPECT_EQ(inner.value(40), "6.6");
    EXPECT_EQ(pointText(outer, 10), pointText(inner, 10));
  }
  EXPECT_EQ(pointText(*contour.markers[0], 10), "1200,200");
  EXPECT_EQ(pointText(*contour.markers[2 * points - 1], 10), "6000,6600");
}

TEST(DxfDrawing, ContourListedTopDownGetsOnlyItsMarkers) {
  DesignData design = test::sampleDesign();
  test::setContour(design, {{6.6, 6.0, 1}, {3.0, 1.4, 1}, {0.2, 1.2, 1}});
  SampleRun run(design);
  EXPECT_TRUE(plotContourLines(run.surface).empty());
  int curves = 0, markers = 0;
  for (const DxfEntity& e : test::dxfEntitiesOf(sampleDxf(run))) {
    if (e.value(8) != "CONTOUR") continue;
    ++(e.type == "CIRCLE" ? markers : curves);
  }
  EXPECT_EQ(curves, 0);
  EXPECT_EQ(markers, 6);
}

TEST(DxfDrawing, ContourWithoutExtentIsAnErrorNotAnEndlessCurve) {
  DesignData design = test::sampleDesign();
  test::setContour(design, {{0, 0, 1}});
  EXPECT_THROW(SampleRun{design}, RunError);
}

TEST(DxfDrawing, NumbersArePlainDecimals) {
  SampleRun run(test::sampleDesign());
  const std::regex plainNumber(R"(-?[0-9]+(\.[0-9]+)?)");
  for (const test::DxfGroup& group : test::dxfGroupsOf(sampleDxf(run))) {
    const int code = group.first;
    if ((code >= 10 && code <= 59) || (code >= 60 && code <= 79)) {
      EXPECT_TRUE(std::regex_match(group.second, plainNumber))
          << "group " << code << ": " << group.second;
    }
  }
}

TEST(WriteDxfDrawing, WritesTheLinesWithCrLf) {
  const test::ScratchDir dir;
  const auto path = dir / "stern.dxf";
  SampleRun run(test::sampleDesign());
  OutputFile file(path, path.string(), OutputFile::Devices::WriteInto);
  writeDxfDrawing(file, run.design, run.assessment);
  file.commit();
  EXPECT_EQ(test::splitCrLfLines(test::readFile(path)), sampleDxf(run));
}

}  // namespace
}  // namespace propclear
