#include "studies/batch.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "common/run_error.h"
#include "design/read_design_data.h"
#include "rules/rule_set_catalogue.h"
#include "studies/assessment_columns.h"
#include "studies/parameter_values.h"
#include "studies/design_assessment.h"
#include "studies/ordered_parallel.h"
#include "studies/progress_line.h"
#include "studies/row_output.h"
#include "studies/study_input.h"

namespace propclear {

namespace {

constexpr std::uint64_t filesPerChunk = 64;

bool hasDesignExtension(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".tsk";
}

std::vector<std::filesystem::path> designFilesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (hasDesignExtension(entry->path()) && !entry->is_directory()) files.push_back(entry->path());
  }
  if (error) {
    throw RunError(ErrorKind::Input, "cannot list the folder: " + error.message(),
                   ErrorLocation{folder.string()});
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The rule sets of the columns, the same for every file: those --rules names,
// none for --rules none, else every rule set a file's ship may name.
std::vector<std::string> batchRuleSets(const StudyRuleRequest& request) {
  const std::optional<std::string>& named = request.overrides.ruleSets;
  if (named == noRulesName) return {};
  std::vector<std::string> sets;
  if (named) {
    for (std::string_view name : splitAt(*named, ',')) sets.emplace_back(name);
    return sets;
  }
  return ruleSetNames();
}

struct BatchRow {
  const char* ending = "error";  // "analysed", "contour-too-long", "error"
  DesignAssessment assessment;
};

struct BatchItem {
  std::string row;
  bool analysed = false;
};

BatchRow analyseFile(const std::filesystem::path& file, const StudyRuleRequest& ruleRequest,
                     const std::vector<std::string>& labelSets) {
  BatchRow row;
  try {
    std::optional<StudyRules> rules = StudyRules::of(ruleRequest, file);
    if (rules) rules->labelBy(labelSets);
    const ReadResult read = readDesignData(file);
    if (read.outcome == ReadOutcome::ContourTooLong) {
      row.ending = "contour-too-long";
      row.assessment.error = contourTooLongText();
      return row;
    }
    row.assessment = assessDesign(read.design, rules ? &*rules : nullptr);
    if (row.assessment.analysed) row.ending = "analysed";
  } catch (const RunError& error) {
    row.assessment.error = error.what();
  }
  return row;
}

void writeRow(RowBuilder& builder, const std::filesystem::path& file, const BatchRow& row,
              const std::vector<std::string>& ruleLabels) {
  builder.text("file", file.string());
  builder.text("ending", row.ending);
  writeAssessmentColumns(builder, row.assessment, ruleLabels);
}

}  // namespace

std::vector<std::filesystem::path> batchDesignFiles(const std::vector<std::filesystem::path>& inputs) {
  std::vector<std::filesystem::path> files;
  for (const std::filesystem::path& input : inputs) {
    std::error_code error;
    if (std::filesystem::is_directory(input, error)) {
      const std::vector<std::filesystem::path> found = designFilesIn(input);
      files.insert(files.end(), found.begin(), found.end());
    } else if (std::filesystem::exists(input, error)) {
      files.push_back(input);
    } else {
      throw RunError(ErrorKind::Usage, "no such file or folder", ErrorLocation{input.string()});
    }
  }
  return files;
}

bool runBatch(const BatchOptions& options, std::ostream& messages) {
  const std::vector<std::filesystem::path> files = batchDesignFiles(options.inputs);
  const std::vector<std::string> labelSets = batchRuleSets(options.rules);
  const std::vector<std::string> ruleLabels = ruleLineLabels(labelSets);
  const std::unique_ptr<OutputFile> output = openRowOutput(options.target);
  RowBuilder names(options.format, true);
  writeRow(names, {}, BatchRow{}, ruleLabels);
  output->writeText(headerLine(options.format, names.columnNames()));

  ProgressLine progress(messages, files.size(), "files");
  std::uint64_t handedOn = 0;
  bool everyFileAnalysed = true;
  mapInOrder<BatchItem>(
      {files.size(), options.threads, filesPerChunk},
      [&](std::uint64_t index, unsigned /*worker*/) {
        const BatchRow row = analyseFile(files[index], options.rules, labelSets);
        RowBuilder builder(options.format);
        writeRow(builder, files[index], row, ruleLabels);
        return BatchItem{builder.takeRow(), row.assessment.analysed};
      },
      [&](BatchItem& item) {
        everyFileAnalysed = everyFileAnalysed && item.analysed;
        output->writeText(item.row);
        progress.update(++handedOn);
      });
  output->commit();
  return everyFileAnalysed;
}

}  // namespace propclear
