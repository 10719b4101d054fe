// The table of outputs as the user meets it: every output option parses,
// shows in --help, is checked before the run and is written by its row's
// writer; the README lists exactly the table's outputs.

#include "driver/output_catalogue.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/run_error.h"
#include "driver/command_line.h"
#include "driver/export_targets.h"
#include "test_support.h"

namespace propclear {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::string between(const std::string& text, const std::string& begin, const std::string& end) {
  const std::size_t from = text.find(begin);
  const std::size_t to = text.find(end);
  if (from == std::string::npos || to == std::string::npos || to < from) return {};
  return text.substr(from + begin.size(), to - from - begin.size());
}

TEST(OutputCatalogue, TheReadmeListsEveryOutputOfTheTable) {
  const std::string readme = test::readFile(test::examplesDir().parent_path() / "README.md");
  EXPECT_EQ(between(readme, "<!-- outputs -->\n", "<!-- end outputs -->"), outputListMarkdown());
  for (const OutputEntry& output : outputCatalogue()) {
    EXPECT_THAT(outputListMarkdown(), HasSubstr("| " + std::string(output.name) + " |"));
  }
}

// Each option of the table: parsed into the request its row reads back,
// listed in the help with its text, asking for the desktop module as its row
// says, refused by the studio, and its file checked before the run.
TEST(OutputCatalogue, EveryOptionIsParsedHelpedAndChecked) {
  test::ScratchDir scratch;
  const std::string help = helpText();
  int options = 0;
  for (const OutputEntry& output : outputCatalogue()) {
    if (output.option.empty()) {
      EXPECT_EQ(output.stage, OutputStage::RunsOwn) << output.name;
      continue;
    }
    ++options;
    SCOPED_TRACE(std::string(output.option));
    const std::string file = (scratch / ("out" + std::string(output.extensions.front()))).string();
    const CommandLine command = parseCommandLine({std::string(output.option), file});
    ASSERT_TRUE(output.requested(command.options).has_value());
    EXPECT_EQ(*output.requested(command.options), file);
    EXPECT_EQ(requestsDesktopOutput(command.options), output.needsDesktop);
    EXPECT_THAT(help, HasSubstr("[" + std::string(output.option) + " FILE]"));
    EXPECT_THAT(help, HasSubstr(std::string(output.option) + " FILE"));
    for (const std::string_view line : output.help) EXPECT_THAT(help, HasSubstr(std::string(line)));
    EXPECT_THROW(parseCommandLine({"--edit", std::string(output.option), file}), RunError);

    RunOptions options = command.options;
    options.workDir = scratch.path();
    EXPECT_NO_THROW(checkExportTargets(options));
    output.request(options, (scratch / "no-such-folder" / "out").string());
    try {
      checkExportTargets(options);
      ADD_FAILURE() << "a missing folder passed";
    } catch (const RunError& error) {
      EXPECT_THAT(error.what(), HasSubstr("given to " + std::string(output.option)));
    }
    EXPECT_THROW(parseCommandLine({std::string(output.option)}), RunError) << "no file named";
  }
  EXPECT_EQ(options, 4);
}

// Only an output whose extension chooses its type refuses other extensions;
// the one the core writes itself needs no desktop module.
TEST(OutputCatalogue, OnlyTheImageTypeIsChosenByTheExtension) {
  test::ScratchDir scratch;
  for (const OutputEntry& output : outputCatalogue()) {
    if (output.option.empty()) continue;
    RunOptions options;
    output.request(options, (scratch / "out.TXT").string());
    if (output.extensionChoosesType) {
      EXPECT_THROW(checkExportTargets(options), RunError) << output.name;
      output.request(options, (scratch / "out.SVG").string());
      // The core writes an SVG plot on its own.
      EXPECT_FALSE(requestsDesktopOutput(options)) << output.name;
    }
    EXPECT_NO_THROW(checkExportTargets(options)) << output.name;
  }
}

}  // namespace
}  // namespace propclear
