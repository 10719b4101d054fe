#pragma once
// The drawing as an AutoCAD R12 ASCII DXF file, for CAD programs that do not
// replay command scripts: the CAD script's geometry, colours and labels, with
// the stern contour drawn as the fitted curve the plot shows, and the lower
// blade, a' and c' as the propeller turns it (the script's mirrored lower
// blade dashed on a layer of its own, labelled legacy). One layer per kind
// of element; millimetres.

#include <string>
#include <vector>

#include "assessment/assessment.h"
#include "design/design_data.h"

namespace propclear {

class OutputFile;

// The file's lines, without line ends.
std::vector<std::string> dxfDrawingLines(const DesignData& design, const Assessment& assessment);

// Writes the drawing's lines to `file`.
void writeDxfDrawing(OutputFile& file, const DesignData& design, const Assessment& assessment);

}  // namespace propclear
