#include "driver/terminal_platform.h"

#include <istream>
#include <ostream>
#include <streambuf>

#include "common/output_file.h"
#include "common/run_error.h"

namespace propclear {

namespace {

// The longest answer line read from the terminal. Nobody types more, and a
// line without end (a stream of bytes piped in) must not take all memory.
constexpr std::size_t longestAnswerBytes = 64 * 1024;

// Passes the lines of another stream buffer on, each cut after
// longestAnswerBytes: the rest of a longer line is read and dropped, with a
// warning.
class AnswerLineLimit : public std::streambuf {
 public:
  AnswerLineLimit(std::streambuf& source, std::ostream& warnings)
      : source_(source), warnings_(warnings) {}

 protected:
  int_type underflow() override {
    int_type next = source_.sbumpc();
    if (lineBytes_ == longestAnswerBytes && !endsLine(next)) {
      dropRestOfLine(next);
      next = traits_type::to_int_type('\n');
    }
    if (traits_type::eq_int_type(next, traits_type::eof())) return next;
    lineBytes_ = endsLine(next) ? 0 : lineBytes_ + 1;
    current_ = traits_type::to_char_type(next);
    setg(&current_, &current_, &current_ + 1);
    return next;
  }

 private:
  static bool endsLine(int_type c) {
    return traits_type::eq_int_type(c, traits_type::eof()) ||
           traits_type::eq_int_type(c, traits_type::to_int_type('\n'));
  }

  void dropRestOfLine(int_type next) {
    while (!endsLine(next)) next = source_.sbumpc();
    warnings_ << "propclear: warning: the answer is longer than " << longestAnswerBytes
              << " characters; the rest of the line is ignored\n";
  }

  std::streambuf& source_;
  std::ostream& warnings_;
  std::size_t lineBytes_ = 0;
  char current_ = 0;
};

// The terminal prompt, reading its answers through an AnswerLineLimit.
class LimitedTerminalPrompt : public PromptService {
 public:
  LimitedTerminalPrompt(std::istream& in, std::ostream& out)
      : limit_(*in.rdbuf(), out), limitedIn_(&limit_), prompt_(limitedIn_, out) {}

  std::string askText(const std::string& message, const std::string& title,
                      const std::string& defaultText,
                      std::optional<PromptPosition> position) override {
    return prompt_.askText(message, title, defaultText, position);
  }

 private:
  AnswerLineLimit limit_;
  std::istream limitedIn_;
  TerminalPrompt prompt_;
};

}  // namespace

std::unique_ptr<PromptService> makeTerminalPrompt(const std::optional<std::string>& answer,
                                                  std::istream& in, std::ostream& out) {
  if (answer) return std::make_unique<ScriptedPrompt>(*answer, out);
  return std::make_unique<LimitedTerminalPrompt>(in, out);
}

TerminalPlatform::TerminalPlatform(const std::optional<std::string>& answer, std::istream& in,
                                   std::ostream& out)
    : prompts_(makeTerminalPrompt(answer, in, out)) {}

// The driver writes every error to standard error itself.
void TerminalPlatform::showError(const std::string& /*message*/) {}

void TerminalPlatform::savePlot(const DrawingSurface& /*surface*/, OutputFile& file,
                                const std::optional<PlotSize>& /*size*/) {
  throw RunError(ErrorKind::Usage, "cannot save the plot: this build has no image export",
                 ErrorLocation{file.displayName()});
}

}  // namespace propclear
