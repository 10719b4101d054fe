#include "driver/terminal_platform.h"

#include "common/run_error.h"

namespace propclear {

std::unique_ptr<PromptService> makeTerminalPrompt(const std::optional<std::string>& answer,
                                                  std::istream& in, std::ostream& out) {
  if (answer) return std::make_unique<ScriptedPrompt>(*answer, out);
  return std::make_unique<TerminalPrompt>(in, out);
}

TerminalPlatform::TerminalPlatform(const std::optional<std::string>& answer, std::istream& in,
                                   std::ostream& out)
    : prompts_(makeTerminalPrompt(answer, in, out)) {}

// The driver writes every error to standard error itself.
void TerminalPlatform::showError(const std::string& /*message*/) {}

void TerminalPlatform::savePlot(const DrawingSurface& /*surface*/, const std::filesystem::path& path,
                                const std::optional<PlotSize>& /*size*/) {
  throw RunError(ErrorKind::Usage, "cannot save the plot: this build has no image export",
                 ErrorLocation{path.string()});
}

}  // namespace propclear
