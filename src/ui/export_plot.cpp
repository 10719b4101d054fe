#include "ui/export_plot.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
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

using Painting = std::function<void(QPainter&)>;

void paintOnto(QPaintDevice& device, const Painting& paint, const std::filesystem::path& path) {
  QPainter painter;
  if (!painter.begin(&device)) failExport(ErrorKind::FileSystem, "the image cannot be drawn", path);
  paint(painter);
  painter.end();
}

void writePng(QSaveFile& file, const Painting& paint, QSize size, int dotsPerInch,
              const std::filesystem::path& path) {
  QImage image(size, QImage::Format_RGB32);
  image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
  image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
  paintOnto(image, paint, path);
  if (!image.save(&file, "PNG")) failExport(ErrorKind::FileSystem, file.errorString().toStdString(), path);
}

void writeSvg(QSaveFile& file, const Painting& paint, QSize size, int dotsPerInch,
              const QString& title, const std::filesystem::path& path) {
  QSvgGenerator generator;
  generator.setOutputDevice(&file);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setResolution(dotsPerInch);
  generator.setTitle(title);
  paintOnto(generator, paint, path);
}

// One page exactly the size of the drawing area, without margins.
void writePdf(QSaveFile& file, const Painting& paint, QSize size, int dotsPerInch,
              const QString& title, const std::filesystem::path& path) {
  QPdfWriter writer(&file);
  writer.setTitle(title);
  writer.setResolution(dotsPerInch);
  const QSizeF pagePoints = QSizeF(size) * 72.0 / dotsPerInch;
  writer.setPageSize(QPageSize(pagePoints, QPageSize::Point, QString(), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  paintOnto(writer, paint, path);
}

}  // namespace

void exportPainting(const Painting& paint, QSize size, int dotsPerInch, const QString& title,
                    const std::filesystem::path& path) {
  const std::optional<PlotFileFormat> format = plotFileFormatOf(path);
  if (!format) {
    failExport(ErrorKind::Usage, "unknown image type \"" + path.extension().string() +
                                     "\"; the name must end in .png, .svg or .pdf", path);
  }
  QSaveFile file(QFile::decodeName(path.c_str()));
  if (!file.open(QIODevice::WriteOnly)) failExport(ErrorKind::FileSystem, file.errorString().toStdString(), path);
  switch (*format) {
    case PlotFileFormat::Png: writePng(file, paint, size, dotsPerInch, path); break;
    case PlotFileFormat::Svg: writeSvg(file, paint, size, dotsPerInch, title, path); break;
    case PlotFileFormat::Pdf: writePdf(file, paint, size, dotsPerInch, title, path); break;
  }
  if (!file.commit()) failExport(ErrorKind::FileSystem, file.errorString().toStdString(), path);
}

void exportPlot(const std::vector<DrawCommand>& commands, const std::filesystem::path& path) {
  exportPainting([&](QPainter& painter) { renderDrawing(commands, painter, designDrawingArea); },
                 designDrawingArea, designDotsPerInch, QStringLiteral("propclear stern geometry"),
                 path);
}

}  // namespace propclear
