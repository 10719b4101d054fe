#pragma once
// The studio's outputs of the design as it stands: the report and CAD script
// beside the design file as the plain run writes them, the drawing as an
// image, DXF or JSON, the clearance report as a PDF or printed, and the
// drawing printed at true scale fitted to the page. Each throws RunError naming the file; one that needs an analysis
// refuses a design that has none.

#include <QPrinter>
#include <filesystem>

#include "ui/studio/design_document.h"

namespace propclear {

// Returns the paths written: the script, then the report.
std::pair<std::filesystem::path, std::filesystem::path> writeReportAndScript(
    const DesignDocument& document);
void exportDrawing(const DesignDocument& document, const std::filesystem::path& path);
void exportDxf(const DesignDocument& document, const std::filesystem::path& path);
void exportJson(const DesignDocument& document, const std::filesystem::path& path);
void printDrawing(const DesignDocument& document, QPrinter& printer);
// The clearance report of the saved design file (its SHA-256 names the file):
// a PDF page, or the same page printed.
void exportClearanceReport(const DesignDocument& document, const std::filesystem::path& path);
void printClearanceReport(const DesignDocument& document, QPrinter& printer);

}  // namespace propclear
