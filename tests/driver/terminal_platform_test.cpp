#include "driver/terminal_platform.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace propclear {
namespace {

constexpr std::size_t kLongestAnswer = 64 * 1024;
constexpr const char* kCutWarning = "propclear: warning: the answer is longer than 65536 characters";

std::string ask(PromptService& prompt) { return prompt.askText("QUESTION?", " ", "H", std::nullopt); }

TEST(TerminalPlatform, AnswerLineIsReadUpTo64KiBAndTheRestOfTheLineDropped) {
  std::istringstream in(std::string(kLongestAnswer, 'x') + "\n" +
                        std::string(kLongestAnswer + 1000, 'H') + "\nE\n");
  std::ostringstream out;
  const std::unique_ptr<PromptService> prompt = makeTerminalPrompt(std::nullopt, in, out);
  EXPECT_EQ(ask(*prompt), std::string(kLongestAnswer, 'x'));
  EXPECT_EQ(out.str().find(kCutWarning), std::string::npos) << "a line of the limit was cut";
  EXPECT_EQ(ask(*prompt), std::string(kLongestAnswer, 'H'));
  EXPECT_NE(out.str().find(kCutWarning), std::string::npos);
  // The line after the over-long one is read as it is.
  EXPECT_EQ(ask(*prompt), "E");
}

}  // namespace
}  // namespace propclear
