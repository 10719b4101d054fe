#pragma once
// `propclear rules list` and `propclear rules show NAME|FILE`: the rule sets
// the program knows (the bundled rule files, and those of --rules-file FILE),
// and one in full. `show` of a FILE.toml reads and checks that file, as a
// yard checks its own before a ship file names it.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace propclear {

bool isRulesCommand(std::string_view firstArgument);

// `arguments` from "rules" on. Returns the exit status: 0, or 1 with the
// message on `messages`.
int runRulesCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& messages);

// The commands' lines for propclear --help.
std::string rulesCommandHelp();

}  // namespace propclear
