#include "driver/run.h"

#include <new>
#include <ostream>

#include "assessment/ship_file_choice.h"
#include "common/output_file.h"
#include "common/run_error.h"
#include "common/staged_outputs.h"
#include "design/read_design_data.h"
#include "driver/desktop_front_end.h"
#include "driver/export_targets.h"
#include "driver/output_catalogue.h"
#include "driver/run_files.h"
#include "plot/draw_stern_plot.h"
#include "plot/plot_file_format.h"
#include "plot/svg_drawing.h"
#include "report/rule_check_table.h"
#include "report/closest_approach_lines.h"
#include "report/write_json_results.h"
#include "rules/read_propeller_table.h"

namespace propclear {

int exitStatusOf(const RunOutcome& outcome, const RunOptions& options) {
  if (outcome.ending == Ending::Completed && options.strict && outcome.state != nullptr) {
    const AssessmentStatus status = outcome.state->assessment.status;
    if (status == AssessmentStatus::Clash || status == AssessmentStatus::Below ||
        status == AssessmentStatus::NotMeasured) {
      return strictOverlapStatus;
    }
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
  const Assessment& assessment = outcome.state->assessment;
  if (assessment.rules) out << ruleCheckTableText(assessment) << std::flush;
}

bool reportsWrongGeometry(const std::string& answer) { return answer == "E" || answer == "e"; }

namespace {

std::string fileNameOf(const std::filesystem::path& path) { return path.filename().string(); }

// An SVG plot is written by the core on every platform; the other image
// formats by the platform, the desktop front end.
bool savedBySvgWriter(const std::filesystem::path& plotFile) {
  return plotFileFormatOf(plotFile) == PlotFileFormat::Svg;
}

// The clash and every overlap, one per line, for the box shown before the
// geometry question.
std::string clashSummary(const Assessment& assessment) {
  std::string summary = "Overall: " + overallText(assessment);
  for (const Warning& warning : assessment.warnings()) {
    if (warning.kind == WarningKind::Overlap) summary += "\n" + warning.text;
  }
  return summary;
}

// What the run's outputs are written from; the desktop module draws the
// plot (on the run's platform) and the clearance report, loaded when asked.
OutputSource outputSourceOf(const RunOptions& options, const RunFiles& files, RunPlatform& platform,
                            const RunState& state, Ending ending) {
  return OutputSource{
      state.design, state.assessment, files.design, endingName(ending), options.plotSize,
      [&platform, &state, &options](OutputFile& file, const std::optional<PlotSize>& size) {
        // The saved plot is meant for paper or a screen image: the print
        // palette and every label with its value, where the window keeps
        // its own.
        DrawingSurface printed;
        drawPrintPlot(state.design, state.assessment, printed, size);
        if (options.plotFile && savedBySvgWriter(*options.plotFile)) {
          writeSvgDrawing(file, printed.commands(), size);
        } else {
          platform.savePlot(printed, file, size);
        }
      },
      [](const ClearanceReportContent& content, OutputFile& file) {
        loadDesktopFrontEnd().writeClearanceReport(content, file);
      },
      state.ship ? &*state.ship : nullptr, options.reportPaper.value_or(ReportPaper::A4)};
}

// Writes each output the command line asks for that is due at `stage`;
// "-" is standard output for an output that takes it.
void writeRequestedOutputs(OutputStage stage, const RunOptions& options, const OutputSource& source,
                           StagedOutputs& outputs) {
  for (const OutputEntry& output : outputCatalogue()) {
    if (output.stage != stage || output.requested == nullptr) continue;
    const std::optional<std::string> target = output.requested(options);
    if (!target) continue;
    OutputFile& file = output.takesStandardOutput && *target == standardOutputTarget
                           ? outputs.addStandardOutput()
                           : outputs.add(*target, *target, OutputFile::Devices::WriteInto);
    output.write(source, file);
  }
}

// The run's steps after the design has been read and the report emptied.
// The files are written to temporary files, put in place by the caller.
Ending drawMeasureAndWrite(const RunOptions& options, const RunFiles& files,
                           RunPlatform& platform, RunState& state, OutputFile& report,
                           StagedOutputs& outputs, std::ostream& messages) {
  const DesignData& design = state.design;
  state.surface.setObserver(platform.window());
  assessAndDraw(state, messages);
  const Assessment& assessment = state.assessment;
  const SternAnalysis& analysis = assessment.analysis;
  if (options.closest) {
    for (const std::string& line : closestApproachLines(design, analysis)) {
      messages << "propclear: " << line << '\n';
    }
  }
  const OutputSource source = outputSourceOf(options, files, platform, state, Ending::Completed);
  writeRequestedOutputs(OutputStage::BeforeQuestion, options, source, outputs);

  // An answer given beforehand answers the question without asking it.
  if (!options.answer && assessment.hasClash()) platform.showWarning(clashSummary(assessment));
  const std::string answer =
      options.answer ? *options.answer
                     : platform.prompts().askText(geometryQuestion, geometryQuestionTitle,
                                                  geometryQuestionDefault, PromptPosition{4000, 8500});
  if (reportsWrongGeometry(answer)) return Ending::WrongGeometry;

  outputEntry(OutputKind::CadScript)
      .write(source, outputs.add(files.script, fileNameOf(files.script), OutputFile::Devices::Refuse));
  writeRequestedOutputs(OutputStage::Completed, options, source, outputs);
  outputEntry(OutputKind::Report).write(source, report);
  return Ending::Completed;
}

// The particulars the design is judged by (assessment/ship_file_choice.h);
// --ship FILE and --rules-file FILE are taken in the working folder.
std::optional<ShipParticulars> shipParticularsOf(const RunOptions& options, const RunFiles& files,
                                                 const DesignData& design) {
  ShipChoice choice{std::nullopt, options.shipOverrides};
  if (options.shipFile) choice.shipFile = options.workDir / *options.shipFile;
  for (std::filesystem::path& ruleFile : choice.overrides.ruleFiles) {
    ruleFile = options.workDir / ruleFile;
  }
  if (design.propeller) choice.propeller = &*design.propeller;
  return shipParticularsFor(files.design, choice);
}

// The table of --propeller, else of the propeller file beside the design.
std::optional<PropellerTable> propellerTableOf(const RunOptions& options, const RunFiles& files) {
  return propellerTableFor(files.design, options.propellerFile
                                             ? std::optional(options.workDir / *options.propellerFile)
                                             : std::nullopt);
}

Ending runSteps(const RunOptions& options, RunPlatform& platform, RunState& state,
                std::ostream& messages) {
  checkExportTargets(options);
  if (options.plotFile && !savedBySvgWriter(*options.plotFile) && !platform.savesPlots()) {
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
  state.design.propeller = propellerTableOf(options, files);
  state.ship = shipParticularsOf(options, files, state.design);

  OutputFile report(files.report, fileNameOf(files.report), OutputFile::Devices::Refuse,
                    OutputFile::Checked{});
  checkScriptOutput(files.script);
  report.commit();  // an earlier report is emptied now, by an empty file renamed over it
  StagedOutputs outputs;
  const Ending ending =
      drawMeasureAndWrite(options, files, platform, state, report, outputs, messages);
  // The results for scripts, for the endings that have them.
  writeRequestedOutputs(OutputStage::EveryEnding, options,
                        outputSourceOf(options, files, platform, state, ending), outputs);
  outputs.commitAllThen(report);  // last; only a completed run has written into it
  return ending;
}

}  // namespace

void assessAndDraw(RunState& state, std::ostream& messages) {
  const DesignData& design = state.design;
  state.assessment = assess(design, AssessmentInputs{state.ship ? &*state.ship : nullptr});
  drawSternPlot(design, state.assessment.analysis, state.surface);
  drawClearances(design, state.assessment, state.surface);
  drawSweptVolume(state.assessment.analysis, state.surface);
  for (const Warning& warning : state.assessment.warnings()) {
    messages << "propclear: warning: " << warning.text << '\n';
  }
}

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
