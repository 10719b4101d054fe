#pragma once
// The batch: every design file of some folders and files, one row each, in
// order: the file, how its analysis ended, its clearances and warnings, or
// the message that stopped it. Nothing else is written: no report, no CAD
// script.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "studies/row_builder.h"
#include "studies/study_rules.h"

namespace propclear {

struct BatchOptions {
  std::vector<std::filesystem::path> inputs;  // folders and files
  StudyRuleRequest rules;  // --ship, --rules, --ship-set; else each file's own ship file
  RowFormat format = RowFormat::Csv;
  std::string target = "-";
  unsigned threads = 1;
};

// The design files of `inputs` in order: a folder gives its files whose name
// ends in ".tsk" in any case, sorted by name, not looking into subfolders; a
// file named on its own is taken whatever its name. A missing input is a
// usage fault.
std::vector<std::filesystem::path> batchDesignFiles(const std::vector<std::filesystem::path>& inputs);

// Runs the batch; true when every file was read and analysed.
bool runBatch(const BatchOptions& options, std::ostream& messages);

}  // namespace propclear
