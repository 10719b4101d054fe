#pragma once
// The options of a plain run, as the command line gives them.

#include <filesystem>
#include <optional>
#include <string>

#include "plot/plot_size.h"
#include "report/clearance_report_content.h"
#include "rules/read_ship_particulars.h"

namespace propclear {

struct RunOptions {
  std::filesystem::path workDir = ".";   // -C DIR
  std::optional<std::filesystem::path> designFile;  // FILE, in place of Norvalek.TSK
  bool strict = false;                   // --strict: an overlap ends a completed run with status 4
  bool closest = false;                  // --closest: the closest approaches on standard error
  bool noWindow = false;                 // --no-window
  std::optional<std::string> answer;     // --answer TEXT
  std::optional<std::filesystem::path> plotFile;  // --plot FILE
  std::optional<PlotSize> plotSize;               // --plot-size WxH; the window's size without
  std::optional<std::filesystem::path> dxfFile;   // --dxf FILE
  std::optional<std::string> jsonFile;            // --json FILE, "-" for standard output
  std::optional<std::filesystem::path> reportPdfFile;  // --report-pdf FILE
  std::optional<ReportPaper> reportPaper;              // --paper A4|A3; A4 without it
  std::optional<std::filesystem::path> shipFile;  // --ship FILE, else the one beside the design
  ShipOverrides shipOverrides;                    // --rules NAME[,NAME], --ship-set KEY=VALUE
  std::optional<std::filesystem::path> propellerFile;  // --propeller FILE, else the one beside the design
};

}  // namespace propclear
