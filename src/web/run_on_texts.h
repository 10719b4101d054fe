#pragma once
// A run on texts instead of a folder the user chose, for a front end without
// files of its own (the studio in a browser): the design file's text, and
// the text of the ship file beside it, are put into a folder that the run
// owns; the run writes every output there as the program does (report,
// script, DXF drawing, JSON results and SVG plot, named after the design)
// with the geometry question answered "H". A preview (the steps of a drag
// in the page) writes nothing: the design and the ship are read from their
// texts once, and each step's design is judged and drawn as the run does
// it, for the same result and drawing in a fraction of the time.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design/design_data.h"
#include "driver/run.h"
#include "rules/ship_particulars.h"

namespace propclear {

struct RunTexts {
  std::string designName;  // "Norvalek.TSK"; the outputs are named after it
  std::string_view designText;
  std::string_view shipText;  // the ship file beside the design; none when empty
};

// The numbers of one of the plot's commands in PageAnswer::drawing.
inline constexpr std::size_t drawingNumbersPerCommand = 6;

// What a run answers the page. The JSON holds "ending", "exitStatus" (as
// the program's under --strict), "messages" (what the program prints on
// standard error), "files" (the outputs written, by name), "result" (the
// JSON results file with the judged status and every figure, null when the
// run wrote none) and "drawingTexts" (the texts of the plot's commands in
// order). The drawing holds the plot's commands in order, as numbers that
// the page reads without a parse: per command its DrawOp value and five
// operands, unused ones 0 (a line's x1, z1, x2, z2 and colour; a circle's
// x, z, radius and colour; the text cursor's x and z; a line width's, line
// style's or text colour's value; a caption's or text's index in
// "drawingTexts", a font's there and its size; none for the window's
// showing and clearing and the user scale).
struct PageAnswer {
  std::string json;
  std::vector<float> drawing;
};

// Empties `folder`, runs the design there and returns the run.
PageAnswer runOnTexts(const std::filesystem::path& folder, const RunTexts& texts);

// The previews of one design: its text and its ship's read once, then each
// step's design (the one read, with other values) judged and drawn.
class RunPreview {
 public:
  explicit RunPreview(const RunTexts& texts);

  // The design as read; none when its text did not read.
  const std::optional<DesignData>& design() const { return design_; }

  // The run's answer for `design`, as runOnTexts gives it, without files
  // and with the judged result in brief (jsonBriefText) as "result".
  PageAnswer answerFor(const DesignData& design) const;
  // The answer when the texts did not read: the run's for that error.
  PageAnswer readingFailure() const;

 private:
  std::optional<DesignData> design_;
  std::optional<ShipParticulars> ship_;
  Ending readingEnding_ = Ending::Completed;
  std::string readingMessages_;
};

// The name of the DXF drawing, the JSON results and the SVG plot of a
// design: "X.dxf", "X.json" and "X.svg" for "X.TSK".
std::string drawingNameOf(const std::string& designName);
std::string resultsNameOf(const std::string& designName);
std::string plotNameOf(const std::string& designName);

}  // namespace propclear
