#include "ui/export_plot.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <functional>
#include <string>

#include "common/output_file.h"
#include "common/run_error.h"
#include "plot/plot_file_format.h"
#include "plot/svg_drawing.h"
#include "ui/render_drawing.h"
#include "ui/screen_units.h"

namespace propclear {

namespace {

// The window's design resolution: 15 twips per pixel.
constexpr int designDotsPerInch = 1440 / twipsPerPixel;

[[noreturn]] void failExport(ErrorKind kind, const std::string& reason, const OutputFile& file) {
  throw RunError(kind, "cannot save the plot: " + reason, ErrorLocation{file.displayName()});
}

// Points per inch, the unit of a page given in points.
constexpr int pointsPerInch = 72;

// The drawing area in device units, its resolution, and how much larger than
// the window's its lines and texts are drawn.
struct ExportArea {
  QSize size;
  int dotsPerInch;
  double detailScale;
};

// The window's design size at its resolution, or the given size at one
// device unit per pixel (PNG) or point (SVG, PDF).
ExportArea exportAreaOf(const std::optional<PlotSize>& size, int givenDotsPerInch) {
  if (!size) return {designDrawingArea, designDotsPerInch, 1.0};
  const QSize given(size->width, size->height);
  const double detailScale =
      std::min(double(given.width()) / designDrawingArea.width(),
               double(given.height()) / designDrawingArea.height());
  return {given, givenDotsPerInch, detailScale};
}

using Painting = std::function<void(QPainter&)>;

void paintOnto(QPaintDevice& device, const Painting& paint, const OutputFile& file) {
  QPainter painter;
  if (!painter.begin(&device)) failExport(ErrorKind::FileSystem, "the image cannot be drawn", file);
  paint(painter);
  painter.end();
}

void writePng(QBuffer& image, const Painting& paint, const ExportArea& area, const OutputFile& file) {
  QImage picture(area.size, QImage::Format_RGB32);
  if (picture.isNull()) failExport(ErrorKind::FileSystem, "not enough memory for the image", file);
  picture.setDotsPerMeterX(qRound(area.dotsPerInch / 0.0254));
  picture.setDotsPerMeterY(qRound(area.dotsPerInch / 0.0254));
  paintOnto(picture, paint, file);
  if (!picture.save(&image, "PNG")) {
    failExport(ErrorKind::FileSystem, "the image cannot be encoded as PNG", file);
  }
}

void writeSvg(QBuffer& image, const Painting& paint, const ExportArea& area, const QString& title,
              const OutputFile& file) {
  QSvgGenerator generator;
  generator.setOutputDevice(&image);
  generator.setSize(area.size);
  generator.setViewBox(QRect(QPoint(0, 0), area.size));
  generator.setResolution(area.dotsPerInch);
  generator.setTitle(title);
  paintOnto(generator, paint, file);
}

// One page exactly the size of the drawing area, without margins.
void writePdf(QBuffer& image, const Painting& paint, const ExportArea& area, const QString& title,
              const OutputFile& file) {
  QPdfWriter writer(&image);
  writer.setTitle(title);
  writer.setResolution(area.dotsPerInch);
  const QSizeF pagePoints = QSizeF(area.size) * double(pointsPerInch) / area.dotsPerInch;
  writer.setPageSize(QPageSize(pagePoints, QPageSize::Point, QString(), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  paintOnto(writer, paint, file);
}

// The picture in the format of the target's extension, PNG at `pngArea`, SVG
// and PDF at `pageArea`, drawn by `paintAt` for the area it is given.
void exportPicture(const std::function<void(QPainter&, const ExportArea&)>& paintAt,
                   const ExportArea& pngArea, const ExportArea& pageArea, const QString& title,
                   OutputFile& file) {
  const std::optional<PlotFileFormat> format = plotFileFormatOf(file.target());
  if (!format) {
    failExport(ErrorKind::Usage, "unknown image type \"" + file.target().extension().string() +
                                     "\"; the name must end in .png, .svg or .pdf", file);
  }
  const ExportArea& area = *format == PlotFileFormat::Png ? pngArea : pageArea;
  const Painting paint = [&](QPainter& painter) { paintAt(painter, area); };
  QBuffer image;
  image.open(QIODevice::WriteOnly);
  switch (*format) {
    case PlotFileFormat::Png: writePng(image, paint, area, file); break;
    case PlotFileFormat::Svg: writeSvg(image, paint, area, title, file); break;
    case PlotFileFormat::Pdf: writePdf(image, paint, area, title, file); break;
  }
  const QByteArray& bytes = image.data();
  file.writeText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace

void exportPlot(const std::vector<DrawCommand>& commands, OutputFile& file,
                const std::optional<PlotSize>& size) {
  // The SVG is the core's, as the program writes it without this front end.
  if (plotFileFormatOf(file.target()) == PlotFileFormat::Svg) {
    writeSvgDrawing(file, commands, size);
    return;
  }
  exportPicture(
      [&](QPainter& painter, const ExportArea& area) {
        renderDrawing(commands, painter, area.size, area.detailScale);
      },
      exportAreaOf(size, designDotsPerInch), exportAreaOf(size, pointsPerInch),
      QStringLiteral("propclear stern geometry"), file);
}

void exportPainting(const std::function<void(QPainter&)>& paint, QSize size, int dotsPerInch,
                    const QString& title, OutputFile& file) {
  const ExportArea area{size, dotsPerInch, 1.0};
  exportPicture([&](QPainter& painter, const ExportArea&) { paint(painter); }, area, area, title,
                file);
}

}  // namespace propclear
