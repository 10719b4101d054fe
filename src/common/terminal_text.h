#pragma once
// Text from outside the program (a ship's name, a key or a file name as the
// user wrote them) made safe to show on a terminal: a control character
// would otherwise move the cursor, clear the screen or start a new line that
// looks like the program's own ("Overall: meets").

#include <string>
#include <string_view>

namespace propclear {

// `text` with every control character written out: "\n", "\r", "\t", "\e"
// for ESC, "\xHH" for the other C0 bytes and DEL, "\u0080" to "\u009F" for
// the C1 controls of UTF-8; a backslash stays as it is. Everything else,
// UTF-8 letters included, is kept.
std::string withControlsEscaped(std::string_view text);

}  // namespace propclear
