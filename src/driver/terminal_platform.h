#pragma once
// The run's platform without a window: prompts on the terminal (or answered
// by --answer), errors on standard error only, no image export.

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "driver/run_platform.h"

namespace propclear {

// The terminal's prompt: scripted when an answer was given beforehand,
// otherwise read from `in`, with the messages on `out`. An answer line is
// read up to 64 KiB; the rest of a longer line is dropped with a warning.
std::unique_ptr<PromptService> makeTerminalPrompt(const std::optional<std::string>& answer,
                                                  std::istream& in, std::ostream& out);

class TerminalPlatform : public RunPlatform {
 public:
  // With an answer, every prompt is answered with it without waiting.
  TerminalPlatform(const std::optional<std::string>& answer, std::istream& in, std::ostream& out);

  PromptService& prompts() override { return *prompts_; }
  DrawingObserver* window() override { return nullptr; }
  void showError(const std::string& message) override;
  void showWarning(const std::string& /*message*/) override {}
  bool savesPlots() const override { return false; }
  void savePlot(const DrawingSurface& surface, OutputFile& file,
                const std::optional<PlotSize>& size) override;
  void closeWindow() override {}

 private:
  std::unique_ptr<PromptService> prompts_;
};

}  // namespace propclear
