#pragma once
// A run on texts instead of a folder the user chose, for a front end without
// files of its own (the studio in a browser): the design file's text, and
// the text of the ship file beside it, are put into a folder that the run
// owns; the run writes every output there as the program does (report,
// script, DXF drawing, JSON results and SVG plot, named after the design)
// with the geometry question answered "H". A preview (a step of a drag in
// the page) writes nothing: the design and the ship are read from their
// texts, judged and drawn as the run does it, for the same result and
// drawing in a fraction of the time.

#include <filesystem>
#include <string>
#include <string_view>

namespace propclear {

struct RunTexts {
  std::string designName;  // "Norvalek.TSK"; the outputs are named after it
  std::string_view designText;
  std::string_view shipText;  // the ship file beside the design; none when empty
  bool preview = false;       // nothing written, the folder left as it is
};

// Empties `folder`, runs the design there and returns the run as JSON (a
// preview neither touches the folder nor lists any files):
//   "ending", "exitStatus" (as the program's under --strict), "messages"
//   (what the program
//   prints on standard error), "files" (the outputs written, by name),
//   "result" (the JSON results file with the judged status and every
//   figure, null when the run wrote none) and
//   "drawing" (the plot's commands in order, for the page to draw).
std::string runOnTexts(const std::filesystem::path& folder, const RunTexts& texts);

// The name of the DXF drawing, the JSON results and the SVG plot of a
// design: "X.dxf", "X.json" and "X.svg" for "X.TSK".
std::string drawingNameOf(const std::string& designName);
std::string resultsNameOf(const std::string& designName);
std::string plotNameOf(const std::string& designName);

}  // namespace propclear
