// The labels of the report's drawing over many varied designs: each finds a
// place, no text box covers another, and no drawn line (stern contour,
// rudder, heel, blade edges, swept outline, construction and dimension
// lines, leaders) runs through a text box.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <random>

#include "ui/clearance_report_view.h"
#include "common/run_error.h"
#include "design/read_design_data.h"
#include "rules/read_ship_particulars.h"
#include "test_support.h"

namespace propclear {
namespace {

// The example moved and scaled by a seeded draw: the propeller centre, its
// diameter and hub, pitch, area ratio and rake, the rudder's corners and the
// stern contour's x.
DesignData variedDesign(const DesignData& example, std::mt19937& draw) {
  const auto uniform = [&draw](double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(draw);
  };
  DesignData design = example;
  design.propellerCentreX += uniform(-0.4, 0.4);
  design.propellerCentreZ += uniform(-0.3, 0.3);
  design.propellerDiameter += uniform(-0.8, 0.6);
  design.hubDiameter += uniform(-0.15, 0.15);
  design.pitchRatio += uniform(-0.25, 0.35);
  design.areaRatio += uniform(-0.15, 0.3);
  design.rakeAngle += uniform(-10.0, 5.0);
  const double rudderShift = uniform(-0.6, 0.8);
  for (int corner = 1; corner <= design.rudderPointCount; ++corner) {
    design.rudderX[corner] += rudderShift;
    design.rudderZ[corner] += uniform(-0.2, 0.2);
  }
  const double contourShift = uniform(-0.3, 0.3);
  for (int point = 1; point <= design.contourPointCount[sternContourRow]; ++point) {
    design.contourX[sternContourRow][point] += contourShift + uniform(-0.05, 0.05);
  }
  return design;
}

bool crosses(const QLineF& line, const QRectF& box) {
  // Sampled finely against the box shrunk by a hair: a line that only
  // touches a box's edge does not print through its text.
  const QRectF inner = box.adjusted(0.5, 0.5, -0.5, -0.5);
  constexpr int steps = 200;
  for (int step = 0; step <= steps; ++step) {
    if (inner.contains(line.pointAt(static_cast<double>(step) / steps))) return true;
  }
  return false;
}

TEST(ReportLabelLayout, NoLabelCoversAnotherOrALineOverTwoHundredVariedDesigns) {
  const DesignData example = readDesignData(test::examplesDir() / "Norvalek.TSK").design;
  const ShipParticulars ship =
      readShipParticulars(test::examplesDir() / "Norvalek.ship.toml", ShipOverrides{});
  std::mt19937 draw(34);
  // Device units as on the page: 1200 to the inch; a drawing box of the A4 page.
  constexpr double unitsPerMm = 1200.0 / 25.4;
  const QRectF box(0.0, 0.0, 155.0 * unitsPerMm, 100.0 * unitsPerMm);
  QImage canvas(64, 64, QImage::Format_ARGB32);
  canvas.setDotsPerMeterX(static_cast<int>(unitsPerMm * 1000.0));
  canvas.setDotsPerMeterY(static_cast<int>(unitsPerMm * 1000.0));
  int designs = 0;
  int clashes = 0;
  for (int attempt = 0; attempt < 400 && designs < 220; ++attempt) {
    const DesignData design = variedDesign(example, draw);
    Assessment assessment;
    try {
      assessment = assess(design, AssessmentInputs{&ship});
    } catch (const RunError&) {
      continue;  // a design the analysis refuses has no report
    }
    ++designs;
    if (assessment.hasClash()) ++clashes;
    const ClearanceReportContent content{design, assessment, "Varied.TSK", &ship};
    QPainter painter(&canvas);
    const ReportViewRecord record = drawClearanceReportView(painter, box, unitsPerMm, content);
    painter.end();
    SCOPED_TRACE("design " + std::to_string(attempt));
    EXPECT_EQ(record.unplacedLabels, std::vector<QString>{});
    // Six dimensions, FWD, B.L., heel and a closest approach at least.
    EXPECT_GE(record.textBoxes.size(), 10u);
    for (std::size_t i = 0; i < record.textBoxes.size(); ++i) {
      const QRectF& text = record.textBoxes[i];
      EXPECT_TRUE(box.contains(text));
      for (std::size_t j = i + 1; j < record.textBoxes.size(); ++j) {
        EXPECT_FALSE(text.intersects(record.textBoxes[j])) << i << " covers " << j;
      }
      for (const QLineF& line : record.strokes) {
        EXPECT_FALSE(crosses(line, text)) << "a line runs through text box " << i;
      }
    }
  }
  EXPECT_GE(designs, 200);
  EXPECT_GT(clashes, 0);
}

}  // namespace
}  // namespace propclear
