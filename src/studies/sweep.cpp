#include "studies/sweep.h"

#include <ostream>

#include "common/run_error.h"
#include "plot/plot_file_format.h"
#include "studies/assessment_columns.h"
#include "studies/design_assessment.h"
#include "studies/ordered_parallel.h"
#include "studies/progress_line.h"
#include "studies/row_output.h"
#include "studies/study_input.h"
#include "studies/sweep_plot_collector.h"

namespace propclear {

namespace {

// Designs computed between two hand-overs: a few milliseconds of work.
constexpr std::uint64_t designsPerChunk = 1024;

struct SweepItem {
  std::string row;
  PlotPoint point;  // only when plotting
};

// The parameter values of design `index`; the last parameter varies fastest.
std::vector<ParameterSetting> settingsAt(const std::vector<ParameterValues>& varied,
                                         std::uint64_t index) {
  std::vector<ParameterSetting> settings(varied.size());
  for (std::size_t p = varied.size(); p-- > 0;) {
    settings[p] = {varied[p].parameter, varied[p].at(index % varied[p].count)};
    index /= varied[p].count;
  }
  return settings;
}

void writeRow(RowBuilder& row, const std::vector<ParameterSetting>& settings,
              const DesignAssessment& assessment, const std::vector<std::string>& ruleLabels) {
  for (const ParameterSetting& setting : settings) row.number(setting.parameter->name, setting.value);
  writeAssessmentColumns(row, assessment, ruleLabels);
}

std::string headerOf(const SweepOptions& options, const std::vector<std::string>& ruleLabels) {
  RowBuilder names(options.format, true);
  writeRow(names, settingsAt(options.varied, 0), DesignAssessment{}, ruleLabels);
  return headerLine(options.format, names.columnNames());
}

// Refuses a plot that cannot be made before anything runs.
void checkPlotRequest(const SweepOptions& options, const SaveSweepPlot& savePlot,
                      std::uint64_t designs) {
  const std::filesystem::path& file = *options.plotFile;
  if (!isSupportedPlotExtension(file)) {
    throw RunError(ErrorKind::Usage,
                   "--plot: unknown image type \"" + file.extension().string() +
                       "\"; the name must end in .png, .svg or .pdf",
                   ErrorLocation{file.string()});
  }
  const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  if (std::error_code error; !std::filesystem::is_directory(folder, error)) {
    throw RunError(ErrorKind::Usage, "--plot: the folder " + folder.string() + " does not exist",
                   ErrorLocation{file.string()});
  }
  if (designs > maxPlottedDesigns) {
    throw RunError(ErrorKind::Usage, "--plot: the sweep has " + std::to_string(designs) +
                                         " designs, a plot shows at most " +
                                         std::to_string(maxPlottedDesigns) +
                                         " (a coarser step, or no plot)");
  }
  if (!savePlot) {
    throw RunError(ErrorKind::Usage, "--plot: this build cannot save images", ErrorLocation{file.string()});
  }
  refuseOutputOverInputs("--plot", file, {options.designFile},
                         namedStudyInputs(options.rules, options.propellerFile));
  if (const std::optional<std::string> problem =
          replacementProblem(file, OutputFile::Devices::WriteInto)) {
    throw RunError(ErrorKind::FileSystem, "--plot: cannot write the file: " + *problem,
                   ErrorLocation{file.string()});
  }
}

SweepPlotFrame plotFrame(const SweepOptions& options, const DesignData& fileDesign) {
  SweepPlotFrame frame;
  frame.designName = options.designFile.filename().string();
  frame.title = "Clearances of " + frame.designName + " against ";
  for (std::size_t p = 0; p < options.varied.size(); ++p) {
    const StudyParameter& parameter = *options.varied[p].parameter;
    frame.title += (p > 0 ? " and " : "") + std::string(parameter.name);
    frame.fileValues.push_back(parameter.valueIn(fileDesign));
  }
  frame.size = options.plotSize;
  return frame;
}

}  // namespace

void runSweep(const SweepOptions& options, const SaveSweepPlot& savePlot, std::ostream& messages) {
  const std::uint64_t designs = countStudyDesigns(options.varied);
  refuseOutputOverInputs(options.format == RowFormat::Csv ? "--csv" : "--jsonl", options.target,
                         {options.designFile}, namedStudyInputs(options.rules, options.propellerFile));
  if (options.plotFile) checkPlotRequest(options, savePlot, designs);
  const DesignData fileDesign = readStudyDesign(options.designFile, options.propellerFile);
  const std::optional<StudyRules> rules = StudyRules::of(options.rules, options.designFile, fileDesign);
  const StudyRules* judge = rules ? &*rules : nullptr;
  const std::vector<std::string> ruleLabels = rules ? rules->lineLabels() : std::vector<std::string>{};
  const std::unique_ptr<OutputFile> output = openRowOutput(options.target);
  output->writeText(headerOf(options, ruleLabels));

  std::optional<SweepPlotCollector> plot;
  if (options.plotFile) plot.emplace(options.varied, judge, plotFrame(options, fileDesign));
  ProgressLine progress(messages, designs, "designs");
  std::uint64_t handedOn = 0;
  std::string chunkText;
  std::vector<DesignData> workspaces(options.threads, fileDesign);
  mapInOrder<SweepItem>(
      {designs, options.threads, designsPerChunk},
      [&](std::uint64_t index, unsigned worker) {
        const std::vector<ParameterSetting> settings = settingsAt(options.varied, index);
        const DesignAssessment assessment =
            assessDesign(workspaces[worker], fileDesign, settings, KeepMode::Centre, judge);
        RowBuilder row(options.format);
        writeRow(row, settings, assessment, ruleLabels);
        return SweepItem{row.takeRow(), plot ? plotPointOf(assessment, judge) : PlotPoint{}};
      },
      [&](SweepItem& item) {
        chunkText += item.row;
        if (plot) plot->add(std::move(item.point));
        if (++handedOn % designsPerChunk == 0 || handedOn == designs) {
          output->writeText(chunkText);
          chunkText.clear();
          progress.update(handedOn);
        }
      });
  // The plot first: the rows' file, put in place last, stays as it was when
  // the plot cannot be saved.
  if (plot) savePlot(plot->finish(), *options.plotFile);
  output->commit();
}

}  // namespace propclear
