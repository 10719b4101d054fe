#include "driver/prompt_service.h"

#include <istream>
#include <ostream>

namespace propclear {

namespace {

void showPrompt(std::ostream& out, const std::string& message, const std::string& title) {
  if (title.find_first_not_of(' ') != std::string::npos) out << "== " << title << " ==\n";
  out << message << '\n';
}

}  // namespace

std::string TerminalPrompt::askText(const std::string& message, const std::string& title,
                                    const std::string& defaultText,
                                    std::optional<PromptPosition> /*position*/) {
  showPrompt(out_, message, title);
  out_ << "[" << defaultText << "]> " << std::flush;
  std::string line;
  if (!std::getline(in_, line)) return {};  // end of input: cancelled
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line.empty() ? defaultText : line;
}

std::string ScriptedPrompt::askText(const std::string& message, const std::string& title,
                                    const std::string& /*defaultText*/,
                                    std::optional<PromptPosition> /*position*/) {
  showPrompt(out_, message, title);
  out_ << "> " << answer_ << '\n' << std::flush;
  return answer_;
}

}  // namespace propclear
