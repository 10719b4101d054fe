#include "driver/run_files.h"

#include <algorithm>

#include "cad/write_cad_script.h"
#include "common/staged_outputs.h"
#include "design/read_design_data.h"
#include "report/write_report.h"

namespace propclear {

namespace {

// ".SON" for "hull.TSK", ".son" for "hull.tsk".
std::string extensionLike(const std::filesystem::path& design, std::string extension) {
  const std::string given = design.extension().string();
  const bool lowerCase = !given.empty() && std::none_of(given.begin(), given.end(), [](char c) {
    return c >= 'A' && c <= 'Z';
  });
  if (lowerCase) {
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  }
  return extension;
}

std::filesystem::path beside(const std::filesystem::path& design, const char* namedLike) {
  std::filesystem::path sibling = design;
  sibling.replace_extension(
      extensionLike(design, std::filesystem::path(namedLike).extension().string()));
  return sibling;
}

}  // namespace

RunFiles runFilesOf(const RunOptions& options) {
  if (!options.designFile) {
    return {options.workDir / designFileName, options.workDir / reportFileName,
            options.workDir / cadScriptFileName};
  }
  const std::filesystem::path design = options.workDir / *options.designFile;
  return {design, beside(design, reportFileName), beside(design, cadScriptFileName)};
}

void writeScriptAndReport(const RunFiles& files, const DesignData& design,
                          const Assessment& assessment) {
  StagedOutputs outputs;
  writeCadScript(outputs.add(files.script, files.script.filename().string(),
                             OutputFile::Devices::Refuse),
                 design, assessment);
  writeReport(outputs.add(files.report, files.report.filename().string(),
                          OutputFile::Devices::Refuse),
              design, legacyReportRecords(assessment));
  outputs.commitAll();
}

}  // namespace propclear
