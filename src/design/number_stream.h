#pragma once
// The design file as a stream of numbers between skipped lines. A number ends
// at a comma, a blank (space or tab) or a line end; blanks around a comma
// belong to the separator. Every fault throws RunError(ErrorKind::Input)
// located at the file, line and column where it was found.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/run_error.h"
#include "design/decimal_number.h"
#include "design/text_file_cursor.h"

namespace propclear {

// What a number stands for, for messages: "hub diameter", or an item with its
// number and part such as "contour point 7 height". Built into text only when
// a message needs it.
struct FieldName {
  std::string_view item;
  int index = 0;  // 0: the item has no number
  std::string_view part = {};

  std::string text() const;
};

// Where a number stands in the text: bytes [begin, end) from its start.
struct TextSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

class NumberStream {
 public:
  NumberStream(const std::filesystem::path& path, std::string displayName);
  // Reads `text`, which must outlive the stream.
  NumberStream(std::string_view text, std::string displayName);

  // From now on the place of every number read is appended to `spans`.
  void recordNumberSpans(std::vector<TextSpan>* spans) { spans_ = spans; }

  // Takes the next number, looking past blanks and onto following lines, then
  // consumes the blanks and the one comma or line end directly after it.
  double readNumber(const FieldName& field);

  // Discards everything from the position up to and including the next line
  // end. `headerLine` is the line's number in the file layout, for the message
  // when the file has already ended.
  void skipLine(int headerLine);

  // Looks past blanks and line ends; true when the file ends before another
  // number.
  bool atEndOfNumbers();

  // An input fault located at the current position.
  RunError faultHere(const std::string& message) const;

 private:
  // The text from the position up to the next separator, kept only up to a
  // bounded length.
  struct Token {
    std::string text;
    long long length = 0;
    ErrorLocation start;
    std::size_t startOffset = 0;
  };

  ErrorLocation currentLocation() const;
  Token scanToken();
  RunError tokenFault(const Token& token, NumberStatus status, const FieldName& field) const;
  void skipBlanks();
  void skipBlanksAndLineEnds();
  void consumeSeparator();

  TextFileCursor cursor_;
  std::vector<TextSpan>* spans_ = nullptr;
};

}  // namespace propclear
