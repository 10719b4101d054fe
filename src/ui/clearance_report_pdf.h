#pragma once
// The clearance report: one landscape page (A4 or A3) for a class submission, written
// as a vector PDF with its fonts embedded. Top: the title block (the ship's
// or the design file's name, the design file and its SHA-256, the date in
// UTC, the program and its version). Left: the stern drawing at true scale
// around the propeller with every clearance dimensioned. Right: the rule
// sources with their mapping of letters, and the run's warnings. Below: the
// table of the rule check, or without a ship file the six clearances with
// their signed gaps. The page is drawn in memory and handed to the output
// file as bytes, so that Qt never handles the file or its name.

#include <QPrinter>

#include "report/clearance_report_content.h"

namespace propclear {

class OutputFile;

// Throws RunError naming the file when the page cannot be made, and naming
// the design file when it cannot be read again for its SHA-256.
void writeClearanceReportPdf(const ClearanceReportContent& content, OutputFile& file);

// The same page on a printer, set to the report's sheet; throws RunError when
// the printer cannot be started or the design file cannot be read again.
void printClearanceReport(const ClearanceReportContent& content, QPrinter& printer);

}  // namespace propclear
