#pragma once
// The three files of a run: the design file, and the report and CAD script
// written beside it under its stem. Without a design file named on the
// command line they are Norvalek.TSK, Norvalek.SON and Norvalek.SCR in the
// working folder.

#include <filesystem>
#include <string>

#include "assessment/assessment.h"
#include "design/design_data.h"
#include "driver/run_options.h"

namespace propclear {

struct RunFiles {
  std::filesystem::path design;
  std::filesystem::path report;
  std::filesystem::path script;
};

// A relative design file is taken in the working folder (-C DIR). The
// report and script take the design file's stem and ".SON" and ".SCR", in
// lower case when the design file's extension is lower case.
RunFiles runFilesOf(const RunOptions& options);

// The CAD script and the report of a completed run of `design` read from
// files.design, both written to temporary files and renamed into place
// together, the report last: byte for byte what the plain run writes for
// the same design.
void writeScriptAndReport(const RunFiles& files, const DesignData& design,
                          const Assessment& assessment);

}  // namespace propclear
