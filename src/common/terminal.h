#pragma once
// What the program may ask about the terminal it runs in.

namespace propclear {

// True when standard error is a terminal (not a file or a pipe): only then is
// a progress line that rewrites itself worth showing.
bool standardErrorIsTerminal();

}  // namespace propclear
