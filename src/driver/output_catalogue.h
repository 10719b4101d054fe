#pragma once
// Every kind of file a run can write, in one table: its name, its
// extensions, the command-line option that asks for it, the studio's menu
// entry, whether it needs the desktop module, and its writer. The command
// line's options and their help, the checks of the requested files, the
// studio's Export menu and the README's list of outputs all read it, so that
// a new output is one row and one writer.
//
// Every writer is a view of the judged result: it takes the design and its
// assessment and works out no verdict of its own.

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "assessment/assessment.h"
#include "common/output_file.h"
#include "design/design_data.h"
#include "driver/run_options.h"
#include "plot/plot_size.h"
#include "report/clearance_report_content.h"

namespace propclear {

enum class OutputKind { Report, CadScript, Plot, Dxf, Json, ClearanceReport };

// When the plain run writes an output it was asked for.
enum class OutputStage {
  RunsOwn,         // the report and the CAD script, beside the design: every completed run
  BeforeQuestion,  // as soon as the stern is drawn (the plot)
  Completed,       // once the geometry question is answered and the script is written
  EveryEnding,     // also after a wrong geometry or an error (the results for scripts)
};

// What a writer writes from. The two outputs drawn by the desktop module
// reach it through the caller: the program loads the module for them, the
// studio is the module.
struct OutputSource {
  const DesignData& design;
  const Assessment& assessment;
  std::filesystem::path designFile;
  std::string ending = "completed";  // the run's ending, as the JSON results name it
  std::optional<PlotSize> plotSize;  // none: the window's size
  std::function<void(OutputFile&, const std::optional<PlotSize>&)> savePlot;
  std::function<void(const ClearanceReportContent&, OutputFile&)> writeClearanceReport;
  const ShipParticulars* ship = nullptr;  // the run's ship file, for the report's title block
  ReportPaper paper = ReportPaper::A4;    // the clearance report's sheet
};

struct OutputEntry {
  OutputKind kind;
  std::string_view name;                       // "DXF drawing"
  std::vector<std::string_view> extensions;    // ".dxf"; the first is the default
  std::string_view option;                     // "--dxf"; empty: the run's own file
  std::vector<std::string_view> help;          // the option's help, line by line
  std::string_view menuEntry;                  // "Export D&XF…"; empty: not in the Export menu
  std::string_view menuShortcut;               // "Ctrl+Shift+D" (portable key text)
  bool needsDesktop = false;                   // drawn by the desktop module (Qt)
  bool extensionChoosesType = false;           // the name's extension must be one of `extensions`
  bool takesStandardOutput = false;            // "-" writes it to standard output
  OutputStage stage = OutputStage::Completed;
  // The file the command line asks for (as given), and asking for one.
  std::optional<std::string> (*requested)(const RunOptions& options) = nullptr;
  void (*request)(RunOptions& options, const std::string& file) = nullptr;
  void (*write)(const OutputSource& source, OutputFile& file) = nullptr;
  // The extension the core writes on its own, without the desktop module.
  std::string_view withoutDesktop;
};

// Every output, in the order the help and the menu list them.
std::span<const OutputEntry> outputCatalogue();

const OutputEntry& outputEntry(OutputKind kind);

// The entry whose option is `option` ("--dxf"), or nullptr.
const OutputEntry* outputForOption(std::string_view option);

// "*.png *.svg *.pdf": the output's extensions as a file dialog's filter
// takes them.
std::string extensionPatterns(const OutputEntry& entry);

// Whether any output the options ask for needs the desktop module (an SVG
// plot does not).
bool requestsDesktopOutput(const RunOptions& options);

// Whether the options ask for any output.
bool requestsAnyOutput(const RunOptions& options);

// The help's lines for the outputs' options: "  --dxf FILE     also write ...".
std::string outputOptionsHelp();

// The help's synopsis of them: "[--plot FILE] [--dxf FILE] ...".
std::string outputOptionsSynopsis();

// The README's list of outputs: a Markdown table, one row per output.
std::string outputListMarkdown();

}  // namespace propclear
