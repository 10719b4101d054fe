#include "ui/export_plot.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <string>

#include "common/output_file.h"
#include "common/run_error.h"
#include "plot/plot_file_format.h"
#include "ui/render_drawing.h"
#include "ui/screen_units.h"

namespace propclear {

namespace {

// The window's design resolution: 15 twips per pixel.
constexpr int designDotsPerInch = 1440 / twipsPerPixel;

[[noreturn]] void failExport(ErrorKind kind, const std::string& reason, const OutputFile& file) {
  throw RunError(kind, "cannot save the plot: " + reason, ErrorLocation{file.displayName()});
}

void paintOnto(QPaintDevice& device, const std::vector<DrawCommand>& commands,
               const OutputFile& file) {
  QPainter painter;
  if (!painter.begin(&device)) failExport(ErrorKind::FileSystem, "the image cannot be drawn", file);
  renderDrawing(commands, painter, designDrawingArea);
  painter.end();
}

void writePng(QBuffer& image, const std::vector<DrawCommand>& commands, const OutputFile& file) {
  QImage picture(designDrawingArea, QImage::Format_RGB32);
  picture.setDotsPerMeterX(qRound(designDotsPerInch / 0.0254));
  picture.setDotsPerMeterY(qRound(designDotsPerInch / 0.0254));
  paintOnto(picture, commands, file);
  if (!picture.save(&image, "PNG")) {
    failExport(ErrorKind::FileSystem, "the image cannot be encoded as PNG", file);
  }
}

void writeSvg(QBuffer& image, const std::vector<DrawCommand>& commands, const OutputFile& file) {
  QSvgGenerator generator;
  generator.setOutputDevice(&image);
  generator.setSize(designDrawingArea);
  generator.setViewBox(QRect(QPoint(0, 0), designDrawingArea));
  generator.setResolution(designDotsPerInch);
  generator.setTitle(QStringLiteral("propclear stern geometry"));
  paintOnto(generator, commands, file);
}

// One page exactly the size of the drawing area, without margins.
void writePdf(QBuffer& image, const std::vector<DrawCommand>& commands, const OutputFile& file) {
  QPdfWriter writer(&image);
  writer.setTitle(QStringLiteral("propclear stern geometry"));
  writer.setResolution(designDotsPerInch);
  const QSizeF pagePoints = QSizeF(designDrawingArea) * 72.0 / designDotsPerInch;
  writer.setPageSize(QPageSize(pagePoints, QPageSize::Point, QString(), QPageSize::ExactMatch));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  paintOnto(writer, commands, file);
}

}  // namespace

void exportPlot(const std::vector<DrawCommand>& commands, OutputFile& file) {
  const std::optional<PlotFileFormat> format = plotFileFormatOf(file.target());
  if (!format) {
    failExport(ErrorKind::Usage, "unknown image type \"" + file.target().extension().string() +
                                     "\"; the name must end in .png, .svg or .pdf", file);
  }
  QBuffer image;
  image.open(QIODevice::WriteOnly);
  switch (*format) {
    case PlotFileFormat::Png: writePng(image, commands, file); break;
    case PlotFileFormat::Svg: writeSvg(image, commands, file); break;
    case PlotFileFormat::Pdf: writePdf(image, commands, file); break;
  }
  const QByteArray& bytes = image.data();
  file.writeText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace propclear
