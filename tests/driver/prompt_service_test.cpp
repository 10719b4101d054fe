#include "driver/prompt_service.h"

#include <gtest/gtest.h>

#include <sstream>

namespace propclear {
namespace {

struct TerminalCase {
  const char* typed;
  const char* answer;
};

TEST(TerminalPrompt, EmptyLineTakesTheDefaultAndEndOfInputCancels) {
  const TerminalCase cases[] = {
      {"E\n", "E"}, {"\n", "H"}, {"\r\n", "H"}, {" e \n", " e "}, {"", ""}, {"x", "x"}};
  for (const TerminalCase& c : cases) {
    SCOPED_TRACE(c.typed);
    std::istringstream in(c.typed);
    std::ostringstream out;
    TerminalPrompt prompt(in, out);
    EXPECT_EQ(prompt.askText("QUESTION?", " ", "H", PromptPosition{4000, 8500}), c.answer);
    EXPECT_NE(out.str().find("QUESTION?"), std::string::npos);
    EXPECT_NE(out.str().find("[H]"), std::string::npos);
  }
}

TEST(TerminalPrompt, ShowsATitleThatIsNotBlank) {
  std::istringstream in("\n");
  std::ostringstream out;
  TerminalPrompt prompt(in, out);
  prompt.askText("message", "Title of the prompt", "", std::nullopt);
  EXPECT_NE(out.str().find("Title of the prompt"), std::string::npos);
}

TEST(ScriptedPrompt, AnswersWithoutReadingAndStillShowsTheMessage) {
  std::ostringstream out;
  ScriptedPrompt prompt("E", out);
  EXPECT_EQ(prompt.askText("first", " ", "H", std::nullopt), "E");
  EXPECT_EQ(prompt.askText("second", " ", "", std::nullopt), "E");
  EXPECT_NE(out.str().find("first"), std::string::npos);
  EXPECT_NE(out.str().find("second"), std::string::npos);
}

}  // namespace
}  // namespace propclear
