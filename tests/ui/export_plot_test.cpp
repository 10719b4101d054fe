#include "ui/export_plot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <array>

#include "common/output_file.h"
#include "common/run_error.h"
#include "design/read_design_data.h"
#include "sample_design.h"
#include "test_support.h"
#include "ui/render_drawing.h"
#include "ui/screen_units.h"
#include "ui_test_support.h"

namespace propclear {
namespace {

using test::PlotScale;
using test::ScratchDir;

// SVG writes pixel coordinates to a thousandth.
constexpr double kCoordinateTolerance = 1e-3;

// A bit of everything the plot draws: lines, marker circles, labels.
DrawingSurface sampleDrawing() {
  const PlotScale s;
  DrawingSurface surface = test::plotSurface(s);
  surface.drawLine(s.m - s.R / 4, s.M + s.R / 8, s.M + s.R / 4, s.M + s.R / 8, paletteLightMagenta);
  surface.drawLine(s.M + s.R / 4, s.M + s.R / 8, s.M + s.R / 4, s.m - s.R / 8, paletteLightMagenta);
  surface.drawCircle(1.0, 2.0, s.R / 500, paletteLightMagenta);
  surface.drawCircle(1.0, 2.0, s.R / 1000, paletteLightMagenta);
  surface.drawLine(s.M + s.R / 10, 0.0, s.m - s.R / 10, 0.0, paletteLightGreen);
  surface.moveTextCursor(s.M + s.R / 10, s.R / 25);
  surface.printText("B.L.");
  surface.drawLine(0.0, s.m, 0.0, s.M, paletteYellow);
  surface.moveTextCursor(-s.R / 25, s.m - s.R / 40);
  surface.printText("A.P.");
  return surface;
}

std::size_t countOf(const DrawingSurface& surface, DrawOp op) {
  return static_cast<std::size_t>(std::count_if(surface.commands().begin(), surface.commands().end(),
                                                [op](const DrawCommand& c) { return c.op == op; }));
}

struct Segment {
  double x1, y1, x2, y2;
};

// The line ends in pixels, in drawing order, as the renderer places them.
std::vector<Segment> expectedSegments(const DrawingSurface& surface) {
  const PlotScale s;
  std::vector<Segment> segments;
  for (const DrawCommand& c : surface.commands()) {
    if (c.op != DrawOp::DrawLine) continue;
    const QPointF from = s.toPixel(c.x1, c.y1, designDrawingArea);
    const QPointF to = s.toPixel(c.x2, c.y2, designDrawingArea);
    segments.push_back({from.x(), from.y(), to.x(), to.y()});
  }
  return segments;
}

void expectSameSegments(const std::vector<Segment>& found, const std::vector<Segment>& expected) {
  ASSERT_EQ(found.size(), expected.size());
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_NEAR(found[i].x1, expected[i].x1, kCoordinateTolerance) << "line " << i;
    EXPECT_NEAR(found[i].y1, expected[i].y1, kCoordinateTolerance) << "line " << i;
    EXPECT_NEAR(found[i].x2, expected[i].x2, kCoordinateTolerance) << "line " << i;
    EXPECT_NEAR(found[i].y2, expected[i].y2, kCoordinateTolerance) << "line " << i;
  }
}

// Saves the drawing as the plot run does: into an output file, put in place.
void exportTo(const std::vector<DrawCommand>& commands, const std::filesystem::path& path) {
  OutputFile file(path, path.string(), OutputFile::Devices::WriteInto);
  exportPlot(commands, file);
  file.commit();
}

QByteArray readBytes(const std::filesystem::path& path) {
  return QByteArray::fromStdString(test::readFile(path));
}

TEST(ExportPlot, PngHoldsExactlyTheRenderedDrawingAtTheDesignSize) {
  const ScratchDir dir;
  const DrawingSurface surface = sampleDrawing();
  exportTo(surface.commands(), dir / "plot.png");
  const QImage saved(QString::fromStdString((dir / "plot.png").string()));
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), designDrawingArea);
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
            test::renderImage(surface, designDrawingArea));
}

TEST(ExportPlot, ExtensionIsMatchedInAnyCase) {
  const ScratchDir dir;
  const DrawingSurface surface = sampleDrawing();
  for (const char* name : {"plot.PNG", "plot.Svg", "plot.PDF"}) {
    exportTo(surface.commands(), dir / name);
    EXPECT_GT(std::filesystem::file_size(dir / name), 0u) << name;
  }
}

TEST(ExportPlot, SvgIsWellFormedAndHoldsEveryLineCircleAndText) {
  const ScratchDir dir;
  const DrawingSurface surface = sampleDrawing();
  exportTo(surface.commands(), dir / "plot.svg");

  QXmlStreamReader svg(readBytes(dir / "plot.svg"));
  std::vector<Segment> lines;
  std::size_t circles = 0;
  QStringList texts;
  QString rootSize;
  while (!svg.atEnd()) {
    if (svg.readNext() != QXmlStreamReader::StartElement) continue;
    if (svg.name() == QLatin1String("svg")) rootSize = svg.attributes().value("viewBox").toString();
    if (svg.name() == QLatin1String("circle")) ++circles;
    if (svg.name() == QLatin1String("text")) texts << svg.readElementText();
    if (svg.name() == QLatin1String("line")) {
      const auto at = [&](const char* name) { return svg.attributes().value(name).toDouble(); };
      lines.push_back({at("x1"), at("y1"), at("x2"), at("y2")});
    }
  }
  ASSERT_FALSE(svg.hasError()) << svg.errorString().toStdString();
  EXPECT_EQ(rootSize.toStdString(), "0 0 716 472");
  expectSameSegments(lines, expectedSegments(surface));
  EXPECT_EQ(circles, countOf(surface, DrawOp::DrawCircle));
  EXPECT_EQ(texts, QStringList({"B.L.", "A.P."}));
}

// The page's content stream, inflated.
QByteArray pdfPageContent(const QByteArray& pdf) {
  const QRegularExpressionMatch contents =
      QRegularExpression("/Contents (\\d+) 0 R").match(QString::fromLatin1(pdf));
  if (!contents.hasMatch()) return {};
  const qsizetype object = pdf.indexOf("\n" + contents.captured(1).toLatin1() + " 0 obj");
  const qsizetype start = pdf.indexOf("stream\n", object) + 7;
  const qsizetype end = pdf.indexOf("endstream", start);
  // qUncompress wants the zlib data behind a big-endian size hint.
  const QByteArray sizeHint("\x00\x10\x00\x00", 4);
  return qUncompress(sizeHint + pdf.mid(start, end - start));
}

TEST(ExportPlot, PdfIsOnePageOfTheDesignSizeHoldingTheSameElements) {
  const ScratchDir dir;
  const DrawingSurface surface = sampleDrawing();
  exportTo(surface.commands(), dir / "plot.pdf");
  const QByteArray pdf = readBytes(dir / "plot.pdf");
  ASSERT_TRUE(pdf.startsWith("%PDF-"));
  EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
  const QString text = QString::fromLatin1(pdf);
  EXPECT_EQ(text.count(QRegularExpression("/Type /Page\\b(?!s)")), 1);
  EXPECT_TRUE(text.contains("/Count 1"));
  // 716 x 472 pixels at 96 per inch are 537 x 354 points.
  EXPECT_TRUE(text.contains(QRegularExpression("/MediaBox \\[0 0 537(\\.0*)? 354(\\.0*)?\\]")));
  EXPECT_TRUE(text.contains("/BaseFont /LiberationSans"));

  const QString content = QString::fromLatin1(pdfPageContent(pdf));
  std::vector<Segment> lines;
  const QRegularExpression line("([-0-9.]+) ([-0-9.]+) m\n([-0-9.]+) ([-0-9.]+) l\nS\n");
  for (auto match = line.globalMatch(content); match.hasNext();) {
    const QRegularExpressionMatch m = match.next();
    lines.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                     m.captured(4).toDouble()});
  }
  expectSameSegments(lines, expectedSegments(surface));
  EXPECT_EQ(static_cast<std::size_t>(content.count("h\nS\n")), countOf(surface, DrawOp::DrawCircle));
  EXPECT_EQ(static_cast<std::size_t>(content.count("BT\n")), countOf(surface, DrawOp::PrintText));
}

RunError exportError(const std::filesystem::path& path) {
  try {
    exportTo(sampleDrawing().commands(), path);
  } catch (const RunError& error) {
    return error;
  }
  ADD_FAILURE() << "no error for " << path;
  return RunError(ErrorKind::Input, "none");
}

TEST(ExportPlot, UnknownExtensionIsAUsageErrorNamingTheFile) {
  const ScratchDir dir;
  for (const char* name : {"plot.bmp", "plot", "plot.png.txt"}) {
    const RunError error = exportError(dir / name);
    EXPECT_EQ(error.kind(), ErrorKind::Usage) << name;
    EXPECT_NE(std::string(error.what()).find((dir / name).string()), std::string::npos) << error.what();
    EXPECT_FALSE(std::filesystem::exists(dir / name));
  }
}

TEST(ExportPlot, UnwritablePathIsAFileSystemErrorNamingTheFile) {
  const ScratchDir dir;
  const std::filesystem::path path = dir / "missing-folder" / "plot.png";
  const RunError error = exportError(path);
  EXPECT_EQ(error.kind(), ErrorKind::FileSystem);
  EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos) << error.what();
}

TEST(ExportPlot, FolderInTheWayIsAFileSystemError) {
  const ScratchDir dir;
  std::filesystem::create_directory(dir / "plot.svg");
  EXPECT_EQ(exportError(dir / "plot.svg").kind(), ErrorKind::FileSystem);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "plot.svg"));
}

// The example at 1600 x 1600: the rudder keeps its proportions (true scale),
// drawn with lines as much thicker as the image is larger than the window.
TEST(ExportPlot, LargeSquarePngShowsTheRudderInItsTrueProportions) {
  const test::SampleRun run(readDesignData(test::examplesDir() / designFileName).design);
  ScratchDir dir;
  const auto path = dir / "stern.png";
  {
    OutputFile file(path, "stern.png", OutputFile::Devices::WriteInto);
    exportPlot(run.surface.commands(), file, PlotSize{1600, 1600});
    file.commit();
  }
  const QImage image(QString::fromStdString(path.string()));
  ASSERT_EQ(image.size(), QSize(1600, 1600));
  const PlotExtent& e = run.analysis.extent;
  const PlotScale s{e.min, e.max, e.range};
  const DesignData& d = run.design;
  const QPointF upperLeft = s.toPixel(d.rudderX[4], d.rudderZ[2], image.size());
  const QPointF lowerRight = s.toPixel(d.rudderX[1], d.rudderZ[1], image.size());
  const QRect around = QRectF(upperLeft, lowerRight).toRect().adjusted(-8, -8, 8, 8);
  const QRect drawn = test::boundsOfColour(image, paletteColour(paletteLightMagenta).rgb(), around);
  const double pen = std::min(1600.0 / designDrawingArea.width(), 1600.0 / designDrawingArea.height());
  const double widthPixels = lowerRight.x() - upperLeft.x();
  const double heightPixels = lowerRight.y() - upperLeft.y();
  EXPECT_NEAR(heightPixels / widthPixels, (d.rudderZ[2] - d.rudderZ[1]) / (d.rudderX[1] - d.rudderX[4]),
              1e-12);
  EXPECT_NEAR(drawn.width(), widthPixels, pen + 1.0);
  EXPECT_NEAR(drawn.height(), heightPixels, pen + 1.0);
  EXPECT_GT(drawn.width(), 200) << "the rudder fills its share of the large image";
}

}  // namespace
}  // namespace propclear
