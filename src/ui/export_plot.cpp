#include "ui/export_plot.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <string>

#include "common/run_error.h"
#include "plot/plot_file_format.h"
#include "ui/render_drawing.h"
#include "ui/screen_units.h"

namespace propclear {

namespace {

// The window's design resolution: 15 twips per pixel.
constexpr int designDotsPerInch = 1440 / twipsPerPixel;

[[noreturn]] void failExport(ErrorKind kind, const std::string& reason,
                             const std::filesystem::path& path) {
  throw RunError(kind, "cannot save the plot: " + reason, ErrorLocation{path.string()});
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

void paintOnto(QPaintDevice& device, const Painting& paint, const std::filesystem::path& path) {
  QPainter painter;
  if (!painter.begin(&device)) failExport(ErrorKind::FileSystem, "the image cannot be drawn", path);
  paint(painter);
  painter.end();
}

void writePng(QSaveFile& file, const Painting& paint, const ExportArea& area,
              const std::filesystem::path& path) {
  QImage image(area.size, QImage::Format_RGB32);
  if (image.isNull()) failExport(ErrorKind::FileSystem, "not enough memory for the image", path);
  image.setDotsPerMeterX(qRound(area.dotsPerInch / 0.0254));
  image.setDotsPerMeterY(qRound(area.dotsPerInch / 0.0254));
  paintOnto(image, paint, path);
  if (!image.save(&file, "PNG")) failExport(ErrorKind::FileSystem, file.errorString().toStdString(), path);
}

void writeSvg(QSaveFile& file, const Painting& paint, const ExportArea& area, const QString& title,
              const std::filesystem::path& path) {
  QSvgGenerator generator;
  generator.setOutputDevice(&file);
  generator.setSize(area.size);
  generator.setViewBox(QRect(QPoint(0, 0), area.size));
  generator.setResolution(area.dotsPerInch);
  generator.setTitle(title);
  paintOnto(generator, paint, path);
}

// One page exactly the size of the drawing area, without margins.
void writePdf(QSaveFile& file, const Painting& paint, const ExportArea& area, const QString& title,
              const std::filesystem::path& path) {
  QPdfWriter writer(&file);
  writer.setTitle(title);
  writer.setResolution(area.dotsPerInch);
  const QSizeF pagePoints = QSizeF(area.size) * double(pointsPerInch) / area.dotsPerInch;
  writer.setPageSize(QPageSize(pagePoints, QPageSize::Point, QString(), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  paintOnto(writer, paint, path);
}

// Writes the picture in the format of the file's extension: PNG at
// `pngArea`, SVG and PDF at `pageArea`.
void exportPicture(const Painting& paint, const ExportArea& pngArea, const ExportArea& pageArea,
                   const QString& title, const std::filesystem::path& path) {
  const std::optional<PlotFileFormat> format = plotFileFormatOf(path);
  if (!format) {
    failExport(ErrorKind::Usage, "unknown image type \"" + path.extension().string() +
                                     "\"; the name must end in .png, .svg or .pdf", path);
  }
  QSaveFile file(QFile::decodeName(path.c_str()));
  if (!file.open(QIODevice::WriteOnly)) failExport(ErrorKind::FileSystem, file.errorString().toStdString(), path);
  switch (*format) {
    case PlotFileFormat::Png: writePng(file, paint, pngArea, path); break;
    case PlotFileFormat::Svg: writeSvg(file, paint, pageArea, title, path); break;
    case PlotFileFormat::Pdf: writePdf(file, paint, pageArea, title, path); break;
  }
  if (!file.commit()) failExport(ErrorKind::FileSystem, file.errorString().toStdString(), path);
}

}  // namespace

void exportPlot(const std::vector<DrawCommand>& commands, const std::filesystem::path& path,
                const std::optional<PlotSize>& size) {
  const ExportArea pngArea = exportAreaOf(size, designDotsPerInch);
  const ExportArea pageArea = exportAreaOf(size, pointsPerInch);
  const bool png = plotFileFormatOf(path) == PlotFileFormat::Png;
  const ExportArea& area = png ? pngArea : pageArea;
  exportPicture(
      [&](QPainter& painter) { renderDrawing(commands, painter, area.size, area.detailScale); },
      pngArea, pageArea, QStringLiteral("propclear stern geometry"), path);
}

void exportPainting(const std::function<void(QPainter&)>& paint, QSize size, int dotsPerInch,
                    const QString& title, const std::filesystem::path& path) {
  const ExportArea area{size, dotsPerInch, 1.0};
  exportPicture(paint, area, area, title, path);
}

}  // namespace propclear
