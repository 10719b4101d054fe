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

void paintOnto(QPaintDevice& device, const std::vector<DrawCommand>& commands,
               const std::filesystem::path& path) {
  QPainter painter;
  if (!painter.begin(&device)) failExport(ErrorKind::FileSystem, "the image cannot be drawn", path);
  renderDrawing(commands, painter, designDrawingArea);
  painter.end();
}

void writePng(QSaveFile& file, const std::vector<DrawCommand>& commands,
              const std::filesystem::path& path) {
  QImage image(designDrawingArea, QImage::Format_RGB32);
  image.setDotsPerMeterX(qRound(designDotsPerInch / 0.0254));
  image.setDotsPerMeterY(qRound(designDotsPerInch / 0.0254));
  paintOnto(image, commands, path);
  if (!image.save(&file, "PNG")) failExport(ErrorKind::FileSystem, file.errorString().toStdString(), path);
}

void writeSvg(QSaveFile& file, const std::vector<DrawCommand>& commands,
              const std::filesystem::path& path) {
  QSvgGenerator generator;
  generator.setOutputDevice(&file);
  generator.setSize(designDrawingArea);
  generator.setViewBox(QRect(QPoint(0, 0), designDrawingArea));
  generator.setResolution(designDotsPerInch);
  generator.setTitle(QStringLiteral("propclear stern geometry"));
  paintOnto(generator, commands, path);
}

// One page exactly the size of the drawing area, without margins.
void writePdf(QSaveFile& file, const std::vector<DrawCommand>& commands,
              const std::filesystem::path& path) {
  QPdfWriter writer(&file);
  writer.setTitle(QStringLiteral("propclear stern geometry"));
  writer.setResolution(designDotsPerInch);
  const QSizeF pagePoints = QSizeF(designDrawingArea) * 72.0 / designDotsPerInch;
  writer.setPageSize(QPageSize(pagePoints, QPageSize::Point, QString(), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  paintOnto(writer, commands, path);
}

}  // namespace

void exportPlot(const std::vector<DrawCommand>& commands, const std::filesystem::path& path) {
  const std::optional<PlotFileFormat> format = plotFileFormatOf(path);
  if (!format) {
    failExport(ErrorKind::Usage, "unknown image type \"" + path.extension().string() +
                                     "\"; the name must end in .png, .svg or .pdf", path);
  }
  QSaveFile file(QFile::decodeName(path.c_str()));
  if (!file.open(QIODevice::WriteOnly)) failExport(ErrorKind::FileSystem, file.errorString().toStdString(), path);
  switch (*format) {
    case PlotFileFormat::Png: writePng(file, commands, path); break;
    case PlotFileFormat::Svg: writeSvg(file, commands, path); break;
    case PlotFileFormat::Pdf: writePdf(file, commands, path); break;
  }
  if (!file.commit()) failExport(ErrorKind::FileSystem, file.errorString().toStdString(), path);
}

}  // namespace propclear
