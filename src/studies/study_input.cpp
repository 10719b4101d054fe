#include "studies/study_input.h"

#include "common/operating_system.h"
#include "common/run_error.h"
#include "design/read_design_data.h"
#include "rules/read_ship_particulars.h"

namespace propclear {

std::filesystem::path defaultStudyDesignFile() { return designFileName; }

DesignData readStudyDesign(const std::filesystem::path& file) {
  ReadResult read = readDesignData(file);
  if (read.outcome == ReadOutcome::ContourTooLong) {
    throw RunError(ErrorKind::Input, contourTooLongText(), ErrorLocation{file.string()});
  }
  return read.design;
}

void refuseOutputOverInputs(const char* option, const std::filesystem::path& target,
                            const std::vector<std::filesystem::path>& designFiles) {
  if (target == "-") return;
  for (const std::filesystem::path& design : designFiles) {
    for (const std::filesystem::path& input : {design, shipFileBeside(design)}) {
      if (!os::sameFile(target, input)) continue;
      throw RunError(ErrorKind::Usage,
                     std::string(option) + ": the output would replace the input " + input.string(),
                     ErrorLocation{target.string()});
    }
  }
}

std::string contourTooLongText() {
  return "the stern contour has no terminator (code 99) within " +
         std::to_string(maxContourLines) + " lines";
}

}  // namespace propclear
