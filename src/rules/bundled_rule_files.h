#pragma once
// The rule files installed with the program (lr-recommended.toml,
// tip-guidance.toml): found beside the program in the build tree ("rules/")
// and in the installed data folder relative to the installed program (in the
// browser build, at the fixed place of its in-memory file system where the
// build embeds them), never in the working folder or through the
// environment, so that a run judges by the tables it was installed with.

#include <filesystem>
#include <vector>

#include "rules/rule_set_definition.h"

namespace propclear {

// The folder of the bundled rule files. Throws
// RunError(ErrorKind::Installation) naming the places looked in when neither
// holds them.
std::filesystem::path bundledRuleFolder();

// Every bundled rule set, read and checked once, in file-name order. A fault
// in a bundled file is an installation fault.
const std::vector<RuleSetDefinition>& bundledRuleSets();

}  // namespace propclear
