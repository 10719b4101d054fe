#pragma once
// The checks that every file a run will write can be written, made before
// anything is destroyed: the files the command line asks for beside the
// run's own (--plot, --dxf, --report-pdf, --json) before the run reads or writes anything,
// so that a misspelt folder does not cost the designer a whole run; the
// report and the CAD script before the report is emptied (the report's by
// OutputFile::Checked as its first version is started).

#include <filesystem>

#include "driver/run_options.h"

namespace propclear {

// Throws RunError naming the file and the reason when a requested file
// cannot be written: its folder is missing or does not take a new file, it
// is a folder, a FIFO, a socket or a block device, an existing file is
// write-protected, its name or path is too long for the file system, it is
// one of the run's own files or named twice, or (--plot, whose extension
// chooses the image type) its extension is not one of its output's. A character device or a descriptor of the process
// (/dev/null, /dev/stdout) is written into and only has to open. Paths are
// taken as given, relative to the process's current directory, not to -C.
// Leaves nothing behind.
void checkExportTargets(const RunOptions& options);

// Throws RunError(ErrorKind::FileSystem) naming the CAD script when it
// cannot be replaced: any target but a regular file, a link or nothing, a
// write-protected file, or a name too long. Whether the folder takes a new
// file is not tried again: the report's first version, started beside the
// script before, has shown that.
void checkScriptOutput(const std::filesystem::path& script);

}  // namespace propclear
