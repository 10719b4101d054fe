#include "driver/export_targets.h"

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "common/operating_system.h"
#include "common/output_file.h"
#include "common/run_error.h"
#include "driver/run_files.h"
#include "plot/plot_file_format.h"
#include "report/write_json_results.h"
#include "rules/read_ship_particulars.h"

namespace propclear {

namespace fs = std::filesystem;

namespace {

struct ExportTarget {
  const char* option;
  fs::path path;
  bool isImage = false;  // --plot: the extension chooses the image type
};

[[noreturn]] void reject(const ExportTarget& target, ErrorKind kind, const std::string& reason) {
  throw RunError(kind, "cannot write the file given to " + std::string(target.option) + ": " + reason,
                 ErrorLocation{target.path.string()});
}

// Built by appending: GCC 12 warns falsely about '"\"" + string'.
std::string quoted(const fs::path& path) {
  std::string text(1, '"');
  text.append(path.string()).push_back('"');
  return text;
}

void checkFolder(const ExportTarget& target) {
  const fs::path folder = folderOf(target.path);
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (!fs::exists(status)) {
    reject(target, ErrorKind::FileSystem, "the folder " + quoted(folder) + " does not exist");
  }
  if (!fs::is_directory(status)) {
    reject(target, ErrorKind::FileSystem, quoted(folder) + " is not a folder");
  }
}

void checkFile(const ExportTarget& target) {
  if (target.path.empty()) reject(target, ErrorKind::Usage, "the file name is empty");
  if (!target.path.has_filename()) {
    reject(target, ErrorKind::Usage, "the name ends in a folder separator and names no file");
  }
  if (const std::optional<std::string> problem = lengthProblem(target.path)) {
    reject(target, ErrorKind::FileSystem, *problem);
  }
  std::error_code error;
  const fs::file_status status = fs::status(target.path, error);
  if (fs::is_directory(status)) reject(target, ErrorKind::FileSystem, "it is a folder, not a file");
  checkFolder(target);
  if (const std::optional<std::string> problem =
          replacementProblem(target.path, OutputFile::Devices::WriteInto)) {
    reject(target, ErrorKind::FileSystem, *problem);
  }
}

void checkImageType(const ExportTarget& target) {
  if (!isSupportedPlotExtension(target.path)) {
    reject(target, ErrorKind::Usage,
           "unknown image type " + quoted(target.path.extension()) +
               "; the name must end in .png, .svg or .pdf");
  }
}

// The directory entry a path names: its folder resolved, its last part not
// followed. An output replaces a link in its place, so two links to one file
// are two outputs, while one entry under two spellings is one.
fs::path entryOf(const fs::path& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error).lexically_normal();
  const fs::path folder = fs::weakly_canonical(absolute.parent_path(), error);
  return error ? absolute : folder / absolute.filename();
}

// Whether the target is the file `input` is read from: its own entry, the
// file a link in its place leads to, or a hard link to that file. An output
// replaces a link in its place, so a link to the input is not the input.
bool isFileReadFrom(const fs::path& target, const fs::path& input) {
  std::error_code error;
  const fs::path entry = entryOf(target);
  const fs::path resolved = fs::weakly_canonical(fs::absolute(input, error), error);
  if (entry == entryOf(input) || (!error && entry == resolved)) return true;
  return !fs::is_symlink(target, error) && os::sameFile(target, input);
}

// A requested file must not replace the design file or the ship file (nor
// the file a link to them leads to), nor the report or script the run
// writes, nor be named for two outputs at once.
void checkDistinct(const std::vector<ExportTarget>& targets, const RunFiles& files,
                   const fs::path& shipFile) {
  const auto refuse = [](const ExportTarget& target, const fs::path& own) {
    reject(target, ErrorKind::Usage, "it is the run's own file " + own.filename().string());
  };
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const fs::path entry = entryOf(targets[i].path);
    for (const fs::path& input : {files.design, shipFile}) {
      if (isFileReadFrom(targets[i].path, input)) refuse(targets[i], input);
    }
    // The report and the script replace whatever stands in their place, as
    // the target does: only the same entry is the same file.
    for (const fs::path& output : {files.report, files.script}) {
      if (entry == entryOf(output)) refuse(targets[i], output);
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (entry == entryOf(targets[j].path)) {
        reject(targets[i], ErrorKind::Usage,
               "the same file is already given to " + std::string(targets[j].option));
      }
    }
  }
}

}  // namespace

void checkExportTargets(const RunOptions& options) {
  std::vector<ExportTarget> targets;
  if (options.plotFile) targets.push_back({"--plot", *options.plotFile, true});
  if (options.dxfFile) targets.push_back({"--dxf", *options.dxfFile});
  if (options.reportPdfFile) targets.push_back({"--report-pdf", *options.reportPdfFile});
  if (options.jsonFile && *options.jsonFile != standardOutputTarget) {
    targets.push_back({"--json", *options.jsonFile});
  }
  for (const ExportTarget& target : targets) {
    if (target.isImage) checkImageType(target);
    checkFile(target);
  }
  const RunFiles files = runFilesOf(options);
  checkDistinct(targets, files,
                options.shipFile ? options.workDir / *options.shipFile : shipFileBeside(files.design));
}

void checkScriptOutput(const std::filesystem::path& script) {
  if (const std::optional<std::string> problem =
          targetProblem(script, OutputFile::Devices::Refuse)) {
    throw RunError(ErrorKind::FileSystem, "cannot write the file: " + *problem,
                   ErrorLocation{script.filename().string()});
  }
}

}  // namespace propclear
