// The two questions the run asks, in-process through a recording platform:
// the over-long contour message (the design reader only reports it) and the
// geometry question, each with its texts and screen position.

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "design/read_design_data.h"
#include "driver/run.h"
#include "sample_design.h"
#include "test_support.h"

namespace propclear {
namespace {

struct PromptCall {
  std::string message;
  std::string title;
  std::string defaultText;
  std::optional<PromptPosition> position;
};

class RecordingPlatform : public RunPlatform, public PromptService {
 public:
  std::string askText(const std::string& message, const std::string& title,
                      const std::string& defaultText,
                      std::optional<PromptPosition> position) override {
    calls.push_back({message, title, defaultText, position});
    return "E";
  }
  PromptService& prompts() override { return *this; }
  DrawingObserver* window() override { return nullptr; }
  void showError(const std::string&) override {}
  void showWarning(const std::string& message) override { warnings.push_back(message); }
  bool savesPlots() const override { return false; }
  void savePlot(const DrawingSurface&, OutputFile&, const std::optional<PlotSize>&) override {}
  void closeWindow() override {}

  std::vector<PromptCall> calls;
  std::vector<std::string> warnings;
};

struct RecordedRun {
  RecordingPlatform platform;
  Ending ending = Ending::Error;

  explicit RecordedRun(const std::string& designText, std::optional<std::string> answer = {}) {
    test::ScratchDir folder;
    test::writeFile(folder / designFileName, designText);
    RunOptions options;
    options.workDir = folder.path();
    options.answer = std::move(answer);
    std::ostringstream messages;
    ending = runDesign(options, platform, messages).ending;
  }
};

void expectPosition(const PromptCall& call, int xTwips, int yTwips) {
  ASSERT_TRUE(call.position.has_value());
  EXPECT_EQ(call.position->xTwips, xTwips);
  EXPECT_EQ(call.position->yTwips, yTwips);
}

TEST(RunPrompts, OverlongContourIsToldWithItsMessageAndEndsTheRun) {
  std::string text = test::designFileText(test::sampleDesign());
  text.erase(text.find("0.2, 1.2, 1"));
  for (int k = 1; k <= 251; ++k) text += std::to_string(0.01 * k) + ", 1.5, 1\r\n";
  const RecordedRun run(text);
  EXPECT_EQ(run.ending, Ending::ContourTooLong);
  ASSERT_EQ(run.platform.calls.size(), 1u);
  const PromptCall& call = run.platform.calls.front();
  EXPECT_EQ(call.message,
            "Kic Bodoslama geometrisi data girisinde hata var.  Bu durumda hesap devam edemez. "
            "L\xC3\xBC"
            "tfen ilgili postadaki nokta say\xC4\xB1s\xC4\xB1n\xC4\xB1 251 'e indirin. "
            "Program\xC4\xB1 sonland\xC4\xB1rmak i\xC3\xA7in 'Enter' tu\xC5\x9Funa bas\xC4\xB1n.");
  EXPECT_EQ(call.title, "Kic geometrisi fazla data noktasi hatasi");
  EXPECT_EQ(call.defaultText, "");
  expectPosition(call, 4000, 6000);
}

TEST(RunPrompts, GeometryQuestionIsAskedOnceWithItsTexts) {
  const RecordedRun run(test::designFileText(test::sampleDesign()));
  EXPECT_EQ(run.ending, Ending::WrongGeometry);
  ASSERT_EQ(run.platform.calls.size(), 1u);
  const PromptCall& call = run.platform.calls.front();
  EXPECT_EQ(call.message, "KIC BODOSLAMA GEOMETRISINDE YANLISLIK VAR MI E/H <H>");
  EXPECT_EQ(call.title, " ");
  EXPECT_EQ(call.defaultText, "H");
  expectPosition(call, 4000, 8500);
}

TEST(RunPrompts, OverlapsAreShownBeforeTheQuestionUnlessItIsAnswered) {
  DesignData design = test::sampleDesign();
  design.propellerCentreX = 1.2;  // the blades cut into the stern frame
  const RecordedRun asked(test::designFileText(design));
  ASSERT_EQ(asked.platform.warnings.size(), 1u);
  EXPECT_NE(asked.platform.warnings[0].find("clearance a: the blade overlaps the stern contour"),
            std::string::npos);
  EXPECT_EQ(asked.platform.calls.size(), 1u);

  const RecordedRun answered(test::designFileText(design), "H");
  EXPECT_TRUE(answered.platform.warnings.empty());
  EXPECT_TRUE(answered.platform.calls.empty()) << "an answer given beforehand is not asked for";
  EXPECT_EQ(answered.ending, Ending::Completed);

  const RecordedRun clear(test::designFileText(test::sampleDesign()));
  EXPECT_TRUE(clear.platform.warnings.empty());
}

}  // namespace
}  // namespace propclear
