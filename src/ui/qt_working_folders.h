#pragma once
// Qt's working folders for a process started outside a desktop session.

namespace propclear {

// Qt keeps runtime files in XDG_RUNTIME_DIR and temporary files in TMPDIR.
// Without a usable runtime folder (cron, ssh, CI, a mistyped setting) Qt
// falls back to a private folder of its own and warns about it on every
// start; a TMPDIR that names no usable folder leaves it without a place for
// temporary files. Both are pointed to folders that work beforehand, so that
// the program neither stops nor prints Qt's messages about them. Called
// before the application object is made.
void provideWorkingFolders();

}  // namespace propclear
