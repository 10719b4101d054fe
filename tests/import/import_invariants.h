#pragma once
// What importing any bytes as a drawing must end in, for the fuzz target and
// the suite's replay of its corpus: a design file that reads back as the
// design, its contour rising, every value finite; or an input error with a
// message. Anything else (another exception, a crash) is a fault.

#include <cmath>
#include <string>
#include <string_view>

#include "common/run_error.h"
#include "design/read_design_data.h"
#include "dxf/dxf_drawing.h"
#include "import/import_design.h"

namespace propclear::test {

// The broken invariant, or "" when the import of `bytes` ended as it must.
inline std::string brokenImportInvariant(std::string_view bytes) {
  ImportOptions options;
  options.drawingName = "fuzz.dxf";
  try {
    const ImportedDesign imported =
        importDesign(parseDxfDrawing(bytes, options.drawingName), options);
    const ReadResult reread = readDesignText(imported.text, "imported");
    const DesignData& d = reread.design;
    const int n = d.contourPointCount[sternContourRow];
    if (n < 2 || n > maxContourPoints)
      return "the imported contour has " + std::to_string(n) + " points";
    for (int k = 1; k <= n; ++k) {
      if (!std::isfinite(d.contourX[sternContourRow][k])) return "a contour x is not finite";
      if (k > 1 && !(d.contourZ[sternContourRow][k] > d.contourZ[sternContourRow][k - 1])) {
        return "the imported contour does not rise at point " + std::to_string(k);
      }
    }
    if (imported.summary.empty()) return "no summary";
  } catch (const RunError& error) {
    if (error.kind() != ErrorKind::Input)
      return std::string("a fault not of the input: ") + error.what();
    if (error.detail().empty()) return "an input error without a message";
  }
  return "";
}

}  // namespace propclear::test
