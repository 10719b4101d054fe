#pragma once
// Writes a design back into the text of the design file it came from, for a
// design changed by a study or an editor. Captions, blanks, separators and
// line ends stay as they were; only the numbers whose value changed are
// rewritten, each with as many decimals as the number it replaces (more only
// where the value needs them to read back exactly; the shortest exact text
// for a number written without decimals), so that the file keeps its look
// and reading the result gives the design bit for bit.

#include <string>
#include <string_view>

#include "design/design_data.h"

namespace propclear {

// `originalText` (named `displayName` in messages) with the values of
// `design`. When the number of contour points differs from the original's, the
// contour lines are written afresh, one point per line as "z, x, code", with
// the original's line end and each column's decimals as its first point had. The original must read as a complete design:
// otherwise the reader's RunError(ErrorKind::Input) is thrown, and an
// over-long contour is one too. A value that is not finite is an arithmetic
// fault.
std::string rewriteDesignText(std::string_view originalText, const std::string& displayName,
                              const DesignData& design);

}  // namespace propclear
