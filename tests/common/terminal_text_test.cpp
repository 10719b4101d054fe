#include "common/terminal_text.h"

#include <gtest/gtest.h>

#include "common/run_error.h"

namespace propclear {
namespace {

TEST(TerminalText, ControlCharactersAreWrittenOutAndEverythingElseKept) {
  EXPECT_EQ(withControlsEscaped("MV Norvalek"), "MV Norvalek");
  EXPECT_EQ(withControlsEscaped("\x1b[2J\x1b]0;title\x07"), "\\e[2J\\e]0;title\\x07");
  EXPECT_EQ(withControlsEscaped("T\nOverall: meets\r"), "T\\nOverall: meets\\r");
  EXPECT_EQ(withControlsEscaped(std::string("a\0b\tc\x7f", 6)), "a\\x00b\\tc\\x7F");
  // C1 controls of UTF-8 (U+009B is a CSI of its own); letters stay.
  EXPECT_EQ(withControlsEscaped("\xc2\x9b" "2J \xc3\xa7" "ap \xc2\xa0"),
            "\\u009B2J \xc3\xa7" "ap \xc2\xa0");
}

TEST(TerminalText, ErrorMessagesNeverCarryAControlCharacterToTheTerminal) {
  const RunError error(ErrorKind::Input, "unknown key \x1b[31mkey\nOverall: meets",
                       ErrorLocation{"X\r.ship.toml", 3});
  EXPECT_STREQ(error.what(), "X\\r.ship.toml:3: unknown key \\e[31mkey\\nOverall: meets");
  EXPECT_EQ(error.detail(), "unknown key \\e[31mkey\\nOverall: meets");
}

}  // namespace
}  // namespace propclear
