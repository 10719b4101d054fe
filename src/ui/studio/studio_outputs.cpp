#include "ui/studio/studio_outputs.h"

#include <QPainter>

#include "common/output_file.h"
#include "common/run_error.h"
#include "driver/run_files.h"
#include "report/write_json_results.h"
#include "ui/clearance_report_pdf.h"
#include "ui/export_plot.h"
#include "ui/render_drawing.h"

namespace propclear {

namespace {

// The judged result of the design as it stands; none while it cannot be analysed.
const Assessment& currentAssessment(const DesignDocument& document) {
  const StudioAnalysis& analysis = document.analysis();
  if (!document.hasDesign() || !analysis.lastGood) {
    throw RunError(ErrorKind::Usage, "there is no design to write");
  }
  if (!analysis.fault.isEmpty()) {
    throw RunError(ErrorKind::Usage,
                   "the design cannot be analysed: " + analysis.fault.toStdString());
  }
  return *analysis.lastGood;
}

// The report's content: the design as saved, with the ship file's particulars.
ClearanceReportContent reportContentOf(const DesignDocument& document, const Assessment& assessment) {
  if (!document.hasFile()) {
    throw RunError(ErrorKind::Usage, "the design has no file yet: save it first");
  }
  return {document.design(), assessment, document.path(),
          document.ship() ? &*document.ship() : nullptr, ReportPaper::A4};
}

}  // namespace

std::pair<std::filesystem::path, std::filesystem::path> writeReportAndScript(
    const DesignDocument& document) {
  const Assessment& assessment = currentAssessment(document);
  if (!document.hasFile()) {
    throw RunError(ErrorKind::Usage, "the design has no file yet: save it first");
  }
  RunOptions options;
  options.workDir = document.path().parent_path();
  options.designFile = document.path().filename();
  const RunFiles files = runFilesOf(options);
  writeScriptAndReport(files, document.design(), assessment);
  return {files.script, files.report};
}

void exportOutput(const DesignDocument& document, OutputKind kind, const std::filesystem::path& path) {
  const Assessment& assessment = currentAssessment(document);
  if (kind == OutputKind::ClearanceReport && (!document.hasFile() || document.isModified())) {
    throw RunError(ErrorKind::Usage,
                   "the clearance report names the design file: save the design first");
  }
  const std::vector<DrawCommand>& drawing = document.analysis().drawing;
  const OutputSource source{
      document.design(), assessment, document.path(), "completed", std::nullopt,
      [&drawing](OutputFile& file, const std::optional<PlotSize>& size) { exportPlot(drawing, file, size); },
      &writeClearanceReportPdf, document.ship() ? &*document.ship() : nullptr, ReportPaper::A4};
  OutputFile file(path, path.filename().string(), OutputFile::Devices::WriteInto);
  outputEntry(kind).write(source, file);
  file.commit();
}

void printDrawing(const DesignDocument& document, QPrinter& printer) {
  currentAssessment(document);
  QPainter painter;
  if (!painter.begin(&printer)) {
    throw RunError(ErrorKind::FileSystem, "the printer cannot be started");
  }
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  // Lines and texts as thick as on a screen of 96 dots per inch.
  const double detailScale = printer.resolution() / 96.0;
  renderDrawing(document.analysis().drawing, painter, page.size(), detailScale);
  painter.end();
}

void printClearanceReport(const DesignDocument& document, QPrinter& printer) {
  const Assessment& assessment = currentAssessment(document);
  printClearanceReport(reportContentOf(document, assessment), printer);
}

}  // namespace propclear
