#include "rules/ship_file_limits.h"

#include <vector>

namespace propclear {

namespace {

// What the scan is in: TOML text, a comment, or one of the four strings.
enum class Inside { Text, Comment, BasicString, LiteralString, MultiLineBasic, MultiLineLiteral };

// Counts the nesting of TOML text without parsing it: the parts of a key
// (dots outside strings where a key is written, in a [table] header too)
// and the open brackets and braces. Faults of the TOML itself are left to
// the parser, which reads only text that passed.
class NestingScan {
 public:
  explicit NestingScan(std::string_view text) : text_(text) {}

  std::optional<LimitBroken> run() {
    for (at_ = 0; at_ < text_.size(); ++at_) {
      if (text_[at_] == '\n') {
        newLine();
      } else if (inside_ == Inside::Text) {
        if (!text(text_[at_])) return broken();
      } else {
        string(text_[at_]);
      }
    }
    return std::nullopt;
  }

 private:
  bool startsHere(std::string_view what) const { return text_.substr(at_, what.size()) == what; }

  void newLine() {
    ++line_;
    if (inside_ != Inside::MultiLineBasic && inside_ != Inside::MultiLineLiteral) inside_ = Inside::Text;
    if (open_.empty()) startKey();
  }

  void startKey() {
    atKey_ = true;
    keyParts_ = 1;
  }

  // False when the character takes the nesting past the limit.
  bool text(char c) {
    switch (c) {
      case '#': inside_ = Inside::Comment; break;
      case '"': openString(R"(""")", Inside::MultiLineBasic, Inside::BasicString); break;
      case '\'': openString("'''", Inside::MultiLineLiteral, Inside::LiteralString); break;
      case '[':
        // "[[" of an array of tables is one header.
        if (!(at_ > 0 && text_[at_ - 1] == '[' && !open_.empty() && open_.back() == 'h')) {
          open_.push_back(open_.empty() && atKey_ ? 'h' : '[');
        }
        if (open_.back() != 'h') atKey_ = false;
        break;
      case '{':
        open_.push_back('{');
        startKey();
        break;
      case ']':
      case '}':
        if (!open_.empty()) open_.pop_back();
        atKey_ = false;
        break;
      case '=': atKey_ = false; break;
      case ',':
        if (!open_.empty() && open_.back() == '{') startKey();
        break;
      case '.':
        if (atKey_) ++keyParts_;
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x80) return nonAsciiAllowedHere();
        break;
    }
    return open_.size() <= maxShipFileNesting && keyParts_ <= maxShipFileNesting;
  }

  // TOML allows other than ASCII only in strings and comments, and the
  // parser's check for other blanks than ASCII ones fails on some of them
  // (a library fault), so it never sees one elsewhere. A byte order mark
  // may open the file.
  bool nonAsciiAllowedHere() {
    if (at_ == 0 && startsHere(byteOrderMark)) {
      at_ += byteOrderMark.size() - 1;
      return true;
    }
    nonAscii_ = true;
    return false;
  }

  void openString(std::string_view multiLineQuote, Inside multiLine, Inside oneLine) {
    if (startsHere(multiLineQuote)) {
      inside_ = multiLine;
      at_ += multiLineQuote.size() - 1;
    } else {
      inside_ = oneLine;
    }
  }

  // A backslash escapes the next character, except a line end, which the
  // line count must see.
  void skipEscaped() {
    if (at_ + 1 < text_.size() && text_[at_ + 1] != '\n') ++at_;
  }

  void string(char c) {
    switch (inside_) {
      case Inside::BasicString:
        if (c == '\\') skipEscaped();
        else if (c == '"') inside_ = Inside::Text;
        break;
      case Inside::LiteralString:
        if (c == '\'') inside_ = Inside::Text;
        break;
      case Inside::MultiLineBasic:
        if (c == '\\') skipEscaped();
        else if (startsHere(R"(""")")) closeMultiLine();
        break;
      case Inside::MultiLineLiteral:
        if (startsHere("'''")) closeMultiLine();
        break;
      case Inside::Text:
      case Inside::Comment: break;
    }
  }

  void closeMultiLine() {
    inside_ = Inside::Text;
    at_ += 2;
  }

  LimitBroken broken() const {
    if (nonAscii_) {
      return {line_, "a character other than ASCII outside a quoted text or a comment"};
    }
    return {line_, "keys, tables or arrays nested more than " + std::to_string(maxShipFileNesting) +
                       " deep; a ship file needs 2"};
  }

  static constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

  std::string_view text_;
  std::size_t at_ = 0;
  long line_ = 1;
  Inside inside_ = Inside::Text;
  std::vector<char> open_;  // 'h' a [table] header, '[' an array, '{' an inline table
  bool atKey_ = true;
  std::size_t keyParts_ = 1;
  bool nonAscii_ = false;
};

}  // namespace

std::optional<LimitBroken> shipTextLimitBroken(std::string_view text) {
  if (text.size() > maxShipFileBytes) {
    return LimitBroken{0, "it is longer than a ship file's limit of " +
                              std::to_string(maxShipFileBytes) + " bytes"};
  }
  return NestingScan(text).run();
}

}  // namespace propclear
