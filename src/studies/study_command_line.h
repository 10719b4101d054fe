#pragma once
// The study commands "propclear sweep", "propclear solve" and "propclear
// batch": each has its own options and help, and is recognised by its first
// argument before the plain run's command line is read. A plain run never
// starts with one of these words.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "studies/sweep.h"

namespace propclear {

bool isStudyCommand(std::string_view firstArgument);

// One line per command, for the plain run's help.
std::string studyCommandsHelp();

// Runs the command named by arguments[0] with the rest as its options. Rows
// go where --csv or --jsonl say (standard output by default), the answer of
// a solve and the help to `out`, messages to `messages`. `savePlot` is empty in a
// build that cannot save images. Returns the exit status: 0 done, 1 error
// (or a batch with a file that was not analysed), 4 a solve without a
// feasible value.
int runStudyCommand(const std::vector<std::string>& arguments, const SaveSweepPlot& savePlot,
                    std::ostream& out, std::ostream& messages);

}  // namespace propclear
