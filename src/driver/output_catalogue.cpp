#include "driver/output_catalogue.h"

#include <algorithm>
#include <cctype>

#include "cad/write_cad_script.h"
#include "cad/write_dxf_drawing.h"
#include "common/run_error.h"
#include "report/write_json_results.h"
#include "report/write_report.h"

namespace propclear {

namespace {

// The help's options start in this column, their texts in the next.
constexpr std::size_t helpTextColumn = 17;

std::optional<std::string> pathText(const std::optional<std::filesystem::path>& path) {
  return path ? std::optional(path->string()) : std::nullopt;
}

void writeReportFile(const OutputSource& source, OutputFile& file) {
  writeReport(file, source.design, legacyReportRecords(source.assessment));
}

void writeScriptFile(const OutputSource& source, OutputFile& file) {
  writeCadScript(file, source.design, source.assessment);
}

void writeDxfFile(const OutputSource& source, OutputFile& file) {
  writeDxfDrawing(file, source.design, source.assessment);
}

void writeJsonFile(const OutputSource& source, OutputFile& file) {
  writeJsonResults(file, JsonResults{source.ending.c_str(), source.design, source.assessment});
}

// The outputs the desktop module draws: a caller without it has no writer.
[[noreturn]] void noDesktopWriter(const char* what, const OutputFile& file) {
  throw RunError(ErrorKind::Usage, std::string("cannot write the ") + what +
                                       ": this build has no desktop module",
                 ErrorLocation{file.displayName()});
}

void writePlotFile(const OutputSource& source, OutputFile& file) {
  if (!source.savePlot) noDesktopWriter("plot", file);
  source.savePlot(file, source.plotSize);
}

void writeClearanceReportFile(const OutputSource& source, OutputFile& file) {
  if (!source.writeClearanceReport) noDesktopWriter("clearance report", file);
  source.writeClearanceReport(ClearanceReportContent{source.design, source.assessment,
                                                     source.designFile, source.ship, source.paper},
                              file);
}

const std::vector<OutputEntry>& entries() {
  static const std::vector<OutputEntry> table = {
      {OutputKind::Report, "report", {".SON"}, "", {}, "", "", false, false, false,
       OutputStage::RunsOwn, nullptr, nullptr, &writeReportFile, ""},
      {OutputKind::CadScript, "CAD script", {".SCR"}, "", {}, "", "", false, false, false,
       OutputStage::RunsOwn, nullptr, nullptr, &writeScriptFile, ""},
      {OutputKind::Plot, "plot image", {".png", ".svg", ".pdf"}, "--plot",
       {"also save the plot as PNG, SVG or PDF (by FILE's extension)"},
       "Export &drawing\u2026", "Ctrl+E", true, true, false, OutputStage::BeforeQuestion,
       [](const RunOptions& o) { return pathText(o.plotFile); },
       [](RunOptions& o, const std::string& file) { o.plotFile = file; }, &writePlotFile, ".svg"},
      {OutputKind::Dxf, "DXF drawing", {".dxf"}, "--dxf",
       {"also write the drawing as a DXF file (after the CAD script)"},
       "Export D&XF\u2026", "Ctrl+Shift+D", false, false, false, OutputStage::Completed,
       [](const RunOptions& o) { return pathText(o.dxfFile); },
       [](RunOptions& o, const std::string& file) { o.dxfFile = file; }, &writeDxfFile, ""},
      {OutputKind::Json, "JSON results", {".json"}, "--json",
       {"also write the results as JSON (- for standard output)"},
       "Export &JSON\u2026", "Ctrl+Shift+J", false, false, true, OutputStage::EveryEnding,
       [](const RunOptions& o) { return o.jsonFile; },
       [](RunOptions& o, const std::string& file) { o.jsonFile = file; }, &writeJsonFile, ""},
      {OutputKind::ClearanceReport, "clearance report", {".pdf"}, "--report-pdf",
       {"also write the clearance report (PDF): a title",
        "block (the ship file's [drawing] table: yard, hull_number,",
        "drawing_number, revision, drawn_by, checked_by,",
        "approved_by), the stern at a standard scale with every",
        "clearance dimensioned, the propeller's particulars, the",
        "rule check with its figures, sources and warnings"},
       "Export clearance &report\u2026", "", true, false, false, OutputStage::Completed,
       [](const RunOptions& o) { return pathText(o.reportPdfFile); },
       [](RunOptions& o, const std::string& file) { o.reportPdfFile = file; },
       &writeClearanceReportFile, ""},
  };
  return table;
}

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// "Export D&XF…" without its accelerator mark.
std::string menuText(std::string_view entry) {
  std::string text;
  for (const char c : entry) {
    if (c != '&') text += c;
  }
  return text;
}

std::string joined(const std::vector<std::string_view>& parts, std::string_view separator) {
  std::string text;
  for (const std::string_view part : parts) {
    if (!text.empty()) text += separator;
    text += part;
  }
  return text;
}

}  // namespace

std::span<const OutputEntry> outputCatalogue() { return entries(); }

const OutputEntry& outputEntry(OutputKind kind) {
  const auto& table = entries();
  return *std::find_if(table.begin(), table.end(),
                       [&](const OutputEntry& entry) { return entry.kind == kind; });
}

const OutputEntry* outputForOption(std::string_view option) {
  for (const OutputEntry& entry : entries()) {
    if (!entry.option.empty() && entry.option == option) return &entry;
  }
  return nullptr;
}

std::string extensionPatterns(const OutputEntry& entry) {
  std::string patterns;
  for (const std::string_view extension : entry.extensions) {
    if (!patterns.empty()) patterns += ' ';
    patterns.append("*").append(extension);
  }
  return patterns;
}

bool requestsDesktopOutput(const RunOptions& options) {
  return std::any_of(entries().begin(), entries().end(), [&](const OutputEntry& entry) {
    if (!entry.needsDesktop || entry.requested == nullptr) return false;
    const std::optional<std::string> file = entry.requested(options);
    return file && (entry.withoutDesktop.empty() ||
                    lowerCase(std::filesystem::path(*file).extension().string()) != entry.withoutDesktop);
  });
}

bool requestsAnyOutput(const RunOptions& options) {
  return std::any_of(entries().begin(), entries().end(), [&](const OutputEntry& entry) {
    return entry.requested != nullptr && entry.requested(options);
  });
}

std::string outputOptionsHelp() {
  std::string help;
  for (const OutputEntry& entry : entries()) {
    if (entry.option.empty()) continue;
    std::string line("  ");
    line.append(entry.option).append(" FILE");
    line.append(line.size() + 2 <= helpTextColumn ? helpTextColumn - line.size() : 2, ' ');
    for (std::size_t i = 0; i < entry.help.size(); ++i) {
      if (i > 0) line.append(helpTextColumn, ' ');
      line.append(entry.help[i]) += '\n';
    }
    help += line;
  }
  return help;
}

std::string outputOptionsSynopsis() {
  std::string synopsis;
  for (const OutputEntry& entry : entries()) {
    if (entry.option.empty()) continue;
    if (!synopsis.empty()) synopsis += ' ';
    // Appended piece by piece: GCC 12 warns falsely about '"[" + string'.
    synopsis.append("[").append(entry.option).append(" FILE]");
  }
  return synopsis;
}

std::string outputListMarkdown() {
  std::string table =
      "| output | files | option | studio | needs the desktop module |\n"
      "|---|---|---|---|---|\n";
  for (const OutputEntry& entry : entries()) {
    table.append("| ").append(entry.name).append(" | `");
    table.append(joined(entry.extensions, "`, `")).append("` | ");
    if (entry.option.empty()) {
      table.append("every completed run, beside the design file");
    } else {
      table.append("`").append(entry.option).append(" FILE`");
    }
    table.append(" | ");
    if (!entry.menuEntry.empty()) {
      table.append("File \u25b8 ").append(menuText(entry.menuEntry));
    } else {
      table.append(entry.stage == OutputStage::RunsOwn ? "File \u25b8 Write report and script" : "\u2014");
    }
    table.append(" | ").append(entry.needsDesktop ? "yes" : "no");
    if (entry.needsDesktop && !entry.withoutDesktop.empty()) {
      table.append(", not for `").append(entry.withoutDesktop).append("`");
    }
    table.append(" |\n");
  }
  return table;
}

}  // namespace propclear
