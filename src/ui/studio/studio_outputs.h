#pragma once
// The studio's outputs of the design as it stands: the report and CAD script
// beside the design file as the plain run writes them, each output of the
// table of outputs (driver/output_catalogue.h) that has a menu entry, the
// clearance report printed, and the drawing printed at true scale fitted to
// the page. Each throws RunError naming the file; one that needs an analysis
// refuses a design that has none.

#include <QPrinter>
#include <filesystem>

#include "driver/output_catalogue.h"
#include "ui/studio/design_document.h"

namespace propclear {

// Returns the paths written: the script, then the report.
std::pair<std::filesystem::path, std::filesystem::path> writeReportAndScript(
    const DesignDocument& document);
// Writes the output `kind` of the table of outputs, as the plain run writes
// it, to `path`. The clearance report, which names the design file and its
// SHA-256, needs the design saved.
void exportOutput(const DesignDocument& document, OutputKind kind, const std::filesystem::path& path);
void printDrawing(const DesignDocument& document, QPrinter& printer);
// The clearance report of the saved design file (its SHA-256 names the
// file), printed: the page exportOutput writes as a PDF.
void printClearanceReport(const DesignDocument& document, QPrinter& printer);

}  // namespace propclear
