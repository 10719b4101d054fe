#include "report/json_text.h"

#include <cstdint>
#include <iterator>

#include "common/format_number.h"

namespace propclear {

namespace {

constexpr const char* replacementCharacter = "\\ufffd";

char hexDigit(unsigned value) { return "0123456789abcdef"[value & 0xFu]; }

void appendControlEscape(std::string& out, unsigned char c) {
  switch (c) {
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: out += "\\u00"; out += hexDigit(c >> 4u); out += hexDigit(c); return;
  }
}

bool isContinuation(unsigned char c) { return (c & 0xC0u) == 0x80u; }

// The length of the valid UTF-8 sequence starting at text[i], or 0 when the
// bytes there are not one: no overlong forms, no surrogates, nothing above
// U+10FFFF.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  std::uint32_t codePoint = 0;
  if (lead >= 0xC2u && lead <= 0xDFu) {
    length = 2;
    codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0u && lead <= 0xEFu) {
    length = 3;
    codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0u && lead <= 0xF4u) {
    length = 4;
    codePoint = lead & 0x07u;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if (!isContinuation(byte(k))) return 0;
    codePoint = (codePoint << 6u) | (byte(k) & 0x3Fu);
  }
  // The smallest code point that needs a sequence of each length (index 2..4).
  constexpr std::uint32_t smallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
  static_assert(std::size(smallestOfLength) == 5);
  if (codePoint < smallestOfLength[length]) return 0;
  if (codePoint >= 0xD800u && codePoint <= 0xDFFFu) return 0;
  if (codePoint > 0x10FFFFu) return 0;
  return length;
}

}  // namespace

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      ++i;
    } else if (c < 0x20u) {
      appendControlEscape(out, c);
      ++i;
    } else if (c < 0x80u) {
      out += static_cast<char>(c);
      ++i;
    } else if (const std::size_t length = utf8SequenceLength(text, i); length > 0) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      out += replacementCharacter;
      ++i;
    }
  }
  return out + "\"";
}

std::string jsonNumber(double value, const char* what) { return formatShortest(value, what); }

}  // namespace propclear
