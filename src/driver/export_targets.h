#pragma once
// The files the command line asks for beside the run's own (--plot, --dxf,
// --json). They are checked before the run reads or writes anything, so that
// a misspelt folder does not cost the designer a whole run.

#include "driver/run_options.h"

namespace propclear {

// Throws RunError naming the file and the reason when a requested file
// cannot be written: its folder is missing or not writable, it is a folder,
// an existing file is write-protected, it is one of the run's own files or
// named twice, or (--plot) its extension is not .png, .svg or .pdf. Paths are
// taken as given, relative to the process's current directory, not to -C.
// Creates nothing.
void checkExportTargets(const RunOptions& options);

}  // namespace propclear
