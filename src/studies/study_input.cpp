#include "studies/study_input.h"

#include "common/run_error.h"
#include "design/read_design_data.h"

namespace propclear {

std::filesystem::path defaultStudyDesignFile() { return designFileName; }

DesignData readStudyDesign(const std::filesystem::path& file) {
  ReadResult read = readDesignData(file);
  if (read.outcome == ReadOutcome::ContourTooLong) {
    throw RunError(ErrorKind::Input, contourTooLongText(), ErrorLocation{file.string()});
  }
  return read.design;
}

std::string contourTooLongText() {
  return "the stern contour has no terminator (code 99) within " +
         std::to_string(maxContourLines) + " lines";
}

}  // namespace propclear
