#pragma once
// The modal text prompt of the run, and its two platform-independent
// implementations: the terminal and a scripted answer. The desktop window
// brings a third.

#include <iosfwd>
#include <optional>
#include <string>

namespace propclear {

struct PromptPosition {
  int xTwips = 0;  // from the screen's left edge, 1/1440 inch
  int yTwips = 0;  // from the screen's top edge
};

class PromptService {
 public:
  virtual ~PromptService() = default;
  // Shows message and title with `defaultText` as editable answer and waits
  // for the user; returns the answer, or empty text when the prompt is
  // cancelled.
  virtual std::string askText(const std::string& message, const std::string& title,
                              const std::string& defaultText,
                              std::optional<PromptPosition> position) = 0;
};

// Writes title, message and default to `out` and reads one line from `in`: an
// empty line accepts the default, end of input counts as cancel.
class TerminalPrompt : public PromptService {
 public:
  TerminalPrompt(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  std::string askText(const std::string& message, const std::string& title,
                      const std::string& defaultText,
                      std::optional<PromptPosition> position) override;

 private:
  std::istream& in_;
  std::ostream& out_;
};

// Answers every prompt with a fixed text, without waiting; the message is
// still written to `out` so that nothing the user should read is lost.
class ScriptedPrompt : public PromptService {
 public:
  ScriptedPrompt(std::string answer, std::ostream& out) : answer_(std::move(answer)), out_(out) {}
  std::string askText(const std::string& message, const std::string& title,
                      const std::string& defaultText,
                      std::optional<PromptPosition> position) override;

 private:
  std::string answer_;
  std::ostream& out_;
};

}  // namespace propclear
