#include "studies/study_input.h"

#include "common/operating_system.h"
#include "common/run_error.h"
#include "design/read_design_data.h"
#include "rules/read_propeller_table.h"
#include "rules/read_ship_particulars.h"

namespace propclear {

std::filesystem::path defaultStudyDesignFile() { return designFileName; }

DesignData readStudyDesign(const std::filesystem::path& file,
                           const std::optional<std::filesystem::path>& propellerFile) {
  ReadResult read = readDesignData(file);
  if (read.outcome == ReadOutcome::ContourTooLong) {
    throw RunError(ErrorKind::Input, contourTooLongText(), ErrorLocation{file.string()});
  }
  read.design.propeller = propellerTableFor(file, propellerFile);
  return read.design;
}

std::vector<std::filesystem::path> namedStudyInputs(
    const StudyRuleRequest& rules, const std::optional<std::filesystem::path>& propellerFile) {
  std::vector<std::filesystem::path> inputs;
  if (rules.shipFile) inputs.push_back(*rules.shipFile);
  if (propellerFile) inputs.push_back(*propellerFile);
  return inputs;
}

void refuseOutputOverInputs(const char* option, const std::filesystem::path& target,
                            const std::vector<std::filesystem::path>& designFiles,
                            const std::vector<std::filesystem::path>& namedInputs) {
  if (target == "-") return;
  std::vector<std::filesystem::path> inputs = namedInputs;
  for (const std::filesystem::path& design : designFiles) {
    inputs.insert(inputs.end(), {design, shipFileBeside(design), propellerFileBeside(design)});
  }
  for (const std::filesystem::path& input : inputs) {
    if (!os::sameFile(target, input)) continue;
    throw RunError(ErrorKind::Usage,
                   std::string(option) + ": the output would replace the input " + input.string(),
                   ErrorLocation{target.string()});
  }
}

std::string contourTooLongText() {
  return "the stern contour has no terminator (code 99) within " +
         std::to_string(maxContourLines) + " lines";
}

}  // namespace propclear
