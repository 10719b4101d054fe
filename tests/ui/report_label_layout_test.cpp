// The labels of the report's drawing and of the saved plot over many varied
// designs: each finds a place, no text box covers another, and no drawn line
// (stern contour, rudder, heel, blade edges, swept outline, clash hatching,
// construction and dimension lines, leaders) runs through a text box. The
// plot's texts are measured by the font the image is drawn with.

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <functional>
#include <random>

#include "ui/clearance_report_view.h"
#include "common/run_error.h"
#include "plot/plot_font_metrics.h"
#include "plot/print_plot.h"
#include "ui/render_drawing.h"
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

// Calls `check` for 220 varied designs the analysis takes, with the example's
// ship; the count of clashes among them.
int forVariedDesigns(const std::function<void(const DesignData&, const Assessment&,
                                              const ShipParticulars&)>& check) {
  const DesignData example = readDesignData(test::examplesDir() / "Norvalek.TSK").design;
  const ShipParticulars ship =
      readShipParticulars(test::examplesDir() / "Norvalek.ship.toml", ShipOverrides{});
  std::mt19937 draw(34);
  int designs = 0;
  int clashes = 0;
  for (int attempt = 0; attempt < 400 && designs < 220; ++attempt) {
    const DesignData design = variedDesign(example, draw);
    Assessment assessment;
    try {
      assessment = assess(design, AssessmentInputs{&ship});
    } catch (const RunError&) {
      continue;  // a design the analysis refuses has no drawing
    }
    ++designs;
    if (assessment.hasClash()) ++clashes;
    SCOPED_TRACE("design " + std::to_string(attempt));
    check(design, assessment, ship);
  }
  EXPECT_GE(designs, 200);
  return clashes;
}

void expectNoOverprint(const std::vector<QRectF>& texts, const std::vector<QLineF>& lines,
                       const QRectF& area) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const QRectF& text = texts[i];
    EXPECT_TRUE(area.contains(text)) << "text box " << i << " leaves the drawing";
    for (std::size_t j = i + 1; j < texts.size(); ++j) {
      EXPECT_FALSE(text.intersects(texts[j])) << i << " covers " << j;
    }
    for (const QLineF& line : lines) {
      EXPECT_FALSE(crosses(line, text)) << "a line runs through text box " << i;
    }
  }
}

TEST(ReportLabelLayout, NoLabelCoversAnotherOrALineOverTwoHundredVariedDesigns) {
  // Device units as on the page: 1200 to the inch; a drawing box of the A4 page.
  constexpr double unitsPerMm = 1200.0 / 25.4;
  const QRectF box(0.0, 0.0, 155.0 * unitsPerMm, 100.0 * unitsPerMm);
  QImage canvas(64, 64, QImage::Format_ARGB32);
  canvas.setDotsPerMeterX(static_cast<int>(unitsPerMm * 1000.0));
  canvas.setDotsPerMeterY(static_cast<int>(unitsPerMm * 1000.0));
  const int clashes = forVariedDesigns([&](const DesignData& design, const Assessment& assessment,
                                           const ShipParticulars& ship) {
    const ClearanceReportContent content{design, assessment, "Varied.TSK", &ship};
    QPainter painter(&canvas);
    const ReportViewRecord record = drawClearanceReportView(painter, box, unitsPerMm, content);
    painter.end();
    EXPECT_EQ(record.unplacedLabels, std::vector<QString>{});
    // Six dimensions, FWD, B.L., heel and a closest approach at least.
    EXPECT_GE(record.textBoxes.size(), 10u);
    expectNoOverprint(record.textBoxes, record.strokes, box);
  });
  EXPECT_GT(clashes, 0);
}

// The plot as it is saved at its design size, 716 x 472 pixels: every line
// and marker circle in pixels, every text's box by the font's own metrics.
struct PlotInk {
  std::vector<QRectF> texts;
  std::vector<QLineF> lines;
};

PlotInk plotInkOf(const std::vector<DrawCommand>& commands, QSize area) {
  PlotInk ink;
  QTransform toPixels;
  QPointF cursor;
  QFont font;
  for (const DrawCommand& c : commands) {
    switch (c.op) {
      case DrawOp::SetUserScale:
        toPixels = *fittedUserScale(c.left, c.top, c.right, c.bottom, area);
        break;
      case DrawOp::SetFont:
        font = QFont(QString::fromStdString(c.text));
        font.setPixelSize(static_cast<int>(fontPixelsOf(c.size)));
        break;
      case DrawOp::DrawLine: ink.lines.push_back(toPixels.map(QLineF(c.x1, c.y1, c.x2, c.y2))); break;
      case DrawOp::DrawCircle: {
        const QPointF centre = toPixels.map(QPointF(c.x1, c.y1));
        const double r = std::abs(c.radius * toPixels.m11());
        ink.lines.emplace_back(centre - QPointF(r, 0.0), centre + QPointF(r, 0.0));
        ink.lines.emplace_back(centre - QPointF(0.0, r), centre + QPointF(0.0, r));
        break;
      }
      case DrawOp::MoveTextCursor: cursor = toPixels.map(QPointF(c.x1, c.y1)); break;
      case DrawOp::PrintText: {
        const QFontMetricsF metrics(font);
        const QString text = QString::fromStdString(c.text);
        ink.texts.emplace_back(cursor, QSizeF(metrics.horizontalAdvance(text),
                                              metrics.ascent() + metrics.descent()));
        break;
      }
      default: break;
    }
  }
  return ink;
}

TEST(ReportLabelLayout, SavedPlotLabelsCoverNoOtherOrALineOverTwoHundredVariedDesigns) {
  const QSize area(designPlotSize.width, designPlotSize.height);
  forVariedDesigns([&](const DesignData& design, const Assessment& assessment,
                       const ShipParticulars&) {
    DrawingSurface surface;
    drawPrintPlot(design, assessment, surface);
    const PlotInk ink = plotInkOf(surface.commands(), area);
    // B.L., DWL, A.P., the legacy blade, six clearances, three closest approaches.
    EXPECT_GE(ink.texts.size(), 13u);
    expectNoOverprint(ink.texts, ink.lines, QRectF(QPointF(0.0, 0.0), QSizeF(area)));
  });
}

}  // namespace
}  // namespace propclear
