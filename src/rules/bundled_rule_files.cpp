#include "rules/bundled_rule_files.h"

#include <algorithm>
#include <system_error>

#include "common/operating_system.h"
#include "common/run_error.h"
#include "rules/read_rule_file.h"

namespace propclear {

namespace {

// PROPCLEAR_RULES_FOLDER, from the build: the installed rule folder relative
// to the installed program's folder, or (the browser build) an absolute one.
constexpr const char* buildTreeRuleFolder = "rules";
constexpr const char* ruleFileExtension = ".toml";
// The file every installation has: where it is, the others are.
constexpr const char* markerRuleFile = "lr-recommended.toml";

bool holdsRuleFiles(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_regular_file(folder / markerRuleFile, error);
}

std::vector<RuleSetDefinition> readBundledRuleSets() {
  const std::filesystem::path folder = bundledRuleFolder();
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == ruleFileExtension) files.push_back(entry.path());
  }
  if (error) {
    throw RunError(ErrorKind::Installation, "cannot list the bundled rule files: " + error.message(),
                   ErrorLocation{folder.string()});
  }
  std::sort(files.begin(), files.end());
  std::vector<RuleSetDefinition> sets;
  for (const std::filesystem::path& file : files) {
    try {
      sets.push_back(readRuleFile(file));
    } catch (const RunError& fault) {
      throw RunError(ErrorKind::Installation,
                     std::string("a bundled rule file is damaged: ") + fault.what());
    }
  }
  return sets;
}

}  // namespace

std::filesystem::path bundledRuleFolder() {
  // The browser build has no program folder: its rule files are embedded at
  // an absolute place of its in-memory file system.
  const std::filesystem::path configured = PROPCLEAR_RULES_FOLDER;
  if (configured.is_absolute()) {
    if (holdsRuleFiles(configured)) return configured;
    throw RunError(ErrorKind::Installation, "the bundled rule files are missing: no " +
                                                std::string(markerRuleFile) + " in " +
                                                configured.string());
  }
  std::error_code error;
  const std::filesystem::path programFolder = os::runningProgramPath(error).parent_path();
  if (error) {
    throw RunError(ErrorKind::Installation,
                   "cannot find the bundled rule files: the running program's own file is "
                   "unknown (" + error.message() + ")");
  }
  const std::filesystem::path besideProgram = programFolder / buildTreeRuleFolder;
  if (holdsRuleFiles(besideProgram)) return besideProgram;
  const std::filesystem::path installed = (programFolder / configured).lexically_normal();
  if (holdsRuleFiles(installed)) return installed;
  throw RunError(ErrorKind::Installation,
                 "the bundled rule files are missing: no " + std::string(markerRuleFile) + " in " +
                     besideProgram.string() + " or " + installed.string());
}

const std::vector<RuleSetDefinition>& bundledRuleSets() {
  static const std::vector<RuleSetDefinition> sets = readBundledRuleSets();
  return sets;
}

}  // namespace propclear
