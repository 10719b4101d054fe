#include "driver/run.h"

#include <new>
#include <ostream>

#include "cad/write_cad_script.h"
#include "cad/write_dxf_drawing.h"
#include "common/output_file.h"
#include "common/run_error.h"
#include "common/staged_outputs.h"
#include "design/read_design_data.h"
#include "driver/desktop_front_end.h"
#include "driver/export_targets.h"
#include "driver/run_files.h"
#include "plot/draw_stern_plot.h"
#include "report/rule_check_table.h"
#include "report/closest_approach_lines.h"
#include "report/write_json_results.h"
#include "report/write_report.h"

namespace propclear {

int exitStatusOf(const RunOutcome& outcome, const RunOptions& options) {
  if (outcome.ending == Ending::Completed && options.strict && outcome.state != nullptr) {
    const RunState& state = *outcome.state;
    const bool ruleFails = state.ruleCheck && failsStrictCheck(*state.ruleCheck);
    if (state.analysis.hasOverlap() || ruleFails) return strictOverlapStatus;
  }
  return exitStatusOf(outcome.ending);
}

int exitStatusOf(Ending ending) {
  switch (ending) {
    case Ending::Completed: return 0;
    case Ending::Error: return 1;
    case Ending::ContourTooLong: return 2;
    case Ending::WrongGeometry: return 3;
  }
  return 1;
}

const char* endingName(Ending ending) {
  switch (ending) {
    case Ending::Completed: return "completed";
    case Ending::Error: return "error";
    case Ending::ContourTooLong: return "contour-too-long";
    case Ending::WrongGeometry: return "wrong-geometry";
  }
  return "error";
}

void printRuleCheck(const RunOutcome& outcome, std::ostream& out) {
  if (outcome.ending != Ending::Completed || outcome.state == nullptr) return;
  if (outcome.state->ruleCheck) out << ruleCheckTableText(*outcome.state->ruleCheck) << std::flush;
}

bool reportsWrongGeometry(const std::string& answer) { return answer == "E" || answer == "e"; }

namespace {

std::string fileNameOf(const std::filesystem::path& path) { return path.filename().string(); }

// The overlaps, one per line, for the box shown before the geometry question.
std::string overlapSummary(const SternAnalysis& analysis) {
  std::string summary = "The blade overlaps the structure:";
  for (const std::string& warning : analysis.warnings) {
    if (warning.find(" overlaps ") != std::string::npos) summary += "\n" + warning;
  }
  return summary;
}

// The run's steps after the design has been read and the report emptied.
// The files are written to temporary files, put in place by the caller.
Ending drawMeasureAndWrite(const RunOptions& options, const RunFiles& files,
                           RunPlatform& platform, RunState& state, OutputFile& report,
                           StagedOutputs& outputs, std::ostream& messages) {
  const DesignData& design = state.design;
  state.analysis = analyseStern(design);
  const SternAnalysis& analysis = state.analysis;
  if (state.ship) {
    state.ruleCheck = checkClearanceRules(*state.ship, design.propellerDiameter,
                                          measuredClearancesOf(analysis, state.ship->heel));
  }
  const RuleCheck* ruleCheck = state.ruleCheck ? &*state.ruleCheck : nullptr;

  state.surface.setObserver(platform.window());
  drawSternPlot(design, analysis, state.surface);
  drawClearances(design, analysis, state.surface, ruleCheck);
  drawSweptVolume(analysis, state.surface);
  for (const std::string& warning : analysis.warnings) {
    messages << "propclear: warning: " << warning << '\n';
  }
  if (options.closest) {
    for (const std::string& line : closestApproachLines(design, analysis)) {
      messages << "propclear: " << line << '\n';
    }
  }
  if (options.plotFile) {
    platform.savePlot(state.surface,
                      outputs.add(*options.plotFile, options.plotFile->string(),
                                  OutputFile::Devices::WriteInto),
                      options.plotSize);
  }

  // An answer given beforehand answers the question without asking it.
  if (!options.answer && analysis.hasOverlap()) platform.showWarning(overlapSummary(analysis));
  const std::string answer =
      options.answer ? *options.answer
                     : platform.prompts().askText(geometryQuestion, geometryQuestionTitle,
                                                  geometryQuestionDefault, PromptPosition{4000, 8500});
  if (reportsWrongGeometry(answer)) return Ending::WrongGeometry;

  OutputFile& script =
      outputs.add(files.script, fileNameOf(files.script), OutputFile::Devices::Refuse);
  writeCadScript(script, design, analysis);
  if (options.dxfFile) {
    OutputFile& drawing =
        outputs.add(*options.dxfFile, options.dxfFile->string(), OutputFile::Devices::WriteInto);
    writeDxfDrawing(drawing, design, analysis);
  }
  if (options.reportPdfFile) {
    OutputFile& pdf = outputs.add(*options.reportPdfFile, options.reportPdfFile->string(),
                                  OutputFile::Devices::WriteInto);
    loadDesktopFrontEnd().writeClearanceReport(
        ClearanceReportContent{design, analysis, ruleCheck, files.design, analysis.warnings}, pdf);
  }

  writeReport(report, design, analysis.clearances);
  return Ending::Completed;
}

// The results for scripts, for the endings that have them.
void writeRequestedJson(const RunOptions& options, const RunState& state, Ending ending,
                        StagedOutputs& outputs) {
  if (!options.jsonFile) return;
  OutputFile& file = *options.jsonFile == standardOutputTarget
                         ? outputs.addStandardOutput()
                         : outputs.add(*options.jsonFile, *options.jsonFile,
                                       OutputFile::Devices::WriteInto);
  writeJsonResults(file, JsonResults{endingName(ending), state.design, state.analysis,
                                     state.ruleCheck ? &*state.ruleCheck : nullptr});
}

// The particulars of --ship, else of the ship file beside the design, with
// the command line's overrides; or of the overrides alone. None: no rule
// check.
// Rule files of --rules-file are taken in the working folder.
std::optional<ShipParticulars> shipParticularsOf(const RunOptions& options, const RunFiles& files) {
  const std::optional<std::filesystem::path> file =
      options.shipFile ? std::optional(options.workDir / *options.shipFile)
                       : findShipFile(files.design);
  ShipOverrides overrides = options.shipOverrides;
  for (std::filesystem::path& ruleFile : overrides.ruleFiles) ruleFile = options.workDir / ruleFile;
  if (file) return readShipParticulars(*file, overrides);
  if (!overrides.empty()) return shipParticularsFromOverrides(overrides);
  return std::nullopt;
}

Ending runSteps(const RunOptions& options, RunPlatform& platform, RunState& state,
                std::ostream& messages) {
  checkExportTargets(options);
  if (options.plotFile && !platform.savesPlots()) {
    throw RunError(ErrorKind::Usage, "cannot save the plot: this build has no image export",
                   ErrorLocation{options.plotFile->string()});
  }
  if (options.reportPdfFile && !platform.savesPlots()) {
    throw RunError(ErrorKind::Usage,
                   "cannot write the clearance report: this build has no PDF export",
                   ErrorLocation{options.reportPdfFile->string()});
  }
  const RunFiles files = runFilesOf(options);
  ReadResult read = readDesignData(files.design);
  if (read.outcome == ReadOutcome::ContourTooLong) {
    platform.prompts().askText(contourTooLongMessage, contourTooLongTitle, "",
                               PromptPosition{4000, 6000});
    return Ending::ContourTooLong;
  }
  state.design = read.design;
  state.ship = shipParticularsOf(options, files);

  OutputFile report(files.report, fileNameOf(files.report), OutputFile::Devices::Refuse,
                    OutputFile::Checked{});
  checkScriptOutput(files.script);
  report.commit();  // an earlier report is emptied now, by an empty file renamed over it
  StagedOutputs outputs;
  const Ending ending =
      drawMeasureAndWrite(options, files, platform, state, report, outputs, messages);
  writeRequestedJson(options, state, ending, outputs);
  outputs.commitAllThen(report);  // last; only a completed run has written into it
  return ending;
}

}  // namespace

RunOutcome runDesign(const RunOptions& options, RunPlatform& platform, std::ostream& messages) {
  RunOutcome outcome;
  outcome.state = std::make_unique<RunState>();
  try {
    outcome.ending = runSteps(options, platform, *outcome.state, messages);
  } catch (const RunError& error) {
    outcome.ending = Ending::Error;
    outcome.errorMessage = error.what();
  } catch (const std::bad_alloc&) {
    outcome.ending = Ending::Error;
    outcome.errorMessage = "out of memory";
  }
  if (outcome.ending == Ending::Error) {
    messages << "propclear: error: " << outcome.errorMessage << '\n';
    platform.showError(outcome.errorMessage);
  }
  outcome.state->surface.setObserver(nullptr);
  platform.closeWindow();
  return outcome;
}

}  // namespace propclear
