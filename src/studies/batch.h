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
  // --propeller, for every design; else each file's own propeller file
  std::optional<std::filesystem::path> propellerFile;
  RowFormat format = RowFormat::Csv;
  std::string target = "-";
  unsigned threads = 1;
};

// One row's input: a design file, or an input that gives no design (a
// missing file, a link loop, a folder that cannot be listed) with the reason.
struct BatchInput {
  std::filesystem::path file;
  std::string error;  // empty: read the file
};

// The design files of `inputs` in order: a folder gives its files whose name
// ends in ".tsk" in any case, sorted by name, not looking into subfolders; a
// file named on its own is taken whatever its name. An input that gives no
// design is an entry with its reason: the batch goes on.
std::vector<BatchInput> batchDesignFiles(const std::vector<std::filesystem::path>& inputs);

// Runs the batch and ends with a summary line on `messages` ("12 designs: 10
// completed, 2 failed"); true when every file was read and analysed.
bool runBatch(const BatchOptions& options, std::ostream& messages);

}  // namespace propclear
