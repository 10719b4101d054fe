#pragma once
// The command "propclear import DRAWING.dxf -o DESIGN.TSK": a design file
// from the stern contour and rudder of a DXF drawing. Recognised by its first
// argument before the plain run's command line is read.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace propclear {

bool isImportCommand(std::string_view firstArgument);

// One line for the plain run's help.
std::string importCommandHelp();

// Runs the command with arguments[0] == "import". The help goes to `out`,
// the summary and messages to `messages`. Returns the exit status: 0 the
// design file written, 1 an error (and no file written).
int runImportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& messages);

}  // namespace propclear
