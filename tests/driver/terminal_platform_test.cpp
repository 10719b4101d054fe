#include "driver/terminal_platform.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "design/read_design_data.h"
#include "driver/run.h"
#include "sample_design.h"
#include "test_support.h"

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

// What the terminal cannot make (the plot image, the clearance report) is
// refused before the design is read, and nothing is written.
TEST(TerminalPlatform, DesktopExportsAreRefusedBeforeAnythingIsWritten) {
  struct Case {
    const char* option;
    void (*request)(RunOptions&, const std::filesystem::path&);
    const char* message;
  };
  const Case cases[] = {
      {"--plot", [](RunOptions& o, const std::filesystem::path& p) { o.plotFile = p; },
       "cannot save the plot: this build has no image export"},
      {"--report-pdf", [](RunOptions& o, const std::filesystem::path& p) { o.reportPdfFile = p; },
       "cannot write the clearance report: this build has no PDF export"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    const test::ScratchDir folder;
    test::writeFile(folder / designFileName, test::designFileText(test::sampleDesign()));
    RunOptions options;
    options.workDir = folder.path();
    options.answer.emplace(1, 'H');  // GCC 12 warns falsely on = "H"
    c.request(options, folder / "out.pdf");
    std::istringstream in;
    std::ostringstream messages;
    TerminalPlatform platform(options.answer, in, messages);
    const RunOutcome outcome = runDesign(options, platform, messages);
    EXPECT_EQ(outcome.ending, Ending::Error);
    EXPECT_NE(outcome.errorMessage.find(c.message), std::string::npos) << outcome.errorMessage;
    EXPECT_FALSE(std::filesystem::exists(folder / "out.pdf"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Norvalek.SON"));
  }
}

}  // namespace
}  // namespace propclear
