#include "design/number_stream.h"

#include <cstdio>

#include "design/decimal_number.h"

namespace propclear {

namespace {

// Text in a number position is kept up to this length, which no sensible
// number reaches; the rest is still scanned so that the position moves past it.
constexpr std::size_t maxStoredTokenLength = 1024;
// Found text is quoted in messages up to this many bytes.
constexpr std::size_t maxQuotedLength = 40;

bool isBlank(int byte) { return byte == ' ' || byte == '\t'; }

bool endsNumber(int byte) {
  return byte == ',' || isBlank(byte) || byte == '\r' || byte == '\n' ||
         byte == TextFileCursor::endOfFile;
}

// The found text between quotes, safe to print whatever bytes it holds.
std::string quoteFoundText(std::string_view stored, long long totalLength) {
  std::string quoted = "\"";
  for (std::size_t i = 0; i < stored.size() && i < maxQuotedLength; ++i) {
    const unsigned char byte = static_cast<unsigned char>(stored[i]);
    if (byte == '"' || byte == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(byte);
    } else if (byte >= 0x20 && byte < 0x7F) {
      quoted += static_cast<char>(byte);
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(byte));
      quoted += escape;
    }
  }
  quoted += '"';
  if (totalLength > static_cast<long long>(maxQuotedLength)) {
    quoted += " (the first " + std::to_string(maxQuotedLength) + " of " +
              std::to_string(totalLength) + " characters)";
  }
  return quoted;
}

}  // namespace

std::string FieldName::text() const {
  std::string name(item);
  if (index != 0) name += ' ' + std::to_string(index);
  if (!part.empty()) name.append(1, ' ').append(part);
  return name;
}

NumberStream::NumberStream(const std::filesystem::path& path, std::string displayName)
    : cursor_(path, std::move(displayName)) {}

NumberStream::NumberStream(std::string_view text, std::string displayName)
    : cursor_(text, std::move(displayName)) {}

double NumberStream::readNumber(const FieldName& field) {
  if (atEndOfNumbers()) {
    throw faultHere("unexpected end of file: expected a number (" + field.text() + ")");
  }
  if (cursor_.peek() == ',') {
    throw faultHere("expected a number (" + field.text() + "), found \",\" (an empty field)");
  }
  const Token token = scanToken();
  const ParsedNumber number = token.length <= static_cast<long long>(maxStoredTokenLength)
                                  ? parseDecimalNumber(token.text)
                                  : ParsedNumber{};
  if (number.status != NumberStatus::Valid) throw tokenFault(token, number.status, field);
  if (spans_ != nullptr) spans_->push_back({token.startOffset, cursor_.offset()});
  consumeSeparator();
  return number.value;
}

void NumberStream::skipLine(int headerLine) {
  if (cursor_.peek() == TextFileCursor::endOfFile) {
    throw faultHere("unexpected end of file: expected header line " + std::to_string(headerLine));
  }
  while (cursor_.peek() != TextFileCursor::endOfFile && !cursor_.atLineEnd()) cursor_.advance();
  if (cursor_.atLineEnd()) cursor_.consumeLineEnd();
}

bool NumberStream::atEndOfNumbers() {
  skipBlanksAndLineEnds();
  return cursor_.peek() == TextFileCursor::endOfFile;
}

RunError NumberStream::faultHere(const std::string& message) const {
  return RunError(ErrorKind::Input, message, currentLocation());
}

ErrorLocation NumberStream::currentLocation() const {
  return ErrorLocation{cursor_.displayName(), cursor_.line(), cursor_.column()};
}

NumberStream::Token NumberStream::scanToken() {
  Token token{{}, 0, currentLocation(), cursor_.offset()};
  for (int byte = cursor_.peek(); !endsNumber(byte); byte = cursor_.peek()) {
    if (token.text.size() < maxStoredTokenLength) token.text += static_cast<char>(byte);
    ++token.length;
    cursor_.advance();
  }
  return token;
}

RunError NumberStream::tokenFault(const Token& token, NumberStatus status,
                                  const FieldName& field) const {
  std::string message =
      "expected a number (" + field.text() + "), found " + quoteFoundText(token.text, token.length);
  const bool tooLong = token.length > static_cast<long long>(maxStoredTokenLength);
  if (tooLong && token.text.find_first_not_of("0123456789+-.eE") == std::string::npos) {
    message += ", which is too long for a number";
  } else if (status == NumberStatus::OutOfRange) {
    message += ", which is out of range";
  }
  return RunError(ErrorKind::Input, message, token.start);
}

void NumberStream::skipBlanks() {
  while (isBlank(cursor_.peek())) cursor_.advance();
}

void NumberStream::skipBlanksAndLineEnds() {
  for (skipBlanks(); cursor_.atLineEnd(); skipBlanks()) cursor_.consumeLineEnd();
}

void NumberStream::consumeSeparator() {
  skipBlanks();
  if (cursor_.peek() == ',') {
    cursor_.advance();
  } else if (cursor_.atLineEnd()) {
    cursor_.consumeLineEnd();
  }
}

}  // namespace propclear
