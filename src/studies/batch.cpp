#include "studies/batch.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "common/run_error.h"
#include "design/read_design_data.h"
#include "rules/read_propeller_table.h"
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

void listDesignFiles(const std::filesystem::path& folder, std::vector<BatchInput>& inputs) {
  std::vector<BatchInput> files;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    // A link that loops or leads into a folder that cannot be searched is
    // taken: reading it gives the file its error row.
    std::error_code typeError;
    if (hasDesignExtension(entry->path()) && !entry->is_directory(typeError)) {
      files.push_back({entry->path(), {}});
    }
  }
  if (error) {
    inputs.push_back({folder, "cannot list the folder: " + error.message()});
    return;
  }
  std::sort(files.begin(), files.end(),
            [](const BatchInput& a, const BatchInput& b) { return a.file < b.file; });
  inputs.insert(inputs.end(), files.begin(), files.end());
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

BatchRow analyseFile(const BatchInput& input, const BatchOptions& options,
                     const std::vector<std::string>& labelSets) {
  BatchRow row;
  if (!input.error.empty()) {
    row.assessment.error = input.file.string() + ": " + input.error;
    return row;
  }
  const std::filesystem::path& file = input.file;
  try {
    ReadResult read = readDesignData(file);
    if (read.outcome == ReadOutcome::ContourTooLong) {
      row.ending = "contour-too-long";
      row.assessment.error = contourTooLongText();
      return row;
    }
    read.design.propeller = propellerTableFor(file, options.propellerFile);
    std::optional<StudyRules> rules = StudyRules::of(options.rules, file, read.design);
    if (rules) rules->labelBy(labelSets);
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

std::vector<BatchInput> batchDesignFiles(const std::vector<std::filesystem::path>& inputs) {
  std::vector<BatchInput> files;
  for (const std::filesystem::path& input : inputs) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(input, error);
    if (std::filesystem::is_directory(status)) {
      listDesignFiles(input, files);
    } else if (std::filesystem::exists(status)) {
      files.push_back({input, {}});
    } else {
      const bool missing = !error || error == std::errc::no_such_file_or_directory;
      files.push_back({input, missing ? std::string("no such file or folder") : error.message()});
    }
  }
  return files;
}

bool runBatch(const BatchOptions& options, std::ostream& messages) {
  const std::vector<BatchInput> files = batchDesignFiles(options.inputs);
  std::vector<std::filesystem::path> inputFiles;
  for (const BatchInput& input : files) inputFiles.push_back(input.file);
  refuseOutputOverInputs(options.format == RowFormat::Csv ? "--csv" : "--jsonl", options.target,
                         inputFiles, namedStudyInputs(options.rules, options.propellerFile));
  const std::vector<std::string> labelSets = batchRuleSets(options.rules);
  const std::vector<std::string> ruleLabels = ruleLineLabels(labelSets);
  const std::unique_ptr<OutputFile> output = openRowOutput(options.target);
  RowBuilder names(options.format, true);
  writeRow(names, {}, BatchRow{}, ruleLabels);
  output->writeText(headerLine(options.format, names.columnNames()));

  std::uint64_t failed = 0;
  {  // the progress line is cleared before the summary
    ProgressLine progress(messages, files.size(), "files");
    std::uint64_t handedOn = 0;
    mapInOrder<BatchItem>(
        {files.size(), options.threads, filesPerChunk},
        [&](std::uint64_t index, unsigned /*worker*/) {
          const BatchRow row = analyseFile(files[index], options, labelSets);
          RowBuilder builder(options.format);
          writeRow(builder, files[index].file, row, ruleLabels);
          return BatchItem{builder.takeRow(), row.assessment.analysed};
        },
        [&](BatchItem& item) {
          if (!item.analysed) ++failed;
          output->writeText(item.row);
          progress.update(++handedOn);
        });
  }
  output->commit();
  messages << files.size() << (files.size() == 1 ? " design: " : " designs: ")
           << files.size() - failed << " completed, " << failed << " failed\n";
  return failed == 0;
}

}  // namespace propclear
